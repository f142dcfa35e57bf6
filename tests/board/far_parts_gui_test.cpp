// A layout file that puts parts at the ends of the 32-bit range once froze the editor: a socket
// two billion traces long was drawn hole by hole, and far positions overflowed. The parts that
// reach the view are drawn where they lie; the rest costs nothing.
#include "board/board_view.h"
#include "document/layout_file.h"
#include "ui/main_form.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

TEST(FarParts, ArePaintedWhereTheyReachTheView) {
  const LayoutData layout = ReadLayoutFile(TARNWICK_TEST_DATA "/far_parts.twk");
  ASSERT_EQ(layout.Components.size(), 5u);
  BoardView view;
  view.setFont(ChooseBoardFont());
  BuildBoard(layout, view);
  view.SetShowFlow(true);
  view.SelectedComponent = &view.GetComponent(0); // the long socket, with its focus frame

  QImage image(320, 240, QImage::Format_RGB32);
  image.fill(Qt::magenta);
  {
    QPainter p(&image);
    view.PaintBoard(p, image.size());
  }
  // The socket from trace 1 to trace 2,000,000,000 on row 4 (y 71) runs across the whole view,
  // white between its holes and black inside each.
  for (int k = 0; k <= 20; ++k) {
    const int cx = 18 * 1 + 10 + 14 * k;
    EXPECT_EQ(image.pixel(cx + 7, 71), qRgb(255, 255, 255)) << k;
    EXPECT_EQ(image.pixel(cx + 3, 71), qRgb(0, 0, 0)) << k;
  }
  // The trace cut across traces 0 to 11 on row 2 (y 41), drawn as usual beside it.
  for (int x = 1; x < 217; x += 20)
    EXPECT_EQ(image.pixel(x, 41), qRgb(0, 0, 0)) << x;
  // Everything was painted over the test's fill.
  for (int y = 0; y < image.height(); y += 7)
    for (int x = 0; x < image.width(); x += 7)
      ASSERT_NE(image.pixel(x, y), qRgb(255, 0, 255)) << x << "," << y;
}

} // namespace
