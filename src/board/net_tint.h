#pragma once

#include "board/board.h"
#include "board/canvas.h"

namespace tarnwick {

// The tint the painter draws for marked copper and components (Board::Tint, and the net of the
// clicked hole while ShowNets is on).

// The marked islands in the tint, inside the strips' outlines, with their holes redrawn on top:
// hole for a plain one, litHole for one on the highlighted row of the highlighted traces.
void DrawTintedCopper(Canvas &c, const Board &b, const Sprite &hole, const Sprite &litHole);

// A frame in the tint around each marked component.
void DrawTintedComponents(Canvas &c, const Board &b);

} // namespace tarnwick
