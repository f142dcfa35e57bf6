#pragma once

// What the view shows can differ from the board itself: seen from the copper side the board is
// mirrored left to right, and while components are dragged they are shown where they would
// land. The view then paints a copy of the board made for the purpose.

#include "board/board.h"

#include <cstdint>
#include <vector>

namespace tarnwick {

struct DisplayChange {
  // Seen from below: trace t is shown where trace TraceCount - 1 - t lies.
  bool Mirrored = false;
  // Shown Dx traces to the right and Dy rows down (board directions, before mirroring).
  std::vector<const BoardComponent *> Moved;
  std::int32_t Dx = 0;
  std::int32_t Dy = 0;

  bool IsNone() const { return !Mirrored && (Moved.empty() || (Dx == 0 && Dy == 0)); }
};

// Makes `shown` a copy of `board` with the change applied: the traces and their labels, the
// components in their order, the highlights, the selection and the display switches. A size
// preview is copied only when not mirrored; its frame starts at the left edge, so the view
// draws a mirrored one itself.
void CopyForDisplay(const Board &board, const DisplayChange &change, Board &shown);

// The mirror of a view pixel column of a board of traceCount traces: strip t, from
// 18t + 3 to 18t + 17, goes to the columns of strip traceCount - 1 - t, and the three-pixel
// margin at the left goes to the right. Its own inverse.
constexpr std::int32_t MirrorX(std::int32_t x, std::int32_t traceCount) {
  return TracePitch * traceCount + 2 - x;
}

} // namespace tarnwick
