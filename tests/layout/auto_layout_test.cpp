#include "layout/auto_layout.h"

#include "layout/circuit_builder.h"
#include "layout/layout_reference.h"

#include <gtest/gtest.h>

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
  std::mt19937 random(7);
  for (int round = 0; round < 30; ++round) {
    const int parts = 2 + static_cast<int>(random() % 39);
    const circuit::Circuit c = RandomCircuit(random, parts);
    layout::LayoutOptions options;
    options.Seed = static_cast<std::uint64_t>(round);
    const layout::LayoutResult r = layout::LayOut(c, options);
    ASSERT_TRUE(r.Found) << "round " << round << ": " << r.Why;
    EXPECT_EQ(ReferenceFault(c, r.Layout), "") << "round " << round << ", " << parts << " parts";
  }
}

} // namespace
} // namespace tarnwick::layout_test
