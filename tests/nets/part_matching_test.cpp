// The pairing of like parts with components: a board that implements its netlist under some
// pairing passes, whatever the order of its component list.
#include "nets/net_check.h"
#include "nets/small_circuit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <random>

using namespace tarnwick;
using namespace tarnwick::nets_test;

namespace {

struct Placed {
  ComponentKind Kind;
  int Start, End, Row;
  std::string Name;
};

void Build(Board &board, int traces, int rows, const std::vector<Placed> &list) {
  board.InitBoard(traces, rows);
  for (const Placed &p : list)
    Place(board, p.Kind, p.Start, p.End, p.Row, p.Name);
}

CheckReport Check(const Board &board, const std::string &netlist) {
  return CheckLayout(board, ReadCircuit(ReadNetlistText(netlist, "test.net")));
}

// An RC ladder of three like resistors and three like capacitors, without labels.
const char *const Ladder = "R1 in a 10k\nC1 a 0 10n\nR2 a b 10k\nC2 b 0 10n\nR3 b out 10k\n"
                           "C3 out 0 10n\n";

} // namespace

TEST(PartMatching, LikePartsPassInEveryOrderOfTheList) {
  const ComponentKind R = ComponentKind::Resistor, C = ComponentKind::Capacitor;
  std::vector<Placed> ladder{{R, 2, 3, 1, "10k"}, {C, 3, 4, 2, "10n"}, {R, 1, 2, 3, "10k"},
                             {C, 2, 4, 4, "10n"}, {R, 0, 1, 5, "10k"}, {C, 1, 4, 6, "10n"}};
  std::vector<int> order(ladder.size());
  std::iota(order.begin(), order.end(), 0);
  int orders = 0;
  do {
    std::vector<Placed> list;
    for (int i : order)
      list.push_back(ladder[static_cast<std::size_t>(i)]);
    Board board;
    Build(board, 6, 10, list);
    const CheckReport report = Check(board, Ladder);
    ASSERT_TRUE(report.Implements()) << "order " << orders << "\n" << ReportText(report);
    ++orders;
  } while (std::next_permutation(order.begin(), order.end()));
  EXPECT_EQ(orders, 720);

  // Three like resistors in a chain, in all six orders.
  std::vector<Placed> chain{{R, 0, 1, 0, "10k"}, {R, 1, 2, 1, "10k"}, {R, 2, 3, 2, "10k"}};
  std::vector<int> three{0, 1, 2};
  do {
    Board board;
    Build(board, 4, 4,
          {chain[static_cast<std::size_t>(three[0])], chain[static_cast<std::size_t>(three[1])],
           chain[static_cast<std::size_t>(three[2])]});
    EXPECT_TRUE(Check(board, "R1 a b 10k\nR2 b c 10k\nR3 c d 10k\n").Implements());
  } while (std::next_permutation(three.begin(), three.end()));
}

namespace {

// A random circuit of few distinct values and a board that implements it: a strip per node
// (some nodes on two strips joined by a wire), a row per part, resistors and capacitors either
// way round, polar parts the right way, a transistor's sockets in pin order; a few strips
// labelled. The component list is shuffled (a transistor's sockets keep their order).
struct RandomLayout {
  std::string Netlist;
  std::vector<Placed> Components;
  int Traces = 0, Rows = 0;
  std::vector<std::pair<int, std::string>> Labels;
};

RandomLayout MakeRandomLayout(std::mt19937 &rng, int parts) {
  auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  RandomLayout out;
  const int nodes = std::max(3, parts / 2 + 1);
  // Each node's strips: the first, and for some a second joined to it by a wire on row 0.
  std::vector<std::vector<int>> strips(static_cast<std::size_t>(nodes));
  std::vector<Placed> wires;
  for (int n = 0; n < nodes; ++n) {
    strips[static_cast<std::size_t>(n)].push_back(out.Traces++);
    if (pick(4) == 0) {
      strips[static_cast<std::size_t>(n)].push_back(out.Traces++);
      wires.push_back({ComponentKind::Wire, out.Traces - 2, out.Traces - 1, 0, ""});
    }
  }
  std::vector<int> traceOrder(static_cast<std::size_t>(out.Traces));
  std::iota(traceOrder.begin(), traceOrder.end(), 0);
  std::shuffle(traceOrder.begin(), traceOrder.end(), rng);
  auto strip = [&](int node) {
    const auto &s = strips[static_cast<std::size_t>(node)];
    return traceOrder[static_cast<std::size_t>(
        s[static_cast<std::size_t>(pick(static_cast<int>(s.size())))])];
  };
  for (Placed &w : wires) {
    w.Start = traceOrder[static_cast<std::size_t>(w.Start)];
    w.End = traceOrder[static_cast<std::size_t>(w.End)];
  }
  std::vector<std::vector<Placed>> units;
  for (int p = 0; p < parts; ++p) {
    const int row = 1 + p % 38; // a board has at most 40 rows
    std::vector<int> pins(static_cast<std::size_t>(nodes));
    std::iota(pins.begin(), pins.end(), 0);
    std::shuffle(pins.begin(), pins.end(), rng);
    const auto node = [&](int i) {
      return "n" + std::to_string(pins[static_cast<std::size_t>(i)]);
    };
    const int kind = pick(10);
    if (kind == 9) {
      const std::string ref = "q" + std::to_string(p);
      out.Netlist += ref + " " + node(0) + " " + node(1) + " " + node(2) + " bc547\n";
      std::vector<Placed> sockets;
      for (int i = 0; i < 3; ++i)
        sockets.push_back({ComponentKind::Socket, strip(pins[static_cast<std::size_t>(i)]),
                           strip(pins[static_cast<std::size_t>(i)]), row, ref + "_1"});
      for (Placed &s : sockets)
        s.End = s.Start;
      units.push_back(sockets);
      continue;
    }
    static const char *const Values[][2] = {{"r", "10k"},  {"r", "10k"},    {"r", "1k"},
                                            {"r", "10k"},  {"c", "10n"},    {"c", "10n"},
                                            {"c", "100u"}, {"d", "1n4148"}, {"r", "1k"}};
    const char *letter = Values[kind][0];
    const std::string value = Values[kind][1];
    out.Netlist += std::string(letter) + std::to_string(p) + " " + node(0) + " " + node(1) + " " +
                   value + "\n";
    const ComponentKind k = letter[0] == 'r'   ? ComponentKind::Resistor
                            : letter[0] == 'd' ? ComponentKind::Diode
                            : value == "100u"  ? ComponentKind::ElectrolyticAxial
                                               : ComponentKind::Capacitor;
    const bool polar = k == ComponentKind::Diode || k == ComponentKind::ElectrolyticAxial;
    int a = strip(pins[0]), b = strip(pins[1]);
    if (!polar && pick(2) == 0)
      std::swap(a, b);
    // Names are compared without case.
    units.push_back(
        {{k, a, b, row, pick(3) == 0 ? std::string(value == "10k" ? "10K" : value) : value}});
  }
  for (const Placed &w : wires)
    units.push_back({w});
  // Shuffle the list; a transistor's sockets go to its places in the list in pin order.
  std::vector<const Placed *> flat;
  std::vector<std::size_t> unitOf;
  for (std::size_t u = 0; u < units.size(); ++u)
    for (const Placed &c : units[u]) {
      flat.push_back(&c);
      unitOf.push_back(u);
    }
  std::vector<std::size_t> order(flat.size());
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), rng);
  std::vector<std::size_t> taken(units.size(), 0);
  for (std::size_t i : order) {
    const std::size_t u = unitOf[i];
    out.Components.push_back(units[u][taken[u]++]);
  }
  out.Rows = 40;
  for (int n = 0; n < nodes; ++n)
    if (pick(5) == 0)
      out.Labels.push_back({strip(n), "N" + std::to_string(n)});
  return out;
}

} // namespace

TEST(PartMatching, RandomCorrectLayoutsWithFewValuesAlwaysPass) {
  int checked = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    std::mt19937 rng(seed);
    const int parts = 2 + static_cast<int>(seed % 39);
    const RandomLayout layout = MakeRandomLayout(rng, parts);
    Board board;
    Build(board, layout.Traces, layout.Rows, layout.Components);
    for (const auto &[trace, label] : layout.Labels)
      board.GetTrace(trace).Name = label;
    const CheckReport report = Check(board, layout.Netlist);
    ASSERT_TRUE(report.Implements()) << "seed " << seed << "\n"
                                     << layout.Netlist << ReportText(report);
    ++checked;
  }
  EXPECT_EQ(checked, 400);
}

TEST(PartMatching, ASearchThatReachesItsBoundSaysSoInsteadOfGuessing) {
  const ComponentKind R = ComponentKind::Resistor, C = ComponentKind::Capacitor;
  Board board;
  Build(board, 6, 10,
        {{R, 2, 3, 1, "10k"},
         {C, 3, 4, 2, "10n"},
         {R, 1, 2, 3, "10k"},
         {C, 2, 4, 4, "10n"},
         {R, 0, 1, 5, "10k"},
         {C, 1, 4, 6, "10n"}});
  const Circuit ladder = ReadCircuit(ReadNetlistText(Ladder, "ladder.net"));
  CheckReport report = CheckLayout(board, ladder, {3, 400'000});
  EXPECT_TRUE(report.Unsettled);
  EXPECT_FALSE(report.Implements());
  EXPECT_EQ(report.Problems, 0);
  EXPECT_EQ(ReportText(report),
            "The check could not settle within its bound whether the layout implements the "
            "netlist: too many like parts to try every way of pairing them with components.\n"
            "not settled: the check could not try every way of pairing like parts with "
            "components within its bound; opens, shorts and parts turned wrong are not "
            "reported\n");

  // What holds under every pairing is still said, and settles the verdict.
  Place(board, ComponentKind::Resistor, 0, 5, 8, "1M");
  report = CheckLayout(board, ladder, {3, 400'000});
  EXPECT_TRUE(report.Unsettled);
  EXPECT_EQ(report.Problems, 1);
  EXPECT_EQ(report.Lines[0].Text, "The layout does not implement the netlist: 1 problem.");
  EXPECT_EQ(report.Lines[1].Text, "not in the netlist: resistor 1M from trace 1 to trace 6, row 9");

  // With the steps it needs, the same board is judged.
  report = CheckLayout(board, ladder);
  EXPECT_FALSE(report.Unsettled);
  EXPECT_EQ(ReportText(report), "The layout does not implement the netlist: 1 problem.\n"
                                "not in the netlist: resistor 1M from trace 1 to trace 6, row 9\n");
}

// A thousand resistors in one hole: every node shares one net. The old report named every
// node beside every other (23 MB in 11 s).
TEST(PartMatching, ManyNodesOnOneNetMakeAShortReportQuickly) {
  std::string netlist;
  Board board;
  board.InitBoard(4, 10);
  for (int i = 0; i < 1000; ++i) {
    netlist +=
        "R" + std::to_string(i) + " n" + std::to_string(i) + " n" + std::to_string(i + 1) + " 1k\n";
    Place(board, ComponentKind::Resistor, 1, 1, 3, "1k");
  }
  const auto start = std::chrono::steady_clock::now();
  const CheckReport report = Check(board, netlist);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(report.Problems, 1);
  ASSERT_GE(report.Lines.size(), 2u);
  EXPECT_EQ(report.Lines[1].Text.rfind("short: nodes n0, n1, n2, ", 0), 0u);
  EXPECT_NE(report.Lines[1].Text.find(", n19, \u2026 and 981 more share one net (r0, r1, "),
            std::string::npos);
  EXPECT_LT(ReportText(report).size(), 1000u);

  // A thousand parts missing: the first lines of the kind, then how many more.
  Board empty;
  empty.InitBoard(4, 10);
  std::string distinct;
  for (int i = 0; i < 1000; ++i)
    distinct += "R" + std::to_string(i) + " a b " + std::to_string(i + 1) + "k\n";
  const CheckReport missing = Check(empty, distinct);
  EXPECT_EQ(missing.Problems, 1000);
  ASSERT_EQ(missing.Lines.size(), MaxReportLines + 2);
  EXPECT_EQ(missing.Lines[MaxReportLines].Text, "missing: r199 (200k) is not on the board");
  EXPECT_EQ(missing.Lines.back().Text, "\u2026 and 800 more problems");
  EXPECT_EQ(missing.Lines.back().Kind, ReportKind::Problem);
}
