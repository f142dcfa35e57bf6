#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <vector>

namespace tarnwick {

// A picture drawn once and then blitted wherever it is needed. The board is drawn without
// smoothing, so every pixel of such a picture is either fully opaque or untouched; blitting it
// copies the opaque pixels and gives exactly what drawing its parts again would give.
class Sprite {
public:
  Sprite() = default;
  // Takes the drawn (not fully transparent) pixels of img within area, cut to the smallest box
  // that holds them. anchor is the point of img that a blit puts at the given position.
  Sprite(const QImage &img, QRect area, QPoint anchor);

  bool IsEmpty() const { return image_.isNull(); }
  // Whether every pixel of the picture's box is drawn.
  bool IsOpaqueBox() const { return opaqueBox_; }
  // Where the top-left pixel of the picture lies relative to the anchor.
  QPoint Offset() const { return offset_; }
  const QImage &Image() const { return image_; }
  std::size_t Bytes() const { return image_.sizeInBytes(); }

private:
  friend class Canvas;
  // A piece of one row, in the picture's own coordinates, from a drawn pixel to the pixel after
  // a drawn one; full when every pixel in between is drawn.
  struct Piece {
    std::int32_t y, from, to;
    bool full;
  };

  QImage image_; // ARGB32 premultiplied
  QPoint offset_;
  // The image's pixels and geometry, at hand for the blit loop.
  const QRgb *pixels_ = nullptr;
  qsizetype stride_ = 0; // in pixels
  int width_ = 0;
  int height_ = 0;
  std::vector<Piece> pieces_;
  bool opaqueBox_ = false;
  // False when some pixel is partly transparent; such a picture is drawn by the painter.
  bool binary_ = true;
};

// A raster drawing surface with a current outline colour, fill colour, fill style and text
// colour that carry over from one call to the next. Boxes are (left, top, right, bottom) with
// the right and bottom edges excluded; lines exclude their end point.
//
// On a 32-bit image painted one to one (the view's buffer, the exported image), fills and
// sprites are written straight into the pixels, which is many times faster than going through
// the painter for thousands of small shapes; elsewhere everything goes through the painter.
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
  QColor TextColor() const { return text_; }
  void SetBold(bool bold);
  bool Bold() const { return font_.bold(); }

  void FillRect(int l, int t, int r, int b, QColor c);
  void Rectangle(int l, int t, int r, int b);
  void Ellipse(int l, int t, int r, int b);
  // Horizontal or vertical line from (x1, y1) towards (x2, y2), end point left out.
  void Line(int x1, int y1, int x2, int y2);
  // Text with its top-left corner at (x, y), on a box of the fill colour when the fill is solid.
  void TextOut(int x, int y, const QString &s);
  void TextCentered(int l, int t, int r, int b, const QString &s);
  int TextWidth(const QString &s) const { return fm_.horizontalAdvance(s); }
  int TextHeight() const { return fm_.height(); }
  int WidestCharacter() const { return fm_.maxWidth(); }
  // A dotted one-pixel frame drawn by inverting every other pixel under it.
  void FocusRect(int l, int t, int r, int b);
  void DrawImage(int x, int y, const QImage &img) { p_.drawImage(x, y, img); }
  // Blits a sprite with its anchor at (x, y).
  void DrawSprite(int x, int y, const Sprite &s);

  // Whether the surface is exactly the image and its rows can be written whole (WriteRow).
  bool WritesRows(QSize surface) const { return Direct() && surface == QSize(width_, height_); }
  // Sets row y of the image to the given Width() pixels.
  void WriteRow(int y, const QRgb *pixels);
  int Width() const { return width_; }
  int Height() const { return height_; }

private:
  // The painter keeps its own pen and brush; setting them is costly, so only changes are
  // passed on.
  void UsePen(QColor c);
  void UseBrush(bool solid, QColor c);
  bool Direct() const { return bits_ != nullptr; }
  void DirectFill(int l, int t, int r, int b, QColor c);
  void DirectRectangle(int l, int t, int r, int b);
  QRgb *Pixels(int x, int y) { return reinterpret_cast<QRgb *>(bits_ + y * stride_) + x; }

  QPainter &p_;
  QFont font_;
  QFontMetrics fm_;
  QColor pen_{Qt::black};
  QColor brush_{Qt::white};
  QColor text_{Qt::black};
  bool solid_ = true;

  QColor painterPen_{Qt::black};
  QColor painterBrush_;
  bool painterSolid_ = false;

  // The pixels of the target image when they can be written directly, else null.
  uchar *bits_ = nullptr;
  qsizetype stride_ = 0;
  int width_ = 0;
  int height_ = 0;
};

} // namespace tarnwick
