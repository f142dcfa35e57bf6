// The automatic layout on its own thread: the result it hands back, stopping, and its errors.
#include "circuit/circuit_reader.h"
#include "document/layout_file.h"
#include "layout/chain_netlist.h"
#include "layout/layout_parts.h"
#include "layout/layout_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;

circuit::Circuit Chain(int parts) {
  return circuit::ReadCircuitText(layout_test::ChainNetlist(parts), "chain.net");
}

bool WaitFor(const std::function<bool()> &done, std::chrono::seconds limit) {
  const auto end = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > end)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

std::string Text(const LayoutData &data) {
  Board board;
  BuildBoard(data, board);
  return FormatLayout(board, "x");
}

TEST(LayoutWorker, HandsBackTheSearchsOwnResultAndItsLastReport) {
  const circuit::Circuit circuit = Chain(12);
  layout::LayoutOptions options;
  options.Seed = 7;
  const layout::LayoutResult direct = layout::LayOut(circuit, options);
  ASSERT_TRUE(direct.Found);

  LayoutWorker worker(circuit, options);
  ASSERT_TRUE(WaitFor([&] { return worker.Done(); }, std::chrono::seconds(60)));
  const auto last = worker.Progress();
  const layout::LayoutResult result = worker.TakeResult();
  EXPECT_EQ(Text(result.Layout), Text(direct.Layout)); // the same circuit, seed and work
  EXPECT_EQ(result.Steps, direct.Steps);
  ASSERT_TRUE(last.has_value());
  EXPECT_FALSE(last->Best < result.Cost || result.Cost < last->Best);
  EXPECT_THROW(worker.TakeResult(), TarnwickError); // only once
}

TEST(LayoutWorker, StopEndsWithTheBestSoFarAndErrorsComeBackToTheCaller) {
  {
    layout::LayoutOptions options;
    options.Steps = 1'000'000; // far more than the time the test waits
    LayoutWorker worker(Chain(40), options);
    EXPECT_THROW(worker.TakeResult(), TarnwickError); // nothing to take while it runs
    ASSERT_TRUE(WaitFor([&] { return worker.Progress().has_value(); }, std::chrono::seconds(60)));
    worker.Stop();
    ASSERT_TRUE(WaitFor([&] { return worker.Done(); }, std::chrono::seconds(30)));
    const layout::LayoutResult result = worker.TakeResult();
    EXPECT_TRUE(result.Found);
    EXPECT_LT(result.Steps, options.Steps);
  }
  {
    LayoutWorker worker(Chain(layout::MaxLayoutParts + 1), {});
    ASSERT_TRUE(WaitFor([&] { return worker.Done(); }, std::chrono::seconds(60)));
    EXPECT_THROW(worker.TakeResult(), TarnwickError);
  }
  {
    // A worker given up while it searches lets go at once; its thread ends on its own.
    layout::LayoutOptions options;
    options.Steps = 1'000'000;
    const auto start = Clock::now();
    { LayoutWorker worker(Chain(40), options); }
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
  }
}

} // namespace
} // namespace tarnwick
