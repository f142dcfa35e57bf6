#include "board/canvas.h"

#include <QPaintDevice>
#include <QPolygon>
#include <algorithm>

namespace tarnwick {
namespace {
// Board texts are small; drawn without smoothing they stay sharp and keep the board's colours.
QFont Crisp(QFont f) {
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}
} // namespace

Canvas::Canvas(QPainter &painter, const QFont &font) : p_(painter), font_(Crisp(font)), fm_(font_) {
  p_.setRenderHint(QPainter::Antialiasing, false);
  p_.setFont(font_);
}

void Canvas::SetBold(bool bold) {
  font_.setBold(bold);
  fm_ = QFontMetrics(font_);
  p_.setFont(font_);
}

void Canvas::FillRect(int l, int t, int r, int b, QColor c) {
  if (r > l && b > t)
    p_.fillRect(l, t, r - l, b - t, c);
}

void Canvas::Rectangle(int l, int t, int r, int b) {
  if (r <= l || b <= t)
    return;
  if (solid_)
    p_.fillRect(l, t, r - l, b - t, brush_);
  p_.setPen(pen_);
  p_.setBrush(Qt::NoBrush);
  if (r - l == 1 || b - t == 1)
    p_.fillRect(l, t, r - l, b - t, pen_);
  else
    p_.drawRect(l, t, r - l - 1, b - t - 1);
}

void Canvas::Ellipse(int l, int t, int r, int b) {
  if (r - l < 2 || b - t < 2) {
    // Too small for an outline and an inside: the platform draws a dot of the outline colour.
    if (r > l && b > t)
      p_.fillRect(l, t, r - l, b - t, pen_);
    return;
  }
  p_.setPen(pen_);
  p_.setBrush(solid_ ? QBrush(brush_) : QBrush(Qt::NoBrush));
  p_.drawEllipse(l, t, r - l - 1, b - t - 1);
}

void Canvas::Line(int x1, int y1, int x2, int y2) {
  if (x1 == x2 && y1 == y2)
    return;
  // Leave out the end point by stepping one pixel back towards the start.
  const int ex = x2 - (x2 > x1) + (x2 < x1);
  const int ey = y2 - (y2 > y1) + (y2 < y1);
  p_.setPen(pen_);
  p_.drawLine(x1, y1, ex, ey);
}

int Canvas::TextHeight(const QString &) const { return fm_.height(); }

void Canvas::TextOut(int x, int y, const QString &s) {
  if (s.isEmpty())
    return;
  if (solid_)
    p_.fillRect(x, y, fm_.horizontalAdvance(s), fm_.height(), brush_);
  p_.setPen(text_);
  p_.drawText(x, y + fm_.ascent(), s);
}

void Canvas::TextCentered(int l, int t, int r, int b, const QString &s) {
  const int w = fm_.horizontalAdvance(s);
  const int h = fm_.height();
  const int x = l + (r - l - w) / 2;
  const int y = t + (b - t - h) / 2;
  TextOut(x, y, s);
}

void Canvas::FocusRect(int l, int t, int r, int b) {
  if (r <= l || b <= t)
    return;
  QPolygon points;
  auto dot = [&](int x, int y) {
    if (((x - l) + (y - t)) % 2 == 0)
      points << QPoint(x, y);
  };
  // Only the dots on the surface are made, so a frame far larger than it costs no more; the
  // pattern still counts from the frame's own corner.
  const QPaintDevice *device = p_.device();
  const int x0 = std::max(l, -1), x1 = std::min(r, device ? device->width() + 1 : r);
  const int y0 = std::max(t + 1, -1), y1 = std::min(b - 1, device ? device->height() + 1 : b - 1);
  for (int x = x0; x < x1; ++x) {
    dot(x, t);
    if (b - 1 > t)
      dot(x, b - 1);
  }
  for (int y = y0; y < y1; ++y) {
    dot(l, y);
    if (r - 1 > l)
      dot(r - 1, y);
  }
  const auto mode = p_.compositionMode();
  p_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  p_.setPen(QColor(255, 255, 255));
  p_.drawPoints(points);
  p_.setCompositionMode(mode);
}

} // namespace tarnwick
