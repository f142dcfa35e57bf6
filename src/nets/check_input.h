#pragma once

// What the check's report needs to know of a netlist, whichever reader it came from: the names
// of its nodes and parts, how each part stands on the board, and the pairing problem.
#include "nets/copper.h"
#include "nets/match_problem.h"
#include "nets/net_check.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

enum class Placement : std::uint8_t {
  TwoLead,        // one component with two ends, named by the value
  OrderedSockets, // three sockets of one name, <ref>_1, in list order
  PinSockets,     // a socket per pin named <ref>.<pin>
};

struct CheckedPart {
  std::string Reference; // "r1", "U2"
  std::string Value;     // what the components are named ("10k"), or the sockets ("q1_1")
  Placement How = Placement::TwoLead;
  std::vector<std::string> PinSockets; // PinSockets: per pin, its socket's name
};

// A netlist line the reader passed over that may hold a part: named as not checked.
struct UncheckedLine {
  std::int64_t Line = 0;
  std::string Text;
};

struct CheckInput {
  std::vector<std::string> Nodes;
  std::vector<CheckedPart> Parts; // as MatchProblem's parts
  std::vector<UncheckedLine> Unchecked;
  MatchProblem Problem; // its parts and the board's units
};

// The check of a board, whose copper is worked out, against a netlist so described.
CheckReport CheckInputAgainst(const Board &board, const Copper &copper, CheckInput input,
                              const CheckLimits &limits);

} // namespace tarnwick
