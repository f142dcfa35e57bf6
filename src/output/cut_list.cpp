#include "output/cut_list.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>

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

CutHoles ListCutHoles(const Board &board, BoardSide side) {
  const std::int64_t strips = board.TraceCount();
  const std::int64_t rows = board.PinCount();
  CutHoles out;
  std::set<std::pair<std::int64_t, std::int64_t>> holes; // (trace, row), each once
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
    out.OffBoard += span - std::max<std::int64_t>(last - first + 1, 0);
    for (std::int64_t t = first; t <= last; ++t)
      holes.emplace(t, c.StartPin);
  }
  for (const auto &[t, row] : holes)
    out.Holes.push_back({static_cast<std::int32_t>(t + 1), static_cast<std::int32_t>(strips - t),
                         static_cast<std::int32_t>(row + 1)});
  if (side == BoardSide::Copper)
    std::stable_sort(out.Holes.begin(), out.Holes.end(), [](const CutHole &a, const CutHole &b) {
      return a.CopperStrip < b.CopperStrip;
    });
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
