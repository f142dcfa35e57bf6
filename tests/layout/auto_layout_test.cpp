#include "layout/auto_layout.h"

#include "layout/circuit_builder.h"
#include "layout/layout_reference.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>

namespace tarnwick::layout_test {
using circuit::PartKind;
namespace {

circuit::Circuit Flasher555() {
  CircuitBuilder b;
  b.Add(PartKind::Ic, "U1", "NE555", {"0", "trig", "out", "vcc", "ctl", "trig", "dis", "vcc"})
      .Add(PartKind::Resistor, "R1", "1k", {"vcc", "dis"})
      .Add(PartKind::Resistor, "R2", "47k", {"dis", "trig"})
      .Add(PartKind::Electrolytic, "C1", "10u", {"trig", "0"})
      .Add(PartKind::FilmCapacitor, "C2", "10n", {"ctl", "0"})
      .Add(PartKind::Resistor, "R3", "470", {"out", "led"})
      .Add(PartKind::Led, "D1", "LED", {"led", "0"})
      .Add(PartKind::Electrolytic, "C3", "100u", {"vcc", "0"});
  return b.Get();
}

LayoutData FormatRoundTrip(const LayoutData &d) {
  Board board;
  BuildBoard(d, board);
  return ParseLayout(FormatLayout(board, "t"));
}

TEST(AutoLayout, LaysOutA555FlasherByEveryRule) {
  const circuit::Circuit c = Flasher555();
  const layout::LayoutResult r = layout::LayOut(c, {});
  ASSERT_TRUE(r.Found) << r.Why;
  EXPECT_EQ(ReferenceFault(c, r.Layout), "");
  EXPECT_EQ(CheckFault(c, r.Layout), "");
  // The file reopens as written, and the cost is that of the board written.
  EXPECT_EQ(ReferenceFault(c, FormatRoundTrip(r.Layout)), "");
  EXPECT_LE(r.Cost.Traces, r.Layout.TraceCount);
  EXPECT_LE(r.Cost.Holes(), 14 * 8);
}

} // namespace
// Random circuits of 2 to 40 parts of every kind: every result obeys every rule.
circuit::Circuit RandomCircuit(std::mt19937 &random, int parts) {
  CircuitBuilder b;
  const int nets = 2 + parts * 2 / 3;
  const auto net = [&] {
    const unsigned n = random() % static_cast<unsigned>(nets + 1);
    return n == static_cast<unsigned>(nets) && random() % 4 == 0 ? std::string()
                                                                 : "n" + std::to_string(n % nets);
  };
  for (int i = 0; i < parts; ++i) {
    const unsigned kind = random() % 20;
    const std::string ref = "p" + std::to_string(i);
    if (kind < 7)
      b.Add(PartKind::Resistor, ref, "10k", {net(), net()});
    else if (kind < 9)
      b.Add(PartKind::FilmCapacitor, ref, "100n", {net(), net()});
    else if (kind < 11)
      b.Add(PartKind::Electrolytic, ref, "10u", {net(), net()});
    else if (kind < 12)
      b.Add(PartKind::Diode, ref, "1N4148", {net(), net()});
    else if (kind < 13)
      b.Add(PartKind::Led, ref, "LED", {net(), net()});
    else if (kind < 16)
      b.Add(PartKind::InLine, ref, "BC547", {net(), net(), net()});
    else if (kind < 17)
      b.Add(PartKind::Ic, ref, "TL072", {net(), net(), net(), net(), net(), net(), net(), net()});
    else if (kind < 18)
      b.Add(PartKind::Ic, ref, "LM386", {net(), net(), net(), net(), net()}); // spare pins
    else
      b.Add(PartKind::OffBoard, ref, "100k", {net(), net(), net()});
  }
  return b.Get();
}

namespace {
TEST(AutoLayout, EveryRandomCircuitIsLaidOutByEveryRule) {
#ifdef TARNWICK_SANITIZED
  constexpr int rounds = 8;
#else
  constexpr int rounds = 30;
#endif
  std::mt19937 random(7);
  for (int round = 0; round < rounds; ++round) {
    const int parts = 2 + static_cast<int>(random() % 39);
    const circuit::Circuit c = RandomCircuit(random, parts);
    layout::LayoutOptions options;
    options.Seed = static_cast<std::uint64_t>(round);
    options.Steps = 0;
    const layout::LayoutResult r = layout::LayOut(c, options);
    ASSERT_TRUE(r.Found) << "round " << round << ": " << r.Why;
    EXPECT_EQ(ReferenceFault(c, r.Layout), "") << "round " << round << ", " << parts << " parts";
    EXPECT_EQ(CheckFault(c, r.Layout), "") << "round " << round;
  }
}

} // namespace

namespace {

// The search reports each better board as it finds it, and a stop ends it with the best so far.
TEST(AutoLayout, ReportsImprovementsAndStopsWithTheBestSoFar) {
  const circuit::Circuit c = Flasher555();
  std::vector<layout::LayoutCost> seen;
  std::int64_t lastSteps = 0;
  const layout::LayoutResult full =
      layout::LayOut(c, {}, nullptr, [&](const layout::LayoutProgress &p) {
        EXPECT_GE(p.Steps, lastSteps);
        EXPECT_LE(p.Steps, p.Budget);
        lastSteps = p.Steps;
        seen.push_back(p.Best);
      });
  ASSERT_FALSE(seen.empty());
  for (std::size_t i = 1; i < seen.size(); ++i)
    EXPECT_TRUE(seen[i] < seen[i - 1]);
  EXPECT_EQ(seen.back().Holes(), full.Cost.Holes());

  std::atomic<bool> stop{false};
  std::int64_t stoppedAt = 0;
  const layout::LayoutResult stopped =
      layout::LayOut(c, {}, &stop, [&](const layout::LayoutProgress &p) {
        stop = true;
        stoppedAt = p.Steps;
      });
  ASSERT_TRUE(stopped.Found);
  EXPECT_EQ(stopped.Steps, stoppedAt);
  EXPECT_LT(stopped.Steps, full.Steps);
  EXPECT_EQ(ReferenceFault(c, stopped.Layout), "");
}

TEST(AutoLayout, RefusesWhatItCannotLayOutAndSaysWhy) {
  CircuitBuilder huge;
  for (int i = 0; i < 401; ++i)
    huge.Add(PartKind::Resistor, "r" + std::to_string(i), "1k", {"a", "b"});
  EXPECT_THROW(layout::LayOut(huge.Get(), {}), TarnwickError);

  circuit::Circuit chip;
  chip.Nets = {"a"};
  circuit::Part u{"u1", "BIG", PartKind::Ic, {}, 1};
  for (int n = 1; n <= 40; ++n)
    u.Pins.push_back({std::to_string(n), 0});
  chip.Parts.push_back(u);
  try {
    layout::LayOut(chip, {});
    ADD_FAILURE() << "a 40-pin IC was laid out";
  } catch (const TarnwickError &e) {
    EXPECT_NE(std::string(e.what()).find("u1 has 40 pins"), std::string::npos) << e.what();
  }

  const layout::LayoutResult empty = layout::LayOut(circuit::Circuit{}, {});
  EXPECT_FALSE(empty.Found);
  EXPECT_NE(empty.Why, "");

  // Too narrow a board: nothing found, and the reason names the limit.
  layout::LayoutOptions narrow;
  narrow.MaxTraces = 3;
  const layout::LayoutResult none = layout::LayOut(Flasher555(), narrow);
  EXPECT_FALSE(none.Found);
  EXPECT_NE(none.Why.find("3 traces"), std::string::npos) << none.Why;
}

} // namespace
} // namespace tarnwick::layout_test
