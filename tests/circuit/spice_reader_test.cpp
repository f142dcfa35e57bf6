// The SPICE reader on decks written the way simulators and schematic exports write them.
#include "circuit/circuit_reader.h"
#include "circuit_describe.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwick::circuit {
namespace {

using test::Describe;

TEST(SpiceNumber, ReadsScaleSuffixesAndIgnoresUnits) {
  const struct {
    const char *Text;
    double Value;
  } cases[] = {{"4.7uF", 4.7e-6},
               {"1000\xC2\xB5", 1e-3},
               {"47\xCE\xBC"
                "F",
                47e-6},
               {"2meg", 2e6},
               {"1MEG", 1e6},
               {"1e-6", 1e-6},
               {"10mil", 254e-6},
               {".5p", 5e-13},
               {"-3m", -3e-3}};
  for (const auto &c : cases) {
    double v = 0;
    ASSERT_TRUE(SpiceNumber(c.Text, v)) << c.Text;
    EXPECT_NEAR(v, c.Value, std::abs(c.Value) * 1e-9) << c.Text;
  }
  for (const char *text : {"", "u1", "{cval}", "."}) {
    double v = 0;
    EXPECT_FALSE(SpiceNumber(text, v)) << text;
  }
}

TEST(SpiceReader, ReadsDecksAsASimulatorDoes) {
  const struct {
    const char *Deck;
    const char *Expected;
  } cases[] = {
      // The first line is the title, even when it looks like a part.
      {"r1 a b 1k\nr2 a b 2k\n", "r2 resistor 2k a b"},
      {"title\nR1 VCC Out 10K\n", "r1 resistor 10k vcc out"},
      {"title\nr1\ta\t\tb 1k\r\n", "r1 resistor 1k a b"},
      {"title\n  r1 a b 1k ; a load\n", "r1 resistor 1k a b"},
      {"title\nr1 a b 1k $ a load\nr$2 a b 1k\n", "r1 resistor 1k a b; r$2 resistor 1k a b"},
      // Continuations, also across comments and blank lines.
      {"title\nq1 c\n* the base\n\n+ b e\n+bc547\n", "q1 transistor bc547 c b e"},
      {"t\n+ r9 a b 1k\nr1 a b 1k\n", "r1 resistor 1k a b"},
      // Sources, control lines and control blocks are not parts; .end ends the deck.
      {"title\nv1 vcc 0 dc 9\ni1 a 0 1m\n.model x d\n.control\nrun\n.endc\nr1 vcc 0 1k\n.end\n"
       "r2 a b 1k\n",
       "r1 resistor 1k vcc 0"},
      // Capacitors of 1 µF and more are electrolytics, their first node the "+".
      {"t\nc1 p m 1u\nc2 p m 0.99u\nc3 p m 100n\nc4 p m 1000\xC2\xB5\nc5 p m 4.7uF\nc6 p m 1m\n"
       "c7 p m {cval}\n",
       "c1 electrolytic capacitor 1u p m; c2 capacitor 0.99u p m; c3 capacitor 100n p m; "
       "c4 electrolytic capacitor 1000\xC2\xB5 p m; c5 electrolytic capacitor 4.7uf p m; "
       "c6 electrolytic capacitor 1m p m; c7 capacitor {cval} p m"},
      {"t\nd1 a k LED_RED\nd2 a k 1n4148\nd3 a k ledx\n",
       "d1 LED led_red a k; d2 diode 1n4148 a k; d3 LED ledx a k"},
      // Subcircuit instances: an IC of k pins, an in-line part of three; XU1 is u1.
      {"t\nx1 0 tr out vcc ctl th dis vcc ne555\nxu2 in 0 out lm7805\nXQ a b q2\n"
       "xu3 a b c d e opamp params: gain=2\nx4 a b\n",
       "x1 integrated circuit ne555 0 tr out vcc ctl th dis vcc; u2 transistor lm7805 in 0 out; "
       "q off-board part q2 a b; u3 integrated circuit opamp a b c d e; x4 off-board part b a"},
      // Definitions are a part's inside, not parts of the board...
      {"t\n.subckt reg in gnd out\nr1 in out 1k\n.subckt inner a\nr5 a 0 1\n.ends\n.ends\n"
       "xu1 a 0 b reg\nr2 a b 1k\n",
       "u1 transistor reg a 0 b; r2 resistor 1k a b"},
      // ...unless every element line stands in one, as some exports write it.
      {"t\n.subckt top in out\nr1 in out 1k\nc1 out 0 1u\nv1 in 0 1\n.ends\n.end\n",
       "r1 resistor 1k in out; c1 electrolytic capacitor 1u out 0"},
      {"t\n.subckt a in\nr1 in 0 1k\n.ends\n.subckt b in\nr2 in 0 1k\n.ends\n", ""},
      // Element lines of other letters are named as unread.
      {"t\nl1 a b 10m\nr1 a b 1k\nm1 d g s s nmos\n# odd\n",
       "r1 resistor 1k a b | unread 2: l1 a b 10m | unread 4: m1 d g s s nmos | unread 5: # odd"},
  };
  for (const auto &c : cases) {
    try {
      EXPECT_EQ(Describe(ReadSpiceText(c.Deck, "deck.cir")), c.Expected) << c.Deck;
    } catch (const TarnwickError &e) {
      ADD_FAILURE() << c.Deck << ": " << e.what();
    }
  }
}

TEST(SpiceReader, PinsAreNumberedInLineOrder) {
  const Circuit c = ReadSpiceText("t\nxu1 a b c d e f g h ne555\nq1 c b e bc547\n", "x.cir");
  ASSERT_EQ(c.Parts.size(), 2u);
  for (const Part &p : c.Parts)
    for (std::size_t k = 0; k < p.Pins.size(); ++k)
      EXPECT_EQ(p.Pins[k].Name, std::to_string(k + 1));
  EXPECT_EQ(PinSocketName(c.Parts[0], c.Parts[0].Pins[7]), "u1.8");
  EXPECT_EQ(c.Parts[1].Line, 3);
}

TEST(SpiceReader, MalformedDecksNameTheLine) {
  const std::string x30 = "t\nxu1" + [] {
    std::string nodes;
    for (int k = 0; k < 30; ++k)
      nodes += " n" + std::to_string(k);
    return nodes;
  }() + " big\n";
  const struct {
    std::string Deck;
    const char *Error;
  } cases[] = {
      {"t\nr1 a b\n", "deck.cir: line 2: r1 has too few fields: a resistor needs two nodes"},
      {"t\n\nq1 c b\n+ e\n", "deck.cir: line 3: q1 has too few fields"},
      {"t\nxu1 a\n", "deck.cir: line 2: xu1 has too few fields"},
      {x30, "deck.cir: line 2: part u1 has 30 pins; the largest DIP socket has 28"},
      {"t\nr1 a b 1k\nR1 c d 2k\n", "deck.cir: line 3: a second part named r1 (the first is on "
                                    "line 2)"},
      {"t\nr1 a b " + std::string(5000, '1') + "\n", "deck.cir: line 2: longer than 4096"},
      {"t\n" + std::string(10001, 'l'), "deck.cir: line 2: longer than 4096"},
  };
  for (const auto &c : cases) {
    try {
      ReadSpiceText(c.Deck, "deck.cir");
      ADD_FAILURE() << "no error for " << c.Deck.substr(0, 40);
    } catch (const TarnwickError &e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.Error, 0), 0u) << e.what();
    }
  }
}

TEST(CircuitFile, ReadsOnlyRegularFilesOfBoundedSize) {
  const tarnwick::test::TempDir dir;
  const std::string good = dir.Write("good.cir", "t\nr1 a b 1k\n");
  EXPECT_EQ(Describe(ReadCircuitFile(good)), "r1 resistor 1k a b");
  const std::string big = dir.Write("big.cir", "");
  std::filesystem::resize_file(big, MaxCircuitFileBytes + 1);
  const struct {
    std::string Path;
    const char *Error;
  } cases[] = {
      {"/dev/zero", "it is not a regular file"},
      {dir.Path().string(), "it is not a regular file"},
      {(dir.Path() / "missing.cir").string(), "No such file"},
      {big, "it is larger than 16 MB"},
      {dir.Write("empty.cir", "t\nv1 a 0 1\n"), "names no part of a board"},
  };
  for (const auto &c : cases) {
    try {
      ReadCircuitFile(c.Path);
      ADD_FAILURE() << "no error for " << c.Path;
    } catch (const TarnwickError &e) {
      EXPECT_NE(std::string(e.what()).find(c.Error), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.Path), std::string::npos) << e.what();
    }
  }
}

TEST(CircuitFile, ExampleNetlistsReadAsTheirCircuits) {
  const std::string examples = std::string(TARNWICK_TEST_DATA) + "/../../examples/";
  const Circuit flasher = ReadCircuitFile(examples + "astable_555.net");
  EXPECT_EQ(Describe(flasher), "x1 integrated circuit ne555 0 thres out vcc ctrl thres disch vcc; "
                               "ra resistor 10k vcc disch; rb resistor 68k disch thres; "
                               "c1 electrolytic capacitor 10u thres 0; c2 capacitor 10n ctrl 0; "
                               "r3 resistor 470 out led; d1 LED led_red led 0; "
                               "c3 electrolytic capacitor 100u vcc 0");
}

} // namespace
} // namespace tarnwick::circuit
