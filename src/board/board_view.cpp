#include "board/board_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace tarnwick {

BoardView::BoardView(QWidget *parent) : QWidget(parent) {
  setObjectName(QStringLiteral("BoardView"));
  // The view paints every pixel itself from an off-screen buffer.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardView::PaintBoard(QPainter &painter, QSize surface) {
  painter_.PaintBoard(painter, *this, DrawingFont(), surface);
}

void BoardView::paintEvent(QPaintEvent *) {
  if (buffer_.size() != size())
    buffer_ = QImage(size(), QImage::Format_RGB32);
  {
    QPainter p(&buffer_);
    PaintBoard(p, size());
  }
  QPainter screen(this);
  screen.drawImage(0, 0, buffer_);
}

void BoardView::Press(QMouseEvent *event, bool doubleClick) {
  MouseButton button = MouseButton::Middle;
  if (event->button() == Qt::LeftButton)
    button = MouseButton::Left;
  else if (event->button() == Qt::RightButton)
    button = MouseButton::Right;
  const QPoint pos = event->position().toPoint();
  HandleMousePress(button, event->modifiers() & Qt::ShiftModifier, doubleClick, pos.x(), pos.y());
}

void BoardView::mousePressEvent(QMouseEvent *event) { Press(event, false); }

// The toolkit delivers a double click as a press followed by a double-click event; the second
// press runs through the same steps with the double-click flag set.
void BoardView::mouseDoubleClickEvent(QMouseEvent *event) { Press(event, true); }

} // namespace tarnwick
