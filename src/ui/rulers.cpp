#include "ui/rulers.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace tarnwick {
namespace {

// Rounds to the nearest integer, halves to even.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

// A length of the ruler's own drawing on a scaled screen, on whole device pixels.
int Scaled(int v, qreal ratio) { return static_cast<int>(std::lround(v * ratio)); }

// Lines a whole number of device pixels thick, never smoothed.
int Thickness(qreal ratio) { return std::max(1, static_cast<int>(std::floor(ratio + 1e-6))); }

void Begin(QPainter &p, int width, int height, qreal ratio) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(0, 0, width, height, Qt::black);
  p.setPen(Qt::white);
  p.setFont(RulerFont(ratio));
}

void TextAt(QPainter &p, int x, int y, int n) {
  const QFontMetrics fm(p.font());
  p.drawText(x, y + fm.ascent(), QString::number(n));
}

int TextWidth(QPainter &p, int n) {
  return QFontMetrics(p.font()).horizontalAdvance(QString::number(n));
}

} // namespace

QFont RulerFont(qreal ratio) {
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
  f.setPixelSize(Scaled(size, ratio));
  return f;
}

void PaintTopRuler(QPainter &p, int width, int height, int leftRulerWidth, const RulerView &view) {
  const qreal r = view.Ratio;
  const int line = Thickness(r);
  const int top = Scaled(2, r);
  const double step = view.Zoom * 18.0 / 0.254;
  Begin(p, width, height, r);
  // The ticks belong to the board, which starts beside the left ruler.
  p.setClipRect(leftRulerWidth, 0, width - leftRulerWidth, height);
  if (view.MirrorAt >= 0) {
    // Seen from below the first strip is on the right: count from its right edge leftwards,
    // each number left of its tick.
    double x = leftRulerWidth + static_cast<double>(view.Zoom) * view.MirrorAt - view.Scroll;
    const int first = RoundEven(x);
    p.fillRect(leftRulerWidth, height - line, std::min(first, width) - leftRulerWidth, line,
               Qt::white);
    int n = 0;
    int xi = 0;
    do {
      xi = RoundEven(x);
      if (xi <= width) {
        p.fillRect(xi - line, top, line, height - top, Qt::white);
        TextAt(p, xi - line - Scaled(2, r) - TextWidth(p, n), top, n);
      }
      x -= step;
      ++n;
    } while (xi >= leftRulerWidth);
    return;
  }
  const int start = leftRulerWidth + view.Zoom * 3 - view.Scroll;
  p.fillRect(std::max(start, leftRulerWidth), height - line,
             width - std::max(start, leftRulerWidth), line, Qt::white);
  double x = start;
  int n = 0;
  int xi = 0;
  do {
    xi = RoundEven(x);
    if (xi >= leftRulerWidth - Scaled(3, r) - TextWidth(p, n)) {
      p.fillRect(xi, top, line, height - top, Qt::white);
      TextAt(p, xi + Scaled(3, r), top, n);
    }
    x += step;
    ++n;
  } while (xi <= width);
}

void PaintLeftRuler(QPainter &p, int width, int height, const RulerView &view) {
  const qreal r = view.Ratio;
  const int line = Thickness(r);
  Begin(p, width, height, r);
  const int start = view.Zoom * 4 - view.Scroll;
  const int from = std::max(start, 0);
  p.fillRect(width - line, from, line, height - 1 - from, Qt::white);
  double y = start;
  int n = 0;
  int yi = 0;
  do {
    yi = RoundEven(y);
    p.fillRect(Scaled(2, r), yi, width - line - Scaled(2, r), line, Qt::white);
    TextAt(p, 0, yi + Scaled(4, r), n);
    y += view.Zoom * 15.0 / 0.254;
    ++n;
  } while (yi <= height);
}

Ruler::Ruler(Edge edge, QWidget *parent) : QWidget(parent), edge_(edge) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Ruler::SetView(int zoom, int scroll, int mirrorAt) {
  if (zoom == view_.Zoom && scroll == view_.Scroll && mirrorAt == view_.MirrorAt)
    return;
  view_.Zoom = zoom;
  view_.Scroll = scroll;
  view_.MirrorAt = mirrorAt;
  update();
}

void Ruler::Paint(QPainter &p, QSize device, const RulerView &view) {
  if (edge_ == Edge::Top)
    PaintTopRuler(p, device.width(), device.height(), Scaled(leftWidth_, view.Ratio), view);
  else
    PaintLeftRuler(p, device.width(), device.height(), view);
}

void Ruler::paintEvent(QPaintEvent *) {
  RulerView view = view_;
  view.Ratio = devicePixelRatioF();
  if (view.Ratio == 1.0) {
    QPainter p(this);
    Paint(p, size(), view);
    return;
  }
  // Drawn in device pixels, so that ticks and numbers fall on whole pixels of the screen.
  QImage image(Scaled(width(), view.Ratio), Scaled(height(), view.Ratio), QImage::Format_RGB32);
  {
    QPainter p(&image);
    Paint(p, image.size(), view);
  }
  image.setDevicePixelRatio(view.Ratio);
  QPainter(this).drawImage(0, 0, image);
}

} // namespace tarnwick
