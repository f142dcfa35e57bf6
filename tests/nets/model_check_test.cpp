// The check against the one circuit model, read from KiCad and SPICE netlists: parts placed as
// sockets are found pin by pin, two-lead parts by the footprint table.
#include "circuit/circuit_reader.h"
#include "nets/net_check.h"
#include "nets/small_circuit.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tarnwick;
using namespace tarnwick::nets_test;
namespace fs = std::filesystem;

namespace {

// A 555 driving a transistor that lights an LED, its timing pot and the output jack off the
// board. KiCad's bare form; U1's pins 5 and 7 are unconnected.
const char *const Kicad = R"((export (version D)
  (components
    (comp (ref U1) (value NE555) (libsource (lib Timer) (part NE555P)))
    (comp (ref Q1) (value BC547) (libsource (lib Transistor_BJT) (part BC547)))
    (comp (ref RV1) (value 100k) (libsource (lib Device) (part R_Potentiometer)))
    (comp (ref J1) (value Jack) (libsource (lib Connector) (part Conn_01x02)))
    (comp (ref R1) (value 1k) (libsource (lib Device) (part R)))
    (comp (ref D1) (value LED) (libsource (lib Device) (part LED))))
  (nets
    (net (code 1) (name GND) (node (ref U1) (pin 1)) (node (ref Q1) (pin 3))
      (node (ref RV1) (pin 1)) (node (ref J1) (pin 2)))
    (net (code 2) (name VCC) (node (ref U1) (pin 8)) (node (ref U1) (pin 4))
      (node (ref RV1) (pin 3)) (node (ref D1) (pin 2) (pinfunction A)))
    (net (code 3) (name /trig) (node (ref U1) (pin 2)) (node (ref U1) (pin 6))
      (node (ref RV1) (pin 2)))
    (net (code 4) (name /out) (node (ref U1) (pin 3)) (node (ref R1) (pin 1)))
    (net (code 5) (name /base) (node (ref R1) (pin 2)) (node (ref Q1) (pin 2)))
    (net (code 6) (name /coll) (node (ref Q1) (pin 1)) (node (ref D1) (pin 1) (pinfunction K))
      (node (ref J1) (pin 1)))))
)";

// The same circuit as a SPICE deck, without the pot and the jack; an inductor the check does not
// read.
const char *const Spice = "* 555 and LED\n"
                          "xu1 0 trig out vcc nc5 trig nc7 vcc ne555\n"
                          "q1 coll base 0 bc547\n"
                          "r1 out base 1k\n"
                          "d1 vcc coll led\n"
                          "l1 vcc coll 10u\n"
                          "v1 vcc 0 9\n"
                          ".end\n";

// Strips: 0 GND, 1 VCC, 2 trig, 3 out, 4 base, 5 coll, 6 and 7 U1's pins 5 and 7.
void BuildBoard(Board &board) {
  board.InitBoard(10, 12);
  const struct {
    const char *name;
    int trace, row;
  } sockets[] = {{"u1.1", 0, 0},  {"U1.2", 2, 0},  {"u1.3", 3, 0}, {"u1.4", 1, 0},
                 {"u1.5", 6, 0},  {"u1.6", 2, 1},  {"u1.7", 7, 1}, {"u1.8", 1, 1},
                 {"q1.1", 5, 3},  {"q1.2", 4, 3},  {"Q1.3", 0, 3}, {"rv1.1", 0, 5},
                 {"rv1.2", 2, 5}, {"rv1.3", 1, 5}, {"j1.1", 5, 6}, {"j1.2", 0, 6}};
  for (const auto &s : sockets)
    Place(board, ComponentKind::Socket, s.trace, s.trace, s.row, s.name);
  Place(board, ComponentKind::Resistor, 4, 3, 8, "1K");
  Place(board, ComponentKind::Diode, 1, 5, 9, "led"); // the anode on VCC
}

std::vector<std::string> LinesOf(const CheckReport &report, ReportKind kind) {
  std::vector<std::string> lines;
  for (const ReportLine &line : report.Lines)
    if (line.Kind == kind)
      lines.push_back(line.Text);
  return lines;
}

} // namespace

TEST(ModelCheck, SocketsStandForTheirPinsInKicadAndSpiceNetlists) {
  const circuit::Circuit kicad = circuit::ReadCircuitText(Kicad, "small.net");
  const circuit::Circuit spice = circuit::ReadCircuitText(Spice, "small.cir");
  Board board;
  BuildBoard(board);

  CheckReport report = CheckLayout(board, kicad);
  EXPECT_TRUE(report.Implements()) << ReportText(report);
  EXPECT_EQ(ReportText(report), "The layout implements the netlist: 6 parts, 6 nodes.\n");

  // Without the pot and the jack their pads are sockets the netlist does not name; the line
  // the check cannot read is named, sources are not.
  report = CheckLayout(board, spice);
  EXPECT_TRUE(report.Implements()) << ReportText(report);
  const std::vector<std::string> notes = LinesOf(report, ReportKind::Note);
  ASSERT_EQ(notes.size(), 6u);
  EXPECT_EQ(notes[0], "not in the netlist: socket j1.1 at trace 6, row 7 (not counted)");
  EXPECT_EQ(notes[5], "not checked: line 6: l1 vcc coll 10u");

  // One pin's socket moved: the report names the pin.
  board.GetComponent(2).StartTrace = board.GetComponent(2).EndTrace = 8; // an empty strip
  report = CheckLayout(board, kicad);
  EXPECT_EQ(LinesOf(report, ReportKind::Problem),
            std::vector<std::string>{"node /out: open, on 2 nets: U1.3 | R1"})
      << ReportText(report);
  report = CheckLayout(board, spice);
  EXPECT_EQ(LinesOf(report, ReportKind::Problem),
            std::vector<std::string>{"node out: open, on 2 nets: u1.3 | r1"})
      << ReportText(report);
  // Onto the strip of pin 7: one short, named by the pins' sockets.
  board.GetComponent(2).StartTrace = board.GetComponent(2).EndTrace = 7;
  report = CheckLayout(board, spice);
  EXPECT_EQ(LinesOf(report, ReportKind::Problem),
            (std::vector<std::string>{"node out: open, on 2 nets: u1.3 | r1",
                                      "short: nodes out, nc7 share one net (u1.3, u1.7)"}))
      << ReportText(report);
  board.GetComponent(2).StartTrace = board.GetComponent(2).EndTrace = 3;

  // A pin without its socket is missing by its name; an LED turned round is reversed.
  board.RemoveComponent(&board.GetComponent(9));
  std::swap(board.GetComponent(board.ComponentCount() - 1).StartTrace,
            board.GetComponent(board.ComponentCount() - 1).EndTrace);
  report = CheckLayout(board, kicad);
  EXPECT_EQ(LinesOf(report, ReportKind::Problem),
            (std::vector<std::string>{"missing: no socket named Q1.2 on the board",
                                      "reversed: D1 (LED) is the wrong way round"}))
      << ReportText(report);
}

TEST(ModelCheck, TemplateNamedSocketsOfADipSocketAreNotedWithoutFailing) {
  Board board;
  BuildBoard(board);
  Place(board, ComponentKind::Socket, 8, 8, 10, "1");
  Place(board, ComponentKind::Socket, 9, 9, 10, "V+");
  const CheckReport report = CheckLayout(board, circuit::ReadCircuitText(Kicad, "small.net"));
  EXPECT_TRUE(report.Implements());
  EXPECT_EQ(ReportText(report),
            "The layout implements the netlist: 6 parts, 6 nodes.\n"
            "not in the netlist: socket 1 at trace 9, row 11 (not counted)\n"
            "not in the netlist: socket V+ at trace 10, row 11 (not counted)\n");
}

// Found by the check's fuzz harness: a kind byte past the known kinds made a shift of 50 bits.
TEST(ModelCheck, ComponentsOfAKindNotKnownAreNoParts) {
  Board board;
  BuildBoard(board);
  Place(board, static_cast<ComponentKind>(50), 0, 1, 11, "1k");
  const CheckReport report = CheckLayout(board, circuit::ReadCircuitText(Kicad, "small.net"));
  EXPECT_EQ(ReportText(report), "The layout implements the netlist: 6 parts, 6 nodes.\n");
}

TEST(ModelCheck, EveryExampleNetlistImportedChecksCleanThroughTheModel) {
  const fs::path examples = fs::path(TARNWICK_TEST_DATA) / ".." / ".." / "examples";
  int count = 0;
  for (const auto &entry : fs::directory_iterator(examples)) {
    if (entry.path().extension() != ".net")
      continue;
    ++count;
    Board board;
    NetlistRandom random;
    ImportNetlistFile(entry.path().string(), board, random);
    // The import places no integrated circuit.
    circuit::Circuit netlist = circuit::ReadCircuitFile(entry.path().string());
    std::erase_if(netlist.Parts,
                  [](const circuit::Part &p) { return p.Kind == circuit::PartKind::Ic; });
    const CheckReport report = CheckLayout(board, netlist);
    EXPECT_TRUE(report.Implements()) << entry.path() << "\n" << ReportText(report);
  }
  EXPECT_GE(count, 4);
}
