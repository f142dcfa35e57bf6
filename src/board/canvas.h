#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

namespace tarnwick {

// A raster drawing surface with a current outline colour, fill colour, fill style and text
// colour that carry over from one call to the next. Boxes are (left, top, right, bottom) with
// the right and bottom edges excluded; lines exclude their end point.
class Canvas {
public:
  Canvas(QPainter &painter, const QFont &font);

  QPainter &Painter() { return p_; }
  void SetPen(QColor c) { pen_ = c; }
  void SetBrush(QColor c) { brush_ = c; }
  void SetBrushSolid(bool solid) { solid_ = solid; }
  bool BrushSolid() const { return solid_; }
  QColor Brush() const { return brush_; }
  void SetTextColor(QColor c) { text_ = c; }
  void SetBold(bool bold);

  void FillRect(int l, int t, int r, int b, QColor c);
  void Rectangle(int l, int t, int r, int b);
  void Ellipse(int l, int t, int r, int b);
  // Horizontal or vertical line from (x1, y1) towards (x2, y2), end point left out.
  void Line(int x1, int y1, int x2, int y2);
  // Text with its top-left corner at (x, y), on a box of the fill colour when the fill is solid.
  void TextOut(int x, int y, const QString &s);
  void TextCentered(int l, int t, int r, int b, const QString &s);
  int TextWidth(const QString &s) const { return fm_.horizontalAdvance(s); }
  int TextHeight(const QString &s) const;
  // A dotted one-pixel frame drawn by inverting every other pixel under it.
  void FocusRect(int l, int t, int r, int b);
  void DrawImage(int x, int y, const QImage &img) { p_.drawImage(x, y, img); }

private:
  QPainter &p_;
  QFont font_;
  QFontMetrics fm_;
  QColor pen_{Qt::black};
  QColor brush_{Qt::white};
  QColor text_{Qt::black};
  bool solid_ = true;
};

} // namespace tarnwick
