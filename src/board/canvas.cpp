#include "board/canvas.h"

#include <QPolygon>
#include <algorithm>
#include <cstring>

namespace tarnwick {
namespace {
// Board texts are small; drawn without smoothing they stay sharp and keep the board's colours.
QFont Crisp(QFont f) {
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

// Whether the painter puts every pixel one to one onto a 32-bit image whose pixels can then be
// written directly: no transformation, no clipping, plain source-over painting.
QImage *DirectTarget(QPainter &p) {
  QPaintDevice *device = p.device();
  if (device == nullptr || device->devType() != QInternal::Image)
    return nullptr;
  auto *img = static_cast<QImage *>(device);
  const QImage::Format f = img->format();
  const bool format = f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
                      f == QImage::Format_ARGB32_Premultiplied;
  const bool plain = p.deviceTransform().isIdentity() && !p.hasClipping() &&
                     p.compositionMode() == QPainter::CompositionMode_SourceOver &&
                     p.opacity() >= 1.0 && img->devicePixelRatio() == 1.0;
  return format && plain ? img : nullptr;
}
// Board shapes are mostly narrow: strip rows of 15 pixels, glyph rows, text strokes, flow
// bars. For those a plain loop beats a library call; wide spans go to the block copy.
void CopyPixels(QRgb *to, const QRgb *from, int n) {
  if (n >= 32) {
    std::memcpy(to, from, static_cast<std::size_t>(n) * sizeof(QRgb));
    return;
  }
  for (int i = 0; i < n; ++i)
    to[i] = from[i];
}

// Copies the opaque pixels of a picture whose pixels are all either opaque or transparent,
// without a branch per pixel: the alpha byte's top bit selects source or destination.
void CopyOpaquePixels(QRgb *to, const QRgb *from, int n) {
  for (int i = 0; i < n; ++i) {
    const QRgb keep = static_cast<QRgb>(static_cast<std::int32_t>(from[i]) >> 31);
    to[i] = (from[i] & keep) | (to[i] & ~keep);
  }
}

void FillPixels(QRgb *to, QRgb value, int n) {
  for (int i = 0; i < n; ++i)
    to[i] = value;
}
} // namespace

Sprite::Sprite(const QImage &source, QRect area, QPoint anchor) {
  const QImage converted = source.format() == QImage::Format_ARGB32_Premultiplied
                               ? QImage()
                               : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage &img = converted.isNull() ? source : converted;
  area &= img.rect();
  int left = area.right() + 1, top = area.bottom() + 1, right = -1, bottom = -1;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const auto *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      const int alpha = qAlpha(row[x]);
      if (alpha == 0)
        continue;
      binary_ = binary_ && alpha == 255;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0)
    return; // nothing drawn
  image_ = img.copy(left, top, right - left + 1, bottom - top + 1);
  offset_ = QPoint(left, top) - anchor;
  pixels_ = reinterpret_cast<const QRgb *>(image_.constBits());
  stride_ = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
  width_ = image_.width();
  height_ = image_.height();
  // Runs of drawn pixels separated by only a few untouched ones are copied as one piece with
  // a mask; long gaps (the inside of a ring) are skipped.
  constexpr int MaxMaskedGap = 8;
  opaqueBox_ = binary_;
  for (int y = 0; y < height_; ++y) {
    const QRgb *row = pixels_ + y * stride_;
    auto drawn = [row](int x) { return qAlpha(row[x]) != 0; };
    for (int x = 0; x < width_;) {
      if (!drawn(x)) {
        opaqueBox_ = false;
        ++x;
        continue;
      }
      Piece piece{y, x, x, true};
      for (;;) {
        while (x < width_ && drawn(x))
          ++x;
        piece.to = x;
        int next = x;
        while (next < width_ && !drawn(next) && next - x < MaxMaskedGap)
          ++next;
        if (next >= width_ || !drawn(next))
          break;
        piece.full = false;
        x = next;
      }
      pieces_.push_back(piece);
    }
  }
}

Canvas::Canvas(QPainter &painter, const QFont &font) : p_(painter), font_(Crisp(font)), fm_(font_) {
  p_.setRenderHint(QPainter::Antialiasing, false);
  p_.setFont(font_);
  p_.setPen(painterPen_);
  p_.setBrush(Qt::NoBrush);
  if (QImage *img = DirectTarget(p_)) {
    // The painter has already made the image's pixels its own; bits() does not copy them.
    bits_ = img->bits();
    stride_ = img->bytesPerLine();
    width_ = img->width();
    height_ = img->height();
  }
}

void Canvas::SetBold(bool bold) {
  if (font_.bold() == bold)
    return;
  font_.setBold(bold);
  fm_ = QFontMetrics(font_);
  p_.setFont(font_);
}

void Canvas::UsePen(QColor c) {
  if (painterPen_ == c)
    return;
  p_.setPen(c);
  painterPen_ = c;
}

void Canvas::UseBrush(bool solid, QColor c) {
  if (painterSolid_ == solid && (!solid || painterBrush_ == c))
    return;
  if (solid)
    p_.setBrush(c);
  else
    p_.setBrush(Qt::NoBrush);
  painterSolid_ = solid;
  painterBrush_ = c;
}

void Canvas::DirectFill(int l, int t, int r, int b, QColor c) {
  l = std::max(l, 0);
  t = std::max(t, 0);
  r = std::min(r, width_);
  b = std::min(b, height_);
  if (r <= l || b <= t)
    return;
  const QRgb value = c.rgba();
  QRgb *first = Pixels(l, t);
  FillPixels(first, value, r - l);
  for (int y = t + 1; y < b; ++y)
    CopyPixels(Pixels(l, y), first, r - l);
}

// A filled box with a one-pixel outline inside the image, written row by row. Inside the
// image, the painter's one-pixel outline covers exactly the border pixels of the box (where
// the box leaves the image, the painter clips the outline its own way, so it draws that).
void Canvas::DirectRectangle(int l, int t, int r, int b) {
  const QRgb pen = pen_.rgba(), brush = brush_.rgba();
  FillPixels(Pixels(l, t), pen, r - l);
  for (int y = t + 1; y < b - 1; ++y) {
    QRgb *row = Pixels(l, y);
    row[0] = pen;
    FillPixels(row + 1, brush, r - l - 2);
    row[r - l - 1] = pen;
  }
  FillPixels(Pixels(l, b - 1), pen, r - l);
}

void Canvas::WriteRow(int y, const QRgb *pixels) { CopyPixels(Pixels(0, y), pixels, width_); }

void Canvas::FillRect(int l, int t, int r, int b, QColor c) {
  if (r <= l || b <= t)
    return;
  if (Direct() && c.alpha() == 255)
    DirectFill(l, t, r, b, c);
  else
    p_.fillRect(l, t, r - l, b - t, c);
}

void Canvas::Rectangle(int l, int t, int r, int b) {
  if (r <= l || b <= t)
    return;
  const bool inside = l >= 0 && t >= 0 && r <= width_ && b <= height_;
  if (Direct() && solid_ && inside && r - l > 1 && b - t > 1 && pen_.alpha() == 255 &&
      brush_.alpha() == 255) {
    DirectRectangle(l, t, r, b);
    return;
  }
  if (solid_)
    FillRect(l, t, r, b, brush_);
  if (r - l == 1 || b - t == 1) {
    FillRect(l, t, r, b, pen_);
    return;
  }
  UsePen(pen_);
  UseBrush(false, brush_);
  p_.drawRect(l, t, r - l - 1, b - t - 1);
}

void Canvas::Ellipse(int l, int t, int r, int b) {
  if (r - l < 2 || b - t < 2) {
    // Too small for an outline and an inside: the platform draws a dot of the outline colour.
    FillRect(l, t, r, b, pen_);
    return;
  }
  UsePen(pen_);
  UseBrush(solid_, brush_);
  p_.drawEllipse(l, t, r - l - 1, b - t - 1);
}

void Canvas::Line(int x1, int y1, int x2, int y2) {
  if (x1 == x2 && y1 == y2)
    return;
  // Leave out the end point by stepping one pixel back towards the start.
  const int ex = x2 - (x2 > x1) + (x2 < x1);
  const int ey = y2 - (y2 > y1) + (y2 < y1);
  if (y1 == ey && pen_.alpha() == 255) {
    // A one-pixel horizontal line covers exactly the pixels from one end to the other.
    FillRect(std::min(x1, ex), y1, std::max(x1, ex) + 1, y1 + 1, pen_);
    return;
  }
  UsePen(pen_);
  p_.drawLine(x1, y1, ex, ey);
}

void Canvas::TextOut(int x, int y, const QString &s) {
  if (s.isEmpty())
    return;
  if (solid_)
    FillRect(x, y, x + fm_.horizontalAdvance(s), y + fm_.height(), brush_);
  UsePen(text_);
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
  for (int x = l; x < r; ++x) {
    dot(x, t);
    if (b - 1 > t)
      dot(x, b - 1);
  }
  for (int y = t + 1; y < b - 1; ++y) {
    dot(l, y);
    if (r - 1 > l)
      dot(r - 1, y);
  }
  const auto mode = p_.compositionMode();
  p_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  UsePen(QColor(255, 255, 255));
  p_.drawPoints(points);
  p_.setCompositionMode(mode);
}

void Canvas::DrawSprite(int x, int y, const Sprite &s) {
  if (s.IsEmpty())
    return;
  const int left = x + s.offset_.x();
  const int top = y + s.offset_.y();
  if (!Direct() || !s.binary_) {
    p_.drawImage(left, top, s.image_);
    return;
  }
  // Skip the whole picture when it lies outside the image; otherwise copy the opaque pixels,
  // cut to the image.
  if (left >= width_ || top >= height_ || left + s.width_ <= 0 || top + s.height_ <= 0)
    return;
  for (const Sprite::Piece &piece : s.pieces_) {
    const int dy = top + piece.y;
    if (dy < 0 || dy >= height_)
      continue;
    const int from = std::max(piece.from, -left);
    const int to = std::min(piece.to, width_ - left);
    if (to <= from)
      continue;
    const QRgb *src = s.pixels_ + piece.y * s.stride_ + from;
    if (piece.full)
      CopyPixels(Pixels(left + from, dy), src, to - from);
    else
      CopyOpaquePixels(Pixels(left + from, dy), src, to - from);
  }
}

} // namespace tarnwick
