#include "editing/edit_operations.h"

#include "board/board_display.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>

#include <limits>

using namespace tarnwick;

namespace {

class CountingBoard : public Board {
public:
  int repaints = 0;
  void Repaint() override { ++repaints; }
};

BoardComponent *Put(Board &b, ComponentKind k, int start, int end, int pin) {
  auto c = std::make_unique<BoardComponent>();
  c->Kind = static_cast<std::uint8_t>(k);
  c->StartTrace = start;
  c->EndTrace = end;
  c->StartPin = pin;
  return b.AddComponent(std::move(c));
}

void LabelAll(Board &b) {
  for (int t = 0; t < b.TraceCount(); ++t)
    b.GetTrace(t).Name = "T" + std::to_string(t);
}

struct Spot {
  int start, end, pin;
  bool operator==(const Spot &) const = default;
};

Spot At(const BoardComponent *c) { return {c->StartTrace, c->EndTrace, c->StartPin}; }

} // namespace

TEST(EditMove, AllOrNoneOfTheSelectionMovesUpAndDown) {
  CountingBoard b;
  b.InitBoard(20, 20);
  BoardComponent *top = Put(b, ComponentKind::Resistor, 2, 5, 0);
  BoardComponent *mid = Put(b, ComponentKind::Wire, 6, 9, 4);
  BoardComponent *low = Put(b, ComponentKind::Diode, 1, 3, 7);
  BoardComponent *other = Put(b, ComponentKind::Wire, 1, 3, 9);
  const std::vector<BoardComponent *> sel = {top, mid, low};
  b.repaints = 0;

  EXPECT_FALSE(MoveComponents(b, sel, MoveDirection::Up));
  EXPECT_EQ(At(top), (Spot{2, 5, 0}));
  EXPECT_EQ(At(mid), (Spot{6, 9, 4}));
  EXPECT_EQ(At(low), (Spot{1, 3, 7}));
  EXPECT_EQ(b.repaints, 0);

  EXPECT_TRUE(MoveComponents(b, sel, MoveDirection::Down));
  EXPECT_EQ(At(top), (Spot{2, 5, 1}));
  EXPECT_EQ(At(mid), (Spot{6, 9, 5}));
  EXPECT_EQ(At(low), (Spot{1, 3, 8}));
  EXPECT_EQ(At(other), (Spot{1, 3, 9})); // not selected
  EXPECT_EQ(b.repaints, 1);

  EXPECT_TRUE(MoveComponents(b, sel, MoveDirection::Up));
  EXPECT_EQ(At(top), (Spot{2, 5, 0}));
  EXPECT_EQ(At(mid), (Spot{6, 9, 4}));
  EXPECT_EQ(At(low), (Spot{1, 3, 7}));

  // Landing on the holes of another component is allowed.
  EXPECT_TRUE(MoveComponents(b, {low}, MoveDirection::Down));
  EXPECT_TRUE(MoveComponents(b, {low}, MoveDirection::Down));
  EXPECT_EQ(At(low), At(other));

  // Nothing selected, or the same component twice.
  EXPECT_FALSE(MoveComponents(b, {}, MoveDirection::Down));
  EXPECT_FALSE(MoveComponents(b, {nullptr}, MoveDirection::Down));
  EXPECT_TRUE(MoveComponents(b, {mid, mid}, MoveDirection::Down));
  EXPECT_EQ(mid->StartPin, 5);
}

TEST(EditMove, TheBoardEdgesStopEveryDirection) {
  Board b;
  b.InitBoard(10, 12); // traces 0..9, rows 0..11
  BoardComponent *c = Put(b, ComponentKind::Wire, 7, 8, 10);
  EXPECT_TRUE(MoveComponents(b, {c}, MoveDirection::Down)); // from row PinCount - 2
  EXPECT_EQ(c->StartPin, 11);
  EXPECT_FALSE(MoveComponents(b, {c}, MoveDirection::Down)); // from the last row
  EXPECT_EQ(c->StartPin, 11);

  BoardComponent *single = Put(b, ComponentKind::TraceCut, 8, 8, 3);
  EXPECT_TRUE(MoveComponents(b, {single}, MoveDirection::Right)); // start on TraceCount - 2
  EXPECT_EQ(At(single), (Spot{9, 9, 3}));
  EXPECT_FALSE(MoveComponents(b, {single}, MoveDirection::Right)); // start on the last trace
  EXPECT_EQ(At(single), (Spot{9, 9, 3}));

  BoardComponent *left = Put(b, ComponentKind::TraceCut, 0, 0, 0);
  EXPECT_FALSE(MoveComponents(b, {left}, MoveDirection::Left));
  EXPECT_FALSE(MoveComponents(b, {left}, MoveDirection::Up));
  EXPECT_EQ(At(left), (Spot{0, 0, 0}));

  // Both ends are tested: an end nearer the edge than the start stops the move.
  BoardComponent *reversed = Put(b, ComponentKind::Resistor, 3, 0, 5);
  EXPECT_FALSE(MoveComponents(b, {reversed}, MoveDirection::Left));
  EXPECT_EQ(At(reversed), (Spot{3, 0, 5}));
  BoardComponent *toEdge = Put(b, ComponentKind::Resistor, 6, 9, 5);
  EXPECT_FALSE(MoveComponents(b, {toEdge}, MoveDirection::Right));
  EXPECT_EQ(At(toEdge), (Spot{6, 9, 5}));
  EXPECT_TRUE(MoveComponents(b, {reversed, toEdge}, MoveDirection::Up));
  EXPECT_EQ(At(toEdge), (Spot{6, 9, 4}));
}

// A move of several holes at once, as a drag ends with: all or none, each axis tested as that
// many single moves would test it.
TEST(EditMove, MoveByManyHolesIsAllOrNone) {
  struct Case {
    int dx, dy;
    bool moves;
  };
  // Board of 10 traces and 12 rows; a spans traces 2..4 on row 3, b traces 6..5 on row 9.
  const Case cases[] = {
      {1, 0, true},   {3, 0, true},   {4, 0, false}, // b's start reaches the last trace at 3
      {-2, 0, true},  {-3, 0, false},                // a's start reaches trace 0 at -2
      {0, 2, true},   {0, 3, false},                 // b's row reaches the last row at 2
      {0, -3, true},  {0, -4, false}, {-2, 2, true}, // a's row reaches row 0 at -3
      {-2, 3, false}, {0, 0, false},                 // nothing to move is refused too
  };
  for (const Case &c : cases) {
    CountingBoard b;
    b.InitBoard(10, 12);
    BoardComponent *a = Put(b, ComponentKind::Resistor, 2, 4, 3);
    BoardComponent *other = Put(b, ComponentKind::Wire, 6, 5, 9);
    BoardComponent *still = Put(b, ComponentKind::Wire, 0, 9, 0);
    b.repaints = 0;
    SCOPED_TRACE(std::to_string(c.dx) + ", " + std::to_string(c.dy));
    EXPECT_EQ(CanMoveComponentsBy(b, {a, other}, c.dx, c.dy), c.moves);
    EXPECT_EQ(MoveComponentsBy(b, {a, other, a}, c.dx, c.dy), c.moves);
    const int dx = c.moves ? c.dx : 0, dy = c.moves ? c.dy : 0;
    EXPECT_EQ(At(a), (Spot{2 + dx, 4 + dx, 3 + dy}));
    EXPECT_EQ(At(other), (Spot{6 + dx, 5 + dx, 9 + dy}));
    EXPECT_EQ(At(still), (Spot{0, 9, 0}));
    EXPECT_EQ(b.repaints, c.moves ? 1 : 0);
  }
  // A part already off the board in its row still moves sideways, as Move Left would take it.
  Board b;
  b.InitBoard(10, 12);
  BoardComponent *far = Put(b, ComponentKind::Wire, 2, 3, 40);
  EXPECT_TRUE(MoveComponentsBy(b, {far}, 2, 0));
  EXPECT_FALSE(MoveComponentsBy(b, {far}, 0, 1));
  EXPECT_FALSE(MoveComponentsBy(b, {}, 1, 0));
  EXPECT_FALSE(MoveComponentsBy(b, {nullptr}, 1, 0));
  // Positions a file may hold do not overflow the test.
  far->StartTrace = std::numeric_limits<std::int32_t>::max();
  EXPECT_FALSE(MoveComponentsBy(b, {far}, std::numeric_limits<std::int32_t>::max(), 0));
}

// Moving or dragging every part of a large layout takes time in proportion to the parts: each
// step of it once looked every part up in the whole selection.
TEST(EditMove, AHundredThousandSelectedPartsMoveInLinearTime) {
  Board board;
  board.InitBoard(400, 40);
  std::vector<BoardComponent *> all;
  for (int i = 0; i < 100000; ++i) {
    auto c = std::make_unique<BoardComponent>();
    c->StartTrace = 1 + i % 390;
    c->EndTrace = c->StartTrace + 2;
    c->StartPin = 1 + i % 30;
    all.push_back(board.AddComponent(std::move(c)));
  }
  Board shown;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(MoveComponents(board, all, MoveDirection::Right));
  ASSERT_TRUE(MoveComponentsBy(board, all, -1, 2));
  ASSERT_TRUE(CanMoveComponentsBy(board, all, 3, 1));
  DisplayChange drag;
  drag.Moved.assign(all.begin(), all.end());
  drag.Dx = 3;
  CopyForDisplay(board, drag, shown); // what every repaint of a drag does
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(board.GetComponent(7).StartTrace, 8);
  EXPECT_EQ(board.GetComponent(7).StartPin, 10);
  EXPECT_EQ(shown.GetComponent(7).StartTrace, 11);
  EXPECT_LT(seconds, 1.5) << "quadratic in the selection";
}

TEST(EditShift, TracesExchangeWithTheirNeighbours) {
  CountingBoard b;
  b.InitBoard(8, 20);
  LabelAll(b);
  BoardComponent *r = Put(b, ComponentKind::Resistor, 3, 4, 2);
  BoardComponent *cut = Put(b, ComponentKind::TraceCut, 2, 6, 5);
  BoardComponent *onZero = Put(b, ComponentKind::Wire, 0, 5, 8);

  b.HighlightTrace = 0;
  b.repaints = 0;
  EXPECT_FALSE(ShiftTrace(b, ShiftDirection::Left));
  EXPECT_EQ(b.HighlightTrace, 0);
  EXPECT_EQ(b.GetTrace(0).Name, "T0");
  EXPECT_EQ(b.repaints, 0);

  b.HighlightTrace = 1;
  EXPECT_TRUE(ShiftTrace(b, ShiftDirection::Left));
  EXPECT_EQ(b.HighlightTrace, 0);
  EXPECT_EQ(b.GetTrace(0).Name, "T1");
  EXPECT_EQ(b.GetTrace(1).Name, "T0");
  EXPECT_EQ(At(onZero), (Spot{1, 5, 8}));
  EXPECT_GE(b.repaints, 1);

  b.HighlightTrace = 3;
  EXPECT_TRUE(ShiftTrace(b, ShiftDirection::Right));
  EXPECT_EQ(b.HighlightTrace, 4);
  EXPECT_EQ(At(r), (Spot{4, 3, 2})); // its ends exchanged
  EXPECT_EQ(b.GetTrace(4).Name, "T3");
  EXPECT_EQ(b.GetTrace(3).Name, "T4");
  EXPECT_EQ(At(cut), (Spot{2, 6, 5})); // ends on other traces stay

  // The cut spans trace 4 and both of its neighbours; it stays in either direction.
  EXPECT_TRUE(ShiftTrace(b, ShiftDirection::Left));
  EXPECT_EQ(b.HighlightTrace, 3);
  EXPECT_EQ(At(r), (Spot{3, 4, 2}));
  b.HighlightTrace = 4;
  EXPECT_TRUE(ShiftTrace(b, ShiftDirection::Right));
  EXPECT_EQ(At(cut), (Spot{2, 6, 5}));
  EXPECT_EQ(At(r), (Spot{3, 5, 2}));
}

TEST(EditShift, RefusalsChangeNothing) {
  CountingBoard b;
  b.InitBoard(5, 20);
  LabelAll(b);
  BoardComponent *last = Put(b, ComponentKind::Wire, 4, 3, 1);
  // A position a file stored far off the board is not a trace index and never moves.
  BoardComponent *far = Put(b, ComponentKind::Wire, 999999, 3, 2);
  b.repaints = 0;
  for (int h : {-1, 4, 5, 40}) {
    b.HighlightTrace = h;
    EXPECT_FALSE(ShiftTrace(b, ShiftDirection::Right)) << h;
    EXPECT_EQ(b.HighlightTrace, h);
  }
  for (int h : {-1, 0, 5, 40}) {
    b.HighlightTrace = h;
    EXPECT_FALSE(ShiftTrace(b, ShiftDirection::Left)) << h;
  }
  EXPECT_EQ(b.repaints, 0);
  EXPECT_EQ(At(last), (Spot{4, 3, 1}));
  EXPECT_EQ(b.GetTrace(4).Name, "T4");

  b.HighlightTrace = 4;
  EXPECT_TRUE(ShiftTrace(b, ShiftDirection::Left));
  EXPECT_EQ(At(last), (Spot{3, 4, 1}));
  EXPECT_EQ(At(far), (Spot{999999, 4, 2}));
}

TEST(EditLabel, SetsTheHighlightedTraceAsTyped) {
  CountingBoard b;
  b.InitBoard(6, 20);
  LabelAll(b);
  b.HighlightTrace = 2;
  EXPECT_TRUE(SetTraceLabel(b, "  VCC "));
  EXPECT_EQ(b.GetTrace(2).Name, "  VCC ");
  EXPECT_EQ(b.repaints, 1);
  EXPECT_TRUE(SetTraceLabel(b, ""));
  EXPECT_EQ(b.GetTrace(2).Name, "");
  EXPECT_EQ(b.GetTrace(1).Name, "T1");

  for (int h : {-1, 6, 60}) {
    b.HighlightTrace = h;
    EXPECT_FALSE(SetTraceLabel(b, "GND"));
  }
  for (int t = 0; t < 6; ++t)
    EXPECT_NE(b.GetTrace(t).Name, "GND");
  EXPECT_EQ(b.repaints, 2);
}

TEST(EditBoardSize, MinimumHoldsEveryComponentEnd) {
  Board b;
  b.InitBoard(30, 30);
  EXPECT_EQ(MinimumBoardSize(b).Traces, 1);
  EXPECT_EQ(MinimumBoardSize(b).Pins, 1);
  Put(b, ComponentKind::Resistor, 12, 4, 3);
  Put(b, ComponentKind::Wire, 1, 7, 20);
  EXPECT_EQ(MinimumBoardSize(b).Traces, 13);
  EXPECT_EQ(MinimumBoardSize(b).Pins, 21);
  Put(b, ComponentKind::Wire, -5, -3, -7); // taken as stored from a file
  EXPECT_EQ(MinimumBoardSize(b).Traces, 13);

  BoardComponent *huge = Put(b, ComponentKind::Wire, 1, std::numeric_limits<int>::max(), 2);
  try {
    MinimumBoardSize(b);
    FAIL() << "no error";
  } catch (const TarnwickError &e) {
    EXPECT_STREQ(e.what(),
                 "A component lies at trace 2147483648, beyond the largest board of 10000 traces.");
  }
  // A board of more traces could not be opened again from its file.
  huge->EndTrace = 10000;
  EXPECT_THROW(MinimumBoardSize(b), TarnwickError);
  huge->EndTrace = 9999;
  EXPECT_EQ(MinimumBoardSize(b).Traces, 10000);
  huge->EndTrace = 1;
  huge->StartPin = 32767;
  EXPECT_THROW(MinimumBoardSize(b), TarnwickError);
  huge->StartPin = 32766;
  EXPECT_EQ(MinimumBoardSize(b).Pins, 32767);
}

TEST(EditShrink, ComponentsSlideToTheCornerWithTheirLabels) {
  CountingBoard b;
  b.InitBoard(40, 40);
  LabelAll(b);
  BoardComponent *a = Put(b, ComponentKind::Resistor, 5, 9, 4);
  BoardComponent *c = Put(b, ComponentKind::Wire, 8, 6, 10);
  b.SelectedComponent = c;
  b.HighlightTrace = 3;
  b.HighlightEndTrace = 20;
  b.repaints = 0;

  EXPECT_TRUE(ShrinkBoard(b));
  EXPECT_EQ(At(a), (Spot{1, 5, 1}));
  EXPECT_EQ(At(c), (Spot{4, 2, 7}));
  EXPECT_EQ(b.TraceCount(), 7);
  EXPECT_EQ(b.PinCount(), 9);
  for (int t = 0; t < 7; ++t)
    EXPECT_EQ(b.GetTrace(t).Name, "T" + std::to_string(t + 4)) << t;
  EXPECT_EQ(b.ComponentCount(), 2);
  EXPECT_EQ(b.SelectedComponent, c);
  EXPECT_EQ(b.HighlightTrace, 3); // still a trace of the board
  EXPECT_EQ(b.HighlightEndTrace, -1);
  EXPECT_GE(b.repaints, 1);

  // Already shrunk: a second run changes nothing.
  EXPECT_TRUE(ShrinkBoard(b));
  EXPECT_EQ(At(a), (Spot{1, 5, 1}));
  EXPECT_EQ(b.TraceCount(), 7);
  EXPECT_EQ(b.PinCount(), 9);
  EXPECT_EQ(b.GetTrace(0).Name, "T4");
}

TEST(EditShrink, EdgesAndEmptyBoards) {
  Board touching;
  touching.InitBoard(30, 30);
  LabelAll(touching);
  BoardComponent *corner = Put(touching, ComponentKind::Wire, 0, 3, 0);
  BoardComponent *far = Put(touching, ComponentKind::Wire, 6, 10, 12);
  touching.HighlightTrace = 20;
  EXPECT_TRUE(ShrinkBoard(touching));
  EXPECT_EQ(At(corner), (Spot{0, 3, 0}));
  EXPECT_EQ(At(far), (Spot{6, 10, 12}));
  EXPECT_EQ(touching.TraceCount(), 12);
  EXPECT_EQ(touching.PinCount(), 14);
  EXPECT_EQ(touching.GetTrace(11).Name, "T11");
  EXPECT_EQ(touching.HighlightTrace, -1);

  // On the first and the last trace: the board gains an unlabelled trace.
  Board full;
  full.InitBoard(10, 12);
  LabelAll(full);
  Put(full, ComponentKind::Wire, 0, 9, 1);
  EXPECT_TRUE(ShrinkBoard(full));
  EXPECT_EQ(full.TraceCount(), 11);
  EXPECT_EQ(full.GetTrace(9).Name, "T9");
  EXPECT_EQ(full.GetTrace(10).Name, "");
  EXPECT_EQ(full.PinCount(), 3); // row 1 stays, with one spare row before and after

  Board empty;
  empty.InitBoard(6, 20);
  LabelAll(empty);
  EXPECT_TRUE(ShrinkBoard(empty));
  EXPECT_EQ(empty.TraceCount(), 2);
  EXPECT_EQ(empty.PinCount(), 2);
  EXPECT_EQ(empty.GetTrace(0).Name, "T5");
  EXPECT_EQ(empty.GetTrace(1).Name, "T1");

  Board none;
  EXPECT_FALSE(ShrinkBoard(none));
  EXPECT_EQ(none.TraceCount(), 0);
}

TEST(EditShrink, AComponentFarOffTheBoardStopsItUnchanged) {
  Board b;
  b.InitBoard(10, 12);
  LabelAll(b);
  BoardComponent *near = Put(b, ComponentKind::Wire, 4, 5, 6);
  Put(b, ComponentKind::Wire, 4, std::numeric_limits<int>::max(), 6);
  EXPECT_THROW(ShrinkBoard(b), TarnwickError);
  EXPECT_EQ(At(near), (Spot{4, 5, 6}));
  EXPECT_EQ(b.TraceCount(), 10);
  EXPECT_EQ(b.PinCount(), 12);
  EXPECT_EQ(b.GetTrace(0).Name, "T0");

  // Two spare traces beyond the component would make the board one too many.
  b.GetComponent(1).EndTrace = 3 + 9999;
  EXPECT_THROW(PlanShrink(b), TarnwickError);
  b.GetComponent(1).EndTrace = 3 + 9998;
  EXPECT_EQ(PlanShrink(b).Size.Traces, 10000);

  // Far off but within reach: the board grows to hold it.
  b.GetComponent(1).EndTrace = 300;
  const ShrinkPlan plan = PlanShrink(b);
  EXPECT_EQ(plan.Dx, 3);
  EXPECT_EQ(plan.Dy, 5);
  EXPECT_EQ(plan.Size.Traces, 299);
  EXPECT_EQ(plan.Size.Pins, 3);

  // Negative positions taken from a file do not move the others.
  b.GetComponent(1).EndTrace = -20;
  EXPECT_TRUE(ShrinkBoard(b));
  EXPECT_EQ(At(near), (Spot{4, 5, 1}));
  EXPECT_EQ(b.TraceCount(), 7);
}
