#pragma once

#include "nets/match_problem.h"

#include <cstdint>
#include <vector>

namespace tarnwick {

enum class SearchOutcome : std::uint8_t {
  Found,     // a pairing without a fault exists; it is the one returned
  None,      // no pairing is without a fault: proved
  Unsettled, // the search reached its bound before it knew
};

struct PerfectPairing {
  SearchOutcome Outcome = SearchOutcome::Unsettled;
  std::vector<std::int32_t> Unit;  // per part; -1 for a part with no unit
  std::vector<std::uint8_t> Turns; // per part
};

// Looks for a pairing of parts with units of their key under which every node lies on one net
// of its own, no end used connects to nothing and no part is turned the wrong way. Where a key
// has fewer units than parts, as many parts go without; where it has more, the rest stay free.
// Complete: it is found whenever it exists, whatever the order of the units. The nodes a
// part pins down narrow the choices of the parts that share them; the part with the fewest
// choices is tried first, and units that are alike are tried once. Each test of a unit costs a
// step, taken from `steps`; the search stops as Unsettled when they run out. Among equal
// choices the one whose nets carry the labels of their nodes is tried first.
PerfectPairing FindPerfectPairing(const MatchProblem &problem, std::int64_t &steps);

} // namespace tarnwick
