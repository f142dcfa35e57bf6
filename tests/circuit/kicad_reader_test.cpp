// The KiCad netlist reader: the same circuit in KiCad's quoted and bare forms and in SPICE
// gives the same model; kinds, pins and polarity as the schematic means them; malformed files
// end with the line and what was wrong.
#include "circuit/circuit_reader.h"
#include "circuit/kicad_kinds.h"
#include "circuit/sexpr.h"
#include "circuit_describe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace tarnwick::circuit {
namespace {

using test::Describe;

const std::string Data = std::string(TARNWICK_TEST_DATA) + "/circuit/";

std::string Lower(std::string s) {
  for (char &c : s)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// What a circuit is whatever its netlist names its nets: each part's reference, kind and value,
// and the groups of pins (reference and place in Pins) that a net joins. onBoardByValue: parts
// named by their values instead, off-board parts left out (a schematic adds jacks and a
// battery clip where a simulator has sources, and annotates RA as R1).
std::string Shape(const Circuit &c, bool onBoardByValue = false) {
  std::vector<std::string> parts;
  std::map<std::int32_t, std::vector<std::string>> nets;
  for (const Part &p : c.Parts) {
    if (onBoardByValue && p.Kind == PartKind::OffBoard)
      continue;
    const std::string name = Lower(onBoardByValue ? p.Value : p.Reference);
    parts.push_back(name + " " + FootprintOf(p.Kind).Name + " " + Lower(p.Value) + " (" +
                    std::to_string(p.Pins.size()) + " pins)");
    for (std::size_t k = 0; k < p.Pins.size(); ++k)
      if (p.Pins[k].Net >= 0)
        nets[p.Pins[k].Net].push_back(name + "[" + std::to_string(k) + "]");
  }
  std::vector<std::string> groups;
  for (auto &[net, pins] : nets) {
    std::sort(pins.begin(), pins.end());
    std::string group;
    for (const std::string &pin : pins)
      group += pin + " ";
    if (pins.size() > 1) // a pin alone joins nothing
      groups.push_back(group);
  }
  std::sort(parts.begin(), parts.end());
  std::sort(groups.begin(), groups.end());
  std::string out;
  for (const std::string &s : parts)
    out += s + "\n";
  for (const std::string &s : groups)
    out += "net: " + s + "\n";
  return out;
}

TEST(KicadReader, QuotedBareAndSpiceFormsGiveTheSameCircuit) {
  const Circuit quoted = ReadCircuitFile(Data + "small_quoted.net");
  const Circuit bare = ReadCircuitFile(Data + "small_bare.net");
  const Circuit spice = ReadCircuitFile(Data + "small.cir");
  EXPECT_EQ(Shape(quoted), Shape(spice));
  EXPECT_EQ(Shape(bare), Shape(spice));
  EXPECT_EQ(quoted.Parts.size(), 11u); // no power symbol
  EXPECT_EQ(bare.Parts.size(), 11u);
  // The shape is not blind: the SPICE side has every kind, and nets of several pins.
  const std::string shape = Shape(spice);
  for (const char *expected :
       {"c1 electrolytic capacitor 100u", "c2 capacitor 100n", "d1 diode 1n4148", "d2 LED led_red",
        "q1 transistor bc547 (3 pins)", "u1 integrated circuit ne555p (8 pins)",
        "net: d1[0] r2[0] u1[2] \n", "net: r5[1] u1[1] u1[5] \n"})
    EXPECT_NE(shape.find(expected), std::string::npos) << expected << "\n" << shape;
  // KiCad's names as written, pins by number; the unconnected pin connects to nothing.
  const auto u1 = std::find_if(quoted.Parts.begin(), quoted.Parts.end(),
                               [](const Part &p) { return p.Reference == "U1"; });
  ASSERT_NE(u1, quoted.Parts.end());
  EXPECT_EQ(u1->Value, "NE555P");
  EXPECT_EQ(u1->Pins.at(4).Name, "5");
  EXPECT_EQ(u1->Pins.at(4).Net, -1);
  EXPECT_EQ(PinSocketName(*u1, u1->Pins[7]), "U1.8");
  EXPECT_EQ(quoted.Nets.at(static_cast<std::size_t>(u1->Pins[0].Net)), "GND");
}

TEST(KicadReader, ExampleNetlistsAreTheirCircuits) {
  const std::string examples = std::string(TARNWICK_TEST_DATA) + "/../../examples/";
  const Circuit kicad = ReadCircuitFile(examples + "kicad/astable_555.net");
  const Circuit spice = ReadCircuitFile(examples + "astable_555.net");
  EXPECT_EQ(Shape(kicad, true), Shape(spice, true));
  EXPECT_EQ(kicad.Parts.size(), spice.Parts.size() + 1); // and the battery clip

  const Circuit fuzz = ReadCircuitFile(examples + "kicad/fuzz_pedal.net");
  EXPECT_EQ(Describe(fuzz),
            "C1 electrolytic capacitor 2.2u /q1b /in; C2 capacitor 10n /q2c /vol; "
            "C3 electrolytic capacitor 22u /fuzz GND; C4 electrolytic capacitor 100u +9V GND; "
            "D1 diode 1N5817 Net-(D1-A) +9V; J1 off-board part Input GND /in; "
            "J2 off-board part Output GND /out; J3 off-board part 9V Net-(D1-A) GND; "
            "Q1 transistor BC549C /q1c /q1b GND; Q2 transistor BC549C /q2c /q1c /q2e; "
            "R1 resistor 33k +9V /q1c; R2 resistor 470 +9V Net-(R2-Pad2); "
            "R3 resistor 8.2k Net-(R2-Pad2) /q2c; R4 resistor 100k /q2e /q1b; "
            "RV1 off-board part 1k Fuzz /q2e /fuzz GND; RV2 off-board part 500k Volume /vol /out "
            "GND");
}

TEST(KicadKinds, TrustSymbolThenFootprintThenReference) {
  const std::string axial = "Resistor_THT:R_Axial_DIN0207_L6.3mm_D2.5mm_P7.62mm_Horizontal";
  const struct {
    const char *Lib, *Symbol;
    std::string Footprint;
    const char *Reference;
    PartKind Kind;
  } cases[] = {
      {"Device", "R", "", "R1", PartKind::Resistor},
      {"Device", "C", "Capacitor_THT:CP_Radial_D5.0mm_P2.00mm", "C1", PartKind::FilmCapacitor},
      {"Device", "C_Polarized", "", "C2", PartKind::Electrolytic},
      {"Device", "LED", "", "D1", PartKind::Led},
      {"Diode", "1N4148", "", "D2", PartKind::Diode},
      {"Device", "Q_NPN_EBC", "", "T1", PartKind::InLine},
      {"Transistor_BJT", "BC547", "", "U9", PartKind::InLine},
      {"Device", "R_POT", "", "RV1", PartKind::OffBoard},
      {"Connector", "AudioJack2", "", "J1", PartKind::OffBoard},
      {"Switch", "SW_SPDT", "", "SW1", PartKind::OffBoard},
      {"Timer", "NE555P", "", "U1", PartKind::Ic},
      // A symbol of the user's own library: the footprint decides...
      {"mine", "thing", "Package_DIP:DIP-14_W7.62mm", "X1", PartKind::Ic},
      {"mine", "thing", axial, "X2", PartKind::Resistor},
      {"mine", "thing", "Capacitor_THT:CP_Radial_D5.0mm_P2.00mm", "X3", PartKind::Electrolytic},
      {"mine", "thing", "Capacitor_THT:C_Disc_D3.0mm_W1.6mm_P2.50mm", "X4",
       PartKind::FilmCapacitor},
      {"mine", "thing", "LED_THT:LED_D3.0mm", "X5", PartKind::Led},
      {"mine", "thing", "Package_TO_SOT_THT:TO-220-3_Vertical", "X6", PartKind::InLine},
      {"mine", "thing", "Potentiometer_THT:Potentiometer_Alpha_RD901F-40", "X7",
       PartKind::OffBoard},
      // ...and without one, the reference.
      {"mine", "thing", "", "R7", PartKind::Resistor},
      {"", "", "", "C9", PartKind::FilmCapacitor},
      {"", "", "", "CP2", PartKind::Electrolytic},
      {"", "", "", "LED3", PartKind::Led},
      {"", "", "", "Q5", PartKind::InLine},
      {"", "", "", "IC2", PartKind::Ic},
      {"", "", "", "RV2", PartKind::OffBoard},
      {"", "", "", "", PartKind::OffBoard},
  };
  for (const auto &c : cases)
    EXPECT_EQ(KicadKind(c.Lib, c.Symbol, c.Footprint, c.Reference), c.Kind)
        << c.Lib << ":" << c.Symbol << " " << c.Footprint << " " << c.Reference;
}

// A netlist of one component: (comp ...) fields and (node ...) lists of its pins.
std::string OnePart(const std::string &comp, const std::string &nets) {
  return "(export (version \"E\")\n (components\n  (comp " + comp + "))\n (nets\n" + nets + "))\n";
}

TEST(KicadReader, PinsDecideWhatTheNamesLeaveOpen) {
  const std::string ab = "(net (code 1) (name a) (node (ref X) (pin 1)))\n"
                         "(net (code 2) (name b) (node (ref X) (pin 2)))\n";
  const std::string abc = ab + "(net (code 3) (name c) (node (ref X) (pin 3)))\n";
  const struct {
    std::string Netlist;
    const char *Expected;
  } cases[] = {
      // A regulator is a U with three pins: in one line.
      {OnePart("(ref X) (value L7805) (libsource (lib Regulator_Linear) (part L7805))", abc),
       "X transistor L7805 a b c"},
      // Pins the netlist leaves out of every net are there, unconnected.
      {OnePart("(ref X) (value 4017) (libsource (lib 4xxx) (part 4017))",
               "(net (code 1) (name v) (node (ref X) (pin 16)))"),
       "X integrated circuit 4017 - - - - - - - - - - - - - - - v"},
      {OnePart("(ref X) (value 1k) (libsource (lib Device) (part R))",
               "(net (code 1) (name a) (node (ref X) (pin 2)))"),
       "X resistor 1k - a"},
      // A "two-pin" symbol with more pins is what its pins make it.
      {OnePart("(ref X) (value 1k) (libsource (lib Device) (part R_Shunt))",
               abc + "(net (code 4) (name d) (node (ref X) (pin 4)))"),
       "X off-board part 1k a b c d"},
      // Polarity by the pins' names, else as KiCad numbers them.
      {OnePart("(ref X) (value red) (libsource (lib Device) (part LED))", ab), "X LED red b a"},
      {OnePart("(ref X) (value 1N4001) (libsource (lib Device) (part D))",
               "(net (code 1) (name a) (node (ref X) (pin 1) (pinfunction A)))\n"
               "(net (code 2) (name b) (node (ref X) (pin 2) (pinfunction K)))\n"),
       "X diode 1N4001 a b"},
      {OnePart("(ref X) (value 10u) (libsource (lib Device) (part CP))", ab),
       "X electrolytic capacitor 10u a b"},
      {OnePart("(ref X) (value 10u) (libsource (lib Device) (part CP))",
               "(net (code 1) (name a) (node (ref X) (pin 1) (pinfunction -)))\n"
               "(net (code 2) (name b) (node (ref X) (pin 2) (pinfunction +)))\n"),
       "X electrolytic capacitor 10u b a"},
      // A jack numbers its pins by letters; a mounting hole has none and is no part.
      {OnePart("(ref X) (value In) (libsource (lib Connector_Audio) (part AudioJack2))",
               "(net (code 1) (name a) (node (ref X) (pin T)))\n"
               "(net (code 2) (name b) (node (ref X) (pin S)))\n"),
       "X off-board part In b a"},
      {OnePart("(ref H1) (value MountingHole) (libsource (lib Mechanical) (part MountingHole))",
               ""),
       ""},
      // Power symbols and flags are not parts, wherever they appear.
      {"(export (components (comp (ref \"#PWR01\") (value GND)) (comp (ref R1) (value 1k)))\n"
       " (nets (net (code 1) (name GND) (node (ref \"#PWR01\") (pin 1)) (node (ref \"#FLG1\") "
       "(pin 1)) (node (ref R1) (pin 1)))))",
       "R1 resistor 1k GND -"},
      {"(export (version E) (components))", ""},
  };
  for (const auto &c : cases) {
    try {
      EXPECT_EQ(Describe(ReadKicadText(c.Netlist, "x.net")), c.Expected) << c.Netlist;
    } catch (const TarnwickError &e) {
      ADD_FAILURE() << c.Netlist << ": " << e.what();
    }
  }
}

TEST(KicadReader, MalformedFilesNameTheLine) {
  std::string pins64;
  for (int k = 1; k <= 64; ++k)
    pins64 +=
        "(net (code " + std::to_string(k) + ") (node (ref U1) (pin " + std::to_string(k) + ")))\n";
  const struct {
    std::string Text;
    const char *Error;
  } cases[] = {
      {"(export\n (components (comp (ref R1)\n", "f.net: line 2: unbalanced parenthesis"},
      {"(export\n (nets))\n)", "f.net: line 3: unbalanced parenthesis: this ')' closes nothing"},
      {"(export\n (design (source \"abc))\n", "f.net: line 2: a string that starts on this line "
                                              "is never closed"},
      {"(export)\n\n(export)", "f.net: line 3: text after the list that began on line 1"},
      {"  \n", "f.net: the file is empty"},
      {"(export (a \x01))", "f.net: line 1: unexpected control character 0x01"},
      {"(export \"" + std::string(5000, 'a') + "\")", "f.net: line 1: a text longer than 4096"},
      {std::string(100, '(') + std::string(100, ')'), "f.net: line 1: lists nested more than 64"},
      {"(kicad_sch (version 20231120))", "f.net: line 1: this is a KiCad schematic, not a "
                                         "netlist"},
      {"((export))", "f.net: line 1: not a KiCad netlist"},
      {"(export\n (components (comp (value 1k))))", "f.net: line 2: a component without a "
                                                    "reference"},
      {"(export (components\n (comp (ref R1))\n (comp (ref R1))))",
       "f.net: line 3: a second component R1 (the first is on line 2)"},
      {"(export (nets (net (code 1) (name GND)\n (node (ref R9) (pin 1)))))",
       "f.net: line 2: net GND names R9, which is not among the components"},
      {"(export (components (comp (ref R1))) (nets\n (net (code 1) (name a) (node (ref R1) (pin "
       "1)))\n (net (code 2) (name b) (node (ref R1) (pin 1)))))",
       "f.net: line 3: pin 1 of R1 is in two nets, a and b"},
      {"(export (components (comp (ref R1))) (nets (net (name a) (node (ref R1)))))",
       "f.net: line 1: net a names a pin of R1 without its number"},
      {"(export (components\n (comp (ref U1) (libsource (lib MCU_Microchip_ATmega) (part x))))\n"
       " (nets " +
           pins64 + "))",
       "f.net: line 2: part U1 has 64 pins; the largest DIP socket has 28"},
  };
  for (const auto &c : cases) {
    try {
      ReadKicadText(c.Text, "f.net");
      ADD_FAILURE() << "no error for " << c.Text.substr(0, 60);
    } catch (const TarnwickError &e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.Error, 0), 0u) << e.what();
    }
  }
}

TEST(SexprReader, ReadsQuotedAndBareAtomsAndCountsLines) {
  const Sexpr root =
      ParseSexpr("(a \"x \\\"y\\\" \\\\z\\n\" bare\n (b \"two\nlines\")\n(c))", "s.net");
  ASSERT_TRUE(root.IsList);
  ASSERT_EQ(root.Items.size(), 5u);
  EXPECT_EQ(root.Head(), "a");
  EXPECT_EQ(root.Items[1].Text, "x \"y\" \\z\n");
  EXPECT_TRUE(root.Items[1].Quoted);
  EXPECT_EQ(root.Items[2].Text, "bare");
  EXPECT_FALSE(root.Items[2].Quoted);
  EXPECT_EQ(*root.Value("b"), "two\nlines");
  EXPECT_EQ(root.Find("b")->Line, 2);
  EXPECT_EQ(root.Find("c")->Line, 4);
  EXPECT_EQ(root.Value("c"), nullptr);
  EXPECT_EQ(root.Find("d"), nullptr);
  SexprLimits few;
  few.MaxElements = 10;
  EXPECT_THROW(ParseSexpr("(a b c d e f g h i j k)", "s.net", few), TarnwickError);
  EXPECT_NO_THROW(ParseSexpr("(a b c d e f g h i)", "s.net", few));
}

} // namespace
} // namespace tarnwick::circuit
