// tarnwick-cli check and nets, on layouts written by the editor's own writer.
#include "cli/cli_harness.h"
#include "document/layout_file.h"
#include "nets/small_circuit.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using namespace tarnwick::cli::test;
using namespace tarnwick::nets_test;

namespace {

struct Files {
  CliTempDir dir;
  std::string netlist = dir.File("small.net");
  std::string good = dir.File("good.twk");
  std::string broken = dir.File("broken.twk");
  std::string malformed = dir.File("malformed.net");
  std::string kicad = dir.File("kicad.net");
  Files() {
    WriteBytes(netlist, SmallNetlist);
    WriteBytes(malformed, "* title\nR1 a b\n");
    WriteBytes(kicad, "(export (version D)\n  (components (comp (ref R1)\n");
    Board board;
    BuildSmallBoard(board);
    WriteLayoutFile(good, board, "small");
    Place(board, ComponentKind::TraceCut, 2, 2, 4, ""); // splits the out strip
    WriteLayoutFile(broken, board, "small");
  }
};

} // namespace

TEST(CheckCommand, ExitStatusTellsWhetherTheLayoutImplementsTheNetlist) {
  const Files f;
  CliOutcome r = RunProgram({"check", f.good, f.netlist});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "The layout implements the netlist: 5 parts, 4 nodes.\n");
  EXPECT_EQ(r.err, "");

  r = RunProgram({"check", f.broken, f.netlist});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "The layout does not implement the netlist: 1 problem.\n"
                   "node out: open, on 2 nets: r1, r2 | d1, q1\n");
  EXPECT_EQ(r.err, "tarnwick-cli: " + f.broken + " does not implement " + f.netlist + "\n");

  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } failures[] = {
      // Trouble, as diff and cmp tell it: a file that cannot be read or is malformed.
      {{"check", f.good, f.dir.File("nothing.net")},
       2,
       "Unable to read " + f.dir.File("nothing.net")},
      {{"check", f.dir.File("nothing.twk"), f.netlist}, 2, "Unable to read"},
      {{"check", f.good, f.malformed}, 2, "malformed.net: line 2: r1 has too few fields"},
      {{"check", f.good, f.kicad}, 2, "kicad.net: line 2: "},
      {{"check", f.good}, 2, "check takes 2 arguments"},
      {{"nets"}, 2, "nets takes 1 argument"},
  };
  for (const auto &c : failures) {
    const CliOutcome out = RunInProcess(c.args);
    EXPECT_EQ(out.status, c.status) << c.args.size();
    EXPECT_NE(out.err.find(c.err), std::string::npos) << out.err;
    EXPECT_EQ(out.out, "");
  }
}

TEST(CheckCommand, NetsListsIslandsEndsAndLabelsWithTheirWarnings) {
  CliTempDir dir;
  Board board;
  board.InitBoard(3, 10);
  board.GetTrace(0).Name = "vcc";
  board.GetTrace(1).Name = "out";
  board.GetTrace(2).Name = "VCC";
  Place(board, ComponentKind::TraceCut, 2, 2, 4, "");
  Place(board, ComponentKind::Wire, 0, 1, 0, "");
  Place(board, ComponentKind::Resistor, 1, 2, 2, "10k");
  Place(board, ComponentKind::Diode, 2, 5, 7, "");
  const std::string layout = dir.File("nets.twk");
  WriteLayoutFile(layout, board, "nets");
  const CliOutcome r = RunInProcess({"nets", layout});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "net 1: trace 1 rows 1-10; trace 2 rows 1-10\n"
                   "  ends: R 10k start (trace 2, row 3)\n"
                   "  labels: vcc, out\n"
                   "  warning: one net carries 2 different labels\n"
                   "  warning: label vcc is on 3 nets: 1, 2, 3\n"
                   "net 2: trace 3 rows 1-4\n"
                   "  ends: R 10k end (trace 3, row 3)\n"
                   "  labels: VCC\n"
                   "  warning: label VCC is on 3 nets: 1, 2, 3\n"
                   "net 3: trace 3 rows 6-10\n"
                   "  ends: D (no name) start (trace 3, row 8)\n"
                   "  labels: VCC\n"
                   "  warning: label VCC is on 3 nets: 1, 2, 3\n"
                   "not connected: D (no name) end (trace 6, row 8) lies off the board\n");
}
