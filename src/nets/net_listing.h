#pragma once

#include "board/board.h"

#include <string>

namespace tarnwick {

// Every net of a board that holds a part end or a trace label as text: its islands (trace, first
// row - last row), the part ends on it and the trace labels on its strips, with a warning for a net
// that carries two different labels and for a label found on two nets; then the wire ends that join
// nothing. Positions are counted from 1, as the dialogs show them.
std::string NetListing(const Board &board);

} // namespace tarnwick
