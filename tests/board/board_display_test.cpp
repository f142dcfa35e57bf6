#include "board/board_display.h"

#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

BoardComponent *Put(Board &b, ComponentKind k, int start, int end, int pin) {
  auto c = std::make_unique<BoardComponent>();
  c->Kind = static_cast<std::uint8_t>(k);
  c->StartTrace = start;
  c->EndTrace = end;
  c->StartPin = pin;
  c->Name = "P" + std::to_string(b.ComponentCount());
  return b.AddComponent(std::move(c));
}

struct Spot {
  int start, end, pin;
  bool operator==(const Spot &) const = default;
};
Spot At(const BoardComponent &c) { return {c.StartTrace, c.EndTrace, c.StartPin}; }

} // namespace

TEST(BoardDisplay, CopperSideCopyMirrorsTracesAndKeepsEverythingElse) {
  Board b;
  b.InitBoard(10, 12);
  b.GetTrace(0).Name = "GND";
  b.GetTrace(7).Name = "VCC";
  BoardComponent *r = Put(b, ComponentKind::Resistor, 2, 5, 3);
  Put(b, ComponentKind::TraceCut, 9, 9, 0);
  b.SelectedComponent = r;
  b.HighlightTrace = 1;
  b.HighlightEndTrace = -1;
  b.HighlightPin = 4;
  b.SizePreview = {0, 0, 12, 14};
  b.SetShowLabels(false);
  b.SetShowNets(true);
  b.Tint.Copper = {{1, 0, 11}};
  b.Tint.Components = {r};

  // Strip 0 (3..17) goes where strip 9 lies (165..179), the left margin to the right edge.
  EXPECT_EQ(MirrorX(3, 10), 179);
  EXPECT_EQ(MirrorX(17, 10), 165);
  EXPECT_EQ(MirrorX(0, 10), 182);
  EXPECT_EQ(MirrorX(MirrorX(TraceX(4), 10), 10), TraceX(4));

  Board shown;
  DisplayChange change;
  change.Mirrored = true;
  CopyForDisplay(b, change, shown);
  ASSERT_EQ(shown.TraceCount(), 10);
  EXPECT_EQ(shown.PinCount(), 12);
  EXPECT_EQ(shown.GetTrace(9).Name, "GND");
  EXPECT_EQ(shown.GetTrace(2).Name, "VCC");
  EXPECT_EQ(shown.GetTrace(0).Name, "");
  ASSERT_EQ(shown.ComponentCount(), 2);
  EXPECT_EQ(At(shown.GetComponent(0)), (Spot{7, 4, 3})); // the start end stays the start
  EXPECT_EQ(At(shown.GetComponent(1)), (Spot{0, 0, 0}));
  EXPECT_EQ(shown.GetComponent(0).Name, "P0");
  EXPECT_EQ(shown.SelectedComponent, &shown.GetComponent(0));
  EXPECT_EQ(shown.HighlightTrace, 8);
  EXPECT_EQ(shown.HighlightEndTrace, -1); // none stays none
  EXPECT_EQ(shown.HighlightPin, 4);
  EXPECT_FALSE(shown.ShowLabels());
  EXPECT_TRUE(shown.ShowNets());
  EXPECT_EQ(shown.Tint.Copper, (std::vector<CopperSpan>{{8, 0, 11}}));
  EXPECT_EQ(shown.Tint.Components, (std::vector<const BoardComponent *>{&shown.GetComponent(0)}));
  EXPECT_EQ(shown.SizePreview.Right, 0); // the view draws the mirrored frame itself
  EXPECT_EQ(At(*r), (Spot{2, 5, 3}));    // the board itself is untouched

  // Seen from above again, into the same copy: everything as on the board.
  CopyForDisplay(b, DisplayChange{}, shown);
  EXPECT_EQ(At(shown.GetComponent(0)), (Spot{2, 5, 3}));
  EXPECT_EQ(shown.GetTrace(0).Name, "GND");
  EXPECT_EQ(shown.HighlightTrace, 1);
  EXPECT_EQ(shown.SizePreview.Bottom, 14);
}

TEST(BoardDisplay, DraggedComponentsShowAtTheirNewPlaceFromEitherSide) {
  Board b;
  b.InitBoard(10, 12);
  BoardComponent *a = Put(b, ComponentKind::Wire, 1, 3, 2);
  BoardComponent *c = Put(b, ComponentKind::Diode, 4, 8, 6);
  BoardComponent *still = Put(b, ComponentKind::Wire, 0, 1, 0);
  DisplayChange change;
  change.Moved = {a, c};
  change.Dx = 2;
  change.Dy = -1;
  EXPECT_FALSE(change.IsNone());
  Board shown;
  CopyForDisplay(b, change, shown);
  EXPECT_EQ(At(shown.GetComponent(0)), (Spot{3, 5, 1}));
  EXPECT_EQ(At(shown.GetComponent(1)), (Spot{6, 10, 5}));
  EXPECT_EQ(At(shown.GetComponent(2)), (Spot{0, 1, 0}));
  // A component added since the last copy: the copy is made anew.
  Put(b, ComponentKind::Wire, 9, 9, 11);
  change.Mirrored = true;
  CopyForDisplay(b, change, shown);
  ASSERT_EQ(shown.ComponentCount(), 4);
  EXPECT_EQ(At(shown.GetComponent(0)), (Spot{6, 4, 1}));
  EXPECT_EQ(At(shown.GetComponent(3)), (Spot{0, 0, 11}));
  EXPECT_EQ(At(*still), (Spot{0, 1, 0}));
  EXPECT_TRUE((DisplayChange{false, {a}, 0, 0}.IsNone()));
}
