#include "board/board.h"

#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

// Counts the repaints the model asks for.
class CountingBoard : public Board {
public:
  int repaints = 0;
  void Repaint() override { ++repaints; }
};

std::unique_ptr<BoardComponent> Part(ComponentKind k, int start, int end, int pin) {
  auto c = std::make_unique<BoardComponent>();
  c->Kind = static_cast<std::uint8_t>(k);
  c->StartTrace = start;
  c->EndTrace = end;
  c->StartPin = pin;
  return c;
}

} // namespace

TEST(BoardModel, NewComponentAndBoardStartEmpty) {
  BoardComponent c;
  EXPECT_EQ(c.Name, "");
  EXPECT_EQ(c.Kind, 0);
  EXPECT_EQ(c.StartTrace, 0);
  EXPECT_EQ(c.EndTrace, 0);
  EXPECT_EQ(c.StartPin, 0);
  EXPECT_EQ(c.CapWidth, 0);
  Board b;
  EXPECT_EQ(b.TraceCount(), 0);
  EXPECT_EQ(b.PinCount(), 0);
  EXPECT_EQ(b.HighlightTrace, -1);
  EXPECT_EQ(b.HighlightEndTrace, -1);
  EXPECT_EQ(b.HighlightPin, -1);
  EXPECT_EQ(b.ClickedPin, 0);
  EXPECT_TRUE(b.ShowLabels());
  EXPECT_FALSE(b.ShowFlow());
}

TEST(BoardModel, InitBoardClampsPinsAndOnlyActsOnAnEmptyBoard) {
  CountingBoard b;
  b.InitBoard(40, 100);
  EXPECT_EQ(b.TraceCount(), 40);
  EXPECT_EQ(b.PinCount(), 40);
  EXPECT_EQ(b.repaints, 0);
  b.InitBoard(10, 20);
  EXPECT_EQ(b.TraceCount(), 40);
  EXPECT_EQ(b.PinCount(), 40);

  Board small;
  small.InitBoard(40, 3);
  EXPECT_EQ(small.PinCount(), 10);
  EXPECT_EQ(small.GetTrace(39).Name, "");

  Board none;
  none.InitBoard(-5, 20);
  EXPECT_EQ(none.TraceCount(), 0);
  EXPECT_EQ(none.PinCount(), 20);
}

TEST(BoardModel, ResizeKeepsLabelsAndDoesNotClamp) {
  CountingBoard b;
  b.InitBoard(5, 20);
  for (int t = 0; t < 5; ++t)
    b.GetTrace(t).Name = "L" + std::to_string(t);
  b.AddComponent(Part(ComponentKind::Wire, 3, 4, 19));
  b.repaints = 0;
  b.Resize(5, 20);
  EXPECT_EQ(b.GetTrace(4).Name, "L4");
  EXPECT_EQ(b.repaints, 1);
  b.Resize(3, 60);
  EXPECT_EQ(b.TraceCount(), 3);
  EXPECT_EQ(b.PinCount(), 60);
  EXPECT_EQ(b.GetTrace(2).Name, "L2");
  EXPECT_EQ(b.ComponentCount(), 1); // components beyond the edge stay
  EXPECT_EQ(b.GetComponent(0).StartTrace, 3);
  b.Resize(6, 5);
  EXPECT_EQ(b.TraceCount(), 6);
  EXPECT_EQ(b.PinCount(), 5);
  EXPECT_EQ(b.GetTrace(1).Name, "L1");
  EXPECT_EQ(b.GetTrace(3).Name, "");
  EXPECT_EQ(b.GetTrace(5).Name, "");
}

TEST(BoardModel, ClearKeepsPinCountAndViewState) {
  CountingBoard b;
  b.InitBoard(8, 25);
  BoardComponent *c = b.AddComponent(Part(ComponentKind::Resistor, 1, 3, 2));
  b.SelectedComponent = c;
  b.HighlightTrace = 2;
  b.HighlightEndTrace = 5;
  b.HighlightPin = 7;
  b.ClickedPin = 4;
  b.SizePreview = {0, 0, 9, 9};
  b.repaints = 0;
  b.Clear();
  EXPECT_EQ(b.TraceCount(), 0);
  EXPECT_EQ(b.ComponentCount(), 0);
  EXPECT_EQ(b.SelectedComponent, nullptr);
  EXPECT_EQ(b.PinCount(), 25);
  EXPECT_EQ(b.HighlightTrace, 2);
  EXPECT_EQ(b.HighlightEndTrace, 5);
  EXPECT_EQ(b.HighlightPin, 7);
  EXPECT_EQ(b.ClickedPin, 4);
  EXPECT_EQ(b.SizePreview.Right, 9);
  EXPECT_EQ(b.repaints, 0);
  // A new board can be built after a clear.
  b.InitBoard(3, 12);
  EXPECT_EQ(b.TraceCount(), 3);
}

TEST(BoardModel, RemoveComponentFreesOnlyItsOwn) {
  CountingBoard b;
  b.InitBoard(10, 20);
  BoardComponent *first = b.AddComponent(Part(ComponentKind::Wire, 0, 2, 1));
  BoardComponent *second = b.AddComponent(Part(ComponentKind::Diode, 3, 6, 1));
  EXPECT_EQ(b.repaints, 2);
  b.SelectedComponent = second;
  b.repaints = 0;
  b.RemoveComponent(second);
  EXPECT_EQ(b.SelectedComponent, nullptr);
  EXPECT_EQ(b.ComponentCount(), 1);
  EXPECT_EQ(&b.GetComponent(0), first);
  EXPECT_EQ(b.repaints, 0);

  BoardComponent foreign;
  foreign.Name = "mine";
  b.SelectedComponent = first;
  b.RemoveComponent(&foreign);
  EXPECT_EQ(b.ComponentCount(), 1);
  EXPECT_EQ(b.SelectedComponent, first);
  EXPECT_EQ(foreign.Name, "mine"); // still alive, untouched
}

TEST(BoardModel, IndexErrorsCarryTheIndexAndChangeNothing) {
  Board b;
  b.InitBoard(4, 12);
  b.AddComponent(Part(ComponentKind::Wire, 0, 1, 0));
  try {
    b.GetTrace(4);
    FAIL() << "no error";
  } catch (const TarnwickError &e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (4)");
  }
  try {
    b.GetComponent(-1);
    FAIL() << "no error";
  } catch (const TarnwickError &e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
  }
  EXPECT_THROW(b.GetComponent(1), TarnwickError);
  EXPECT_EQ(b.TraceCount(), 4);
  EXPECT_EQ(b.ComponentCount(), 1);
}

TEST(BoardModel, KindTextsAndGeometry) {
  const char *expected[] = {"---", "R", "C", "C", "D", "(o)", "<->", "C", "TXT"};
  for (int k = 0; k < 9; ++k)
    EXPECT_EQ(KindListText(static_cast<std::uint8_t>(k)), expected[k]) << k;
  EXPECT_EQ(KindListText(9), "---");
  EXPECT_EQ(KindListText(255), "---");
  EXPECT_EQ(TraceX(0), 10);
  EXPECT_EQ(TraceX(3), 64);
  EXPECT_EQ(PinY(0), 11);
  EXPECT_EQ(PinY(4), 71);
  EXPECT_EQ(TraceAt(2), 0);
  EXPECT_EQ(PinAt(2), 0);
  EXPECT_EQ(TraceAt(20), 0);
  EXPECT_EQ(TraceAt(21), 1);
  EXPECT_EQ(PinAt(18), 0);
  EXPECT_EQ(PinAt(19), 1);
}

TEST(BoardModel, HighlightSettersAndSwitchesRepaintWithoutNotifying) {
  CountingBoard b;
  int notifications = 0;
  b.OnHighlightTraceChange = [&](Board &) { ++notifications; };
  b.OnHighlightKompChange = [&](Board &) { ++notifications; };
  b.SetHighlightTrace(3);
  b.SetHighlightEndTrace(5);
  b.SetShowLabels(false);
  b.SetShowFlow(true);
  EXPECT_EQ(b.HighlightTrace, 3);
  EXPECT_EQ(b.HighlightEndTrace, 5);
  EXPECT_FALSE(b.ShowLabels());
  EXPECT_TRUE(b.ShowFlow());
  EXPECT_EQ(b.repaints, 4);
  EXPECT_EQ(notifications, 0);
}
