#pragma once

// What a laid-out board costs (area, then links, then cut holes) and what any board for the
// same circuit costs at least, to measure the search against.
#include "layout/auto_layout.h"
#include "layout/layout_parts.h"
#include "layout/layout_placement.h"
#include "layout/layout_routing.h"

#include <cstdint>
#include <vector>

namespace tarnwick::layout {

// The cost of a routed board: the smallest rectangle that holds every component, its links,
// and the holes its cuts take (a template's cuts included).
LayoutCost CostOf(const LayoutProblem &problem, const std::vector<Placed> &placed,
                  const std::vector<Link> &links, const std::vector<Cut> &cuts);

// One number that orders costs as LayoutCost's operator< does, for the annealing.
std::int64_t Scalar(const LayoutCost &cost);

struct LowerBounds {
  std::int64_t Holes = 0; // the holes the parts' smallest shapes cover
};

LowerBounds BoundsOf(const LayoutProblem &problem);

} // namespace tarnwick::layout
