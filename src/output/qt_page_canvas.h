#pragma once

#include "output/page_canvas.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <optional>

class QPainter;

namespace tarnwick {

// Maps the page canvas onto a painter's device (a printer page, a PDF page or an image): one
// unit is 0.1 mm at the device's resolution, y is turned to point up, and the origin stays at
// the device's top-left corner, which on a printer is that of the printable area. Text is
// "Arial" at 6 points in true size whatever the resolution.
class QtPageCanvas : public PageCanvas {
public:
  explicit QtPageCanvas(QPainter &painter);

  void SetPenColour(PageColour c) override;
  void SetPenWidth(int units) override;
  void SetFill(PageColour c) override { fill_ = QColor(c.R, c.G, c.B); }
  void SetFillNone() override { fill_.reset(); }

  void Line(int x1, int y1, int x2, int y2) override;
  void Circle(int cx, int cy, int r) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void FillRect(int x1, int y1, int x2, int y2) override;
  void Text(int x, int y, const std::string &text) override;
  int TextWidth(const std::string &text) override;
  int TextHeight(const std::string &text) override;

  // Device pixels per page unit.
  double ScaleX() const { return kx_; }
  double ScaleY() const { return ky_; }

private:
  QPointF Map(int x, int y) const { return {x * kx_, -y * ky_}; }
  void ApplyPen();
  void ApplyFill();

  QPainter &p_;
  double kx_, ky_;
  QColor pen_{Qt::black};
  int penWidth_ = 1;
  std::optional<QColor> fill_{QColor(Qt::white)};
  QFont font_;
  QFontMetricsF fm_;
};

} // namespace tarnwick
