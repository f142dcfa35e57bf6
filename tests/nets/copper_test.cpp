// The copper's islands and nets, against hand-worked boards and against a plain flood fill over
// the holes of random boards.
#include "nets/copper.h"
#include "nets/small_circuit.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

using namespace tarnwick;
using nets_test::Place;

namespace {

// The reference: every hole not under a cut is a cell; a cell joins the cell below it on the
// same strip and, through a wire, the cell under the wire's other end. Flood fill numbers the
// groups.
std::vector<std::vector<int>> FloodFill(const Board &b) {
  const int T = b.TraceCount(), P = b.PinCount();
  std::vector<std::vector<int>> cell(T, std::vector<int>(P, -2)); // -2 copper, -1 cut
  std::vector<std::vector<std::pair<int, int>>> links(T * P);
  auto on = [&](int t, int p) { return t >= 0 && t < T && p >= 0 && p < P && cell[t][p] != -1; };
  for (int i = 0; i < b.ComponentCount(); ++i) {
    const BoardComponent &c = b.GetComponent(i);
    if (c.Is(ComponentKind::TraceCut))
      for (int t = std::min(c.StartTrace, c.EndTrace); t <= std::max(c.StartTrace, c.EndTrace); ++t)
        if (t >= 0 && t < T && c.StartPin >= 0 && c.StartPin < P)
          cell[t][c.StartPin] = -1;
  }
  for (int i = 0; i < b.ComponentCount(); ++i) {
    const BoardComponent &c = b.GetComponent(i);
    if (c.Is(ComponentKind::Wire) && on(c.StartTrace, c.StartPin) && on(c.EndTrace, c.StartPin)) {
      links[c.StartTrace * P + c.StartPin].push_back({c.EndTrace, c.StartPin});
      links[c.EndTrace * P + c.StartPin].push_back({c.StartTrace, c.StartPin});
    }
  }
  int next = 0;
  for (int t = 0; t < T; ++t)
    for (int p = 0; p < P; ++p) {
      if (cell[t][p] != -2)
        continue;
      std::vector<std::pair<int, int>> stack{{t, p}};
      cell[t][p] = next;
      while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        std::vector<std::pair<int, int>> near = links[x * P + y];
        near.push_back({x, y - 1});
        near.push_back({x, y + 1});
        for (auto [u, v] : near)
          if (on(u, v) && cell[u][v] == -2) {
            cell[u][v] = next;
            stack.push_back({u, v});
          }
      }
      ++next;
    }
  return cell;
}

} // namespace

TEST(Copper, RandomBoardsGiveTheNetsOfAPlainFloodFill) {
  std::mt19937 rng(2026);
  for (int round = 0; round < 300; ++round) {
    Board b;
    const int T = 1 + static_cast<int>(rng() % 14);
    b.InitBoard(T, 10 + static_cast<int>(rng() % 12));
    const int P = b.PinCount();
    const int parts = static_cast<int>(rng() % 40);
    for (int i = 0; i < parts; ++i)
      Place(b, static_cast<ComponentKind>(rng() % 9), static_cast<int>(rng() % (T + 2)) - 1,
            static_cast<int>(rng() % (T + 2)) - 1, static_cast<int>(rng() % (P + 2)) - 1, "x");
    const Copper copper(b);
    const auto reference = FloodFill(b);
    std::map<int, int> toReference, fromReference;
    int firstSeen = 0;
    std::vector<int> holesOfNet(copper.NetCount(), 0);
    for (int t = 0; t < T; ++t)
      for (int p = 0; p < P; ++p) {
        const int net = copper.NetAt(t, p), ref = reference[t][p];
        ASSERT_EQ(net < 0, ref < 0) << "round " << round << " hole " << t << "," << p;
        if (net < 0)
          continue;
        ++holesOfNet[net];
        // One net for one group and back; nets numbered in the order of their first hole.
        if (!toReference.count(net)) {
          EXPECT_EQ(net, firstSeen++) << "round " << round;
          toReference[net] = ref;
        }
        fromReference.emplace(ref, net);
        EXPECT_EQ(toReference[net], ref) << "round " << round;
        EXPECT_EQ(fromReference[ref], net) << "round " << round;
      }
    ASSERT_EQ(copper.NetCount(), firstSeen) << "round " << round;
    for (int net = 0; net < copper.NetCount(); ++net) {
      int holes = 0;
      for (const CopperSpan &s : copper.Islands(net)) {
        holes += s.LastPin - s.FirstPin + 1;
        for (int p = s.FirstPin; p <= s.LastPin; ++p)
          EXPECT_EQ(copper.NetAt(s.Trace, p), net);
      }
      EXPECT_EQ(holes, holesOfNet[net]) << "round " << round;
    }
    for (const Terminal &end : copper.Terminals())
      EXPECT_EQ(end.Net, copper.NetAt(end.Trace, end.Pin));
  }
}

TEST(Copper, CutsWiresAndEndsOnAHandWorkedBoard) {
  Board b;
  b.InitBoard(6, 10);
  b.GetTrace(0).Name = "a";
  b.GetTrace(4).Name = "A";
  b.GetTrace(5).Name = "b";
  Place(b, ComponentKind::TraceCut, 2, 0, 4, "");  // cuts row 4 of traces 0..2, either order
  Place(b, ComponentKind::TraceCut, 1, 1, 5, "");  // with row 4: no copper between them
  Place(b, ComponentKind::Wire, 0, 4, 8, "");      // lower trace 0 to trace 4
  Place(b, ComponentKind::Wire, 5, 2, 4, "");      // its end on trace 2 lies on the cut
  Place(b, ComponentKind::Resistor, 3, 7, 1, "r"); // its end lies off the board
  Place(b, ComponentKind::Socket, 0, 3, 2, "dip"); // one end only, at its start
  Place(b, ComponentKind::Label, 0, 5, 3, "text"); // no ends
  const Copper copper(b);

  EXPECT_EQ(copper.FaultAt(1, 4), EndFault::OnCut);
  EXPECT_EQ(copper.FaultAt(6, 0), EndFault::OffBoard);
  EXPECT_EQ(copper.FaultAt(0, -1), EndFault::OffBoard);
  EXPECT_EQ(copper.NetAt(0, 4), -1);
  EXPECT_NE(copper.NetAt(0, 3), copper.NetAt(0, 5));
  EXPECT_EQ(copper.NetAt(0, 5), copper.NetAt(4, 0)); // the wire on row 8
  EXPECT_EQ(copper.NetAt(3, 4), copper.NetAt(3, 9)); // trace 3 is not cut
  const std::int32_t lower = copper.NetAt(0, 9);
  EXPECT_EQ(copper.Islands(lower), (std::vector<CopperSpan>{{0, 5, 9}, {4, 0, 9}}));
  EXPECT_EQ(copper.Islands(copper.NetAt(1, 9)), (std::vector<CopperSpan>{{1, 6, 9}}));
  // "a" and "A" are one label; the upper island of trace 0 carries it too.
  EXPECT_EQ(copper.Labels(lower), std::vector<std::string>{"a"});
  EXPECT_EQ(copper.Labels(copper.NetAt(0, 0)), std::vector<std::string>{"a"});
  EXPECT_EQ(copper.Labels(copper.NetAt(2, 0)), std::vector<std::string>{});

  ASSERT_EQ(copper.LooseWireEnds().size(), 1u);
  EXPECT_EQ(copper.LooseWireEnds()[0].Trace, 2);
  EXPECT_EQ(copper.LooseWireEnds()[0].Fault, EndFault::OnCut);
  ASSERT_EQ(copper.Terminals().size(), 3u);
  EXPECT_EQ(copper.Terminals()[0].Net, copper.NetAt(3, 1));
  EXPECT_EQ(copper.Terminals()[1].Fault, EndFault::OffBoard);
  EXPECT_EQ(copper.Terminals()[1].Net, -1);
  EXPECT_EQ(copper.Terminals()[2].Trace, 0);
  EXPECT_EQ(copper.Terminals()[2].Component, 5);
  // Six strips; trace 0 and 2 in two pieces, trace 1 in two, the wire joins two of them.
  EXPECT_EQ(copper.NetCount(), 6 + 3 - 1);
}

TEST(Copper, MarkedCopperFollowsTheSwitchAndTheClickedHole) {
  Board b;
  b.InitBoard(4, 10);
  Place(b, ComponentKind::Wire, 0, 3, 2, "");
  Place(b, ComponentKind::TraceCut, 0, 0, 5, "");
  b.Tint.Copper = {{2, 0, 1}};
  b.HighlightTrace = 3;
  b.ClickedPin = 7;
  EXPECT_EQ(MarkedCopper(b), b.Tint.Copper); // switch off: only the report's marks
  b.SetShowNets(true);
  EXPECT_EQ(MarkedCopper(b), (std::vector<CopperSpan>{{2, 0, 1}, {0, 0, 4}, {3, 0, 9}}));
  b.ClickedPin = 5;
  b.HighlightTrace = 0; // a cut hole belongs to no net
  EXPECT_EQ(MarkedCopper(b), b.Tint.Copper);
  b.HighlightTrace = -1;
  EXPECT_EQ(MarkedCopper(b), b.Tint.Copper);
  // A removed component is no longer marked.
  b.Tint.Components = {&b.GetComponent(1), &b.GetComponent(0)};
  b.RemoveComponent(&b.GetComponent(0));
  EXPECT_EQ(b.Tint.Components, std::vector<const BoardComponent *>{&b.GetComponent(0)});
}

TEST(Copper, CutsOverTooManyHolesAreRefused) {
  Board b;
  b.InitBoard(1, 10);
  b.Resize(10000, 10);
  for (int i = 0; i <= MaxCutHoles / 10000; ++i)
    Place(b, ComponentKind::TraceCut, 0, 9999, i % 10, "");
  EXPECT_THROW(Copper{b}, TarnwickError);
  b.SetShowNets(true);
  b.HighlightTrace = 0;
  EXPECT_TRUE(MarkedCopper(b).empty()); // the drawing goes on without the net
}

TEST(Copper, EndsPerKind) {
  const std::pair<ComponentKind, int> table[] = {
      {ComponentKind::Wire, 0},      {ComponentKind::Resistor, 2},
      {ComponentKind::Capacitor, 2}, {ComponentKind::ElectrolyticAxial, 2},
      {ComponentKind::Diode, 2},     {ComponentKind::Socket, 1},
      {ComponentKind::TraceCut, 0},  {ComponentKind::ElectrolyticRadial, 2},
      {ComponentKind::Label, 0}};
  for (const auto &[kind, count] : table) {
    BoardComponent c;
    c.Kind = static_cast<std::uint8_t>(kind);
    EXPECT_EQ(TerminalCount(c), count) << int(c.Kind);
  }
  BoardComponent unknown;
  unknown.Kind = 42;
  EXPECT_EQ(TerminalCount(unknown), 0);
}
