#pragma once

// From a routed grid to the components of a layout, moved to the board's top-left corner, and
// the check the search makes of every board before it offers it: the copper worked out from
// the components alone must join exactly the pins each net joins, and the board must keep the
// placement rules.
#include "document/layout_file.h"
#include "layout/layout_parts.h"
#include "layout/layout_placement.h"
#include "layout/layout_routing.h"

#include <string>
#include <vector>

namespace tarnwick::layout {

inline constexpr std::int32_t MinBoardRows = 10;
inline constexpr std::int32_t MaxBoardRows = 40;

// A laid-out board: the layout, and for each component the item it belongs to (-1 for links
// and cuts), and where each pin's lead went.
struct BoardPin {
  std::int32_t Trace = 0, Row = 0, Net = NoNet;
};
struct MadeBoard {
  LayoutData Layout;
  std::vector<std::int32_t> Owner;
  std::vector<BoardPin> Pins;
};

MadeBoard MakeBoard(const LayoutProblem &problem, const std::vector<Placed> &placed,
                    const std::vector<Link> &links, const std::vector<Cut> &cuts);

// What is wrong with a board made for the problem, or empty when it is sound.
std::string FaultOf(const LayoutProblem &problem, const MadeBoard &board);

} // namespace tarnwick::layout
