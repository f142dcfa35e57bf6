#pragma once

// The largest board the dialogs allow, as the benchmarks paint and export it: 100 x 100,
// labelled traces, 2,000 components of every kind, both highlights, ShowFlow on.
#include "board/board_view.h"

#include <memory>
#include <random>
#include <string>

namespace bench {

// Returns the component in the middle of the list, for a selection.
inline tarnwick::BoardComponent *PopulateLargest(tarnwick::BoardView &view, unsigned seed,
                                                 const char *namePrefix) {
  view.InitBoard(100, 40);
  view.Resize(100, 100);
  for (int t = 0; t < view.TraceCount(); ++t)
    view.GetTrace(t).Name = "N" + std::to_string(t);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> trace(0, 99), pin(0, 99), len(0, 5);
  tarnwick::BoardComponent *middle = nullptr;
  for (int i = 0; i < 2000; ++i) {
    auto c = std::make_unique<tarnwick::BoardComponent>();
    c->Kind = static_cast<std::uint8_t>(i % 9);
    c->StartTrace = trace(rng);
    c->EndTrace = std::min(99, c->StartTrace + len(rng));
    c->StartPin = pin(rng);
    c->CapWidth = std::abs(c->EndTrace - c->StartTrace) + 1;
    c->Name = namePrefix + std::to_string(i);
    tarnwick::BoardComponent *raw = view.AddComponent(std::move(c));
    if (i == 1000)
      middle = raw;
  }
  view.HighlightTrace = 10;
  view.HighlightEndTrace = 30;
  view.HighlightPin = 50;
  view.SetShowFlow(true);
  return middle;
}

} // namespace bench
