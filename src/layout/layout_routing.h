#pragma once

// The routing and cutting stage: once the parts are placed, each net's islands are joined by
// wire links (a link lies on one row from one island to another, or through a free stretch of
// a strip when no row reaches both), and a cut goes between every two neighbouring leads of
// different nets on a strip.
#include "layout/layout_grid.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::layout {

struct Link {
  std::int32_t Row = 0, From = 0, To = 0; // From < To
};

struct Cut {
  std::int32_t Trace = 0, Row = 0;
};

struct Island {
  std::int32_t Trace = 0, Net = NoNet;
  std::int32_t First = 0, Last = 0; // rows of its first and last lead
  std::int32_t Top = 0, Bottom = 0; // rows its copper may reach, leaving room for the cuts
};

// The islands of every net with at least one lead, strip by strip from the top.
std::vector<Island> FindIslands(const Grid &grid);

// Whether a link could still leave the island: from a free hole of its copper along its row to
// a strip where a lead of its net could stand.
bool Reachable(const Grid &grid, const Island &island);

// Joins the islands of each of these nets; links go onto the grid and into `links`. Returns
// false, with the net in `failedNet`, when some net's islands cannot all be joined.
bool RouteLinks(Grid &grid, const std::vector<std::int32_t> &nets, std::vector<Link> &links,
                std::int32_t &failedNet);

// The cuts a routed grid needs besides its template cuts: one below the upper of every two
// neighbouring leads of different nets on a strip.
std::vector<Cut> PlaceCuts(const Grid &grid);

} // namespace tarnwick::layout
