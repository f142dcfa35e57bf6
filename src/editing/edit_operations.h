#pragma once

// The Edit menu's operations on the board model: moving components, exchanging neighbouring
// traces, trace labels, the smallest board that holds the components, and shrinking the board
// to its components. Each one either makes its whole change and returns true, or refuses,
// changes nothing and returns false; the caller marks the layout modified only on true.

#include "board/board.h"
#include "document/layout_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

enum class MoveDirection { Left, Right, Up, Down };
enum class ShiftDirection { Left, Right };

// The largest board the resizing commands build. Positions in a layout file are taken as
// stored, so a component can lie anywhere in the 32-bit range; a board reaching it is refused
// instead of being built. A board of more traces could not be opened again from its file, and
// the spin edits of Board Properties hold no more pins.
inline constexpr std::int32_t MaxBoardTraces = MaxLayoutTraces;
inline constexpr std::int32_t MaxBoardPins = 32767;

// Moves every component of `selected` one trace or row in the given direction. When any one
// of them would leave the board, none moves. Left and Right test both ends of each component,
// so no end is pushed off the board. Repaints when something moved.
bool MoveComponents(Board &board, const std::vector<BoardComponent *> &selected,
                    MoveDirection direction);

// Moves every component of `selected` dx traces to the right and dy rows down (negative to the
// left and up) in one step, as that many single moves would, but all or none: when any of them
// would leave the board on the way, none moves. Refused when nothing is selected or nothing
// would move. Repaints when something moved.
bool MoveComponentsBy(Board &board, const std::vector<BoardComponent *> &selected, std::int32_t dx,
                      std::int32_t dy);
// Whether MoveComponentsBy would move them.
bool CanMoveComponentsBy(const Board &board, const std::vector<BoardComponent *> &selected,
                         std::int32_t dx, std::int32_t dy);

// Exchanges the trace indices a and b in every component end, in one pass: an end on a goes
// to b, an end on b to a, every other end stays (also of components spanning across both).
void SwapTraceIndices(Board &board, std::int32_t a, std::int32_t b);

// Exchanges the highlighted trace with its neighbour in the given direction: component ends,
// labels and the highlight go with it. Refused without a highlighted trace on the board or
// when the neighbour does not exist.
bool ShiftTrace(Board &board, ShiftDirection direction);

// Sets the label of the highlighted trace to `text` as given (an empty text clears it).
// Refused without a highlighted trace on the board.
bool SetTraceLabel(Board &board, const std::string &text);

struct BoardSize {
  std::int32_t Traces = 0;
  std::int32_t Pins = 0;
};

// The smallest board that still holds every component end: one more than the largest trace
// index and the largest row, at least 1 x 1. Raises a TarnwickError when that size is beyond
// the largest board.
BoardSize MinimumBoardSize(const Board &board);

// What ShrinkBoard does to a board: every component moves Dx traces to the left and Dy rows
// up (each 0 or more), then the board gets Traces x Pins.
struct ShrinkPlan {
  std::int32_t Dx = 0;
  std::int32_t Dy = 0;
  BoardSize Size;
};

// Computes the shrink of a board with traces: the components slide towards the top-left corner
// until one empty trace and row remain before them, and one empty trace and row are kept after
// them. Raises a TarnwickError when the resulting size is beyond the largest board.
ShrinkPlan PlanShrink(const Board &board);

// Shrinks the board to its components as PlanShrink computes; the trace labels move with their
// traces, labels of traces cut off are lost, and a trace highlight that no longer names a trace
// is cleared. Refused on a board without traces; on an error nothing has changed.
bool ShrinkBoard(Board &board);

} // namespace tarnwick
