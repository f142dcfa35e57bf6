#include "output/cut_list.h"

#include "nets/copper.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

const char *const Eol = "\r\n";

std::string Count(std::int64_t n, const char *one, const char *many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Two right-aligned numbers, as the columns under "Strip  Hole".
std::string Pair(std::int32_t strip, std::int32_t hole) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%5d %5d", strip, hole);
  return buffer;
}

} // namespace

// Each cut adds its rows to the strips it crosses, and each strip's rows are sorted once: the
// work follows the holes the cuts cover, which may be at most as many as the nets are worked
// out for.
CutHoles ListCutHoles(const Board &board, BoardSide side) {
  const std::int64_t strips = std::max(board.TraceCount(), 0);
  const std::int64_t rows = std::max(board.PinCount(), 0);
  CutHoles out;
  std::vector<std::vector<std::int32_t>> cut(static_cast<std::size_t>(strips)); // rows per strip
  std::int64_t covered = 0;
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    if (!c.Is(ComponentKind::TraceCut))
      continue;
    const std::int64_t lo = std::min(c.StartTrace, c.EndTrace);
    const std::int64_t hi = std::max(c.StartTrace, c.EndTrace);
    const std::int64_t span = hi - lo + 1;
    if (c.StartPin < 0 || c.StartPin >= rows) {
      out.OffBoard += span;
      continue;
    }
    const std::int64_t first = std::max<std::int64_t>(lo, 0);
    const std::int64_t last = std::min<std::int64_t>(hi, strips - 1);
    const std::int64_t on = std::max<std::int64_t>(last - first + 1, 0);
    out.OffBoard += span - on;
    covered += on;
    if (covered > MaxCutHoles)
      throw TarnwickError("The board's trace cuts cover more than " + std::to_string(MaxCutHoles) +
                          " holes; no cut list is made.");
    for (std::int64_t t = first; t <= last; ++t)
      cut[static_cast<std::size_t>(t)].push_back(c.StartPin);
  }
  for (auto &strip : cut) {
    std::sort(strip.begin(), strip.end());
    strip.erase(std::unique(strip.begin(), strip.end()), strip.end());
  }
  // Seen from the copper side the strips run the other way; a strip's holes keep their order.
  for (std::int64_t k = 0; k < strips; ++k) {
    const std::int64_t t = side == BoardSide::Copper ? strips - 1 - k : k;
    for (const std::int32_t row : cut[static_cast<std::size_t>(t)])
      out.Holes.push_back(
          {static_cast<std::int32_t>(t + 1), static_cast<std::int32_t>(strips - t), row + 1});
  }
  return out;
}

std::string FormatCutList(const Board &board, std::string_view layoutName, BoardSide side) {
  const bool copper = side == BoardSide::Copper;
  const CutHoles cuts = ListCutHoles(board, side);
  std::string s;
  s += layoutName.empty() ? std::string("Cut list") : "Cut list: " + std::string(layoutName);
  s += Eol;
  s += "Board: " + Count(board.TraceCount(), "strip", "strips") + " of " +
       Count(board.PinCount(), "hole", "holes") +
       "; strips count from the left, holes from the top, both from 1.";
  s += Eol;
  s += copper ? "In strip order as seen from the copper side."
              : "In strip order as seen from "
                "the component side.";
  s += Eol;
  s += Eol;
  s += copper ? "Copper side       Component side" : "Component side    Copper side";
  s += Eol;
  s += "Strip  Hole       Strip  Hole";
  s += Eol;
  for (const CutHole &h : cuts.Holes) {
    const std::string component = Pair(h.Strip, h.Hole);
    const std::string other = Pair(h.CopperStrip, h.Hole);
    s += (copper ? other : component) + "       " + (copper ? component : other) + Eol;
  }
  s += Eol;
  s += "Total: " + Count(static_cast<std::int64_t>(cuts.Holes.size()), "cut hole", "cut holes");
  s += Eol;
  if (cuts.OffBoard > 0) {
    s += "Not listed: " + Count(cuts.OffBoard, "cut hole lies", "cut holes lie") +
         " outside the board.";
    s += Eol;
  }
  return s;
}

} // namespace tarnwick
