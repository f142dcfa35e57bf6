#pragma once

#include "board/board.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Which face of the board the builder looks at. Turned over, the strips run the other way:
// strip s of N from the component side is strip N + 1 - s from the copper side; holes keep
// their numbers, since the board is turned about a strip's direction.
enum class BoardSide { Component, Copper };

// One hole to cut, counted as the builder counts: from 1, strips from the left, holes from
// the top.
struct CutHole {
  std::int32_t Strip = 0;       // seen from the component side
  std::int32_t CopperStrip = 0; // seen from the copper side
  std::int32_t Hole = 0;
  friend bool operator==(const CutHole &, const CutHole &) = default;
};

struct CutHoles {
  // Each hole once, also where cuts overlap, in strip order seen from the chosen side, then
  // by hole.
  std::vector<CutHole> Holes;
  // Cut holes that lie beyond the board's strips or rows: nothing to cut there.
  std::int64_t OffBoard = 0;
};

// Raises TarnwickError when the cuts cover more holes than MaxCutHoles, the limit of the nets.
CutHoles ListCutHoles(const Board &board, BoardSide side);

// The cut list as a text file (UTF-8, CR LF): a heading with the layout name and board size,
// one line per cut hole with both countings, the chosen side's first, then the total.
std::string FormatCutList(const Board &board, std::string_view layoutName, BoardSide side);

} // namespace tarnwick
