#include "output/printout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace tarnwick {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void NotANumber(std::string_view text) {
  throw TarnwickError("'" + std::string(text) + "' is not a valid floating point value");
}

std::int64_t Clamp(double v) {
  if (std::isnan(v))
    return 0;
  return static_cast<std::int64_t>(std::clamp(v, static_cast<double>(-PrintGeometry::Limit),
                                              static_cast<double>(PrintGeometry::Limit)));
}

int Clamp(std::int64_t v) {
  return static_cast<int>(std::clamp(v, -PrintGeometry::Limit, PrintGeometry::Limit));
}

} // namespace

float ParseSpacing(std::string_view text, std::string_view decimalSeparator) {
  // The number is rebuilt with a point so that the conversion does not depend on the C locale.
  std::string plain;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && IsBlank(text[i]))
    ++i;
  if (i < n && (text[i] == '+' || text[i] == '-'))
    plain += text[i++];
  int digits = 0;
  bool separator = false;
  while (i < n) {
    if (IsDigit(text[i])) {
      plain += text[i++];
      ++digits;
    } else if (!separator && !decimalSeparator.empty() &&
               text.substr(i, decimalSeparator.size()) == decimalSeparator) {
      separator = true;
      plain += '.';
      i += decimalSeparator.size();
    } else {
      break;
    }
  }
  if (digits == 0)
    NotANumber(text);
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-'))
      plain += text[i++];
    int expDigits = 0;
    while (i < n && IsDigit(text[i])) {
      plain += text[i++];
      ++expDigits;
    }
    if (expDigits == 0)
      NotANumber(text);
  }
  while (i < n && IsBlank(text[i]))
    ++i;
  if (i != n)
    NotANumber(text);

  const char *first = plain.data() + (plain[0] == '+' ? 1 : 0);
  double value = 0;
  const auto [end, ec] = std::from_chars(first, plain.data() + plain.size(), value);
  if (ec != std::errc() || end != plain.data() + plain.size())
    NotANumber(text);
  if (std::fabs(value) > std::numeric_limits<float>::max())
    NotANumber(text);
  return static_cast<float>(value);
}

PrintGeometry::PrintGeometry(float spacing, int originX, int originY)
    : pitch_(static_cast<double>(spacing) * 10.0),
      ox_(Clamp(static_cast<std::int64_t>(originX) * 100)),
      oy_(Clamp(static_cast<std::int64_t>(originY) * 100)) {}

// std::nearbyint rounds halves to even in the default rounding mode.
int PrintGeometry::Scaled(double count) const {
  return Clamp(Clamp(std::nearbyint(pitch_ * count)));
}

int PrintGeometry::X(std::int64_t trace) const {
  return Clamp(static_cast<std::int64_t>(Scaled(static_cast<double>(trace))) + ox_);
}

int PrintGeometry::Y(std::int64_t pin) const {
  return Clamp(-(static_cast<std::int64_t>(Scaled(static_cast<double>(pin))) + oy_));
}

namespace {

// Integer halving toward zero on the widened value, as the layout arithmetic expects.
int Half(std::int64_t v) { return static_cast<int>(v / 2); }

class Printout {
public:
  Printout(PageCanvas &canvas, const Board &board, const PrintoutOptions &options, int ox, int oy)
      : c_(canvas), b_(board), g_(options.Spacing, ox, oy) {}

  void DrawTraces() {
    const int traces = b_.TraceCount();
    std::vector<bool> used(static_cast<std::size_t>(std::max(traces, 0)), false);
    for (int i = 0; i < b_.ComponentCount(); ++i) {
      const BoardComponent &k = b_.GetComponent(i);
      for (std::int32_t t : {k.StartTrace, k.EndTrace})
        if (t >= 0 && t < traces)
          used[static_cast<std::size_t>(t)] = true;
    }
    c_.SetPenColour(PageSilver);
    const std::int64_t bottom =
        -(static_cast<std::int64_t>(g_.Scaled(b_.PinCount())) + g_.OriginY());
    for (int t = 0; t < traces; ++t) {
      if (!used[static_cast<std::size_t>(t)])
        continue;
      const int x = g_.X(t);
      const int yEnd = Clamp(bottom - (t % 3) * 50);
      c_.Line(x, g_.OriginY(), x, yEnd);
      const std::string &name = b_.GetTrace(t).Name;
      if (!name.empty())
        c_.Text(Clamp(x - static_cast<std::int64_t>(Half(c_.TextWidth(name)))), yEnd, name);
    }
  }

  void DrawComponents() {
    c_.SetPenColour(PageBlack);
    for (int i = 0; i < b_.ComponentCount(); ++i)
      DrawComponent(b_.GetComponent(i));
  }

private:
  void DrawComponent(const BoardComponent &k) {
    const int x1 = g_.X(k.StartTrace);
    const int x2 = g_.X(k.EndTrace);
    const int y = g_.Y(k.StartPin);
    const bool named = !k.Name.empty() && k.Name != UnnamedComponent;
    if (k.Is(ComponentKind::Label)) {
      if (named)
        c_.Text(x1, y, k.Name);
      return;
    }
    if (k.Is(ComponentKind::TraceCut)) {
      const auto [lo, hi] = std::minmax(x1, x2);
      c_.SetFill(PageBlack);
      c_.FillRect(lo - 8, y + 4, hi + 8, y - 4);
      c_.SetFill(PageWhite);
    } else if (k.Is(ComponentKind::ElectrolyticRadial)) {
      const int r = Clamp(Clamp(std::nearbyint(k.CapWidth / 2.0 * g_.Pitch())) + 2);
      const int cx = Half(static_cast<std::int64_t>(x1) + x2);
      c_.Circle(cx, y, r);
    } else {
      c_.Line(x1, y, x2, y);
    }
    c_.SetFillNone();
    c_.SetPenWidth(2);
    if (k.Is(ComponentKind::Socket)) {
      c_.Rectangle(x1 - 7, y + 7, x1 + 7, y - 7);
    } else if (!k.Is(ComponentKind::TraceCut)) {
      c_.Circle(x1, y, 5);
      c_.Circle(x2, y, 5);
    }
    c_.SetPenWidth(1);
    if (named) {
      const std::int64_t w = c_.TextWidth(k.Name);
      c_.Text(Clamp(x1 + static_cast<std::int64_t>(Half(std::int64_t{x2} - x1 - w))), y - 2,
              k.Name);
    }
    if (k.Is(ComponentKind::ElectrolyticAxial) || k.Is(ComponentKind::ElectrolyticRadial)) {
      const int above = Clamp(static_cast<std::int64_t>(y) + c_.TextHeight("+") + 4);
      c_.Text(x1, above, "+");
      c_.Text(x2, above, "-");
    }
  }

  PageCanvas &c_;
  const Board &b_;
  PrintGeometry g_;
};

// The page seen in a mirror standing on the board's middle: every x is turned about the axis,
// and a text's cell is turned as a whole, so the text itself reads as before.
class MirroredCanvas : public PageCanvas {
public:
  MirroredCanvas(PageCanvas &page, std::int64_t axisTwice) : c_(page), axis2_(axisTwice) {}

  void SetPenColour(PageColour c) override { c_.SetPenColour(c); }
  void SetPenWidth(int units) override { c_.SetPenWidth(units); }
  void SetFill(PageColour c) override { c_.SetFill(c); }
  void SetFillNone() override { c_.SetFillNone(); }
  void Line(int x1, int y1, int x2, int y2) override { c_.Line(M(x1), y1, M(x2), y2); }
  void Circle(int cx, int cy, int r) override { c_.Circle(M(cx), cy, r); }
  void Rectangle(int x1, int y1, int x2, int y2) override { c_.Rectangle(M(x1), y1, M(x2), y2); }
  void FillRect(int x1, int y1, int x2, int y2) override { c_.FillRect(M(x1), y1, M(x2), y2); }
  void Text(int x, int y, const std::string &text) override {
    c_.Text(Clamp(axis2_ - x - c_.TextWidth(text)), y, text);
  }
  int TextWidth(const std::string &text) override { return c_.TextWidth(text); }
  int TextHeight(const std::string &text) override { return c_.TextHeight(text); }

private:
  int M(int x) const { return Clamp(axis2_ - x); }

  PageCanvas &c_;
  std::int64_t axis2_;
};

} // namespace

void DrawPrintout(PageCanvas &canvas, const Board &board, const PrintoutOptions &options,
                  int originX, int originY) {
  std::optional<MirroredCanvas> mirrored;
  if (options.CopperSide) {
    const PrintGeometry g(options.Spacing, originX, originY);
    const std::int64_t last = std::max(board.TraceCount() - 1, 0);
    mirrored.emplace(canvas, std::int64_t{g.X(0)} + g.X(last));
  }
  PageCanvas &page = mirrored ? static_cast<PageCanvas &>(*mirrored) : canvas;
  page.SetFill(PageWhite);
  page.SetPenColour(PageBlack);
  page.SetPenWidth(1);
  Printout printout(page, board, options, originX, originY);
  if (options.HighlightTraces)
    printout.DrawTraces();
  printout.DrawComponents();
}

int ScaleBarY(PageCanvas &canvas, const Board &board, const PrintoutOptions &options, int originX,
              int originY) {
  const PrintGeometry g(options.Spacing, originX, originY);
  const std::int64_t text = canvas.TextHeight(ScaleBarText);
  // The last trace label hangs from one pitch below the last row, staggered down to 10 mm.
  std::int64_t low = -(std::int64_t{g.Scaled(board.PinCount())} + g.OriginY()) - 100 - text;
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &k = board.GetComponent(i);
    std::int64_t reach = std::max<std::int64_t>(7, 2 + text); // pads, name under the line
    if (k.Is(ComponentKind::ElectrolyticRadial))
      reach =
          std::max<std::int64_t>(reach, Clamp(std::nearbyint(k.CapWidth / 2.0 * g.Pitch())) + 2);
    low = std::min<std::int64_t>(low, g.Y(k.StartPin) - reach);
  }
  return Clamp(low - 50 - 30); // 5 mm clear of the tallest tick
}

void DrawScaleBar(PageCanvas &canvas, const Board &board, const PrintoutOptions &options,
                  int originX, int originY) {
  const int y = ScaleBarY(canvas, board, options, originX, originY);
  const int left = PrintGeometry(options.Spacing, originX, originY).OriginX();
  canvas.SetPenColour(PageBlack);
  canvas.SetPenWidth(1);
  canvas.SetFillNone();
  canvas.Line(left, y, left + ScaleBarLength, y);
  for (int x = 0; x <= ScaleBarLength; x += ScaleBarTick) {
    const bool end = x == 0 || x == ScaleBarLength;
    canvas.Line(left + x, y, left + x, y + (end ? 30 : 20));
  }
  canvas.Text(left, y - 10, ScaleBarText);
}

void DrawPrintedPage(PageCanvas &canvas, const Board &board, const PrintoutOptions &options,
                     int originX, int originY) {
  DrawPrintout(canvas, board, options, originX, originY);
  DrawScaleBar(canvas, board, options, originX, originY);
}

} // namespace tarnwick
