// The cut list and the parts list: what they take from the board, and the files they make of
// the example layouts, checked against reviewed copies in tests/data/assembly.
#include "board_fixture.h"
#include "document/layout_file.h"
#include "editing/socket_templates.h"
#include "output/cut_list.h"
#include "output/parts_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace tarnwick;
using tarnwick::test::Put;
namespace fs = std::filesystem;

namespace {

const fs::path Data = fs::path(TARNWICK_TEST_DATA);
const fs::path Examples = Data / ".." / ".." / "examples";

std::string Bytes(const fs::path &file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void PutSocket(Board &b, const SocketTemplate &tpl, int t, int r) {
  for (const BoardComponent &c : SocketComponents(tpl, t, r))
    b.AddComponent(std::make_unique<BoardComponent>(c));
}

} // namespace

TEST(CutList, CountsEveryCutHoleOnceFromBothSides) {
  Board b;
  b.InitBoard(10, 12);
  Put(b, ComponentKind::TraceCut, 5, 3, 4);  // strips 4..6, right to left
  Put(b, ComponentKind::TraceCut, 9, 9, 0);  // the last strip, first hole
  Put(b, ComponentKind::TraceCut, 4, 4, 4);  // already cut by the first
  Put(b, ComponentKind::TraceCut, 8, 12, 2); // two strips past the board's edge
  Put(b, ComponentKind::TraceCut, 1, 1, 12); // a row below the board
  Put(b, ComponentKind::Wire, 0, 9, 7);      // not a cut
  const std::vector<CutHole> fromComponentSide = {{4, 7, 5}, {5, 6, 5},  {6, 5, 5},
                                                  {9, 2, 3}, {10, 1, 1}, {10, 1, 3}};
  const CutHoles component = ListCutHoles(b, BoardSide::Component);
  EXPECT_EQ(component.Holes, fromComponentSide);
  EXPECT_EQ(component.OffBoard, 4);
  // From the copper side the last strip comes first; a strip's holes stay in order.
  const std::vector<CutHole> fromCopperSide = {{10, 1, 1}, {10, 1, 3}, {9, 2, 3},
                                               {6, 5, 5},  {5, 6, 5},  {4, 7, 5}};
  EXPECT_EQ(ListCutHoles(b, BoardSide::Copper).Holes, fromCopperSide);

  const std::string copper = FormatCutList(b, "Amp", BoardSide::Copper);
  EXPECT_EQ(copper, "Cut list: Amp\r\n"
                    "Board: 10 strips of 12 holes; strips count from the left, holes from the "
                    "top, both from 1.\r\n"
                    "In strip order as seen from the copper side.\r\n"
                    "\r\n"
                    "Copper side       Component side\r\n"
                    "Strip  Hole       Strip  Hole\r\n"
                    "    1     1          10     1\r\n"
                    "    1     3          10     3\r\n"
                    "    2     3           9     3\r\n"
                    "    5     5           6     5\r\n"
                    "    6     5           5     5\r\n"
                    "    7     5           4     5\r\n"
                    "\r\n"
                    "Total: 6 cut holes\r\n"
                    "Not listed: 4 cut holes lie outside the board.\r\n");
}

TEST(CutList, WithoutCutsSaysSo) {
  Board b;
  b.InitBoard(1, 10);
  EXPECT_EQ(FormatCutList(b, "", BoardSide::Component),
            "Cut list\r\n"
            "Board: 1 strip of 10 holes; strips count from the left, holes from the top, both "
            "from 1.\r\n"
            "In strip order as seen from the component side.\r\n"
            "\r\n"
            "Component side    Copper side\r\n"
            "Strip  Hole       Strip  Hole\r\n"
            "\r\n"
            "Total: 0 cut holes\r\n");
}

TEST(PartsList, GroupsByKindAndValueLeavingOutLabelsAndCuts) {
  Board b;
  b.InitBoard(30, 20);
  Put(b, ComponentKind::Resistor, 0, 3, 1, "10k");
  Put(b, ComponentKind::Wire, 2, 5, 2, "<unnamed>");
  Put(b, ComponentKind::Resistor, 4, 1, 3, "4.7k");
  Put(b, ComponentKind::Resistor, 6, 9, 1, "10k");
  Put(b, ComponentKind::Capacitor, 1, 2, 4, "100n, 50 V \"X7R\"");
  Put(b, ComponentKind::Wire, 7, 4, 5, "W1");
  Put(b, ComponentKind::Label, 3, 3, 6, "NE555");
  Put(b, ComponentKind::TraceCut, 3, 5, 7);
  Put(b, ComponentKind::ElectrolyticRadial, 8, 9, 8, "100u", 2);
  Put(b, ComponentKind::Socket, 0, 0, 9, "+9V");
  Put(b, ComponentKind::Diode, 2, 2, 10, "<unnamed>");
  Put(b, static_cast<ComponentKind>(200), 1, 2, 11, "odd");
  // Two DIP sockets, the second with its pins listed lower row first, and one pin short of a
  // third, whose pins stay single sockets.
  PutSocket(b, SocketTemplates[1], 10, 0);
  std::vector<BoardComponent> second = SocketComponents(SocketTemplates[6], 20, 10);
  std::rotate(second.begin(), second.begin() + 4, second.end());
  for (const BoardComponent &c : second)
    b.AddComponent(std::make_unique<BoardComponent>(c));
  std::vector<BoardComponent> partial = SocketComponents(SocketTemplates[0], 15, 0);
  partial.erase(partial.begin() + 1);
  for (const BoardComponent &c : partial)
    b.AddComponent(std::make_unique<BoardComponent>(c));

  const std::vector<PartsLine> expected = {
      {"Wire", "4 holes", 2, "3:3-6:3 8:6-5:6"},
      {"Resistor", "4.7k", 1, "5:4-2:4"},
      {"Resistor", "10k", 2, "1:2-4:2 7:2-10:2"},
      {"Capacitor (Film, Ceramic, etc.)", "100n, 50 V \"X7R\"", 1, "2:5-3:5"},
      {"Capacitor, Electrolytic, Radial", "100u", 1, "9:9-10:9"},
      {"Diode", "", 1, "3:11"},
      {"Socket / Offboard Connector", "+9V", 1, "1:10"},
      {"Socket / Offboard Connector", "1", 1, "16:4"},
      {"Socket / Offboard Connector", "2", 1, "17:4"},
      {"Socket / Offboard Connector", "3", 1, "18:4"},
      {"Socket / Offboard Connector", "4", 1, "18:1"},
      {"Socket / Offboard Connector", "6", 1, "16:1"},
      {"DIP Socket", "8 pins", 2, "11:1-14:4 21:11-24:14"},
      {"Kind 200", "odd", 1, "2:12-3:12"},
  };
  EXPECT_EQ(ListParts(b), expected);

  const std::string csv = FormatPartsList(b);
  EXPECT_EQ(csv.substr(0, csv.find("Resistor,10k")), "Kind,Value,Quantity,Positions\r\n"
                                                     "Wire,4 holes,2,3:3-6:3 8:6-5:6\r\n"
                                                     "Resistor,4.7k,1,5:4-2:4\r\n");
  EXPECT_NE(csv.find("\r\n\"Capacitor (Film, Ceramic, etc.)\",\"100n, 50 V \"\"X7R\"\"\",1,"
                     "2:5-3:5\r\n"),
            std::string::npos);
}

// The lists of the example layouts, byte for byte as someone read them and found them right.
TEST(AssemblyLists, ExamplesGiveTheReviewedFiles) {
  const std::pair<const char *, const char *> examples[] = {
      {"led_flasher_555", "555 LED flasher, about 1 Hz"},
      {"regulator_5v", "5 V regulator with power LED"},
      {"amplifier_stage", "Common-emitter amplifier (imported)"}};
  for (const auto &[name, title] : examples) {
    SCOPED_TRACE(name);
    const LayoutData data = ReadLayoutFile((Examples / (std::string(name) + ".twk")).string());
    EXPECT_EQ(data.Name, title);
    Board b;
    BuildBoard(data, b);
    const fs::path expected = Data / "assembly" / name;
    EXPECT_EQ(FormatCutList(b, data.Name, BoardSide::Component),
              Bytes(expected.string() + ".cuts.txt"));
    EXPECT_EQ(FormatCutList(b, data.Name, BoardSide::Copper),
              Bytes(expected.string() + ".copper-cuts.txt"));
    EXPECT_EQ(FormatPartsList(b), Bytes(expected.string() + ".parts.csv"));
  }
}
