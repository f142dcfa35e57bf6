#include "board/canvas.h"

#include <QPaintDevice>
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
  FindPieces();
}

// Runs of drawn pixels separated by only a few untouched ones are copied as one piece with a
// mask; long gaps (the inside of a ring) are skipped.
void Sprite::FindPieces() {
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
  painterBold_ = font_.bold();
  p_.setPen(painterPen_);
  p_.setBrush(Qt::NoBrush);
  if (QImage *img = DirectTarget(p_)) {
    // The painter has already made the image's pixels its own; bits() does not copy them.
    bits_ = img->bits();
    stride_ = img->bytesPerLine();
    width_ = img->width();
    height_ = img->height();
    clipBottom_ = height_;
  }
}

void Canvas::CollectInBands(Collection &storage) {
  if (!Direct() || collected_ != nullptr)
    return;
  collected_ = &storage;
  collected_->ops.clear();
  collected_->painterCalls.clear();
}

void Canvas::Add(const Op &op) {
  const int top = std::max(op.top, 0);
  const int bottom = std::min(op.bottom, height_);
  if (bottom <= top)
    return;
  Op clipped = op;
  clipped.top = top;
  clipped.bottom = bottom;
  collected_->ops.push_back(clipped);
}

void Canvas::Finish() {
  if (collected_ == nullptr)
    return;
  Collection &c = *collected_;
  collected_ = nullptr;
  // 64 rows of a board as wide as the largest one take half a megabyte.
  constexpr int BandHeight = 64;
  const int bands = (height_ + BandHeight - 1) / BandHeight;
  // List the calls of each band, in order: count, then place.
  c.bandStart.assign(static_cast<std::size_t>(bands) + 1, 0);
  for (const Op &op : c.ops)
    for (int band = op.top / BandHeight; band <= (op.bottom - 1) / BandHeight; ++band)
      ++c.bandStart[static_cast<std::size_t>(band) + 1];
  for (int band = 0; band < bands; ++band)
    c.bandStart[band + 1] += c.bandStart[band];
  c.bandOps.resize(c.bandStart.back());
  std::vector<std::uint32_t> next(c.bandStart.begin(), c.bandStart.end() - 1);
  for (std::uint32_t i = 0; i < c.ops.size(); ++i) {
    const Op &op = c.ops[i];
    for (int band = op.top / BandHeight; band <= (op.bottom - 1) / BandHeight; ++band)
      c.bandOps[next[static_cast<std::size_t>(band)]++] = i;
  }
  for (int band = 0; band < bands; ++band) {
    clipTop_ = band * BandHeight;
    clipBottom_ = std::min(clipTop_ + BandHeight, height_);
    for (std::uint32_t k = c.bandStart[band]; k < c.bandStart[band + 1]; ++k) {
      const Op &op = c.ops[c.bandOps[k]];
      if (op.kind != Op::Painter) {
        Execute(op);
        continue;
      }
      p_.setClipRect(0, clipTop_, width_, clipBottom_ - clipTop_);
      c.painterCalls[reinterpret_cast<std::uintptr_t>(op.data)]();
    }
  }
  p_.setClipping(false);
  clipTop_ = 0;
  clipBottom_ = height_;
}

void Canvas::Execute(const Op &op) {
  switch (op.kind) {
  case Op::Fill:
    DirectFill(op.l, op.t, op.r, op.b, op.pen);
    break;
  case Op::Box:
    DirectRectangle(op.l, op.t, op.r, op.b, op.pen, op.brush);
    break;
  case Op::Blit:
    DirectBlit(op.l, op.t, *static_cast<const Sprite *>(op.data));
    break;
  case Op::Row:
    if (op.t >= clipTop_ && op.t < clipBottom_)
      CopyPixels(Pixels(0, op.t), static_cast<const QRgb *>(op.data), width_);
    break;
  case Op::Painter:
    break;
  }
}

// The rows given are those the call is meant to touch; a row more on either side is offered,
// in case the painter's rasteriser reaches one pixel further.
void Canvas::ThroughPainter(int top, int bottom, std::function<void()> call) {
  if (collected_ == nullptr) {
    call();
    return;
  }
  const auto index = collected_->painterCalls.size();
  collected_->painterCalls.push_back(std::move(call));
  Add({Op::Painter, 0, 0, 0, 0, 0, 0, reinterpret_cast<const void *>(index), top - 1, bottom + 1});
}

void Canvas::SetBold(bool bold) {
  if (font_.bold() == bold)
    return;
  font_.setBold(bold);
  fm_ = QFontMetrics(font_);
}

// The drawing font only ever changes its weight.
void Canvas::UseFont(const QFont &font) {
  if (painterBold_ == font.bold())
    return;
  p_.setFont(font);
  painterBold_ = font.bold();
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

void Canvas::DirectFill(int l, int t, int r, int b, QRgb value) {
  l = std::max(l, 0);
  t = std::max(t, clipTop_);
  r = std::min(r, width_);
  b = std::min(b, clipBottom_);
  if (r <= l || b <= t)
    return;
  QRgb *first = Pixels(l, t);
  FillPixels(first, value, r - l);
  for (int y = t + 1; y < b; ++y)
    CopyPixels(Pixels(l, y), first, r - l);
}

// A filled box with a one-pixel outline, inside the image, written row by row. Inside the
// image, the painter's one-pixel outline covers exactly the border pixels of the box (where
// the box leaves the image, the painter clips the outline its own way, so it draws that).
void Canvas::DirectRectangle(int l, int t, int r, int b, QRgb pen, QRgb brush) {
  for (int y = std::max(t, clipTop_); y < std::min(b, clipBottom_); ++y) {
    QRgb *row = Pixels(l, y);
    if (y == t || y == b - 1) {
      FillPixels(row, pen, r - l);
      continue;
    }
    row[0] = pen;
    FillPixels(row + 1, brush, r - l - 2);
    row[r - l - 1] = pen;
  }
}

void Canvas::WriteRow(int y, const QRgb *pixels) {
  if (collected_ != nullptr)
    Add({Op::Row, 0, y, 0, 0, 0, 0, pixels, y, y + 1});
  else if (y >= 0 && y < height_)
    CopyPixels(Pixels(0, y), pixels, width_);
}

void Canvas::FillRect(int l, int t, int r, int b, QColor c) {
  if (r <= l || b <= t)
    return;
  if (!Direct() || c.alpha() != 255)
    p_.fillRect(l, t, r - l, b - t, c);
  else if (collected_ != nullptr)
    Add({Op::Fill, l, t, r, b, c.rgba(), 0, nullptr, t, b});
  else
    DirectFill(l, t, r, b, c.rgba());
}

void Canvas::Rectangle(int l, int t, int r, int b) {
  if (r <= l || b <= t)
    return;
  const bool inside = l >= 0 && t >= 0 && r <= width_ && b <= height_;
  if (Direct() && solid_ && inside && r - l > 1 && b - t > 1 && pen_.alpha() == 255 &&
      brush_.alpha() == 255) {
    if (collected_ != nullptr)
      Add({Op::Box, l, t, r, b, pen_.rgba(), brush_.rgba(), nullptr, t, b});
    else
      DirectRectangle(l, t, r, b, pen_.rgba(), brush_.rgba());
    return;
  }
  if (solid_)
    FillRect(l, t, r, b, brush_);
  if (r - l == 1 || b - t == 1) {
    FillRect(l, t, r, b, pen_);
    return;
  }
  ThroughPainter(t, b, [this, pen = pen_, brush = brush_, l, t, r, b] {
    UsePen(pen);
    UseBrush(false, brush);
    p_.drawRect(l, t, r - l - 1, b - t - 1);
  });
}

void Canvas::Ellipse(int l, int t, int r, int b) {
  if (r - l < 2 || b - t < 2) {
    // Too small for an outline and an inside: the platform draws a dot of the outline colour.
    FillRect(l, t, r, b, pen_);
    return;
  }
  ThroughPainter(t, b, [this, pen = pen_, brush = brush_, solid = solid_, l, t, r, b] {
    UsePen(pen);
    UseBrush(solid, brush);
    p_.drawEllipse(l, t, r - l - 1, b - t - 1);
  });
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
  ThroughPainter(std::min(y1, ey), std::max(y1, ey) + 1, [this, pen = pen_, x1, y1, ex, ey] {
    UsePen(pen);
    p_.drawLine(x1, y1, ex, ey);
  });
}

void Canvas::TextOut(int x, int y, const QString &s) {
  if (s.isEmpty())
    return;
  if (solid_)
    FillRect(x, y, x + fm_.horizontalAdvance(s), y + fm_.height(), brush_);
  if (collected_ == nullptr) {
    UseFont(font_);
    UsePen(text_);
    p_.drawText(x, y + fm_.ascent(), s);
    return;
  }
  // Glyphs may reach out of the line box; the call is offered to every band.
  ThroughPainter(0, height_, [this, font = font_, text = text_, x, y, s, ascent = fm_.ascent()] {
    UseFont(font);
    UsePen(text);
    p_.drawText(x, y + ascent, s);
  });
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
  // Only the dots on the surface are made, so a frame far larger than it costs no more; the
  // pattern still counts from the frame's own corner.
  const QPaintDevice *device = p_.device();
  const int x0 = std::max(l, -1), x1 = std::min(r, device ? device->width() + 1 : r);
  const int y0 = std::max(t + 1, -1), y1 = std::min(b - 1, device ? device->height() + 1 : b - 1);
  for (int x = x0; x < x1; ++x) {
    dot(x, t);
    if (b - 1 > t)
      dot(x, b - 1);
  }
  for (int y = y0; y < y1; ++y) {
    dot(l, y);
    if (r - 1 > l)
      dot(r - 1, y);
  }
  ThroughPainter(t, b, [this, points] {
    const auto mode = p_.compositionMode();
    p_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    UsePen(QColor(255, 255, 255));
    p_.drawPoints(points);
    p_.setCompositionMode(mode);
  });
}

void Canvas::DrawImage(int x, int y, const QImage &img) {
  ThroughPainter(y, y + img.height(), [this, x, y, img] { p_.drawImage(x, y, img); });
}

void Canvas::DrawSprite(int x, int y, const Sprite &s) {
  if (s.IsEmpty())
    return;
  const int top = y + s.offset_.y();
  if (!Direct() || !s.binary_)
    DrawImage(x + s.offset_.x(), top, s.image_);
  else if (collected_ != nullptr)
    Add({Op::Blit, x, y, 0, 0, 0, 0, &s, top, top + s.height_});
  else
    DirectBlit(x, y, s);
}

void Canvas::DirectBlit(int x, int y, const Sprite &s) {
  const int left = x + s.offset_.x();
  const int top = y + s.offset_.y();
  // Skip the whole picture when it lies outside; otherwise copy the opaque pixels, cut to the
  // image and the band.
  if (left >= width_ || top >= clipBottom_ || left + s.width_ <= 0 || top + s.height_ <= clipTop_)
    return;
  for (const Sprite::Piece &piece : s.pieces_) {
    const int dy = top + piece.y;
    if (dy < clipTop_ || dy >= clipBottom_)
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

TextSpriteMaker::TextSpriteMaker(const QFont &font, QPoint dotsPerMeter)
    : font_(font), dotsPerMeter_(dotsPerMeter) {}

Canvas &TextSpriteMaker::Scratch(QSize need) {
  if (!canvas_ || scratch_.width() < need.width() || scratch_.height() < need.height()) {
    canvas_.reset();
    painter_.reset();
    scratch_ = QImage(std::max({need.width(), scratch_.width(), 512}),
                      std::max({need.height(), scratch_.height(), 64}),
                      QImage::Format_ARGB32_Premultiplied);
    scratch_.setDotsPerMeterX(dotsPerMeter_.x());
    scratch_.setDotsPerMeterY(dotsPerMeter_.y());
    painter_.emplace(&scratch_);
    canvas_.emplace(*painter_, font_);
  }
  return *canvas_;
}

QSize TextSpriteMaker::Measure(const QString &s, bool bold) {
  Canvas &c = Scratch({0, 0});
  c.SetBold(bold);
  return {c.TextWidth(s), c.TextHeight()};
}

Sprite TextSpriteMaker::Make(const QString &s, bool bold, QColor text, QColor box) {
  const QSize size = Measure(s, bold);
  // Room for glyphs that reach out of their line box: a line height on every side, more for a
  // text that reaches the edge of that room.
  for (int pad = std::max(size.height(), 1);; pad *= 2) {
    const QSize need(std::max(size.width(), 0) + 2 * pad, size.height() + 2 * pad);
    Canvas &c = Scratch(need);
    c.SetBold(bold);
    for (int y = 0; y < need.height(); ++y)
      std::fill_n(reinterpret_cast<QRgb *>(scratch_.scanLine(y)), need.width(), 0);
    c.SetTextColor(text);
    c.SetBrushSolid(box.alpha() != 0);
    c.SetBrush(box);
    c.TextOut(pad, pad, s);
    Sprite sprite(scratch_, QRect(QPoint(0, 0), need), QPoint(pad, pad));
    const QRect drawn(sprite.Offset() + QPoint(pad, pad), sprite.Image().size());
    if (sprite.IsEmpty() || QRect(QPoint(1, 1), need - QSize(2, 2)).contains(drawn) || pad > 256)
      return sprite;
  }
}

} // namespace tarnwick
