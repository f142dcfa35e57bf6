#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
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

private:
  friend class Canvas;
  // A piece of one row, in the picture's own coordinates, from a drawn pixel to the pixel after
  // a drawn one; full when every pixel in between is drawn.
  struct Piece {
    std::int32_t y, from, to;
    bool full;
  };

  void FindPieces();

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
//
// Between CollectInBands() and Finish(), drawing on such an image is collected and then
// carried out one band of rows after the other, each band with every call that touches it, in
// the order of the calls. A band fits the processor's cache, while the whole image does not:
// thousands of small shapes scattered over the image then cost cache hits instead of misses.
// Calls touch disjoint pixels in different bands, so the result is the same.
class Canvas {
public:
  Canvas(QPainter &painter, const QFont &font);
  Canvas(const Canvas &) = delete;
  Canvas &operator=(const Canvas &) = delete;

  // Storage for collected calls, kept by the caller so that it serves many repaints.
  class Collection {
    friend class Canvas;
    struct Op;
    std::vector<Op> ops;
    std::vector<std::function<void()>> painterCalls;
    std::vector<std::uint32_t> bandStart, bandOps;
  };

  // Collects the drawing from here on (see above); sprites and rows handed over must live
  // until Finish(). Does nothing where pixels are not written directly.
  void CollectInBands(Collection &storage);
  // Carries out what was collected. Collected drawing that is never finished is lost.
  void Finish();

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
  // A dotted one-pixel frame drawn by inverting every other pixel under it.
  void FocusRect(int l, int t, int r, int b);
  void DrawImage(int x, int y, const QImage &img);
  // Blits a sprite with its anchor at (x, y).
  void DrawSprite(int x, int y, const Sprite &s);

  // Whether the surface is exactly the image and its rows can be written whole (WriteRow).
  bool WritesRows(QSize surface) const { return Direct() && surface == QSize(width_, height_); }
  // Sets row y of the image to the given Width() pixels, which must live until Finish().
  void WriteRow(int y, const QRgb *pixels);
  int Width() const { return width_; }
  int Height() const { return height_; }

private:
  using Op = Collection::Op;

  // The painter keeps its own pen and brush; setting them is costly, so only changes are
  // passed on.
  void UseFont(const QFont &font);
  void UsePen(QColor c);
  void UseBrush(bool solid, QColor c);
  bool Direct() const { return bits_ != nullptr; }
  // Runs a call that goes through the painter, now or, when collecting, in each band it
  // touches (rows top to bottom), clipped to the band.
  void ThroughPainter(int top, int bottom, std::function<void()> call);
  void Add(const Op &op);
  void Execute(const Op &op);
  void DirectFill(int l, int t, int r, int b, QRgb c);
  void DirectRectangle(int l, int t, int r, int b, QRgb pen, QRgb brush);
  void DirectBlit(int x, int y, const Sprite &s);
  QRgb *Pixels(int x, int y) { return reinterpret_cast<QRgb *>(bits_ + y * stride_) + x; }

  QPainter &p_;
  QFont font_;
  QFontMetrics fm_;
  QColor pen_{Qt::black};
  QColor brush_{Qt::white};
  QColor text_{Qt::black};
  bool solid_ = true;

  bool painterBold_ = false;
  QColor painterPen_{Qt::black};
  QColor painterBrush_;
  bool painterSolid_ = false;

  // The pixels of the target image when they can be written directly, else null.
  uchar *bits_ = nullptr;
  qsizetype stride_ = 0;
  int width_ = 0;
  int height_ = 0;
  // Direct writes stay within these rows: the band being carried out.
  int clipTop_ = 0;
  int clipBottom_ = 0;

  Collection *collected_ = nullptr;
};

// Draws texts into sprites, all on one scratch image, so that the first repaint of a large
// board, which meets thousands of new names, sets up one painter rather than thousands. The
// scratch image has the surface's resolution, so the font comes out in the same size as on the
// surface.
class TextSpriteMaker {
public:
  TextSpriteMaker(const QFont &font, QPoint dotsPerMeter);
  TextSpriteMaker(const TextSpriteMaker &) = delete;
  TextSpriteMaker &operator=(const TextSpriteMaker &) = delete;

  // The advance and the line height of s in the font, bold or not.
  QSize Measure(const QString &s, bool bold);
  // s as Canvas::TextOut draws it in the given colour, on a box of the given colour unless
  // that is transparent, anchored at the text's top-left corner.
  Sprite Make(const QString &s, bool bold, QColor text, QColor box);

private:
  Canvas &Scratch(QSize need);

  QFont font_;
  QPoint dotsPerMeter_;
  QImage scratch_;
  std::optional<QPainter> painter_;
  std::optional<Canvas> canvas_;
};

// One collected call.
struct Canvas::Collection::Op {
  enum Kind : std::uint8_t { Fill, Box, Blit, Row, Painter } kind;
  std::int32_t l, t, r, b;  // Fill, Box: the box; Blit: the anchor in l, t; Row: the row in t
  QRgb pen, brush;          // Fill: the colour in pen
  const void *data;         // Blit: the sprite; Row: the pixels; Painter: the call's index
  std::int32_t top, bottom; // the rows touched, bottom excluded
};

} // namespace tarnwick
