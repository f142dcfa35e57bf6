// Working out the nets of the largest board, and a full check of a 200-part netlist against it:
// both run on every change while the check panel is open, so they must stay far below a frame.
#include "largest_board.h"
#include "nets/copper.h"
#include "nets/net_check.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>

namespace {

void BM_NetsOfLargestBoard(benchmark::State &state) {
  tarnwick::BoardView view;
  bench::PopulateLargest(view, 42, "C");
  for (auto _ : state) {
    const tarnwick::Copper copper(view);
    benchmark::DoNotOptimize(copper.NetCount());
  }
}
BENCHMARK(BM_NetsOfLargestBoard)->Unit(benchmark::kMicrosecond);

// 200 resistors of 20 values on 80 nodes, checked against the largest board whose first 200
// resistors carry those values: groups of ten like parts to weigh against each other, and
// a report full of problems.
void BM_Check200PartNetlist(benchmark::State &state) {
  tarnwick::BoardView view;
  bench::PopulateLargest(view, 42, "C");
  std::mt19937 rng(7);
  std::string netlist;
  for (int i = 0, named = 0; i < view.ComponentCount() && named < 200; ++i) {
    tarnwick::BoardComponent &c = view.GetComponent(i);
    if (!c.Is(tarnwick::ComponentKind::Resistor))
      continue;
    c.Name = "v" + std::to_string(named % 20);
    netlist += "r" + std::to_string(named) + " n" + std::to_string(rng() % 80) + " n" +
               std::to_string(rng() % 80) + " " + c.Name + "\n";
    ++named;
  }
  const tarnwick::Circuit circuit =
      tarnwick::ReadCircuit(tarnwick::ReadNetlistText(netlist, "bench.net"));
  for (auto _ : state) {
    const tarnwick::CheckReport report = tarnwick::CheckLayout(view, circuit);
    benchmark::DoNotOptimize(report.Problems);
  }
}
BENCHMARK(BM_Check200PartNetlist)->Unit(benchmark::kMillisecond);

} // namespace
