#pragma once

// The placement stage: items go onto the board one by one in a given order, each at the shape
// and position that grows the board least and joins its pins to the copper of their nets
// best. The order is what the search varies.
#include "layout/layout_grid.h"
#include "layout/layout_parts.h"
#include "layout/layout_routing.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace tarnwick::layout {

struct Placed {
  std::int32_t Item = 0;
  std::int32_t Shape = 0;
  std::int32_t Trace = 0, Row = 0; // the shape's origin
};

// How a placement weighs what it gives up, in holes of area.
struct PlacementWeights {
  std::int32_t Island = 8;    // a pin that starts a new island of a net that has copper already
  std::int32_t Cut = 2;       // a cut more: it needs a hole that nothing lies over
  std::int32_t PadInside = 2; // an off-board part's pad off the board's top and bottom rows
};

// Positions tried for an item, best first, until one leaves every net it touches joined.
inline constexpr std::size_t MaxRoutingTries = 60;

// Places the items in `order` on `grid` (empty, as large as the search allows), joining each
// net's islands with links as they arise. Returns false, with the place in the order of the
// item that fits nowhere in `failedAt`, when one does not fit.
// `interrupted`, asked before each item, ends the placement early (as a failure) when it says so.
bool PlaceItems(const LayoutProblem &problem, const std::vector<std::int32_t> &order,
                const PlacementWeights &weights, Grid &grid, std::vector<Placed> &placed,
                std::vector<Link> &links, std::int32_t &failedAt,
                const std::function<bool()> &interrupted = {});

// Puts one shape onto the grid: its leads, the holes it covers and a template's cut.
void PutShape(const Shape &shape, std::int32_t t, std::int32_t r, Grid &grid);

} // namespace tarnwick::layout
