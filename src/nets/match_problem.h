#pragma once

// The pairing of a netlist's parts with what stands for them on a board, reduced to what the
// pairing depends on: which parts and units may stand for each other (their key), the nodes of a
// part's pins and the nets of a unit's ends. The check builds it from a board and a circuit; the
// searches of part_matching and perfect_search work on it alone.
#include <cstdint>
#include <vector>

namespace tarnwick {

// How the ends of a unit may be turned against the pins of the part on it.
enum class UnitTurns : std::uint8_t {
  Fixed,   // end i holds pin i: sockets named after their pins
  Either,  // a two-lead component that works either way round
  Polar,   // a two-lead component with a right way round; the other way is a fault
  Ordered, // sockets of one name, taken in list order; another order of them is a fault
};

// A unit's end that stands for a pin with no socket on the board. An end's net is a net of the
// copper (from 0), -1 for an end that connects to nothing, or AbsentEnd.
inline constexpr std::int32_t AbsentEnd = -2;

// What stands on the board for one netlist part: one component with two ends, or the sockets of
// a part of any number of pins.
struct PartUnit {
  std::int32_t Key = 0;
  UnitTurns Turns = UnitTurns::Fixed;
  std::vector<std::int32_t> Components; // per end; -1 for an absent end
  std::vector<std::int32_t> Nets;       // per end
};

struct MatchPart {
  std::int32_t Key = 0;
  std::vector<std::int32_t> Nodes; // per pin; -1 for a pin the netlist leaves unconnected
};

struct MatchProblem {
  std::vector<MatchPart> Parts;
  std::vector<PartUnit> Units;
  std::int32_t NodeCount = 0;
  std::int32_t NetCount = 0;                       // of the copper
  std::vector<std::vector<std::int32_t>> Labelled; // per net, the nodes its trace labels name
};

// The ways a unit can be turned: 1, 2 for a two-lead component, up to 6 for three sockets.
std::int32_t TurnCount(const PartUnit &unit);
// Whether a unit turned this way is a fault of the layout (a diode the wrong way round).
bool FaultyTurn(const PartUnit &unit, std::int32_t turn);
// The end that holds pin `pin` of the part on a unit turned by `turn`; turn 0 puts pin i on end i.
std::int32_t EndOfPin(std::int32_t turn, std::int32_t pin);

} // namespace tarnwick
