#include "output/qt_page_canvas.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarnwick {
namespace {

constexpr double UnitsPerInch = 254.0;

QFont PrintFont() {
  QFont f(QStringLiteral("Arial"));
  f.setPointSizeF(6);
  return f;
}

int Units(double pixels, double scale) { return static_cast<int>(std::lround(pixels / scale)); }

} // namespace

QtPageCanvas::QtPageCanvas(QPainter &painter)
    : p_(painter), kx_(painter.device()->logicalDpiX() / UnitsPerInch),
      ky_(painter.device()->logicalDpiY() / UnitsPerInch), font_(PrintFont(), painter.device()),
      fm_(font_, painter.device()) {
  p_.setRenderHint(QPainter::Antialiasing, true);
  p_.setRenderHint(QPainter::TextAntialiasing, true);
  p_.setFont(font_);
  ApplyPen();
}

void QtPageCanvas::SetPenColour(PageColour c) {
  pen_ = QColor(c.R, c.G, c.B);
  ApplyPen();
}

void QtPageCanvas::SetPenWidth(int units) {
  penWidth_ = units;
  ApplyPen();
}

void QtPageCanvas::ApplyPen() {
  QPen pen(pen_, std::max(penWidth_, 1) * kx_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p_.setPen(pen);
}

void QtPageCanvas::ApplyFill() { p_.setBrush(fill_ ? QBrush(*fill_) : QBrush(Qt::NoBrush)); }

void QtPageCanvas::Line(int x1, int y1, int x2, int y2) { p_.drawLine(Map(x1, y1), Map(x2, y2)); }

void QtPageCanvas::Circle(int cx, int cy, int r) {
  ApplyFill();
  const double radius = std::abs(static_cast<double>(r));
  p_.drawEllipse(Map(cx, cy), radius * kx_, radius * ky_);
}

void QtPageCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  ApplyFill();
  p_.drawRect(QRectF(Map(x1, y1), Map(x2, y2)).normalized());
}

void QtPageCanvas::FillRect(int x1, int y1, int x2, int y2) {
  if (fill_)
    p_.fillRect(QRectF(Map(x1, y1), Map(x2, y2)).normalized(), *fill_);
}

void QtPageCanvas::Text(int x, int y, const std::string &text) {
  if (text.empty())
    return;
  const QString s = QString::fromStdString(text);
  const QPointF topLeft = Map(x, y);
  if (fill_)
    p_.fillRect(QRectF(topLeft, QSizeF(fm_.horizontalAdvance(s), fm_.height())), *fill_);
  p_.save();
  p_.setPen(Qt::black);
  p_.drawText(topLeft + QPointF(0, fm_.ascent()), s);
  p_.restore();
}

int QtPageCanvas::TextWidth(const std::string &text) {
  return Units(fm_.horizontalAdvance(QString::fromStdString(text)), kx_);
}

int QtPageCanvas::TextHeight(const std::string &) { return Units(fm_.height(), ky_); }

} // namespace tarnwick
