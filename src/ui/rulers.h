#pragma once

#include <QWidget>

class QPainter;

namespace tarnwick {

// What the rulers measure: the board as the view shows it.
struct RulerView {
  int Zoom = 1;      // device pixels per pixel of the board's drawing
  qreal Ratio = 1.0; // device pixels per window pixel: the size of the ticks and numbers
  int Scroll = 0;    // device pixels of the board scrolled out of view along the ruler
  int MirrorAt = -1; // seen from below: the board's x of the first strip's right edge, where
                     // the top ruler counts from; -1 counts from the left
};

// Centimetre rulers along the board's top and left edges: one trace pitch (18 pixels) and one
// pin pitch (15 pixels) each stand for 2.54 mm. Sizes are in device pixels of the surface.
void PaintTopRuler(QPainter &p, int width, int height, int leftRulerWidth,
                   const RulerView &view = {});
void PaintLeftRuler(QPainter &p, int width, int height, const RulerView &view = {});
// The font of both rulers: "Terminal", or what stands in for it, with digits about 8 pixels
// high (times the ratio).
QFont RulerFont(qreal ratio = 1.0);

class Ruler : public QWidget {
  Q_OBJECT
public:
  enum class Edge { Top, Left };
  Ruler(Edge edge, QWidget *parent);
  // Width of the left ruler, which the top ruler's ticks start beside.
  void SetLeftRulerWidth(int w) { leftWidth_ = w; }
  // Follows the board view's zoom, scroll position and side.
  void SetView(int zoom, int scroll, int mirrorAt);

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  void Paint(QPainter &p, QSize device, const RulerView &view);

  Edge edge_;
  int leftWidth_ = 15;
  RulerView view_;
};

} // namespace tarnwick
