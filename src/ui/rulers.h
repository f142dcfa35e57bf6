#pragma once

#include <QWidget>

class QPainter;

namespace tarnwick {

// Centimetre rulers along the board's top and left edges: one trace pitch (18 pixels) and one
// pin pitch (15 pixels) each stand for 2.54 mm.
void PaintTopRuler(QPainter &p, int width, int height, int leftRulerWidth);
void PaintLeftRuler(QPainter &p, int width, int height);
// The font of both rulers: "Terminal", or what stands in for it, with digits about 8 pixels
// high.
QFont RulerFont();

class Ruler : public QWidget {
  Q_OBJECT
public:
  enum class Edge { Top, Left };
  Ruler(Edge edge, QWidget *parent);
  // Width of the left ruler, which the top ruler's ticks start beside.
  void SetLeftRulerWidth(int w) { leftWidth_ = w; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  Edge edge_;
  int leftWidth_ = 15;
};

} // namespace tarnwick
