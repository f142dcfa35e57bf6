#pragma once

#include "nets/match_problem.h"
#include "nets/perfect_search.h"

#include <cstdint>
#include <vector>

namespace tarnwick {

// How a part was matched: the unit standing for it (or -1, missing) and how it is turned on it
// (see EndOfPin; for a two-lead component, 1 puts its first node on the component's end end).
struct PartMatch {
  std::int32_t Unit = -1;
  std::int32_t Turn = 0;
};

struct Matching {
  std::vector<PartUnit> Units;
  std::vector<PartMatch> Parts;        // per circuit part
  std::vector<std::int32_t> Unmatched; // units no part took, ascending
  // Parts whose components could be exchanged without a difference in problems, though the
  // exchange would tell a different story; each list once, in netlist order.
  std::vector<std::vector<std::int32_t>> Ambiguous;
  // Whether some pairing puts every node on a net of its own with no part turned wrong (then
  // Parts is one), none does, or the search for one reached its bound first.
  SearchOutcome Perfect = SearchOutcome::Unsettled;
  bool SearchCut = false; // the search for the fewest problems stopped at its bound
};

// The work the matching may do, in tries of a unit for a part.
struct MatchLimits {
  std::int64_t PerfectSteps = 2'000'000; // for a pairing without a fault
  std::int64_t LocalSteps = 400'000;     // for the pairing with the fewest problems, else
};

// Matches parts to units (both of one problem). A pairing without a fault is searched for
// exhaustively (FindPerfectPairing); when there is one it is taken, and among such pairings the
// exchanges of like parts that carry more trace labels on their nodes' nets are made. When
// there is none (or the search could not tell), parts go where they make the fewest problems
// (opens, shorts, parts turned wrong), found by placing them one by one and exchanging pairs of
// like parts while that helps. Deterministic; bounded by `limits`.
Matching MatchUnits(MatchProblem problem, const MatchLimits &limits = {});

} // namespace tarnwick
