#include "ui/rulers.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

bool White(const QImage &img, int x, int y) { return (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }

// Columns (or rows) where a full tick runs from 2 to the far edge.
std::vector<int> TopTicks(const QImage &img) {
  std::vector<int> ticks;
  for (int x = 0; x < img.width(); ++x) {
    bool full = true;
    for (int y = 2; y < img.height() && full; ++y)
      full = White(img, x, y);
    if (full && !White(img, x, 1))
      ticks.push_back(x);
  }
  return ticks;
}

TEST(Rulers, TopRulerTicksEveryCentimetreFromTheFirstStrip) {
  QImage img(600, 12, QImage::Format_RGB32);
  {
    QPainter p(&img);
    PaintTopRuler(p, img.width(), img.height(), 15);
  }
  const std::vector<int> expected = {18, 89, 160, 231, 301, 372, 443, 514, 585};
  EXPECT_EQ(TopTicks(img), expected);
  // Base line along the bottom from x = 18 to the right edge; black elsewhere in the corner.
  EXPECT_TRUE(White(img, 18, 11));
  EXPECT_TRUE(White(img, 599, 11));
  EXPECT_FALSE(White(img, 17, 11));
  EXPECT_FALSE(White(img, 0, 0));
  // A digit is written right of each tick.
  int digitPixels = 0;
  for (int y = 2; y < 11; ++y)
    for (int x = 21; x < 27; ++x)
      digitPixels += White(img, x, y);
  EXPECT_GT(digitPixels, 0);
}

TEST(Rulers, LeftRulerTicksEveryCentimetreFromTheStripTops) {
  QImage img(15, 400, QImage::Format_RGB32);
  {
    QPainter p(&img);
    PaintLeftRuler(p, img.width(), img.height());
  }
  std::vector<int> ticks;
  for (int y = 0; y < img.height(); ++y) {
    bool full = true;
    for (int x = 2; x < 14 && full; ++x)
      full = White(img, x, y);
    if (full && !White(img, 1, y))
      ticks.push_back(y);
  }
  const std::vector<int> expected = {4, 63, 122, 181, 240, 299, 358};
  EXPECT_EQ(ticks, expected);
  EXPECT_TRUE(White(img, 14, 4));    // base line on the right edge
  EXPECT_TRUE(White(img, 14, 398));  // ... down to the last pixel but one
  EXPECT_FALSE(White(img, 14, 399)); // lines leave out their end point
  EXPECT_FALSE(White(img, 14, 3));
}

// Rows (top, bottom) holding white pixels in the box, or (-1, -1) when there are none.
std::pair<int, int> InkRows(const QImage &img, QRect box) {
  int top = -1, bottom = -1;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if (White(img, x, y)) {
        if (top < 0)
          top = y;
        bottom = y;
      }
  return {top, bottom};
}

// The digits are about 8 pixels high, written right of and below their ticks.
TEST(Rulers, DigitsAreAboutEightPixelsHigh) {
  QImage top(600, 12, QImage::Format_RGB32);
  {
    QPainter p(&top);
    PaintTopRuler(p, top.width(), top.height(), 15);
  }
  // Between ticks 0 and 1, above the base line.
  const auto [t0, b0] = InkRows(top, QRect(QPoint(19, 0), QPoint(88, 10)));
  EXPECT_GE(b0 - t0 + 1, 7);
  EXPECT_LE(b0 - t0 + 1, 9);
  EXPECT_GE(t0, 2);

  QImage left(15, 400, QImage::Format_RGB32);
  {
    QPainter p(&left);
    PaintLeftRuler(p, left.width(), left.height());
  }
  // Between ticks 1 and 2, left of the base line.
  const auto [t1, b1] = InkRows(left, QRect(QPoint(0, 64), QPoint(13, 121)));
  EXPECT_GE(b1 - t1 + 1, 7);
  EXPECT_LE(b1 - t1 + 1, 9);
  EXPECT_GE(t1, 63 + 4);
}

TEST(Rulers, TicksDoNotDependOnTheWidth) {
  QImage narrow(100, 12, QImage::Format_RGB32), wide(700, 12, QImage::Format_RGB32);
  {
    QPainter p(&narrow);
    PaintTopRuler(p, narrow.width(), narrow.height(), 15);
  }
  {
    QPainter p(&wide);
    PaintTopRuler(p, wide.width(), wide.height(), 15);
  }
  const std::vector<int> expected = {18, 89};
  EXPECT_EQ(TopTicks(narrow), expected);
  EXPECT_EQ(TopTicks(wide).size(), 10u);
}

TEST(Rulers, ZoomedScrolledAndMirroredTicksStayOnTheBoardsCentimetres) {
  // Twice the size, scrolled by 100 device pixels: tick n at 15 + 2 * 3 + n * 141.7 - 100.
  QImage img(600, 12, QImage::Format_RGB32);
  {
    QPainter p(&img);
    PaintTopRuler(p, img.width(), img.height(), 15, RulerView{2, 1.0, 100, -1});
  }
  const std::vector<int> zoomed = {63, 204, 346, 488};
  EXPECT_EQ(TopTicks(img), zoomed);
  EXPECT_FALSE(White(img, 5, 11)); // nothing over the left ruler's corner

  // Seen from below, a board of 10 traces: tick 0 on the last column of the first strip, now
  // the rightmost, counting leftwards.
  {
    QPainter p(&img);
    PaintTopRuler(p, img.width(), img.height(), 15, RulerView{1, 1.0, 0, 180});
  }
  const std::vector<int> mirrored = {52, 123, 194};
  EXPECT_EQ(TopTicks(img), mirrored);
  EXPECT_TRUE(White(img, 100, 11));
  EXPECT_FALSE(White(img, 300, 11)); // no base line right of the board

  QImage left(15, 400, QImage::Format_RGB32);
  {
    QPainter p(&left);
    PaintLeftRuler(p, left.width(), left.height(), RulerView{3, 1.0, 12, -1});
  }
  std::vector<int> ticks;
  for (int y = 0; y < left.height(); ++y)
    if (White(left, 2, y) && White(left, 12, y))
      ticks.push_back(y);
  const std::vector<int> rows = {0, 177, 354}; // 3 * 4 - 12, then every 177.17
  EXPECT_EQ(ticks, rows);
}

} // namespace
