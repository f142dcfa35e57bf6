#pragma once

#include "nets/circuit.h"
#include "nets/copper.h"

#include <cstdint>
#include <vector>

namespace tarnwick {

// What stands on the board for one netlist part: one component with two ends, or up to three
// sockets of a transistor (in list order; a transistor short of sockets has fewer).
struct PartUnit {
  PartGroup Group = PartGroup::Resistor;
  std::vector<std::int32_t> Components;
  std::vector<std::int32_t> Nets; // per end; -1 where it connects to nothing
  bool Polar = false;             // diodes and electrolytics have a right way round
};

// How a part was matched: the unit standing for it (or -1, missing) and whether its first
// node sits on the unit's end end rather than its start end.
struct PartMatch {
  std::int32_t Unit = -1;
  bool Flipped = false;
};

struct Matching {
  std::vector<PartUnit> Units;
  std::vector<PartMatch> Parts;        // per circuit part
  std::vector<std::int32_t> Unmatched; // units no part took, ascending
  // Parts whose components could be exchanged without a difference in problems, though the
  // exchange would tell a different story; each list once, in netlist order.
  std::vector<std::vector<std::int32_t>> Ambiguous;
  bool SearchCut = false; // the search stopped at its bound before it settled
};

// Matches the netlist's parts to the board's components: a part takes a component of its kind
// group whose name equals its value without regard to case (a transistor, the sockets named
// after it). Where several components share a name, the assignment is the one under which the
// netlist's nodes fall onto the board's nets with the fewest problems (opens, shorts, polar parts
// the wrong way round); among those, the one whose nets carry the trace labels of their nodes.
// The search is deterministic and bounded by maxSteps tries.
Matching MatchParts(const Board &board, const Copper &copper, const Circuit &circuit,
                    std::int64_t maxSteps = 400'000);

} // namespace tarnwick
