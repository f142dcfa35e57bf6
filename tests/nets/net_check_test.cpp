// The check of a layout against a netlist: clean layouts say so in one line, and each way of
// breaking one reports exactly that problem.
#include "nets/net_check.h"
#include "nets/small_circuit.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace tarnwick;
using namespace tarnwick::nets_test;
namespace fs = std::filesystem;

namespace {

const fs::path Examples = fs::path(TARNWICK_TEST_DATA) / ".." / ".." / "examples";

Circuit SmallCircuit() { return ReadCircuit(ReadNetlistText(SmallNetlist, "small.net")); }

std::vector<std::string> LinesOf(const CheckReport &report, ReportKind kind) {
  std::vector<std::string> lines;
  for (const ReportLine &line : report.Lines)
    if (line.Kind == kind)
      lines.push_back(line.Text);
  return lines;
}

const ReportLine *Find(const CheckReport &report, const std::string &start) {
  for (const ReportLine &line : report.Lines)
    if (line.Text.rfind(start, 0) == 0)
      return &line;
  return nullptr;
}

} // namespace

TEST(NetCheck, EveryExampleNetlistImportedIsClean) {
  int count = 0;
  for (const auto &entry : fs::directory_iterator(Examples)) {
    if (entry.path().extension() != ".net")
      continue;
    ++count;
    Board board;
    NetlistRandom random;
    ImportNetlistFile(entry.path().string(), board, random);
    const CheckReport report = CheckLayout(board, ReadCircuitFile(entry.path().string()));
    EXPECT_TRUE(report.Implements()) << entry.path() << "\n" << ReportText(report);
    // One line says so: no problems and nothing to note.
    EXPECT_EQ(ReportText(report).find('\n'), ReportText(report).size() - 1) << entry.path();
    EXPECT_EQ(report.Lines[0].Text.rfind("The layout implements the netlist: ", 0), 0u);
  }
  EXPECT_GE(count, 4);
}

TEST(NetCheck, EachBreakReportsExactlyItsProblem) {
  struct Case {
    const char *what;
    std::function<void(Board &)> change;
    std::vector<std::string> problems;
  };
  const Case cases[] = {
      {"as laid out", [](Board &) {}, {}},
      {"a cut between r2 and d1 on the out strip",
       [](Board &b) { Place(b, ComponentKind::TraceCut, 2, 2, 4, ""); },
       {"node out: open, on 2 nets: r1, r2 | d1, q1"}},
      {"the ground wire moved onto the in strip",
       [](Board &b) { b.GetComponent(7).EndTrace = 6; },
       {"node 0: open, on 2 nets: r2, d1, c1 | q1",
        "short: nodes 0, in share one net (r2, d1, c1, q1)"}},
      {"the transistor's sockets listed in another order",
       [](Board &b) {
         std::swap(b.GetComponent(4).StartTrace, b.GetComponent(6).StartTrace);
         std::swap(b.GetComponent(4).EndTrace, b.GetComponent(6).EndTrace);
       },
       {"q1: legs in another order than the netlist's"}},
      {"the diode turned round",
       [](Board &b) { std::swap(b.GetComponent(2).StartTrace, b.GetComponent(2).EndTrace); },
       {"reversed: d1 (1n4148) is the wrong way round"}},
      {"the resistors fit either way round",
       [](Board &b) { std::swap(b.GetComponent(0).StartTrace, b.GetComponent(0).EndTrace); },
       {}},
      {"the capacitor missing",
       [](Board &b) { b.RemoveComponent(&b.GetComponent(3)); },
       {"missing: c1 (100u) is not on the board"}},
      {"a transistor socket missing",
       [](Board &b) { b.RemoveComponent(&b.GetComponent(6)); },
       {"missing: q1 has only 2 of its 3 sockets named q1_1 on the board"}},
      {"a resistor the netlist does not name",
       [](Board &b) { Place(b, ComponentKind::Resistor, 9, 10, 2, "1k"); },
       {"not in the netlist: resistor 1k from trace 10 to trace 11, row 3"}},
      {"a DIP socket is noted, not counted",
       [](Board &b) { Place(b, ComponentKind::Socket, 9, 11, 0, "dip8"); },
       {}},
      {"r1's end off the board",
       [](Board &b) { b.GetComponent(0).EndTrace = 20; },
       {"node out: open, on 2 nets: r1 | r2, d1, q1",
        "r1 (10k): its end at trace 21, row 2 lies off the board"}},
      {"r2's end on a cut",
       [](Board &b) { Place(b, ComponentKind::TraceCut, 3, 3, 3, ""); },
       {"node 0: open, on 2 nets: r2 | d1, c1, q1",
        "r2 (4k7): its end at trace 4, row 4 lies on a cut"}},
      {"a wire into a cut",
       [](Board &b) {
         Place(b, ComponentKind::TraceCut, 10, 10, 0, "");
         Place(b, ComponentKind::Wire, 9, 10, 0, "");
       },
       {"wire from trace 10 to trace 11, row 1: its end at trace 11, row 1 lies on a cut"}},
  };
  const Circuit circuit = SmallCircuit();
  for (const Case &c : cases) {
    Board board;
    BuildSmallBoard(board);
    c.change(board);
    const CheckReport report = CheckLayout(board, circuit);
    EXPECT_EQ(LinesOf(report, ReportKind::Problem), c.problems) << c.what;
    EXPECT_EQ(report.Implements(), c.problems.empty()) << c.what;
    EXPECT_EQ(report.Problems, static_cast<int>(c.problems.size())) << c.what;
  }
}

TEST(NetCheck, OneMissingCutIsOneShort) {
  const Circuit circuit = ReadCircuit(ReadNetlistText("R1 a c 1k\nR2 b c 1k\n", "cut.net"));
  Board board;
  board.InitBoard(2, 10);
  Place(board, ComponentKind::Resistor, 0, 1, 2, "1k");
  Place(board, ComponentKind::Resistor, 0, 1, 7, "1k");
  BoardComponent *cut = Place(board, ComponentKind::TraceCut, 0, 0, 5, "");
  EXPECT_TRUE(CheckLayout(board, circuit).Implements());
  board.RemoveComponent(cut);
  const CheckReport report = CheckLayout(board, circuit);
  EXPECT_EQ(report.Problems, 1);
  EXPECT_EQ(LinesOf(report, ReportKind::Problem),
            std::vector<std::string>{"short: nodes a, b share one net (r1, r2)"});
  EXPECT_EQ(report.Lines[1].Copper, (std::vector<CopperSpan>{{0, 0, 9}}));
  EXPECT_EQ(report.Lines[1].Components, (std::vector<std::int32_t>{0, 1}));
}

TEST(NetCheck, LinesNameWhatTheyAreAbout) {
  Board board;
  BuildSmallBoard(board);
  Place(board, ComponentKind::Socket, 9, 11, 0, "dip8");
  const CheckReport report = CheckLayout(board, SmallCircuit());
  EXPECT_EQ(report.Lines[0].Text, "The layout implements the netlist: 5 parts, 4 nodes.");
  EXPECT_EQ(LinesOf(report, ReportKind::Note),
            std::vector<std::string>{"not in the netlist: socket dip8 from trace 10 to trace 12, "
                                     "row 1 (not counted)"});
  // Ground: both its strips (joined by the wire) and the parts on them.
  const ReportLine *ground = Find(report, "node 0: ok");
  ASSERT_NE(ground, nullptr);
  EXPECT_EQ(ground->Text, "node 0: ok (r2, d1, c1, q1)");
  EXPECT_EQ(ground->Copper, (std::vector<CopperSpan>{{3, 0, 9}, {8, 0, 9}}));
  EXPECT_EQ(ground->Components, (std::vector<std::int32_t>{1, 2, 3, 6}));
  const ReportLine *socket = Find(report, "not in the netlist");
  ASSERT_NE(socket, nullptr);
  EXPECT_EQ(socket->Components, std::vector<std::int32_t>{8});
}

TEST(NetCheck, LabelsDecideBetweenLikePartsAndTiesAreSaidToBeAmbiguous) {
  const Circuit circuit = ReadCircuit(ReadNetlistText("R1 a b 10k\nR2 c d 10k\n", "two.net"));
  Board board;
  board.InitBoard(6, 10);
  Place(board, ComponentKind::Resistor, 4, 5, 0, "10k"); // first in the list
  Place(board, ComponentKind::Resistor, 0, 1, 0, "10K");
  CheckReport report = CheckLayout(board, circuit);
  EXPECT_TRUE(report.Implements());
  EXPECT_EQ(LinesOf(report, ReportKind::Note),
            std::vector<std::string>{
                "ambiguous: r1, r2 (10k) fit the board equally well on other components of that "
                "name"});
  // Labelled strips tell which is which.
  // Labelled strips tell which is which: r1 goes to the second one, its b end on "B".
  board.GetTrace(1).Name = "B";
  board.GetTrace(4).Name = "c";
  report = CheckLayout(board, circuit);
  EXPECT_TRUE(LinesOf(report, ReportKind::Note).empty());
  const ReportLine *a = Find(report, "node a: ok (r1)");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Copper, (std::vector<CopperSpan>{{0, 0, 9}}));
}

TEST(NetCheck, ManyLikePartsAreMatchedWithinTheBound) {
  // Forty 1k resistors in a chain: only one way of matching them (and its mirror image) has no
  // opens and shorts.
  std::string netlist;
  Board board;
  board.InitBoard(42, 10);
  for (int i = 0; i < 40; ++i) {
    netlist +=
        "r" + std::to_string(i) + " n" + std::to_string(i) + " n" + std::to_string(i + 1) + " 1k\n";
    const int k = (i * 17) % 40; // listed out of order
    Place(board, ComponentKind::Resistor, 40 - k, 39 - k, i % 10, "1k");
  }
  const Circuit circuit = ReadCircuit(ReadNetlistText(netlist, "chain.net"));
  const CheckReport report = CheckLayout(board, circuit);
  EXPECT_TRUE(report.Implements()) << ReportText(report);
  EXPECT_EQ(LinesOf(report, ReportKind::Fine).size(), 41u);
}

TEST(NetCheck, NetlistsAreReadByTheImportsRules) {
  // A line with too few fields stops the check with the import's message.
  try {
    ReadCircuit(ReadNetlistText("* x\nR1 a b\n", "short.net"));
    ADD_FAILURE() << "no error";
  } catch (const TarnwickError &e) {
    EXPECT_EQ(std::string(e.what()),
              "Assertion failure: line 2 of the netlist has too few fields: \"r1 a b\"");
  }
  const Circuit c =
      ReadCircuit(ReadNetlistText("V1 A 0 9\nX1 a b c NE555\nq2 C B E bc547\nD1 A K LED\n", "x"));
  ASSERT_EQ(c.Parts.size(), 2u);
  EXPECT_EQ(c.Parts[0].ComponentName, "q2_1");
  EXPECT_EQ(c.Parts[0].Group, PartGroup::Transistor);
  EXPECT_EQ(c.Parts[1].ComponentName, "led");
  EXPECT_EQ(c.Nodes, (std::vector<std::string>{"c", "b", "e", "a", "k"}));

  const test::TempDir temp;
  const fs::path dir = temp.Path();
  temp.Write("empty.net", "* nothing to check\n.end\n");
  const std::pair<fs::path, std::string> failures[] = {
      {dir / "missing.net", "Unable to read " + (dir / "missing.net").string()},
      {dir, "Unable to read " + dir.string()},
      {dir / "empty.net", (dir / "empty.net").string() +
                              " names no capacitor, diode, resistor or transistor to check for."},
  };
  for (const auto &[path, message] : failures) {
    try {
      ReadCircuitFile(path.string());
      ADD_FAILURE() << path;
    } catch (const TarnwickError &e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
}

// The import gives a grounded part whose other node is not placed yet a ground strip of its
// own, joined to nothing: its first layout of this netlist does not implement it.
TEST(NetCheck, AnImportWithGroundStripsApartIsOpen) {
  const NetlistLines lines = ReadNetlistText("R1 a 0 1k\nR2 0 c 2k\n", "lone.net");
  Board board;
  BoardTarget target(board);
  NetlistRandom random;
  PlaceNetlist(lines, target, random);
  const CheckReport report = CheckLayout(board, ReadCircuit(lines));
  EXPECT_EQ(LinesOf(report, ReportKind::Problem),
            std::vector<std::string>{"node 0: open, on 2 nets: r1 | r2"});
}
