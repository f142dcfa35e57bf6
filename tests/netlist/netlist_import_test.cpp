#include "netlist/netlist_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarnwick;

namespace {

class CountingBoard : public Board {
public:
  int repaints = 0;
  void Repaint() override { ++repaints; }
};

// A target that records every component handed to it, with the board's labels at that moment
// of the traces the component touches, and counts the board's repaints.
class RecordingTarget : public NetlistTarget {
public:
  struct Added {
    std::uint8_t kind;
    std::int32_t start, end, pin;
    std::string name;
  };
  CountingBoard board;
  std::vector<Added> added;

  Board &TargetBoard() override { return board; }
  void AddComponentToLayout(std::unique_ptr<BoardComponent> c) override {
    added.push_back({c->Kind, c->StartTrace, c->EndTrace, c->StartPin, c->Name});
    board.AddComponent(std::move(c));
  }
  std::string Label(int t) const { return board.GetTrace(t).Name; }
  int Count(ComponentKind k) const {
    int n = 0;
    for (const Added &a : added)
      n += a.kind == static_cast<std::uint8_t>(k);
    return n;
  }
};

constexpr auto Socket = static_cast<std::uint8_t>(ComponentKind::Socket);
constexpr auto Wire = static_cast<std::uint8_t>(ComponentKind::Wire);
constexpr auto Resistor = static_cast<std::uint8_t>(ComponentKind::Resistor);
constexpr auto Capacitor = static_cast<std::uint8_t>(ComponentKind::Capacitor);
constexpr auto Diode = static_cast<std::uint8_t>(ComponentKind::Diode);

void ExpectAdded(const RecordingTarget::Added &a, std::uint8_t kind, int start, int end, int pin,
                 const std::string &name) {
  EXPECT_EQ(a.kind, kind) << name;
  EXPECT_EQ(a.start, start) << name;
  EXPECT_EQ(a.end, end) << name;
  EXPECT_EQ(a.pin, pin) << name;
  EXPECT_EQ(a.name, name);
}

// Imports a netlist text as the first import after start would.
void Import(RecordingTarget &target, const std::string &text) {
  NetlistRandom fresh;
  PlaceNetlist(ReadNetlistText(text, "test.net"), target, fresh);
}

// The message of the error an import raises, or "" when it raises none.
std::string ImportError(RecordingTarget &target, const std::string &text) {
  try {
    Import(target, text);
  } catch (const TarnwickError &e) {
    return e.what();
  }
  return "";
}

const char *const WorkedExample = "* test\n"
                                  "Q1 out in 0 BC547\n"
                                  "R1 vcc out 10k\n"
                                  "R2 in 0 100k\n"
                                  "C1 in sig 100n\n"
                                  ".end\n";

} // namespace

TEST(NetlistRandom, DrawsOfAFreshGeneratorShareOneSequence) {
  NetlistRandom fives;
  std::vector<int> got;
  for (int i = 0; i < 6; ++i)
    got.push_back(fives.Next(5));
  EXPECT_EQ(got, (std::vector<int>{0, 0, 4, 1, 1, 3}));
  NetlistRandom twenties;
  got.clear();
  for (int i = 0; i < 6; ++i)
    got.push_back(twenties.Next(20));
  EXPECT_EQ(got, (std::vector<int>{0, 0, 17, 4, 5, 13}));
  // Each draw advances the same seed whatever n is.
  NetlistRandom mixed;
  EXPECT_EQ(mixed.Next(5), 0);
  EXPECT_EQ(mixed.Next(20), 0);
  EXPECT_EQ(mixed.Next(20), 17);
  EXPECT_EQ(mixed.Next(5), 1);
  EXPECT_EQ(mixed.Seed(),
            1u * 134775813u * 134775813u * 134775813u + 134775813u * 134775813u + 134775813u + 1u);
  // The whole range is reachable and never exceeded.
  NetlistRandom wide(0xffffffffu);
  for (int i = 0; i < 1000; ++i) {
    const int r = wide.Next(20);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 20);
  }
}

TEST(NetlistRandom, ProcessGeneratorContinuesUntilTheTestHookResetsIt) {
  ResetProcessNetlistRandomForTesting();
  EXPECT_EQ(ProcessNetlistRandom().Next(20), 0);
  EXPECT_EQ(ProcessNetlistRandom().Next(20), 0);
  EXPECT_EQ(ProcessNetlistRandom().Next(20), 17);
  ResetProcessNetlistRandomForTesting();
  EXPECT_EQ(ProcessNetlistRandom().Seed(), 0u);
}

TEST(NetlistImport, WorkedExampleAsTheFirstImportAfterStart) {
  RecordingTarget t;
  Import(t, WorkedExample);
  EXPECT_EQ(t.board.TraceCount(), 60);
  EXPECT_EQ(t.board.PinCount(), 30);
  ASSERT_EQ(t.added.size(), 7u);
  ExpectAdded(t.added[0], Socket, 5, 5, 10, "q1_1");
  ExpectAdded(t.added[1], Socket, 6, 6, 10, "q1_1");
  ExpectAdded(t.added[2], Socket, 7, 7, 10, "q1_1");
  ExpectAdded(t.added[3], Wire, 7, 9, 11, "");
  ExpectAdded(t.added[4], Resistor, 1, 5, 0, "10k");
  ExpectAdded(t.added[5], Resistor, 6, 7, 17, "100k");
  ExpectAdded(t.added[6], Capacitor, 6, 2, 4, "100n");
  for (int i = 0; i < t.board.ComponentCount(); ++i)
    EXPECT_EQ(t.board.GetComponent(i).CapWidth, 0);

  EXPECT_EQ(t.Label(1), "vcc");
  EXPECT_EQ(t.Label(2), "sig");
  EXPECT_EQ(t.Label(5), "out");
  EXPECT_EQ(t.Label(6), "in");
  EXPECT_EQ(t.Label(7), "GND");
  EXPECT_EQ(t.Label(9), "GND");
  for (int tr : {0, 3, 4, 8, 10, 11, 59})
    EXPECT_EQ(t.Label(tr), "") << tr;
  EXPECT_EQ(t.board.repaints, 8); // one per component, one at the end
}

TEST(NetlistImport, ASecondImportContinuesTheRandomSequence) {
  NetlistRandom random;
  const NetlistLines lines = ReadNetlistText(WorkedExample, "x.net");
  RecordingTarget first, second;
  PlaceNetlist(lines, first, random);
  PlaceNetlist(lines, second, random);
  ASSERT_EQ(second.added.size(), 7u);
  EXPECT_EQ(first.added[3].pin, 11);
  EXPECT_EQ(second.added[3].pin, 12);
  EXPECT_EQ(second.added[4].pin, 13);
  EXPECT_EQ(second.added[5].pin, 6);
  EXPECT_EQ(second.added[6].pin, 3);
  // Only the pin rows differ.
  for (std::size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(second.added[i].start, first.added[i].start);
    EXPECT_EQ(second.added[i].end, first.added[i].end);
  }
  // Playing the first import again gives the first rows again.
  RecordingTarget again;
  Import(again, WorkedExample);
  for (std::size_t i = 0; i < 7; ++i)
    EXPECT_EQ(again.added[i].pin, first.added[i].pin);
}

TEST(NetlistImport, WhichLinesAreReadAndHowFieldsAreTaken) {
  // Nothing to import: 60 unlabelled traces, no components, not modified.
  RecordingTarget none;
  Import(none, "* only a comment\n.tran 1m\nv1 vcc 0 dc 9\nx1 a b opamp\n\n  r9 a b 1k\n");
  EXPECT_EQ(none.board.TraceCount(), 60);
  EXPECT_EQ(none.board.ComponentCount(), 0);
  for (int tr = 0; tr < 60; ++tr)
    EXPECT_EQ(none.Label(tr), "");
  EXPECT_EQ(none.board.repaints, 1);

  // Upper case is lowered as a whole; an indented line is ignored; extra fields are ignored.
  RecordingTarget upper;
  Import(upper, "R1 VIN Out 10K Extra Fields\n r2 a b 1k\nD1 A VIN 1N4148\n");
  ASSERT_EQ(upper.added.size(), 2u);
  ExpectAdded(upper.added[0], Resistor, 1, 2, 0, "10k");
  ExpectAdded(upper.added[1], Diode, 3, 1, 0, "1n4148");
  EXPECT_EQ(upper.Label(1), "vin");
  EXPECT_EQ(upper.Label(2), "out");
  EXPECT_EQ(upper.Label(3), "a");
}

TEST(NetlistImport, LinesWithTooFewFieldsStopTheImport) {
  // r1 a b has three fields: nothing of it is placed, the earlier part stays.
  RecordingTarget three;
  const std::string msg = ImportError(three, "* amp\nc1 x y 1u\nR1 A B\nr2 a b 1k\n");
  EXPECT_EQ(msg.rfind("Assertion failure", 0), 0u) << msg;
  EXPECT_NE(msg.find("line 3"), std::string::npos) << msg;
  EXPECT_NE(msg.find("r1 a b"), std::string::npos) << msg;
  ASSERT_EQ(three.added.size(), 1u);
  EXPECT_EQ(three.added[0].name, "1u");
  EXPECT_EQ(three.board.repaints, 2); // the component, then the final repaint

  // A trailing blank does not make a fourth field.
  RecordingTarget trailing;
  EXPECT_EQ(ImportError(trailing, "r1 a b \n").rfind("Assertion failure", 0), 0u);

  // Tabs do not separate: the whole line is one field.
  RecordingTarget tabs;
  EXPECT_EQ(ImportError(tabs, "r1\ta\tb\t10k\n").rfind("Assertion failure", 0), 0u);
  EXPECT_EQ(tabs.board.ComponentCount(), 0);
  EXPECT_EQ(tabs.Label(1), "");

  // A transistor needs five fields; four are too few and place no socket.
  RecordingTarget shortQ;
  EXPECT_EQ(ImportError(shortQ, "q1 c b e\n").rfind("Assertion failure", 0), 0u);
  EXPECT_EQ(shortQ.board.ComponentCount(), 0);

  // One letter alone is a kept line with one field.
  RecordingTarget letter;
  EXPECT_NE(ImportError(letter, "c\n").find("line 1"), std::string::npos);

  // Control bytes of the line are shown as '?' so the message stays one readable line.
  RecordingTarget binary;
  const std::string bin = ImportError(binary, std::string("r\x01\0x\n", 5));
  EXPECT_NE(bin.find("\"r??x\""), std::string::npos) << bin;
}

TEST(NetlistImport, SevenTransistorsFitAndTheEighthFails) {
  std::string seven;
  for (int i = 1; i <= 7; ++i) {
    const std::string n = std::to_string(i);
    seven += "q" + n + " c" + n + " b" + n + " e" + n + " bc547\n";
  }
  RecordingTarget ok;
  Import(ok, seven + "r1 c7 0 1k\n");
  EXPECT_EQ(ok.Count(ComponentKind::Socket), 21);
  // The seven ground traces are joined pairwise.
  EXPECT_EQ(ok.Count(ComponentKind::Wire), 21);
  const int groundTraces[] = {9, 15, 21, 27, 33, 39, 45};
  for (int g : groundTraces)
    EXPECT_EQ(ok.Label(g), "GND") << g;
  EXPECT_EQ(ok.Label(41), "c7");
  EXPECT_EQ(ok.Label(43), "e7");
  for (int free : {1, 2, 3, 4, 8, 10, 46, 59})
    EXPECT_EQ(ok.Label(free), "") << free;
  // The resistor's ground end goes to the ground trace below c7's trace 41.
  ExpectAdded(ok.added.back(), Resistor, 41, 39, ok.added.back().pin, "1k");

  RecordingTarget eight;
  EXPECT_EQ(ImportError(eight, seven + "q8 c8 b8 e8 bc547\nr1 a b 1k\n"), "too many transistors");
  EXPECT_EQ(eight.board.ComponentCount(), 24);
  EXPECT_EQ(eight.Count(ComponentKind::Socket), 24);
  EXPECT_EQ(eight.Label(47), "c8");
  EXPECT_EQ(eight.Label(49), "e8");
  EXPECT_EQ(eight.Label(51), "");
  // The clean-up ran (repaint) but not the relabelling.
  EXPECT_EQ(eight.Label(9), "0");
  EXPECT_EQ(eight.board.repaints, 25);
}

TEST(NetlistImport, NodesGetTheLowestFreeTraces) {
  // Both nodes new: node1 first, then node2.
  RecordingTarget pair;
  Import(pair, "r1 a b 1k\n");
  ExpectAdded(pair.added[0], Resistor, 1, 2, 0, "1k");

  // With a transistor, the gaps of its traces are the next free entries; a known node is found
  // again at its first trace.
  RecordingTarget gaps;
  Import(gaps, "q1 x y z m\nr1 n1 n2 1\nr2 n3 n4 2\nr3 n5 n6 3\nc1 n6 y 4\nc2 n1 n5 5\n");
  ASSERT_EQ(gaps.added.size(), 8u);
  EXPECT_EQ(gaps.added[3].start, 1);
  EXPECT_EQ(gaps.added[3].end, 2);
  EXPECT_EQ(gaps.added[4].start, 3);
  EXPECT_EQ(gaps.added[4].end, 4);
  EXPECT_EQ(gaps.added[5].start, 8);
  EXPECT_EQ(gaps.added[5].end, 10);
  EXPECT_EQ(gaps.added[6].start, 10);
  EXPECT_EQ(gaps.added[6].end, 6);
  EXPECT_EQ(gaps.added[7].start, 1);
  EXPECT_EQ(gaps.added[7].end, 8);
  EXPECT_EQ(gaps.Label(8), "n5");
  EXPECT_EQ(gaps.Label(10), "n6");
}

TEST(NetlistImport, GroundedPartsDependOnFieldOrder) {
  // r4 x 0: x is placed first, its ground end then goes to the nearest ground above it.
  RecordingTarget after;
  Import(after, "q1 c b 0 m\nr4 x 0 1k\n");
  ExpectAdded(after.added.back(), Resistor, 1, 7, 0, "1k");
  EXPECT_EQ(after.Label(1), "x");

  // r3 0 x: x is not known yet, so the ground end allocates a ground trace of its own.
  RecordingTarget before;
  Import(before, "q1 c b 0 m\nr3 0 x 1k\n");
  ExpectAdded(before.added.back(), Resistor, 1, 2, 0, "1k");
  EXPECT_EQ(before.Label(1), "GND");
  EXPECT_EQ(before.Label(2), "x");
  // The allocated ground trace is linked to nothing.
  for (const auto &a : before.added) {
    if (a.kind == Wire) {
      EXPECT_NE(a.start, 1);
      EXPECT_NE(a.end, 1);
    }
  }

  // With no ground trace at all, one is allocated next to the node.
  RecordingTarget bare;
  Import(bare, "r4 x 0 1k\n");
  ExpectAdded(bare.added[0], Resistor, 1, 2, 0, "1k");
  EXPECT_EQ(bare.Label(2), "GND");

  // Below is preferred even when a ground trace above is nearer: f sits on trace 13, ground
  // traces are 9 and 15.
  RecordingTarget below;
  Import(below, "q1 a b c m\nq2 d e f m\nr5 f 0 1k\n");
  EXPECT_EQ(below.added.back().start, 13);
  EXPECT_EQ(below.added.back().end, 9);

  // A ground trace allocated by one part is found again, below, by later parts.
  RecordingTarget reuse;
  Import(reuse, "r1 0 a 1k\nr2 a 0 2k\nc1 b 0 1n\n");
  ExpectAdded(reuse.added[0], Resistor, 1, 2, 0, "1k");
  ExpectAdded(reuse.added[1], Resistor, 2, 1, 0, "2k");
  ExpectAdded(reuse.added[2], Capacitor, 3, 1, 17, "1n");

  // A part between ground and ground uses two ground traces.
  RecordingTarget both;
  Import(both, "q1 a b c m\nq2 d e f m\nc9 0 0 1n\n");
  EXPECT_EQ(both.added.back().start, 15);
  EXPECT_EQ(both.added.back().end, 15);
}

TEST(NetlistImport, TransistorsSharingANodeAreJoinedByWires) {
  RecordingTarget t;
  Import(t, "q1 a b 0 m\nq2 a c d m\n");
  std::vector<RecordingTarget::Added> wires;
  for (const auto &a : t.added)
    if (a.kind == Wire)
      wires.push_back(a);
  ASSERT_EQ(wires.size(), 4u);
  ExpectAdded(wires[0], Wire, 5, 11, 11, ""); // node a
  ExpectAdded(wires[1], Wire, 7, 9, 11, "");  // the ground terminal and both ground traces
  ExpectAdded(wires[2], Wire, 7, 15, 15, "");
  ExpectAdded(wires[3], Wire, 9, 15, 12, "");
  EXPECT_EQ(t.Label(5), "a");
  EXPECT_EQ(t.Label(11), "a");
  EXPECT_EQ(t.Label(7), "GND");
}

TEST(NetlistImport, TooManyNodes) {
  // 29 resistors take traces 1 .. 58; the 30th takes 59 for its first node and finds no
  // trace for its second, so it is not added.
  std::string text;
  for (int i = 0; i < 30; ++i)
    text += "r" + std::to_string(i) + " n" + std::to_string(2 * i) + " n" +
            std::to_string(2 * i + 1) + " 1k\n";
  RecordingTarget t;
  EXPECT_EQ(ImportError(t, text), "too many nodes :(");
  EXPECT_EQ(t.board.ComponentCount(), 29);
  EXPECT_EQ(t.Label(58), "n57");
  EXPECT_EQ(t.Label(59), "n58");

  // The last free trace taken by ground is relabelled like every other ground trace.
  std::string full;
  for (int i = 0; i < 29; ++i)
    full += "r" + std::to_string(i) + " n" + std::to_string(2 * i) + " n" +
            std::to_string(2 * i + 1) + " 1k\n";
  RecordingTarget last;
  Import(last, full + "r99 0 n0 1k\n");
  ExpectAdded(last.added.back(), Resistor, 59, 1, last.added.back().pin, "1k");
  EXPECT_EQ(last.Label(59), "GND");
}

TEST(NetlistImport, LinesNotFromTheReaderAreHeldToItsRule) {
  RecordingTarget t;
  NetlistRandom random;
  PlaceNetlist({{1, ""}, {2, "v1 a 0 5"}, {3, "r1 a b 1k"}}, t, random);
  ASSERT_EQ(t.added.size(), 1u);
  EXPECT_EQ(t.added[0].start, 1);
}
