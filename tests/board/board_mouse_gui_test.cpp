#include "board/board_view.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

class Clicked : public ::testing::Test {
protected:
  void SetUp() override {
    view.resize(600, 500);
    view.show();
    view.OnHighlightTraceChange = [this](Board &) { calls += "T"; };
    view.OnHighlightKompChange = [this](Board &) { calls += "K"; };
    view.OnComponentEdit = [this](Board &) { calls += "E"; };
  }

  BoardComponent *Add(ComponentKind k, int start, int end, int pin) {
    auto c = std::make_unique<BoardComponent>();
    c->Kind = static_cast<std::uint8_t>(k);
    c->StartTrace = start;
    c->EndTrace = end;
    c->StartPin = pin;
    return view.AddComponent(std::move(c));
  }

  void Click(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier,
             Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(&view, button, mods, QPoint(x, y));
  }

  // As the platform delivers it: a press and release, then the double-click event for the
  // second press.
  void DoubleClick(int x, int y) {
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
  }

  BoardView view;
  std::string calls;
};

TEST_F(Clicked, EmptyBoardIgnoresEveryPress) {
  Click(5, 5);
  DoubleClick(5, 5);
  EXPECT_EQ(calls, "");
  EXPECT_EQ(view.HighlightTrace, -1);
  EXPECT_EQ(view.ClickedPin, 0);
}

TEST_F(Clicked, PixelAreasOfTracesAndRows) {
  view.InitBoard(10, 20);
  Click(20, 100);
  EXPECT_EQ(view.HighlightTrace, 0);
  EXPECT_EQ(view.ClickedPin, 6);
  Click(21, 100);
  EXPECT_EQ(view.HighlightTrace, 1);
  Click(2, 2);
  EXPECT_EQ(view.HighlightTrace, 0);
  EXPECT_EQ(view.ClickedPin, 0);
  Click(50, 303);
  EXPECT_EQ(view.ClickedPin, 19);
  EXPECT_EQ(view.HighlightTrace, 2);
  calls.clear();
  Click(80, 304); // below the last row
  EXPECT_EQ(view.HighlightTrace, 2);
  EXPECT_EQ(view.ClickedPin, 19);
  Click(18 * 10 + 3, 50); // right of the last strip
  EXPECT_EQ(view.HighlightTrace, 2);
  EXPECT_EQ(calls, "");
  Click(18 * 9 + 20, 50); // still the last strip's gap
  EXPECT_EQ(view.HighlightTrace, 9);
}

TEST_F(Clicked, StripClicksPlainAndWithShift) {
  view.InitBoard(10, 20);
  BoardComponent *wire = Add(ComponentKind::Wire, 1, 3, 4);
  Click(TraceX(5), PinY(2));
  EXPECT_EQ(calls, "TK");
  EXPECT_EQ(view.HighlightTrace, 5);
  EXPECT_EQ(view.HighlightEndTrace, -1);

  Click(TraceX(2), PinY(4)); // the wire
  EXPECT_EQ(view.SelectedComponent, wire);
  EXPECT_EQ(view.HighlightTrace, -1);
  calls.clear();

  // Shift on an empty strip: the end trace, the selection cleared, one notification only.
  view.HighlightTrace = 7;
  Click(TraceX(8), PinY(9), Qt::ShiftModifier);
  EXPECT_EQ(calls, "T");
  EXPECT_EQ(view.HighlightEndTrace, 8);
  EXPECT_EQ(view.HighlightTrace, 7);
  EXPECT_EQ(view.SelectedComponent, nullptr);
  EXPECT_EQ(view.ClickedPin, 9);

  // A plain click drops the end trace again.
  calls.clear();
  Click(TraceX(3), PinY(1));
  EXPECT_EQ(calls, "TK");
  EXPECT_EQ(view.HighlightTrace, 3);
  EXPECT_EQ(view.HighlightEndTrace, -1);
}

TEST_F(Clicked, HitTestInListOrderForEveryKind) {
  view.InitBoard(12, 20);
  BoardComponent *first = Add(ComponentKind::Resistor, 5, 2, 3); // reversed ends
  BoardComponent *second = Add(ComponentKind::Wire, 1, 6, 3);
  BoardComponent *cut = Add(ComponentKind::TraceCut, 2, 6, 4);
  BoardComponent *label = Add(ComponentKind::Label, 3, 8, 8);
  Click(TraceX(4), PinY(3));
  EXPECT_EQ(view.SelectedComponent, first);
  Click(TraceX(6), PinY(3));
  EXPECT_EQ(view.SelectedComponent, second);
  for (int t = 2; t <= 6; ++t) {
    Click(TraceX(t), PinY(4));
    EXPECT_EQ(view.SelectedComponent, cut) << t;
  }
  Click(TraceX(7), PinY(4));
  EXPECT_EQ(view.SelectedComponent, nullptr);
  for (int t = 3; t <= 8; ++t) {
    Click(TraceX(t) + 7, PinY(8) + 6);
    EXPECT_EQ(view.SelectedComponent, label) << t;
  }
  // With Shift, a component is selected just the same.
  calls.clear();
  Click(TraceX(4), PinY(3), Qt::ShiftModifier);
  EXPECT_EQ(view.SelectedComponent, first);
  EXPECT_EQ(calls, "K");
}

TEST_F(Clicked, DoubleClicksAndOtherButtons) {
  view.InitBoard(10, 20);
  BoardComponent *wire = Add(ComponentKind::Wire, 1, 3, 4);
  DoubleClick(TraceX(2), PinY(4));
  EXPECT_EQ(calls, "KKE");
  EXPECT_EQ(view.SelectedComponent, wire);

  calls.clear();
  DoubleClick(TraceX(6), PinY(4));
  EXPECT_EQ(calls, "TKTK");

  calls.clear();
  view.ClickedPin = 2;
  Click(TraceX(2), PinY(4), Qt::NoModifier, Qt::RightButton);
  Click(TraceX(2), PinY(9), Qt::NoModifier, Qt::MiddleButton);
  EXPECT_EQ(calls, "");
  EXPECT_EQ(view.ClickedPin, 2);
  EXPECT_EQ(view.HighlightTrace, 6);
  EXPECT_EQ(view.SelectedComponent, nullptr);
}

} // namespace
