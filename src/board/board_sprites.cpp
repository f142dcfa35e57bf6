// The pictures the board's painter prepares once and blits from then on: glyphs, holes,
// strips, sockets, rings and texts.
#include "board/board_painter.h"
#include "board/painter_shared.h"

#include <algorithm>
#include <string>

namespace tarnwick {
using namespace painting;
namespace {

// A sprite of what draw paints within box, box given relative to the anchor. draw receives a
// fresh canvas and the anchor's position on it.
template <class Draw> Sprite Drawn(QRect box, Draw draw) {
  QImage img(box.size(), QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    Canvas c(p, QFont());
    draw(c, -box.topLeft());
  }
  return Sprite(img, img.rect(), -box.topLeft());
}

Sprite FromImage(const QImage &img) {
  return img.isNull() ? Sprite() : Sprite(img, img.rect(), QPoint(0, 0));
}

} // namespace

std::size_t BoardPainter::TextKeyHash::operator()(const TextKey &k) const {
  std::size_t h = std::hash<std::string>()(k.text);
  h ^= (std::size_t(k.colour) * 0x9E3779B97F4A7C15ull) ^ (std::size_t(k.box) << 1) ^
       std::size_t(k.bold);
  return h;
}

// The picture of a text; texts too wide for a sprite are only measured.
BoardPainter::TextPicture BoardPainter::MakeText(TextSpriteMaker &maker, const TextKey &key) {
  const QString s = QString::fromStdString(key.text);
  TextPicture pic;
  const QSize size = maker.Measure(s, key.bold);
  pic.width = size.width();
  pic.height = size.height();
  pic.tooLarge = pic.width > MaxSpriteTextWidth;
  if (!pic.tooLarge)
    pic.sprite = maker.Make(s, key.bold, QColor::fromRgba(key.colour), QColor::fromRgba(key.box));
  return pic;
}

BoardPainter::BoardPainter() {
  const GlyphSet glyphs = GlyphSet::Load();
  for (std::size_t k = 0; k < glyphs.Normal.size(); ++k) {
    normalGlyphs_[k] = FromImage(glyphs.Normal[k]);
    reversedGlyphs_[k] = FromImage(glyphs.Reversed[k]);
  }
  // The short-span marker around a start hole.
  marker_ = Drawn(QRect(-10, -10, 21, 21), [](Canvas &c, QPoint o) {
    c.SetPen(White);
    c.SetBrush(Black);
    c.Ellipse(o.x() - 8, o.y() - 8, o.x() + 8, o.y() + 8);
  });
  // A highlighted hole, anchored like a strip at its top-left corner.
  blueHole_ = Drawn(QRect(0, 0, 15, 15), [](Canvas &c, QPoint) {
    c.SetPen(Black);
    c.SetBrush(Blue);
    DrawHole(c, 0);
  });
  // A plain hole, for redrawing holes over tinted copper.
  blackHole_ = Drawn(QRect(0, 0, 15, 15), [](Canvas &c, QPoint) {
    c.SetPen(Black);
    c.SetBrush(Black);
    DrawHole(c, 0);
  });
  // A lead hole of a radial capacitor.
  radialLead_ = Drawn(QRect(-5, -5, 11, 11), [](Canvas &c, QPoint o) {
    c.SetPen(White);
    c.SetBrush(White);
    c.Ellipse(o.x() - 3, o.y() - 3, o.x() + 4, o.y() + 4);
  });
}

const Sprite &BoardPainter::Strip(QRgb colour, int pinCount) {
  auto key = std::make_pair(colour, pinCount);
  auto it = strips_.find(key);
  if (it != strips_.end())
    return it->second;
  // Strips of other pin counts are dropped; those of this one stay, as the current repaint
  // holds on to them.
  if (strips_.size() > 16)
    std::erase_if(strips_, [pinCount](const auto &e) { return e.first.second != pinCount; });
  // A whole strip with its holes, so that a repaint blits a hundred strips instead of drawing
  // thousands of ellipses.
  Sprite strip = Drawn(QRect(0, 0, 15, 15 * pinCount), [&](Canvas &c, QPoint) {
    c.SetPen(Black);
    c.SetBrush(QColor::fromRgb(colour));
    c.Rectangle(0, 0, 15, 15 * pinCount);
    c.SetBrush(Black);
    for (int pin = 0; pin < pinCount; ++pin)
      DrawHole(c, pin);
  });
  return strips_.emplace(key, std::move(strip)).first->second;
}

// A socket's white bar with its holes, anchored at the centre of its left hole.
const Sprite *BoardPainter::Socket(int span) {
  if (span > MaxSpriteSocketSpan)
    return nullptr;
  auto it = sockets_.find(span);
  if (it == sockets_.end()) {
    Sprite bar = Drawn(QRect(-11, -8, 18 * span + 22, 16), [span](Canvas &c, QPoint o) {
      const int xmin = o.x(), xmax = o.x() + 18 * span, y = o.y();
      c.FillRect(xmin - 9, y - 6, xmax + 9, y + 6, White);
      c.SetBrush(Black);
      c.SetPen(White);
      for (int k = 0; k <= span; ++k) {
        const int cx = xmin + 14 * k;
        c.Ellipse(cx - 6, y - 6, cx + 6, y + 6);
        c.Ellipse(cx - 1, y - 1, cx + 1, y + 1);
      }
    });
    it = sockets_.emplace(span, std::move(bar)).first;
  }
  return &it->second;
}

// The outline of a radial capacitor's body, anchored at its centre.
// A radius below 1 draws nothing and is left to the canvas.
const Sprite *BoardPainter::Ring(int r) {
  if (r < 1 || r > MaxSpriteRingRadius)
    return nullptr;
  auto it = rings_.find(r);
  if (it == rings_.end()) {
    Sprite ring = Drawn(QRect(-r - 2, -r - 2, 2 * r + 5, 2 * r + 5), [r](Canvas &c, QPoint o) {
      c.SetPen(White);
      c.SetBrushSolid(false);
      c.Ellipse(o.x() - r, o.y() - r, o.x() + r, o.y() + r);
    });
    it = rings_.emplace(r, std::move(ring)).first;
  }
  return &it->second;
}

void BoardPainter::UseFont(const QFont &font, QPoint dotsPerMeter) {
  if (font == font_ && dotsPerMeter == dotsPerMeter_)
    return;
  texts_.clear();
  font_ = font;
  dotsPerMeter_ = dotsPerMeter;
}

// Keeps the text pictures the board shows and those of a few recent changes; pictures of
// names that are long gone are dropped.
void BoardPainter::ForgetUnusedTexts(std::size_t usedThisPaint) {
  if (texts_.size() <= 2 * usedThisPaint + 256)
    return;
  std::erase_if(texts_,
                [this](const auto &entry) { return entry.second.lastPaint != paintCount_; });
}
} // namespace tarnwick
