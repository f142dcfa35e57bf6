#pragma once

#include "board/board.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

// Why a component's end connects to nothing.
enum class EndFault : std::uint8_t { None, OffBoard, OnCut };

// One end of a part where it is soldered to the copper.
struct Terminal {
  std::int32_t Component = 0; // its place in the board's component list
  std::int32_t Number = 0;    // 0 for the start end (anode, "+"), 1 for the end end
  std::int32_t Trace = 0;
  std::int32_t Pin = 0;
  std::int32_t Net = -1; // -1 when the end connects to nothing
  EndFault Fault = EndFault::None;
};

// A wire end that joins nothing.
struct LooseWireEnd {
  std::int32_t Component = 0;
  std::int32_t Trace = 0;
  std::int32_t Pin = 0;
  EndFault Fault = EndFault::None;
};

// How many ends of a component are soldered to the copper: two for resistors, capacitors and
// diodes, one for a socket, none for wires (which join), cuts and labels.
std::int32_t TerminalCount(const BoardComponent &c);

// The connected copper of a board, worked out from the board alone. Every strip is one piece
// of copper from its first row to its last; a trace cut removes the hole it lies on, so the
// copper above and below it are separate islands and the hole itself belongs to none. A wire
// joins the islands under its two ends; the islands joined that way form a net. Nets are
// numbered in the order of their first island (by trace, then by row).
class Copper {
public:
  explicit Copper(const Board &board);

  // The net of a hole, or -1 for a hole off the board or on a cut.
  std::int32_t NetAt(std::int32_t trace, std::int32_t pin) const;
  EndFault FaultAt(std::int32_t trace, std::int32_t pin) const;

  std::int32_t NetCount() const { return static_cast<std::int32_t>(netIslands_.size()); }
  // The islands of a net, by trace and row.
  const std::vector<CopperSpan> &Islands(std::int32_t net) const;
  // The trace labels on a net's strips, each once (compared without case), by trace.
  const std::vector<std::string> &Labels(std::int32_t net) const;
  // The ends of all parts, in component list order.
  const std::vector<Terminal> &Terminals() const { return terminals_; }
  const std::vector<LooseWireEnd> &LooseWireEnds() const { return looseWireEnds_; }

private:
  // Island ids of a trace run from islandBase_[t]: the k-th island lies below its k-th cut.
  // Ids of empty islands (two cuts on neighbouring rows) exist but belong to no net.
  std::int32_t IslandAt(std::int32_t trace, std::int32_t pin) const;
  void FindCuts(const Board &board);
  void JoinWires(const Board &board, std::vector<std::int32_t> &parent);
  void NumberNets(const Board &board, std::vector<std::int32_t> &parent);
  void CollectTerminals(const Board &board);

  std::int32_t traces_ = 0;
  std::int32_t pins_ = 0;
  std::vector<std::vector<std::int32_t>> cuts_; // per trace, the cut rows, ascending
  std::vector<std::int32_t> islandBase_;
  std::vector<std::int32_t> islandNet_;
  std::vector<std::vector<CopperSpan>> netIslands_;
  std::vector<std::vector<std::string>> netLabels_;
  std::vector<Terminal> terminals_;
  std::vector<LooseWireEnd> looseWireEnds_;
};

// The copper a board marks in its tint: that of its Tint, and with ShowNets on the net of the
// clicked hole (ClickedPin) of the highlighted trace. A board too large to work out shows only
// its Tint.
std::vector<CopperSpan> MarkedCopper(const Board &board);

// A board whose cuts remove more holes than this is refused rather than worked on for minutes;
// the largest board the dialogs make has 10,000 holes.
inline constexpr std::int64_t MaxCutHoles = 4'000'000;

// Lower-cases ASCII letters, as netlists are read.
std::string LowerCase(std::string s);

} // namespace tarnwick
