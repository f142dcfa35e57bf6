#include "board/board_painter.h"

#include "board/canvas.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tarnwick {
namespace {

const QColor Background(16, 16, 16);
const QColor LabelledStrip(144, 128, 80);
const QColor PlainStrip(128, 112, 64);
const QColor Red(255, 0, 0);
const QColor Green(0, 128, 0);
const QColor Blue(0, 0, 255);
const QColor Black(0, 0, 0);
const QColor White(255, 255, 255);
const QColor Purple(128, 0, 128);

QString Text(const std::string &s) { return QString::fromStdString(s); }

// The hole of a strip whose left edge is at x = 0 and whose holes start at y = 0.
void DrawHole(Canvas &c, int p) { c.Ellipse(4, 15 * p + 4, 11, 15 * p + 11); }

// A layout file may place parts anywhere in the 32-bit range. Their coordinates are worked out in
// 64 bits and held within this distance of the origin before they reach the painter: the largest
// board is 180,000 pixels wide, and a shape cut that far out looks the same on the surface.
constexpr std::int64_t FarLimit = 1 << 20;
int Px(std::int64_t v) { return static_cast<int>(std::clamp(v, -FarLimit, FarLimit)); }
std::int64_t X64(std::int64_t trace) { return TracePitch * trace + 10; }
std::int64_t Y64(std::int64_t pin) { return PinPitch * pin + 11; }

int NameOffset(const BoardComponent &c) {
  switch (c.kind()) {
  case ComponentKind::Wire:
    return 4;
  case ComponentKind::ElectrolyticRadial:
    return 6;
  case ComponentKind::ElectrolyticAxial:
  case ComponentKind::Diode:
    return 12;
  default:
    return 8;
  }
}

} // namespace

BoardPainter::BoardPainter() : glyphs_(GlyphSet::Load()) {}

const QImage &BoardPainter::Strip(QRgb colour, int pinCount) {
  auto key = std::make_pair(colour, pinCount);
  auto it = strips_.find(key);
  if (it != strips_.end())
    return it->second;
  if (strips_.size() > 16)
    strips_.clear();
  const int h = std::max(15 * pinCount, 1);
  QImage img(15, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    Canvas c(p, QFont());
    c.SetPen(Black);
    c.SetBrush(QColor::fromRgb(colour));
    c.Rectangle(0, 0, 15, 15 * pinCount);
    c.SetBrush(Black);
    for (int pin = 0; pin < pinCount; ++pin)
      DrawHole(c, pin);
  }
  return strips_.emplace(key, std::move(img)).first->second;
}

const QImage &BoardPainter::Hole(QRgb fill) {
  auto it = holes_.find(fill);
  if (it != holes_.end())
    return it->second;
  QImage img(15, 15, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    Canvas c(p, QFont());
    c.SetPen(Black);
    c.SetBrush(QColor::fromRgb(fill));
    DrawHole(c, 0);
  }
  return holes_.emplace(fill, std::move(img)).first->second;
}

// One run of the five passes over one surface.
class BoardPainter::Pass {
public:
  Pass(BoardPainter &owner, QPainter &painter, const Board &board, const QFont &font, QSize surface)
      : owner_(owner), b_(board), c_(painter, font), size_(surface) {}

  void Run() {
    DrawBackground();
    DrawTraces();
    c_.SetBrushSolid(true);
    if (b_.ShowFlow())
      DrawFlow();
    c_.SetBrushSolid(true);
    DrawComponents();
    c_.SetBrushSolid(true);
    DrawSizePreview();
  }

private:
  void DrawBackground() { c_.FillRect(0, 0, size_.width(), size_.height(), Background); }

  void DrawTraces() {
    const int pins = b_.PinCount();
    const auto [lo, hi] = std::minmax(b_.HighlightTrace, b_.HighlightEndTrace);
    const bool holesLit = lo >= 0;
    const int hp = b_.HighlightPin;
    int oddShift = -1;
    c_.SetPen(Black);
    for (int t = 0; t < b_.TraceCount(); ++t) {
      const int left = 18 * t + 3;
      const Trace &trace = b_.GetTrace(t);
      QColor fill = t == b_.HighlightTrace      ? Red
                    : t == b_.HighlightEndTrace ? Green
                    : !trace.Name.empty()       ? LabelledStrip
                                                : PlainStrip;
      if (pins > 0) {
        c_.DrawImage(left, 4, owner_.Strip(fill.rgb(), pins));
      } else {
        c_.SetBrush(fill);
        c_.Rectangle(left, 4, left + 15, 15 * pins + 4);
      }
      // The fill colour left behind is that of the last hole drawn.
      bool lastLit = false;
      if (holesLit && lo <= t && t <= hi && hp >= 0 && hp < pins) {
        c_.DrawImage(left, 15 * hp + 4, owner_.Hole(Blue.rgb()));
        lastLit = hp == pins - 1;
      }
      c_.SetBrush(lastLit ? Blue : Black);
      if (pins <= 0)
        c_.SetBrush(fill);
      if (!trace.Name.empty()) {
        int ty = 15 * pins + 8;
        if (t % 2 != 0) {
          if (oddShift < 0)
            oddShift = c_.TextHeight(QStringLiteral("Ay")) + 1;
          ty += oddShift;
        }
        c_.SetTextColor(t == b_.HighlightTrace ? Red : White);
        c_.SetBrushSolid(true);
        c_.TextOut(left, ty, Text(trace.Name));
      }
    }
  }

  void DrawFlow() {
    c_.SetBrush(Purple);
    c_.SetPen(Black);
    const int traces = b_.TraceCount();
    std::vector<std::vector<const BoardComponent *>> touching(
        static_cast<std::size_t>(std::max(traces, 0)));
    for (int i = 0; i < b_.ComponentCount(); ++i) {
      const BoardComponent &c = b_.GetComponent(i);
      const auto [lo, hi] = std::minmax(c.StartTrace, c.EndTrace);
      if (c.Is(ComponentKind::TraceCut)) {
        for (int t = std::max(lo, 0); t <= hi && t < traces; ++t)
          touching[static_cast<std::size_t>(t)].push_back(&c);
      } else {
        for (int t : {lo, hi}) {
          if (t >= 0 && t < traces)
            touching[static_cast<std::size_t>(t)].push_back(&c);
          if (lo == hi)
            break;
        }
      }
    }
    for (int t = 0; t < traces; ++t) {
      auto &list = touching[static_cast<std::size_t>(t)];
      if (list.size() < 2)
        continue;
      std::stable_sort(list.begin(), list.end(),
                       [](auto *a, auto *b) { return a->StartPin < b->StartPin; });
      for (std::size_t k = 1; k < list.size(); ++k) {
        const BoardComponent *prev = list[k - 1];
        const BoardComponent *cur = list[k];
        if (prev->Is(ComponentKind::TraceCut) || cur->Is(ComponentKind::TraceCut))
          continue;
        c_.Rectangle(TraceX(t) - 2, Px(Y64(prev->StartPin)), TraceX(t) + 3, Px(Y64(cur->StartPin)));
      }
    }
  }

  void DrawComponents() {
    for (int i = 0; i < b_.ComponentCount(); ++i)
      DrawComponent(b_.GetComponent(i));
  }

  void DrawComponent(const BoardComponent &c) {
    const std::int64_t x1 = X64(c.StartTrace);
    const std::int64_t x2 = X64(c.EndTrace);
    const std::int64_t y = Y64(c.StartPin);
    const std::int64_t span = std::abs(std::int64_t{c.StartTrace} - c.EndTrace);
    const auto [xmin, xmax] = std::minmax(x1, x2);
    const ComponentKind kind = c.kind();

    if ((kind == ComponentKind::Resistor || kind == ComponentKind::Diode) && span < 2) {
      c_.SetPen(White);
      c_.SetBrush(Black);
      c_.Ellipse(Px(x1 - 8), Px(y - 8), Px(x1 + 8), Px(y + 8));
    }
    if (kind != ComponentKind::TraceCut) {
      c_.SetPen(White);
      if (kind != ComponentKind::ElectrolyticRadial && kind != ComponentKind::Label)
        c_.Line(Px(x1), Px(y), Px(x2), Px(y));
      DrawSymbol(c, x1, x2, y, span);
      DrawName(c, x1, x2, y);
      DrawExtras(c, x1, x2, y, xmin, xmax, span);
    } else {
      c_.FillRect(Px(xmin - 9), Px(y - 4), Px(xmax + 9), Px(y + 4), Black);
    }
    c_.SetPen(Black);
    if (b_.SelectedComponent == &c)
      c_.FocusRect(Px(xmin - 9), Px(y - 8), Px(xmax + 9), Px(y + 8));
  }

  void DrawSymbol(const BoardComponent &c, std::int64_t x1, std::int64_t x2, std::int64_t y,
                  std::int64_t span) {
    const auto k = static_cast<std::size_t>(c.Kind);
    if (span < 2 || k >= owner_.glyphs_.Normal.size())
      return;
    const QImage &img = x1 > x2 ? owner_.glyphs_.Reversed[k] : owner_.glyphs_.Normal[k];
    if (!img.isNull())
      c_.DrawImage(Px(x1 + (x2 - x1 - 24) / 2), Px(y - 11), img);
  }

  void DrawName(const BoardComponent &c, std::int64_t x1, std::int64_t x2, std::int64_t y) {
    if (c.Name == UnnamedComponent)
      return;
    const QString name = Text(c.Name);
    c_.SetTextColor(White);
    c_.SetBrushSolid(false);
    if (c.Is(ComponentKind::Label)) {
      c_.SetBold(true);
      c_.TextOut(Px(x1), Px(y), name);
      c_.SetBold(false);
    } else if (b_.ShowLabels() && !name.isEmpty()) {
      const int w = c_.TextWidth(name);
      c_.TextOut(Px(x1 + (x2 - x1 - w) / 2), Px(y + NameOffset(c)), name);
    }
    c_.SetBrushSolid(true);
  }

  void DrawExtras(const BoardComponent &c, std::int64_t x1, std::int64_t x2, std::int64_t y,
                  std::int64_t xmin, std::int64_t xmax, std::int64_t span) {
    if (c.Is(ComponentKind::Socket)) {
      c_.FillRect(Px(xmin - 9), Px(y - 6), Px(xmax + 9), Px(y + 6), White);
      c_.SetBrush(Black);
      c_.SetPen(White);
      // Only the holes that can reach the surface are drawn, however long the socket.
      const std::int64_t first = std::max<std::int64_t>(0, (-xmin - 6) / 14);
      const std::int64_t last = std::min<std::int64_t>(span, (size_.width() + 6 - xmin) / 14);
      for (std::int64_t k = first; k <= last; ++k) {
        const std::int64_t cx = xmin + 14 * k;
        c_.Ellipse(Px(cx - 6), Px(y - 6), Px(cx + 6), Px(y + 6));
        c_.Ellipse(Px(cx - 1), Px(y - 1), Px(cx + 1), Px(y + 1));
      }
    } else if (c.Is(ComponentKind::ElectrolyticRadial)) {
      c_.SetBrush(White);
      c_.SetPen(White);
      c_.Ellipse(Px(x1 - 3), Px(y - 3), Px(x1 + 4), Px(y + 4));
      c_.Ellipse(Px(x2 - 3), Px(y - 3), Px(x2 + 4), Px(y + 4));
      c_.SetBrushSolid(false);
      c_.SetTextColor(Black);
      c_.TextCentered(Px(x1 - 15), Px(y - 15), Px(x1 + 15), Px(y + 15), QStringLiteral("+"));
      c_.TextCentered(Px(x2 - 15), Px(y - 15), Px(x2 + 15), Px(y + 15), QStringLiteral("-"));
      c_.SetTextColor(White);
      const std::int64_t cx = (x1 + x2) / 2;
      // Half of CapWidth trace pitches, plus the outline pixel: 9 * CapWidth + 1.
      const std::int64_t r = 9 * std::int64_t{c.CapWidth} + 1;
      c_.Ellipse(Px(cx - r), Px(y - r), Px(cx + r), Px(y + r));
      c_.SetBrushSolid(true);
    }
  }

  void DrawSizePreview() {
    const GridRect &s = b_.SizePreview;
    if (s.Right > 0 && s.Bottom > 0)
      c_.FocusRect(2, 2, s.Right * 18 + 2, s.Bottom * 15 + 2);
  }

  BoardPainter &owner_;
  const Board &b_;
  Canvas c_;
  QSize size_;
};

void BoardPainter::PaintBoard(QPainter &painter, const Board &board, const QFont &font,
                              QSize surface) {
  Pass(*this, painter, board, font, surface).Run();
}

} // namespace tarnwick
