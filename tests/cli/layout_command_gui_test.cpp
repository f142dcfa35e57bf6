// tarnwick-cli layout: the netlist laid out, written, and summed up on one line.
#include "circuit/circuit_reader.h"
#include "cli_harness.h"
#include "document/layout_file.h"
#include "layout/layout_reference.h"

#include <gtest/gtest.h>

#include <regex>

namespace tarnwick::cli::test {
namespace {

const std::string Flasher = TARNWICK_TEST_DATA "/circuits/flasher_555.cir";

TEST(LayoutCli, LaysOutANetlistWritesItAndSumsItUp) {
  CliTempDir dir;
  const std::string out = dir.File("flasher.twk");
  const CliOutcome run = RunProgram({"layout", Flasher, out, "--seed", "3", "--seconds", "30"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::smatch m;
  ASSERT_TRUE(std::regex_match(run.out, m,
                               std::regex("(\\d+) \u00d7 (\\d+) = (\\d+) holes, (\\d+) links, "
                                          "(\\d+) cut holes, \\d+\\.\\d\\d s\n")))
      << run.out;
  const LayoutData written = ReadLayoutFile(out);
  EXPECT_EQ(std::stoi(m[1]), written.TraceCount);
  EXPECT_EQ(std::stoi(m[3]), std::stoi(m[1]) * std::stoi(m[2]));
  EXPECT_EQ(written.Name, "flasher_555.cir");
  EXPECT_EQ(layout_test::ReferenceFault(circuit::ReadCircuitFile(Flasher), written), "");
  const CliOutcome check = RunProgram({"check", out, Flasher});
  EXPECT_EQ(check.status, 0) << check.out;
  // The same seed in this process gives the same file.
  const std::string again = dir.File("again.twk");
  EXPECT_EQ(RunInProcess({"layout", Flasher, again, "--seed", "3"}).status, 0);
  EXPECT_EQ(ReadBytes(again), ReadBytes(out));
}

TEST(LayoutCli, WrongArgumentsAndImpossibleLayoutsWriteNothing) {
  CliTempDir dir;
  const std::string out = dir.File("out.twk");
  struct Case {
    std::vector<std::string> Args;
    int Status;
    const char *Message;
  };
  const std::vector<Case> cases = {
      {{"layout", Flasher, out, "--seed", "x1"}, ExitUsage, "--seed takes a whole number"},
      {{"layout", Flasher, out, "--max-rows", "9"}, ExitUsage, "--max-rows takes"},
      {{"layout", Flasher, out, "--max-traces", "0"}, ExitUsage, "--max-traces takes"},
      {{"layout", Flasher, out, "--seconds", "-1"}, ExitUsage, "--seconds takes"},
      {{"layout", Flasher}, ExitUsage, "layout takes"},
      {{"layout", dir.File("missing.cir"), out}, ExitError, "missing.cir"},
      {{"layout", Flasher, out, "--max-traces", "3"}, ExitError, "could not be laid out"},
  };
  for (const Case &c : cases) {
    const CliOutcome run = RunInProcess(c.Args);
    EXPECT_EQ(run.status, c.Status) << c.Args.back();
    EXPECT_NE(run.err.find(c.Message), std::string::npos) << run.err;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
  }
}

} // namespace
} // namespace tarnwick::cli::test
