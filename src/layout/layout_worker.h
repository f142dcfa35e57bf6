#pragma once

// The automatic layout on a thread of its own, over its own copy of the circuit, so that the
// window stays responsive while it searches. The window asks it, a few times a frame, for the
// best board found so far and whether the search has ended; the result comes back by value.
#include "layout/auto_layout.h"

#include <memory>
#include <optional>
#include <thread>

namespace tarnwick {

class LayoutWorker {
public:
  // Starts the search at once.
  LayoutWorker(circuit::Circuit circuit, layout::LayoutOptions options);
  // Stops the search. A search still in a step is not waited for: it ends on its own thread,
  // which holds what it works on, and its result is dropped.
  ~LayoutWorker();
  LayoutWorker(const LayoutWorker &) = delete;
  LayoutWorker &operator=(const LayoutWorker &) = delete;

  // The search ends soon with the best board found so far.
  void Stop();
  bool Done() const;
  // The latest report of a better board; none before the first valid board.
  std::optional<layout::LayoutProgress> Progress() const;
  // Once Done: the search's result, or its error raised again here. Only once.
  layout::LayoutResult TakeResult();

private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

} // namespace tarnwick
