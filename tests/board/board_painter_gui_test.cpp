#include "board/board_view.h"
#include "ui/main_form.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace tarnwick;

namespace {

const QRgb Background = qRgb(16, 16, 16);
const QRgb Labelled = qRgb(144, 128, 80);
const QRgb Unlabelled = qRgb(128, 112, 64);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Green = qRgb(0, 128, 0);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);
const QRgb Purple = qRgb(128, 0, 128);

QRgb Inverted(QRgb c) { return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c)); }

class Painted : public ::testing::Test {
protected:
  void SetUp() override { view.setFont(ChooseBoardFont()); }

  BoardComponent *Add(ComponentKind k, int start, int end, int pin, std::string name = "",
                      int capWidth = 0) {
    auto c = std::make_unique<BoardComponent>();
    c->Kind = static_cast<std::uint8_t>(k);
    c->StartTrace = start;
    c->EndTrace = end;
    c->StartPin = pin;
    c->Name = std::move(name);
    c->CapWidth = capWidth;
    return view.AddComponent(std::move(c));
  }

  QImage Paint(QSize size = {400, 400}) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    {
      QPainter p(&img);
      view.PaintBoard(p, size);
    }
    // Set TARNWICK_TEST_SHOTS to a folder to look at what the tests see.
    if (const char *dir = std::getenv("TARNWICK_TEST_SHOTS"))
      img.save(QStringLiteral("%1/%2.png")
                   .arg(QString::fromLocal8Bit(dir),
                        QString::fromLatin1(
                            ::testing::UnitTest::GetInstance()->current_test_info()->name())));
    return img;
  }

  static QRgb At(const QImage &img, int x, int y) { return img.pixel(x, y) | 0xFF000000; }

  // The strip colour of trace t, read between its top edge and its first hole.
  static QRgb StripColour(const QImage &img, int t) { return At(img, 18 * t + 3 + 2, 6); }

  BoardView view;
};

TEST_F(Painted, EmptyBoardIsOnlyBackground) {
  const QImage img = Paint({120, 90});
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      ASSERT_EQ(At(img, x, y), Background) << x << "," << y;
}

TEST_F(Painted, StripColoursAndHighlightedHoles) {
  view.InitBoard(8, 12);
  view.GetTrace(1).Name = "GND";
  view.HighlightTrace = 5;
  view.HighlightPin = 3;
  QImage img = Paint();
  EXPECT_EQ(StripColour(img, 0), Unlabelled);
  EXPECT_EQ(StripColour(img, 1), Labelled);
  EXPECT_EQ(StripColour(img, 5), Red);
  // The strip's outline is black and the gap to the next strip shows the background.
  EXPECT_EQ(At(img, 3, 6), Black);
  EXPECT_EQ(At(img, 17, 6), Black);
  EXPECT_EQ(At(img, 19, 6), Background);
  // Holes are black; the last row ends at 15 * pins + 4.
  EXPECT_EQ(At(img, TraceX(0), PinY(0)), Black);
  EXPECT_EQ(At(img, TraceX(0), PinY(11)), Black);
  EXPECT_EQ(At(img, 5, 15 * 12 + 3), Black);
  EXPECT_EQ(At(img, 5, 15 * 12 + 4), Background);
  // Only one highlight set: no hole is blue.
  for (int t = 0; t < 8; ++t)
    EXPECT_EQ(At(img, TraceX(t), PinY(3)), Black) << t;

  view.HighlightEndTrace = 2;
  img = Paint();
  EXPECT_EQ(StripColour(img, 2), Green);
  for (int t = 0; t < 8; ++t) {
    const bool lit = t >= 2 && t <= 5;
    EXPECT_EQ(At(img, TraceX(t), PinY(3)), lit ? Blue : Black) << t;
    EXPECT_EQ(At(img, TraceX(t), PinY(4)), Black) << t;
  }
  // The blue hole keeps its black rim.
  EXPECT_EQ(At(img, TraceX(3) - 3, PinY(3)), Black);
}

TEST_F(Painted, TraceLabelsAlternateBetweenTwoLines) {
  view.InitBoard(4, 10);
  // One-letter labels, so no label reaches the next strip's column.
  view.GetTrace(0).Name = "V";
  view.GetTrace(1).Name = "G";
  const QImage img = Paint();
  auto firstMarked = [&](int t) {
    for (int y = 15 * 10 + 4; y < img.height(); ++y)
      if (At(img, 18 * t + 3, y) != Background)
        return y;
    return -1;
  };
  const int h = QFontMetrics(view.font()).height();
  EXPECT_EQ(firstMarked(0), 15 * 10 + 8);
  EXPECT_EQ(firstMarked(1), 15 * 10 + 8 + h + 1);
  EXPECT_EQ(firstMarked(2), -1); // unlabelled: nothing under the strip
  // The label sits on a black box.
  EXPECT_EQ(At(img, 3, 15 * 10 + 8), Black);
}

TEST_F(Painted, GlyphsAtTheirOffsetsAndMirrored) {
  view.InitBoard(10, 12);
  Add(ComponentKind::Resistor, 3, 5, 2);
  Add(ComponentKind::Diode, 6, 2, 6);
  Add(ComponentKind::Diode, 2, 6, 9);
  const QImage img = Paint();
  // Resistor 3 -> 5: x1 = 64, x2 = 100, glyph left edge at 70, top at y - 11.
  const int y = PinY(2);
  EXPECT_EQ(At(img, 70, y), White);      // lead row
  EXPECT_EQ(At(img, 73, y - 5), Black);  // body outline (row 6, column 3)
  EXPECT_EQ(At(img, 73, y - 4), White);  // row 7, column 3
  EXPECT_EQ(At(img, 80, y - 1), Black);  // inside the body
  EXPECT_NE(At(img, 70, y - 11), Black); // transparent corner shows what lies beneath
  EXPECT_EQ(At(img, 70, y - 11), At(img, 70 + 24, y - 11));

  // Row 5 of the diode picture: columns 7, 8 and 14..17 black; mirrored: 6..9 and 15, 16.
  const int dy = PinY(6) - 11 + 5, left = 70;
  EXPECT_EQ(At(img, left + 6, dy), Black);
  EXPECT_EQ(At(img, left + 15, dy), Black);
  EXPECT_NE(At(img, left + 14, dy), Black);
  const int ny = PinY(9) - 11 + 5;
  EXPECT_NE(At(img, left + 6, ny), Black);
  EXPECT_EQ(At(img, left + 14, ny), Black);
  EXPECT_EQ(At(img, left + 7, ny), Black);
}

TEST_F(Painted, ShortSpanMarkerAndBareLine) {
  view.InitBoard(10, 12);
  Add(ComponentKind::Resistor, 3, 4, 2);
  Add(ComponentKind::Capacitor, 6, 7, 2);
  const QImage img = Paint();
  const int x1 = TraceX(3), y = PinY(2);
  EXPECT_EQ(At(img, x1, y - 8), White); // marker outline
  EXPECT_EQ(At(img, x1, y - 4), Black); // marker inside
  EXPECT_EQ(At(img, x1 + 9, y), White); // the line
  EXPECT_NE(At(img, x1 + 9, y - 5), Black);
  // A short capacitor has no marker: the hole above the line is just the strip.
  EXPECT_EQ(At(img, TraceX(6), y - 6), Unlabelled);
  EXPECT_EQ(At(img, TraceX(6) + 9, y), White);
}

TEST_F(Painted, SocketsCutsAndRadialCapacitors) {
  view.InitBoard(14, 20);
  Add(ComponentKind::Socket, 2, 5, 1);
  Add(ComponentKind::Socket, 9, 9, 1);
  Add(ComponentKind::TraceCut, 2, 4, 5);
  Add(ComponentKind::ElectrolyticRadial, 4, 5, 12, "", 2);
  const QImage img = Paint();
  const int y = PinY(1);
  const int xmin = TraceX(2);
  for (int k = 0; k < 4; ++k) {
    const int cx = xmin + 14 * k;
    EXPECT_EQ(At(img, cx - 1, y - 1), White) << k; // centre dot
    EXPECT_EQ(At(img, cx + 3, y), Black) << k;     // hole
    EXPECT_EQ(At(img, cx, y - 6), White) << k;     // rim
  }
  EXPECT_EQ(At(img, xmin + 14 * 4 + 3, y), White); // no fifth hole: bar only
  EXPECT_EQ(At(img, xmin - 9, y), White);          // bar from x(2) - 9 ...
  EXPECT_EQ(At(img, TraceX(5) + 8, y), White);     // ... to x(5) + 9, exclusive
  EXPECT_NE(At(img, TraceX(5) + 9, y), White);
  EXPECT_EQ(At(img, TraceX(9) - 1, y - 1), White); // single socket: one ringed hole
  EXPECT_EQ(At(img, TraceX(9) + 3, y), Black);

  // The cut blanks the strips across its row, 8 pixels high.
  const int cy = PinY(5);
  EXPECT_EQ(At(img, 18 * 3 + 3 + 2, cy - 4), Black);
  EXPECT_EQ(At(img, 18 * 3 + 3 + 2, cy + 3), Black);
  EXPECT_EQ(At(img, 18 * 3 + 3 + 2, cy + 4), Unlabelled);
  EXPECT_EQ(At(img, TraceX(4) + 8, cy), Black);
  EXPECT_EQ(At(img, TraceX(5) - 3, cy - 3), Unlabelled);

  // Radial body: radius 9 * CapWidth + 1 = 19 around the middle of the leads.
  const int ry = PinY(12), cx = (TraceX(4) + TraceX(5)) / 2;
  EXPECT_EQ(At(img, cx, ry - 19), White);
  EXPECT_NE(At(img, cx, ry - 20), White);
  EXPECT_NE(At(img, cx, ry - 12), White);
  EXPECT_EQ(At(img, TraceX(4), ry), White); // lead dots
  EXPECT_EQ(At(img, TraceX(5), ry), White);
  EXPECT_NE(At(img, cx, ry), White); // no line between the leads
}

TEST_F(Painted, FlowBarsStopAtCuts) {
  view.InitBoard(8, 12);
  Add(ComponentKind::Wire, 2, 5, 2);
  Add(ComponentKind::Wire, 2, 6, 5);
  Add(ComponentKind::Wire, 0, 2, 9);
  view.SetShowFlow(true);
  QImage img = Paint();
  const int x = TraceX(2);
  EXPECT_EQ(At(img, x, PinY(3)), Purple);
  EXPECT_EQ(At(img, x, PinY(7)), Purple);
  EXPECT_EQ(At(img, x - 2, PinY(3)), Black); // bar outline
  EXPECT_EQ(At(img, x, PinY(1)), Black);     // nothing above the first lead
  EXPECT_EQ(At(img, x, PinY(10)), Black);    // nor below the last
  EXPECT_EQ(At(img, TraceX(3), PinY(3)), Black);

  Add(ComponentKind::TraceCut, 1, 3, 7);
  img = Paint();
  EXPECT_EQ(At(img, x, PinY(3)), Purple);
  EXPECT_NE(At(img, x, PinY(6)), Purple);
  EXPECT_NE(At(img, x, PinY(8)), Purple);

  view.SetShowFlow(false);
  img = Paint();
  EXPECT_EQ(At(img, x, PinY(3)), Black);
}

TEST_F(Painted, FocusFrameAndSizePreviewInvertPixels) {
  view.InitBoard(8, 12);
  BoardComponent *wire = Add(ComponentKind::Wire, 1, 3, 0);
  view.SelectedComponent = wire;
  QImage img = Paint();
  // Frame (xmin - 9, y - 8, xmax + 9, y + 8) = (19, 3, 73, 19): every other pixel inverted.
  EXPECT_EQ(At(img, 19, 3), Inverted(Background));
  EXPECT_EQ(At(img, 20, 3), Background);
  EXPECT_EQ(At(img, 21, 3), Inverted(Background));
  EXPECT_EQ(At(img, 72, 3), Background);
  EXPECT_EQ(At(img, 71, 3), Inverted(Background));
  EXPECT_EQ(At(img, 19, 17), Inverted(Background)); // left edge, in the gap between strips
  EXPECT_EQ(At(img, 19, 18), Background);
  EXPECT_EQ(At(img, 22, 18), Inverted(Unlabelled)); // bottom edge over a strip
  EXPECT_EQ(At(img, 19, 19), Background);

  view.SelectedComponent = nullptr;
  view.SizePreview = {0, 0, 10, 14};
  img = Paint();
  EXPECT_EQ(At(img, 19, 3), Background);
  EXPECT_EQ(At(img, 2, 2), Inverted(Background));
  EXPECT_EQ(At(img, 3, 2), Background);
  EXPECT_EQ(At(img, 10 * 18 + 1 - 1, 2), Inverted(Background));
  EXPECT_EQ(At(img, 10 * 18 + 1, 3), Inverted(Background)); // right edge at x = 181
  EXPECT_EQ(At(img, 3, 14 * 15 + 1), Inverted(Background)); // bottom edge at y = 211
  EXPECT_EQ(At(img, 3, 14 * 15 + 2), Background);
  view.SizePreview = {0, 0, 10, 0};
  img = Paint();
  EXPECT_EQ(At(img, 2, 2), Background);
}

TEST_F(Painted, NamesFollowTheLabelSwitchExceptForLabels) {
  view.InitBoard(12, 12);
  Add(ComponentKind::Resistor, 1, 5, 2, "R1");
  Add(ComponentKind::Label, 1, 8, 7, "HELLO");
  Add(ComponentKind::Wire, 1, 5, 10, UnnamedComponent);
  auto whiteIn = [](const QImage &img, int l, int t, int r, int b) {
    int n = 0;
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x)
        n += At(img, x, y) == White;
    return n;
  };
  const int h = QFontMetrics(view.font()).height();
  QImage img = Paint();
  const int nameTop = PinY(2) + 8;
  EXPECT_GT(whiteIn(img, TraceX(1), nameTop + 4, TraceX(5), nameTop + h), 0);
  EXPECT_GT(whiteIn(img, TraceX(1), PinY(7), TraceX(8), PinY(7) + h), 0);
  // "<unnamed>" is never drawn: below the wire's line there is no white.
  EXPECT_EQ(whiteIn(img, TraceX(1), PinY(10) + 1, TraceX(5), PinY(10) + 4 + h), 0);

  view.SetShowLabels(false);
  img = Paint();
  EXPECT_EQ(whiteIn(img, TraceX(1), nameTop + 4, TraceX(5), nameTop + h), 0);
  EXPECT_GT(whiteIn(img, TraceX(1), PinY(7), TraceX(8), PinY(7) + h), 0);

  // A blue font still draws white names.
  view.SetShowLabels(true);
  QFont blue = view.font();
  view.setFont(blue);
  QPalette pal = view.palette();
  pal.setColor(QPalette::WindowText, Qt::blue);
  view.setPalette(pal);
  img = Paint();
  EXPECT_GT(whiteIn(img, TraceX(1), nameTop + 4, TraceX(5), nameTop + h), 0);
}

} // namespace
