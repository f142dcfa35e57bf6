#pragma once

// The automatic layout: from a circuit to a compact stripboard that implements it. The search
// is deterministic for one circuit, seed and budget: it counts its work in steps and reads the
// clock only to end early when the seconds run out on a slow machine.
#include "circuit/circuit_model.h"
#include "document/layout_file.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace tarnwick::layout {

struct LayoutOptions {
  std::uint64_t Seed = 1;
  double Seconds = 60;          // a cap on the wall-clock time, never a decision of the search
  std::int32_t MaxTraces = 200; // the widest board the search may use
  std::int32_t MaxRows = 40;    // the tallest (never more than 40, never less than 10)
  // The work the search does, in placements tried; 0 chooses it from the circuit's size.
  std::int64_t Steps = 0;
};

// What a board costs, compared in this order: area first, then links, then cut holes.
struct LayoutCost {
  std::int32_t Traces = 0; // of the smallest rectangle that holds every component
  std::int32_t Rows = 0;
  std::int64_t Links = 0;    // wire links
  std::int64_t CutHoles = 0; // holes that trace cuts take
  std::int64_t Holes() const { return std::int64_t{Traces} * Rows; }
  friend bool operator<(const LayoutCost &a, const LayoutCost &b) {
    if (a.Holes() != b.Holes())
      return a.Holes() < b.Holes();
    if (a.Links != b.Links)
      return a.Links < b.Links;
    return a.CutHoles < b.CutHoles;
  }
};

struct LayoutProgress {
  LayoutCost Best;         // the best valid board found so far
  std::int64_t Steps = 0;  // work done
  std::int64_t Budget = 0; // work the search means to do in all
};

struct LayoutResult {
  bool Found = false;
  std::string Why;   // when nothing was found: what kept the circuit from being laid out
  LayoutData Layout; // TraceCount, PinCount, TraceNames (the nets), Components
  LayoutCost Cost;
  std::int64_t Steps = 0;
};

// Lays out the circuit. `stop`, when set from another thread, ends the search with the best
// board found so far; `progress` is called on the searching thread whenever the best improves.
// Throws TarnwickError for a circuit beyond the search's limits (too many parts or pins).
LayoutResult LayOut(const circuit::Circuit &circuit, const LayoutOptions &options,
                    const std::atomic<bool> *stop = nullptr,
                    const std::function<void(const LayoutProgress &)> &progress = {});

} // namespace tarnwick::layout
