#include "board/net_tint.h"

#include "nets/copper.h"

#include <algorithm>

namespace tarnwick {
namespace {

const QColor Tint(0, 160, 160);

// Parts may lie anywhere in the 32-bit range; a frame that far out looks the same clamped.
int Clamped(std::int64_t v) {
  constexpr std::int64_t limit = 1 << 20;
  return static_cast<int>(std::clamp(v, -limit, limit));
}

} // namespace

void DrawTintedCopper(Canvas &c, const Board &b, const Sprite &hole, const Sprite &litHole) {
  const int traces = b.TraceCount(), pins = b.PinCount();
  const auto [lo, hi] = std::minmax(b.HighlightTrace, b.HighlightEndTrace);
  for (const CopperSpan &s : MarkedCopper(b)) {
    const int first = std::max(s.FirstPin, 0), last = std::min(s.LastPin, pins - 1);
    if (s.Trace < 0 || s.Trace >= traces || first > last)
      continue;
    const int left = 18 * s.Trace + 3;
    c.FillRect(left + 1, std::max(15 * first + 4, 5), left + 14,
               std::min(15 * last + 19, 15 * pins + 3), Tint);
    const bool lit = lo >= 0 && lo <= s.Trace && s.Trace <= hi;
    for (int row = first; row <= last; ++row)
      c.DrawSprite(left, 15 * row + 4, lit && row == b.HighlightPin ? litHole : hole);
  }
}

void DrawTintedComponents(Canvas &c, const Board &b) {
  for (int i = 0; i < b.ComponentCount(); ++i) {
    const BoardComponent &part = b.GetComponent(i);
    if (std::find(b.Tint.Components.begin(), b.Tint.Components.end(), &part) ==
        b.Tint.Components.end())
      continue;
    // Taken by value: minmax of two temporaries would hand back references to them.
    const int x1 = Clamped(std::int64_t{TracePitch} * part.StartTrace + 10);
    const int x2 = Clamped(std::int64_t{TracePitch} * part.EndTrace + 10);
    const int xmin = std::min(x1, x2), xmax = std::max(x1, x2);
    const int y = Clamped(std::int64_t{PinPitch} * part.StartPin + 11);
    const int l = xmin - 11, r = xmax + 11, t = y - 10, bottom = y + 10;
    c.FillRect(l, t, r, t + 2, Tint);
    c.FillRect(l, bottom - 2, r, bottom, Tint);
    c.FillRect(l, t, l + 2, bottom, Tint);
    c.FillRect(r - 2, t, r, bottom, Tint);
  }
}

} // namespace tarnwick
