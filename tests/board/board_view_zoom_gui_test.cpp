// The board view zoomed, seen from the copper side and dragged on: the real widget under the
// offscreen platform, read back through its own repaint.
#include "board/board_display.h"
#include "board/board_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

const QRgb LabelledStrip = qRgb(144, 128, 80);
const QRgb PlainStrip = qRgb(128, 112, 64);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);

class ViewFixture : public ::testing::Test {
protected:
  void SetUp() override {
    view.resize(400, 330);
    view.show();
    view.OnHighlightTraceChange = [this](Board &) { calls += "T"; };
    view.OnHighlightKompChange = [this](Board &) { calls += "K"; };
    view.OnComponentEdit = [this](Board &) { calls += "E"; };
    view.OnDragMove = [this](std::int32_t dx, std::int32_t dy) { moves.emplace_back(dx, dy); };
  }

  BoardComponent *Add(ComponentKind k, int start, int end, int pin) {
    auto c = std::make_unique<BoardComponent>();
    c->Kind = static_cast<std::uint8_t>(k);
    c->StartTrace = start;
    c->EndTrace = end;
    c->StartPin = pin;
    return view.AddComponent(std::move(c));
  }

  QImage Screen() { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }

  // The board drawn unzoomed from above, as the image export draws it.
  QImage Plain(QSize size) {
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    view.PaintBoard(p, size);
    return img;
  }

  // The view point showing board point (x, y) at the view's zoom and scroll position.
  QPoint At(int x, int y) {
    const int k = view.Zoom();
    return QPoint(k * x - view.ScrollPos().x(), k * y - view.ScrollPos().y());
  }

  void Move(QPoint to) {
    QMouseEvent move(QEvent::MouseMove, QPointF(to), view.mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
  }

  BoardView view;
  std::string calls;
  std::vector<std::pair<int, int>> moves;
};

TEST_F(ViewFixture, EveryZoomMapsPressesToTheSameHole) {
  view.InitBoard(30, 30);
  EXPECT_EQ(view.Zoom(), 1);
  for (int k = 1; k <= 4; ++k) {
    view.ZoomAbout(k, QPointF(0, 0));
    ASSERT_EQ(view.Zoom(), k);
    EXPECT_TRUE(view.Scrolls()) << "the board does not fit, at any zoom";
    for (QPoint scroll : {QPoint(0, 0), QPoint(37, 41)}) {
      view.SetScrollPos(scroll);
      EXPECT_EQ(view.ScrollPos(), scroll);
      for (auto [t, p] : {std::pair{2, 3}, {4, 1}, {3, 4}}) {
        SCOPED_TRACE(testing::Message() << "zoom " << k << ", hole " << t << ", " << p
                                        << ", scrolled " << view.ScrollPos().x());
        // The first and the last pixel of the hole's area, at the hole's zoomed place.
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, At(18 * t + 3, 15 * p + 4));
        EXPECT_EQ(view.HighlightTrace, t);
        EXPECT_EQ(view.ClickedPin, p);
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier,
                          At(18 * t + 20, 15 * p + 18) + QPoint(k - 1, k - 1));
        EXPECT_EQ(view.HighlightTrace, t);
        EXPECT_EQ(view.ClickedPin, p);
      }
    }
  }
  view.ActualSize();
  EXPECT_EQ(view.Zoom(), 1);
  EXPECT_EQ(view.ScrollPos(), QPoint(0, 0));
}

TEST_F(ViewFixture, ZoomedPixelsAreBlocksOfTheUnzoomedDrawing) {
  view.InitBoard(25, 20);
  view.GetTrace(1).Name = "GND";
  view.HighlightTrace = 4;
  view.HighlightEndTrace = 6;
  view.HighlightPin = 2;
  Add(ComponentKind::Resistor, 2, 5, 3)->Name = "10k";
  view.SelectedComponent = Add(ComponentKind::Socket, 7, 10, 8);
  Add(ComponentKind::ElectrolyticRadial, 12, 14, 5)->CapWidth = 3;
  const QImage one = Plain(QSize(25 * 18 + 3, 20 * 15 + 55));
  for (auto [k, scroll] : {std::pair{2, QPoint(0, 0)}, {3, QPoint(0, 0)}, {3, QPoint(50, 61)}}) {
    view.ZoomAbout(k, QPointF(0, 0));
    view.SetScrollPos(scroll);
    ASSERT_EQ(view.ScrollPos(), scroll);
    const QImage shot = Screen();
    ASSERT_EQ(shot.size(), view.size());
    int differ = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x)
        differ += shot.pixel(x, y) != one.pixel((x + scroll.x()) / k, (y + scroll.y()) / k);
    EXPECT_EQ(differ, 0) << "zoom " << k;
  }
}

TEST_F(ViewFixture, CopperSideMirrorsTheStripsAndClicksFollow) {
  view.InitBoard(10, 12);
  view.GetTrace(0).Name = "GND";
  view.SetHighlightTrace(2);
  BoardComponent *r = Add(ComponentKind::Resistor, 2, 6, 3);
  const QImage above = Screen();
  view.SetCopperSide(true);
  const QImage below = Screen();
  auto mirrored = [](int x) { return MirrorX(x, 10); };
  for (int t = 0; t < 10; ++t) {
    // Left of the holes from above is right of them from below.
    const QRgb expected = t == 2 ? Red : t == 0 ? LabelledStrip : PlainStrip;
    EXPECT_EQ(above.pixel(18 * t + 5, 20), expected) << t;
    EXPECT_EQ(below.pixel(mirrored(18 * t + 5), 20), expected) << t;
    EXPECT_EQ(below.pixel(mirrored(TraceX(t)), PinY(7)), Black) << t;
  }
  // The resistor's leads are white dots in their holes; its body is an outline, not the black
  // box with the white rim the other side shows.
  const int y = PinY(3);
  EXPECT_EQ(below.pixel(mirrored(TraceX(2)), y), White);
  EXPECT_EQ(below.pixel(mirrored(TraceX(6)), y), White);
  const int centre = (TraceX(2) + TraceX(6)) / 2;
  EXPECT_EQ(above.pixel(centre, y - 5), Black);
  EXPECT_EQ(below.pixel(mirrored(centre), y - 6), White); // the outline's top edge
  EXPECT_NE(below.pixel(mirrored(centre), y - 5), Black); // not filled
  EXPECT_NE(below.pixel(mirrored(centre), y - 5), White);

  // A click on the strip shown at the left picks the last trace.
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(mirrored(TraceX(9)), PinY(1)));
  EXPECT_EQ(view.HighlightTrace, 9);
  EXPECT_EQ(view.ClickedPin, 1);
  EXPECT_EQ(Screen().pixel(mirrored(18 * 9 + 5), 20), Red);
  EXPECT_EQ(calls, "TK");
  // Right of the first strip the copper side shows nothing of the board.
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(18 * 10 + 10, PinY(1)));
  EXPECT_EQ(view.HighlightTrace, 9);
  EXPECT_EQ(calls, "TK");
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(mirrored(TraceX(5)), y));
  EXPECT_EQ(view.SelectedComponent, r);

  // Zoomed as well: presses still find their holes.
  view.ZoomAbout(3, QPointF(0, 0));
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier,
                    At(mirrored(TraceX(8)), PinY(4)) + QPoint(1, 1));
  EXPECT_EQ(view.HighlightTrace, 8);
  EXPECT_EQ(view.ClickedPin, 4);
}

// A Label's text lies over its own holes from either side: from below over their mirrored
// places, still readable.
TEST_F(ViewFixture, ALabelCoversItsOwnHolesFromTheCopperSide) {
  view.InitBoard(20, 12);
  Add(ComponentKind::Label, 8, 8, 4)->Name = "INPUT";
  auto whiteColumns = [this](const QImage &shot) {
    int lo = shot.width(), hi = -1;
    for (int y = PinY(4); y < PinY(4) + 12; ++y)
      for (int x = 0; x < shot.width(); ++x)
        if (shot.pixel(x, y) == White) {
          lo = std::min(lo, x);
          hi = std::max(hi, x);
        }
    return std::pair{lo, hi};
  };
  const auto [aboveLo, aboveHi] = whiteColumns(Screen());
  ASSERT_LT(aboveLo, aboveHi);
  EXPECT_GE(aboveLo, TraceX(8) - 1) << "from above the text runs right from its hole";
  view.SetCopperSide(true);
  const auto [belowLo, belowHi] = whiteColumns(Screen());
  EXPECT_EQ(belowHi - belowLo, aboveHi - aboveLo);
  EXPECT_LE(std::abs(belowLo - MirrorX(aboveHi, 20)), 1);
  EXPECT_LE(std::abs(belowHi - MirrorX(aboveLo, 20)), 1);
}

TEST_F(ViewFixture, DragMovesInWholeHolesAndAPressWithoutMovementIsAClick) {
  view.InitBoard(20, 20);
  BoardComponent *w = Add(ComponentKind::Wire, 2, 4, 5);
  const QPoint on(TraceX(3), PinY(5));
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, on);
  ASSERT_EQ(view.SelectedComponent, w);
  calls.clear();

  // Pressed and released on the selected wire without moving: the usual click, a double click
  // edits it.
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, on);
  Move(on + QPoint(5, 3)); // less than half a hole
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, on + QPoint(5, 3));
  EXPECT_EQ(calls, "K");
  QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, on);
  EXPECT_EQ(calls.back(), 'E');
  EXPECT_TRUE(moves.empty());

  // Three traces right and one row up; the preview shows the wire there before the release.
  calls.clear();
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, on);
  Move(on + QPoint(20, 0));
  Move(on + QPoint(3 * 18 + 4, -15 + 2));
  EXPECT_TRUE(view.Dragging());
  const QImage preview = Screen();
  EXPECT_EQ(preview.pixel(TraceX(6), PinY(4)), White);
  EXPECT_NE(preview.pixel(TraceX(3), PinY(5)), White);
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, on + QPoint(3 * 18 + 4, -13));
  EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{3, -1}}));
  EXPECT_EQ(calls, ""); // a drag selects nothing
  EXPECT_FALSE(view.Dragging());
  EXPECT_EQ(w->StartTrace, 2); // the owner applies the move

  // Escape during the drag cancels it.
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, on);
  Move(on + QPoint(40, 0));
  QTest::keyClick(&view, Qt::Key_Escape);
  EXPECT_FALSE(view.Dragging());
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, on + QPoint(40, 0));
  EXPECT_EQ(moves.size(), 1u);
  EXPECT_EQ(calls, "");
  EXPECT_EQ(Screen().pixel(TraceX(3), PinY(5)), White);

  // A press on something not selected is handled at once and drags nothing.
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(TraceX(9), PinY(9)));
  EXPECT_EQ(view.HighlightTrace, 9);
  Move(QPoint(TraceX(12), PinY(9)));
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(TraceX(12), PinY(9)));
  EXPECT_FALSE(view.Dragging());
  EXPECT_EQ(moves.size(), 1u);
}

TEST_F(ViewFixture, DragFromTheCopperSideMovesTheOtherWay) {
  view.InitBoard(20, 20);
  BoardComponent *w = Add(ComponentKind::Wire, 2, 4, 5);
  view.SelectedComponent = w;
  view.SetCopperSide(true);
  view.ZoomAbout(2, QPointF(0, 0));
  const QPoint on = At(MirrorX(TraceX(3), 20), PinY(5));
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, on);
  Move(on + QPoint(2 * 2 * 18, 2 * 15)); // two holes to the right on the screen, one down
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, on + QPoint(2 * 2 * 18, 2 * 15));
  EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{-2, 1}}));
}

// A board larger than the view scrolls at every zoom, also unzoomed, with the wheel (sideways
// with Shift); seen from the copper side its first strips, at the right, are reached.
TEST_F(ViewFixture, ABoardThatDoesNotFitScrollsAtEveryZoom) {
  view.InitBoard(8, 10);
  EXPECT_FALSE(view.Scrolls()) << "8 strips of 10 holes fit";
  view.Resize(60, 40);
  ASSERT_EQ(view.Zoom(), 1);
  EXPECT_TRUE(view.Scrolls());
  EXPECT_EQ(view.ScrollLimit(), QPoint(60 * 18 + 3 - 400, 40 * 15 + 55 - 330));
  auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
    const QPointF at(100, 100);
    QWheelEvent e(at, view.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &e);
  };
  wheel(-120, Qt::NoModifier);
  EXPECT_EQ(view.ScrollPos(), QPoint(0, 3 * 15));
  wheel(-240, Qt::ShiftModifier);
  EXPECT_EQ(view.ScrollPos(), QPoint(6 * 18, 3 * 15));
  wheel(120, Qt::NoModifier);
  EXPECT_EQ(view.ScrollPos(), QPoint(6 * 18, 0));
  // Scrolled unzoomed, the screen is the board's drawing from the scroll position.
  const QImage plain = Plain(QSize(60 * 18 + 3, 40 * 15 + 55));
  const QImage shot = Screen();
  int differ = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      differ += shot.pixel(x, y) != plain.pixel(x + 6 * 18, y);
  EXPECT_EQ(differ, 0);

  view.SetCopperSide(true);
  view.ActualSize();
  EXPECT_EQ(view.ScrollPos().x(), view.ScrollLimit().x());
  const int x = MirrorX(TraceX(0), 60) - view.ScrollPos().x();
  ASSERT_LT(x, view.width());
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(x, PinY(2)));
  EXPECT_EQ(view.HighlightTrace, 0) << "the first strip is reached from the copper side";
}

TEST_F(ViewFixture, CtrlWheelZoomsAboutThePointer) {
  view.InitBoard(40, 40);
  const QPointF pointer(230, 170);
  const QPoint before = *view.BoardPoint(pointer);
  auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
    QWheelEvent e(pointer, view.mapToGlobal(pointer), QPoint(), QPoint(0, delta), Qt::NoButton,
                  mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &e);
    return e.isAccepted();
  };
  EXPECT_TRUE(wheel(120, Qt::ControlModifier));
  EXPECT_EQ(view.Zoom(), 2);
  EXPECT_TRUE(wheel(240, Qt::ControlModifier));
  EXPECT_EQ(view.Zoom(), 4);
  EXPECT_TRUE(wheel(120, Qt::ControlModifier));
  EXPECT_EQ(view.Zoom(), 4); // the largest factor
  EXPECT_LE((*view.BoardPoint(pointer) - before).manhattanLength(), 1);
  const QPoint scrolled = view.ScrollPos();
  EXPECT_TRUE(wheel(-120, Qt::NoModifier)); // the plain wheel scrolls
  EXPECT_EQ(view.Zoom(), 4);
  EXPECT_EQ(view.ScrollPos(), scrolled + QPoint(0, 4 * 3 * 15));
  EXPECT_TRUE(wheel(120, Qt::NoModifier));
  EXPECT_TRUE(wheel(-120, Qt::ControlModifier));
  EXPECT_EQ(view.Zoom(), 3);
  EXPECT_LE((*view.BoardPoint(pointer) - before).manhattanLength(), 1);
}

} // namespace
