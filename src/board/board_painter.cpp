#include "board/board_painter.h"

#include "board/net_tint.h"
#include "board/painter_shared.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {
using namespace painting;
namespace {

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

// One run of the five passes over one surface.
class BoardPainter::Pass {
public:
  Pass(BoardPainter &owner, QPainter &painter, const Board &board, const QFont &font, QSize surface,
       bool fromBelow, const std::unordered_set<const BoardComponent *> *framed)
      : owner_(owner), b_(board), c_(painter, font), size_(surface), bold_(c_.Bold()),
        fromBelow_(fromBelow), framed_(framed) {}

  void Run() {
    c_.CollectInBands(owner_.collected_);
    PlanTraces();
    const bool swept = SweepBackgroundAndStrips();
    if (!swept)
      DrawBackground();
    DrawTraces(!swept);
    // Without marks nothing is drawn and no state changes, so the board looks as it always did.
    const bool tinted = b_.ShowNets() || !b_.Tint.Empty();
    if (tinted)
      DrawTintedCopper(c_, b_, owner_.blackHole_, owner_.blueHole_);
    c_.SetBrushSolid(true);
    if (b_.ShowFlow())
      DrawFlow();
    c_.SetBrushSolid(true);
    DrawComponents();
    if (tinted)
      DrawTintedComponents(c_, b_);
    c_.SetBrushSolid(true);
    DrawSizePreview();
    c_.Finish();
  }

  std::size_t TextsUsed() const { return textsUsed_; }

private:
  void DrawBackground() { c_.FillRect(0, 0, size_.width(), size_.height(), Background); }

  // What DrawTraces draws for each strip, worked out before anything is drawn.
  void PlanTraces() {
    const int pins = b_.PinCount();
    const auto [lo, hi] = std::minmax(b_.HighlightTrace, b_.HighlightEndTrace);
    const int hp = b_.HighlightPin;
    traces_.clear();
    for (int t = 0; t < b_.TraceCount(); ++t) {
      const Trace &trace = b_.GetTrace(t);
      TracePlan plan;
      plan.fill = t == b_.HighlightTrace      ? Red
                  : t == b_.HighlightEndTrace ? Green
                  : !trace.Name.empty()       ? LabelledStrip
                                              : PlainStrip;
      if (pins > 0)
        plan.strip = &owner_.Strip(plan.fill.rgb(), pins);
      plan.lit = lo >= 0 && lo <= t && t <= hi && hp >= 0 && hp < pins;
      // The label's box takes the fill colour left behind: that of the last hole drawn.
      plan.labelBox = plan.lit && hp == pins - 1 ? Blue : Black;
      if (pins <= 0)
        plan.labelBox = plan.fill;
      if (!trace.Name.empty()) {
        plan.labelY = 15 * pins + 8 + (t % 2 != 0 ? LineHeight() + 1 : 0);
        plan.labelColour = t == b_.HighlightTrace ? Red : White;
        plan.label = &Text(trace.Name, bold_, plan.labelColour, plan.labelBox);
      }
      traces_.push_back(plan);
    }
  }

  // The background and the strips, written row by row in one sweep over the image instead of
  // a fill followed by a hundred narrow blits down the whole height. The strip rows repeat
  // every hole pitch, so the sweep only needs a few prepared rows of the whole width. Strips
  // never overlap each other, so drawing all of them before the holes and labels changes
  // nothing, unless a label reaches up into the strips; then the usual order is kept.
  bool SweepBackgroundAndStrips() {
    const int pins = b_.PinCount();
    if (!c_.WritesRows(size_) || pins <= 0 || traces_.empty())
      return false;
    const int height = 15 * pins;
    std::vector<const Sprite *> strips;
    for (const TracePlan &plan : traces_) {
      const Sprite &strip = *plan.strip;
      if (!strip.IsOpaqueBox() || strip.Offset() != QPoint(0, 0) ||
          strip.Image().size() != QSize(15, height))
        return false;
      if (plan.label != nullptr &&
          (plan.label->tooLarge || (!plan.label->sprite.IsEmpty() &&
                                    plan.labelY + plan.label->sprite.Offset().y() < 4 + height)))
        return false;
      if (std::find(strips.begin(), strips.end(), &strip) == strips.end())
        strips.push_back(&strip);
    }
    // Rows of the strips that equal, in every colour in use, the row a hole pitch above share
    // that row's prepared picture.
    auto sameAsAbove = [&](int j) {
      return j >= 15 && std::all_of(strips.begin(), strips.end(), [j](const Sprite *s) {
               return std::memcmp(s->Image().constScanLine(j), s->Image().constScanLine(j - 15),
                                  15 * sizeof(QRgb)) == 0;
             });
    };
    rowKind_.assign(static_cast<std::size_t>(height), 0);
    std::vector<int> firstRowOfKind;
    for (int j = 0; j < height; ++j) {
      if (sameAsAbove(j)) {
        rowKind_[j] = rowKind_[j - 15];
      } else {
        firstRowOfKind.push_back(j);
        rowKind_[j] = static_cast<int>(firstRowOfKind.size());
      }
    }
    // Prepared rows: the bare background first, then one per kind of strip row.
    const int width = c_.Width();
    const auto w = static_cast<std::size_t>(width);
    rows_.assign(w * (firstRowOfKind.size() + 1), Background.rgba());
    for (std::size_t k = 0; k < firstRowOfKind.size(); ++k) {
      QRgb *row = rows_.data() + (k + 1) * w;
      for (std::size_t t = 0; t < traces_.size(); ++t) {
        const int left = 18 * static_cast<int>(t) + 3;
        const int n = std::min(15, width - left);
        if (n <= 0)
          break;
        std::memcpy(row + left, traces_[t].strip->Image().constScanLine(firstRowOfKind[k]),
                    static_cast<std::size_t>(n) * sizeof(QRgb));
      }
    }
    for (int y = 0; y < c_.Height(); ++y) {
      const int j = y - 4;
      const std::size_t kind = j >= 0 && j < height ? static_cast<std::size_t>(rowKind_[j]) : 0;
      c_.WriteRow(y, rows_.data() + kind * w);
    }
    return true;
  }

  void DrawTraces(bool drawStrips) {
    const int pins = b_.PinCount();
    c_.SetPen(Black);
    for (std::size_t i = 0; i < traces_.size(); ++i) {
      const TracePlan &plan = traces_[i];
      const int left = 18 * static_cast<int>(i) + 3;
      if (drawStrips && plan.strip != nullptr) {
        c_.DrawSprite(left, 4, *plan.strip);
      } else if (drawStrips) {
        c_.SetBrush(plan.fill);
        c_.Rectangle(left, 4, left + 15, 15 * pins + 4);
      }
      if (plan.lit)
        c_.DrawSprite(left, 15 * b_.HighlightPin + 4, owner_.blueHole_);
      c_.SetBrush(plan.labelBox);
      if (plan.label != nullptr) {
        c_.SetTextColor(plan.labelColour);
        c_.SetBrushSolid(true);
        DrawText(left, plan.labelY, *plan.label, b_.GetTrace(static_cast<int>(i)).Name, bold_);
      }
    }
  }

  void DrawFlow() {
    c_.SetBrush(Purple);
    c_.SetPen(Black);
    const int traces = b_.TraceCount();
    // Per strip, the components touching it; the lists keep their storage between repaints.
    auto &touching = owner_.flowEnds_;
    if (touching.size() < static_cast<std::size_t>(traces))
      touching.resize(static_cast<std::size_t>(traces));
    for (auto &list : touching)
      list.clear();
    for (int i = 0; i < b_.ComponentCount(); ++i) {
      const BoardComponent &c = b_.GetComponent(i);
      const FlowEnd end{c.StartPin, i, c.Is(ComponentKind::TraceCut)};
      const auto [lo, hi] = std::minmax(c.StartTrace, c.EndTrace);
      if (end.cut) {
        for (int t = std::max(lo, 0); t <= hi && t < traces; ++t)
          touching[static_cast<std::size_t>(t)].push_back(end);
      } else {
        for (int t : {lo, hi}) {
          if (t >= 0 && t < traces)
            touching[static_cast<std::size_t>(t)].push_back(end);
          if (lo == hi)
            break;
        }
      }
    }
    for (int t = 0; t < traces; ++t) {
      auto &list = touching[static_cast<std::size_t>(t)];
      if (list.size() < 2)
        continue;
      // By row; on the same row in list order, as a stable sort would leave them.
      std::sort(list.begin(), list.end(), [](const FlowEnd &a, const FlowEnd &b) {
        return a.pin != b.pin ? a.pin < b.pin : a.order < b.order;
      });
      for (std::size_t k = 1; k < list.size(); ++k) {
        const FlowEnd &prev = list[k - 1];
        const FlowEnd &cur = list[k];
        if (prev.cut || cur.cut)
          continue;
        c_.Rectangle(TraceX(t) - 2, FarY(prev.pin), TraceX(t) + 3, FarY(cur.pin));
      }
    }
  }

  void DrawComponents() {
    for (int i = 0; i < b_.ComponentCount(); ++i)
      DrawComponent(b_.GetComponent(i));
  }

  void DrawComponent(const BoardComponent &c) {
    if (fromBelow_) {
      DrawComponentFromBelow(c);
      return;
    }
    const int x1 = FarX(c.StartTrace);
    const int x2 = FarX(c.EndTrace);
    const int y = FarY(c.StartPin);
    const std::int64_t span = std::abs(std::int64_t{c.StartTrace} - c.EndTrace);
    const auto [xmin, xmax] = std::minmax(x1, x2);
    const ComponentKind kind = c.kind();

    if ((kind == ComponentKind::Resistor || kind == ComponentKind::Diode) && span < 2) {
      c_.SetPen(White);
      c_.SetBrush(Black);
      c_.DrawSprite(x1, y, owner_.marker_);
    }
    if (kind != ComponentKind::TraceCut) {
      c_.SetPen(White);
      if (kind != ComponentKind::ElectrolyticRadial && kind != ComponentKind::Label)
        c_.Line(x1, y, x2, y);
      DrawSymbol(c, x1, x2, y, span);
      DrawName(c, x1, x2, y);
      if (c.Is(ComponentKind::Socket))
        DrawSocket(xmin, xmax, y, span);
      else if (c.Is(ComponentKind::ElectrolyticRadial))
        DrawRadial(c, x1, x2, y);
    } else {
      c_.FillRect(xmin - 9, y - 4, xmax + 9, y + 4, Black);
    }
    c_.SetPen(Black);
    if (Framed(c))
      c_.FocusRect(xmin - 9, y - 8, xmax + 9, y + 8);
  }

  // Seen from the copper side: cuts as usual, white dots where the leads come through, the
  // bodies as one-pixel outlines, and the names as readable as on the other side.
  void DrawComponentFromBelow(const BoardComponent &c) {
    const int x1 = FarX(c.StartTrace);
    const int x2 = FarX(c.EndTrace);
    const int y = FarY(c.StartPin);
    const std::int64_t span = std::abs(std::int64_t{c.StartTrace} - c.EndTrace);
    const auto [xmin, xmax] = std::minmax(x1, x2);
    const ComponentKind kind = c.kind();
    if (kind == ComponentKind::TraceCut) {
      c_.FillRect(xmin - 9, y - 4, xmax + 9, y + 4, Black);
    } else if (kind == ComponentKind::ElectrolyticRadial) {
      DrawName(c, x1, x2, y);
      DrawRadial(c, x1, x2, y); // its body is an outline already
    } else if (kind != ComponentKind::Label) {
      OutlineBody(c, x1, x2, y, span);
      DrawName(c, x1, x2, y);
      c_.SetBrush(White);
      c_.SetPen(White);
      if (kind == ComponentKind::Socket) {
        // A socket has a pin in every hole it covers; only those near the surface are drawn.
        const std::int64_t lo = std::min(c.StartTrace, c.EndTrace);
        const std::int64_t hi = std::max(c.StartTrace, c.EndTrace);
        for (std::int64_t t = std::max<std::int64_t>(lo, -1);
             t <= std::min<std::int64_t>(hi, size_.width() / TracePitch + 1); ++t)
          c_.DrawSprite(FarX(t), y, owner_.radialLead_);
      } else {
        c_.DrawSprite(x1, y, owner_.radialLead_);
        c_.DrawSprite(x2, y, owner_.radialLead_);
      }
    } else {
      DrawName(c, x1, x2, y);
    }
    c_.SetPen(Black);
    if (Framed(c))
      c_.FocusRect(xmin - 9, y - 8, xmax + 9, y + 8);
  }

  void OutlineBody(const BoardComponent &c, int x1, int x2, int y, std::int64_t span) {
    const auto [xmin, xmax] = std::minmax(x1, x2);
    c_.SetPen(White);
    c_.SetBrushSolid(false);
    const bool symbol = c.Kind < owner_.normalGlyphs_.size() &&
                        !owner_.normalGlyphs_[c.Kind].IsEmpty() && span >= 2;
    if (c.Is(ComponentKind::Socket)) {
      c_.Rectangle(xmin - 9, y - 6, xmax + 9, y + 6);
    } else if (symbol) {
      // The box of the symbol, with the leads running to it.
      const int left = x1 + (x2 - x1 - 24) / 2 + 1;
      c_.Line(xmin, y, left, y);
      c_.Rectangle(left, y - 6, left + 22, y + 7);
      c_.Line(left + 22, y, xmax, y);
    } else {
      c_.Line(x1, y, x2, y);
      if ((c.Is(ComponentKind::Resistor) || c.Is(ComponentKind::Diode)) && span < 2) {
        // Standing upright: its body is the circle round the start hole.
        if (const Sprite *ring = owner_.Ring(8))
          c_.DrawSprite(x1, y, *ring);
      }
    }
    c_.SetBrushSolid(true);
  }

  void DrawSymbol(const BoardComponent &c, int x1, int x2, int y, std::int64_t span) {
    const auto k = static_cast<std::size_t>(c.Kind);
    if (span < 2 || k >= owner_.normalGlyphs_.size())
      return;
    const Sprite &glyph = x1 > x2 ? owner_.reversedGlyphs_[k] : owner_.normalGlyphs_[k];
    c_.DrawSprite(x1 + (x2 - x1 - 24) / 2, y - 11, glyph);
  }

  void DrawName(const BoardComponent &c, int x1, int x2, int y) {
    if (c.Name == UnnamedComponent)
      return;
    c_.SetTextColor(White);
    c_.SetBrushSolid(false);
    if (c.Is(ComponentKind::Label)) {
      // From above the text runs right from its hole; from below it lies over the same holes,
      // which are now left of it, and stays readable.
      if (!c.Name.empty()) {
        const TextPicture &text = Text(c.Name, true);
        DrawText(fromBelow_ ? x1 - text.width + 1 : x1, y, text, c.Name, true);
      }
      // The style goes back to normal, not to the font's own: a bold font draws the names
      // after the first label in normal weight.
      bold_ = false;
    } else if (b_.ShowLabels() && !c.Name.empty()) {
      const TextPicture &name = Text(c.Name, bold_);
      DrawText(x1 + (x2 - x1 - name.width) / 2, y + NameOffset(c), name, c.Name, bold_);
    }
    c_.SetBrushSolid(true);
  }

  void DrawSocket(int xmin, int xmax, int y, std::int64_t span) {
    const Sprite *bar =
        span <= MaxSpriteSocketSpan ? owner_.Socket(static_cast<int>(span)) : nullptr;
    if (bar) {
      c_.DrawSprite(xmin, y, *bar);
    } else {
      c_.FillRect(xmin - 9, y - 6, xmax + 9, y + 6, White);
      c_.SetBrush(Black);
      c_.SetPen(White);
      // Only the holes that can reach the surface are drawn, however long the socket.
      const std::int64_t first = std::max<std::int64_t>(0, (-std::int64_t{xmin} - 6) / 14);
      const std::int64_t last = std::min<std::int64_t>(span, (size_.width() + 6 - xmin) / 14);
      for (std::int64_t k = first; k <= last; ++k) {
        const int cx = Px(xmin + 14 * k);
        c_.Ellipse(cx - 6, y - 6, cx + 6, y + 6);
        c_.Ellipse(cx - 1, y - 1, cx + 1, y + 1);
      }
    }
    c_.SetBrush(Black);
    c_.SetPen(White);
  }

  void DrawRadial(const BoardComponent &c, int x1, int x2, int y) {
    c_.SetBrush(White);
    c_.SetPen(White);
    c_.DrawSprite(x1, y, owner_.radialLead_);
    c_.DrawSprite(x2, y, owner_.radialLead_);
    c_.SetBrushSolid(false);
    c_.SetTextColor(Black);
    DrawCentred(x1, y, "+");
    DrawCentred(x2, y, "-");
    c_.SetTextColor(White);
    const int cx = (x1 + x2) / 2;
    // Half of CapWidth trace pitches, plus the outline pixel: 9 * CapWidth + 1.
    const int r = Px(9 * std::int64_t{c.CapWidth} + 1);
    if (const Sprite *ring = owner_.Ring(r))
      c_.DrawSprite(cx, y, *ring);
    else
      c_.Ellipse(cx - r, y - r, cx + r, y + r);
    c_.SetBrushSolid(true);
  }

  // A one-character text centred in the 30 by 30 box around (x, y).
  void DrawCentred(int x, int y, const std::string &s) {
    // The two signs are looked up once per repaint and weight.
    const TextPicture *&known = signs_[(bold_ ? 2 : 0) + (s == "-" ? 1 : 0)];
    if (known == nullptr)
      known = &Text(s, bold_);
    const TextPicture &pic = *known;
    DrawText(x - 15 + (30 - pic.width) / 2, y - 15 + (30 - pic.height) / 2, pic, s, bold_);
  }

  void DrawSizePreview() {
    const GridRect &s = b_.SizePreview;
    if (s.Right > 0 && s.Bottom > 0)
      c_.FocusRect(2, 2, s.Right * 18 + 2, s.Bottom * 15 + 2);
  }

  // The picture of a text in the canvas's current text colour and fill style.
  const TextPicture &Text(const std::string &s, bool bold) {
    return Text(s, bold, c_.TextColor(), c_.BrushSolid() ? c_.Brush() : QColor(Qt::transparent));
  }

  // The picture of a text in the given colour, on a box of the given colour unless that is
  // transparent.
  const TextPicture &Text(const std::string &s, bool bold, QColor colour, QColor box) {
    lookup_.text.assign(s); // reuses its storage: no allocation per text
    lookup_.bold = bold;
    lookup_.colour = colour.rgba();
    lookup_.box = box.alpha() == 0 ? 0 : box.rgba();
    auto it = owner_.texts_.find(lookup_);
    if (it == owner_.texts_.end()) {
      if (!maker_)
        maker_.emplace(owner_.font_, owner_.dotsPerMeter_);
      it = owner_.texts_.emplace(lookup_, MakeText(*maker_, lookup_)).first;
    }
    if (it->second.lastPaint != owner_.paintCount_) {
      it->second.lastPaint = owner_.paintCount_;
      ++textsUsed_;
    }
    return it->second;
  }

  void DrawText(int x, int y, const std::string &s, bool bold) {
    if (!s.empty())
      DrawText(x, y, Text(s, bold), s, bold);
  }

  void DrawText(int x, int y, const TextPicture &pic, const std::string &s, bool bold) {
    if (!pic.tooLarge) {
      c_.DrawSprite(x, y, pic.sprite);
      return;
    }
    c_.SetBold(bold);
    c_.TextOut(x, y, QString::fromStdString(s));
  }

  int LineHeight() {
    if (lineHeight_ < 0)
      lineHeight_ = c_.TextHeight();
    return lineHeight_;
  }

  // What DrawTraces draws for one strip.
  struct TracePlan {
    QColor fill;
    const Sprite *strip = nullptr; // null without pin rows
    bool lit = false;              // its hole on the highlighted row is blue
    QColor labelBox;
    QColor labelColour;
    const TextPicture *label = nullptr;
    int labelY = 0;
  };

  bool Framed(const BoardComponent &c) const {
    return b_.SelectedComponent == &c || (framed_ && framed_->count(&c));
  }

  BoardPainter &owner_;
  const Board &b_;
  Canvas c_;
  QSize size_;
  // Whether texts are drawn bold: the font's own weight until the first label is drawn.
  bool bold_;
  int lineHeight_ = -1;
  TextKey lookup_;
  std::array<const TextPicture *, 4> signs_{};
  bool fromBelow_ = false;
  const std::unordered_set<const BoardComponent *> *framed_ = nullptr;
  std::vector<TracePlan> traces_;
  // Kept by the owner, so that their storage serves many repaints.
  std::vector<int> &rowKind_ = owner_.sweepKinds_;
  std::vector<QRgb> &rows_ = owner_.sweepRows_;
  std::optional<TextSpriteMaker> maker_;
  std::size_t textsUsed_ = 0;
};

void BoardPainter::PaintBoard(QPainter &painter, const Board &board, const QFont &font,
                              QSize surface, bool fromBelow,
                              const std::unordered_set<const BoardComponent *> *framed) {
  const QPaintDevice *device = painter.device();
  QPoint dotsPerMeter(qRound(device->logicalDpiX() / 0.0254),
                      qRound(device->logicalDpiY() / 0.0254));
  if (device->devType() == QInternal::Image) {
    const auto *img = static_cast<const QImage *>(device);
    dotsPerMeter = QPoint(img->dotsPerMeterX(), img->dotsPerMeterY());
  }
  UseFont(font, dotsPerMeter);
  ++paintCount_;
  Pass pass(*this, painter, board, font, surface, fromBelow, framed);
  pass.Run();
  ForgetUnusedTexts(pass.TextsUsed());
}

} // namespace tarnwick
