#pragma once

#include "board/board.h"
#include "board/board_painter.h"

#include <QImage>
#include <QWidget>

namespace tarnwick {

// The board control: the board model drawn on screen, reacting to mouse presses.
class BoardView : public QWidget, public Board {
  Q_OBJECT
public:
  explicit BoardView(QWidget *parent = nullptr);

  void Repaint() override { update(); }

  // Paints the board onto any raster surface of the given size; the view and the image export
  // both draw through this.
  void PaintBoard(QPainter &painter, QSize surface);
  // Writes the board as a PNG file with the caption underneath (defined with the image export).
  void SaveImage(const QString &fileName, const QString &caption);
  // The font the board draws its texts in: the control's font.
  QFont DrawingFont() const { return font(); }

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
  void Press(QMouseEvent *event, bool doubleClick);

  BoardPainter painter_;
  QImage buffer_;
};

} // namespace tarnwick
