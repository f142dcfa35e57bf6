#include "ui/rulers.h"

#include <QFontMetrics>
#include <QPainter>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace tarnwick {
namespace {

// Rounds to the nearest integer, halves to even.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

void Begin(QPainter &p, int width, int height) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(0, 0, width, height, Qt::black);
  p.setPen(Qt::white);
  p.setFont(RulerFont());
}

void TextAt(QPainter &p, int x, int y, int n) {
  const QFontMetrics fm(p.font());
  p.drawText(x, y + fm.ascent(), QString::number(n));
}

} // namespace

QFont RulerFont() {
  QFont f(QStringLiteral("Terminal"));
  f.setStyleHint(QFont::TypeWriter);
  f.setStyleStrategy(QFont::NoAntialias);
  // "Terminal" is a bitmap font whose digits are 8 pixels high. The fonts that stand in for it
  // draw smaller digits at that size, so the size is chosen, once, by the digits' height.
  static const int size = [&f] {
    int best = 8;
    int bestMiss = INT_MAX;
    for (int candidate = 8; candidate <= 12; ++candidate) {
      f.setPixelSize(candidate);
      const QRect digits = QFontMetrics(f).tightBoundingRect(QStringLiteral("0123456789"));
      const int miss = std::abs(digits.height() - 8);
      if (miss < bestMiss) {
        best = candidate;
        bestMiss = miss;
      }
    }
    return best;
  }();
  f.setPixelSize(size);
  return f;
}

void PaintTopRuler(QPainter &p, int width, int height, int leftRulerWidth) {
  Begin(p, width, height);
  // Lines leave out their end point.
  p.drawLine(leftRulerWidth + 3, height - 1, width - 1, height - 1);
  double x = leftRulerWidth + 3;
  int n = 0;
  int xi = 0;
  do {
    xi = RoundEven(x);
    p.drawLine(xi, 2, xi, height - 1);
    TextAt(p, xi + 3, 2, n);
    x += 18 / 0.254;
    ++n;
  } while (xi <= width);
}

void PaintLeftRuler(QPainter &p, int width, int height) {
  Begin(p, width, height);
  p.drawLine(width - 1, 4, width - 1, height - 2);
  double y = 4;
  int n = 0;
  int yi = 0;
  do {
    yi = RoundEven(y);
    p.drawLine(2, yi, width - 2, yi);
    TextAt(p, 0, yi + 4, n);
    y += 15 / 0.254;
    ++n;
  } while (yi <= height);
}

Ruler::Ruler(Edge edge, QWidget *parent) : QWidget(parent), edge_(edge) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Ruler::paintEvent(QPaintEvent *) {
  QPainter p(this);
  if (edge_ == Edge::Top)
    PaintTopRuler(p, width(), height(), leftWidth_);
  else
    PaintLeftRuler(p, width(), height());
}

} // namespace tarnwick
