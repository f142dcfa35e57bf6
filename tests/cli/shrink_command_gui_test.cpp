// tarnwick-cli shrink: Edit > Shrink Board on a layout file, the result saved under a new name.
#include "cli/cli.h"
#include "cli_harness.h"
#include "document/layout_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <sstream>

namespace tarnwick::cli {
namespace {

namespace fs = std::filesystem;
using TempDir = test::CliTempDir;
using Outcome = test::CliOutcome;

Outcome Cli(const std::vector<std::string> &args) { return test::RunInProcess(args); }

void Put(Board &b, int start, int end, int pin, const char *name) {
  auto c = std::make_unique<BoardComponent>();
  c->Name = name;
  c->Kind = static_cast<std::uint8_t>(ComponentKind::Resistor);
  c->StartTrace = start;
  c->EndTrace = end;
  c->StartPin = pin;
  b.AddComponent(std::move(c));
}

// A 40 x 40 layout whose components span traces 5..9 and rows 4..10.
std::string WriteWideLayout(const TempDir &dir) {
  Board b;
  b.InitBoard(40, 40);
  for (int t = 0; t < 40; ++t)
    b.GetTrace(t).Name = "N" + std::to_string(t);
  Put(b, 5, 9, 4, "R1");
  Put(b, 8, 6, 10, "R2");
  const std::string file = dir.File("wide.twk");
  WriteLayoutFile(file, b, "amp");
  return file;
}

TEST(EditingCli, ShrinkSavesTheBoardCutToItsComponents) {
  TempDir dir;
  const std::string in = WriteWideLayout(dir);
  const std::string out = dir.File("small.twk");
  const Outcome r = Cli({"shrink", in, out});
  EXPECT_EQ(r.status, ExitOk) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");

  const LayoutData d = ReadLayoutFile(out);
  EXPECT_EQ(d.Name, "amp");
  EXPECT_EQ(d.TraceCount, 7);
  EXPECT_EQ(d.PinCount, 9); // as stored; the editor opens it with its 10-pin minimum
  ASSERT_EQ(d.TraceNames.size(), 7u);
  for (int t = 0; t < 7; ++t)
    EXPECT_EQ(d.TraceNames[t], "N" + std::to_string(t + 4));
  ASSERT_EQ(d.Components.size(), 2u);
  EXPECT_EQ(d.Components[0].Name, "R1");
  EXPECT_EQ(d.Components[0].StartTrace, 1);
  EXPECT_EQ(d.Components[0].EndTrace, 5);
  EXPECT_EQ(d.Components[0].StartPin, 1);
  EXPECT_EQ(d.Components[1].StartTrace, 4);
  EXPECT_EQ(d.Components[1].EndTrace, 2);
  EXPECT_EQ(d.Components[1].StartPin, 7);
  // The input is left as it was.
  EXPECT_EQ(ReadLayoutFile(in).TraceCount, 40);

  // A layout without traces has nothing to shrink and is saved as it is.
  Board none;
  WriteLayoutFile(dir.File("none.twk"), none, "empty");
  EXPECT_EQ(Cli({"shrink", dir.File("none.twk"), dir.File("none2.twk")}).status, ExitOk);
  EXPECT_EQ(ReadLayoutFile(dir.File("none2.twk")).TraceCount, 0);
}

TEST(EditingCli, ShrinkFailuresWriteNothing) {
  TempDir dir;
  Board b;
  b.InitBoard(10, 12);
  Put(b, 3, std::numeric_limits<int>::max(), 5, "far");
  WriteLayoutFile(dir.File("far.twk"), b, "far");
  const Outcome far = Cli({"shrink", dir.File("far.twk"), dir.File("out.twk")});
  EXPECT_EQ(far.status, ExitError);
  EXPECT_EQ(far.err, "tarnwick-cli: A component lies at trace 2147483648, beyond the largest "
                     "board of 10000 traces.\n");
  EXPECT_FALSE(fs::exists(dir.File("out.twk")));

  const Outcome missing = Cli({"shrink", dir.File("none.twk"), dir.File("out.twk")});
  EXPECT_EQ(missing.status, ExitError);
  EXPECT_EQ(missing.err, "tarnwick-cli: Unable to read " + dir.File("none.twk") + "\n");
  EXPECT_FALSE(fs::exists(dir.File("out.twk")));

  EXPECT_EQ(Cli({"shrink", dir.File("far.twk")}).status, ExitUsage);
  EXPECT_NE(Usage().find("shrink LAYOUT OUT"), std::string::npos);
}

} // namespace
} // namespace tarnwick::cli
