#pragma once

#include "board/board.h"
#include "board/glyphs.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <map>
#include <tuple>

namespace tarnwick {

// Draws a board: background, strips with their holes and labels, flow bars, components and
// the size preview, in that order. The same painter serves the screen and the image export.
class BoardPainter {
public:
  BoardPainter();

  // Paints the whole board onto a raster surface of the given size (an image, or the view's
  // off-screen buffer).
  void PaintBoard(QPainter &painter, const Board &board, const QFont &font, QSize surface);

private:
  class Pass;
  const QImage &Strip(QRgb colour, int pinCount);
  const QImage &Hole(QRgb fill);

  GlyphSet glyphs_;
  // Prepared pictures of a whole strip with its holes, per colour and pin count, so that a
  // repaint blits a hundred strips instead of drawing thousands of ellipses.
  std::map<std::pair<QRgb, int>, QImage> strips_;
  std::map<QRgb, QImage> holes_;
};

} // namespace tarnwick
