// The cut list and the parts list: what they take from the board, and the files they make of
// the example layouts, checked against reviewed copies in tests/data/assembly.
#include "board_fixture.h"
#include "document/layout_file.h"
#include "editing/socket_templates.h"
#include "output/cut_list.h"
#include "output/parts_list.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

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
      {"Socket / Offboard Connector", "1", 1, "16:4"},
      {"Socket / Offboard Connector", "2", 1, "17:4"},
      {"Socket / Offboard Connector", "3", 1, "18:4"},
      {"Socket / Offboard Connector", "4", 1, "18:1"},
      {"Socket / Offboard Connector", "6", 1, "16:1"},
      {"Socket / Offboard Connector", "+9V", 1, "1:10"},
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

TEST(PartsList, ValuesGroupWithoutCaseAndSortBySize) {
  const std::pair<const char *, std::optional<double>> values[] = {
      {"470", 470},
      {"4k7", 4700},
      {"4.7k", 4700},
      {"47K", 47e3},
      {"2R2", 2.2},
      {"1M", 1e6},
      {"1m", 1e-3},
      {"100n", 100e-9},
      {"4p7", 4.7e-12},
      {"10uF", 10e-6},
      {"100\xC2\xB5", 1e-4},
      {"4k7Ohm", 4700},
      {"+9V", 9},
      {"-12V", -12},
      {"0V", 0},
      {"100n, 50 V", 100e-9},
      {"8 pins", 8},
      {"1N4148", {}},
      {"BC547", {}},
      {"R1", {}},
      {"4.7k3", {}},
      {"k", {}},
      {"DC+", {}},
      {"", {}},
      {"1.", {}},
  };
  for (const auto &[text, value] : values) {
    SCOPED_TRACE(text);
    const std::optional<double> got = EngineeringValue(text);
    ASSERT_EQ(got.has_value(), value.has_value());
    if (value) {
      EXPECT_NEAR(*got, *value, std::abs(*value) * 1e-12);
    }
  }

  Board b;
  b.InitBoard(30, 20);
  const char *const names[] = {"47k", "BC547", "4k7", "10K", "470", "10k", "1M", "2R2", "Amp"};
  for (int i = 0; i < 9; ++i)
    Put(b, ComponentKind::Resistor, i, i + 2, i, names[i]);
  std::vector<std::string> order;
  for (const PartsLine &line : ListParts(b))
    order.push_back(line.Value + " x" + std::to_string(line.Quantity));
  EXPECT_EQ(order, (std::vector<std::string>{"2R2 x1", "470 x1", "4k7 x1", "10K x2", "47k x1",
                                             "1M x1", "Amp x1", "BC547 x1"}));
}

// A spreadsheet takes a cell starting with =, +, - or @ for a formula; such a cell is written as
// text, with the leading quote spreadsheets read as "text follows".
TEST(PartsList, CellsThatLookLikeFormulasAreWrittenAsText) {
  Board b;
  b.InitBoard(10, 10);
  Put(b, ComponentKind::Socket, 0, 0, 0, "+9V");
  Put(b, ComponentKind::Socket, 1, 1, 0, "=HYPERLINK(\"http://x\",\"y\")");
  Put(b, ComponentKind::Socket, 2, 2, 0, "-5V");
  Put(b, ComponentKind::Socket, 3, 3, 0, "@SUM(A1)");
  Put(b, ComponentKind::Socket, 4, 4, 0, "a=b");
  EXPECT_EQ(FormatPartsList(b),
            "Kind,Value,Quantity,Positions\r\n"
            "Socket / Offboard Connector,\"'-5V\",1,3:1\r\n"
            "Socket / Offboard Connector,\"'+9V\",1,1:1\r\n"
            "Socket / Offboard Connector,\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\","
            "1,2:1\r\n"
            "Socket / Offboard Connector,\"'@SUM(A1)\",1,4:1\r\n"
            "Socket / Offboard Connector,a=b,1,5:1\r\n");
}

// Boards at the reader's limits are listed without a quadratic step: many sockets in one hole,
// and cuts across every strip, which are refused beyond the holes the nets are worked out for.
TEST(AssemblyLists, CrowdedBoardsAreListedInBoundedTime) {
  Board sockets;
  sockets.InitBoard(10, 20);
  for (int i = 0; i < 40'000; ++i)
    Put(sockets, ComponentKind::Socket, 3, 3, 5, std::to_string(i % 8 + 1));
  const auto start = std::chrono::steady_clock::now();
  const std::vector<PartsLine> lines = ListParts(sockets);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0].Quantity, 5000);
  // Ten thousand times what the list takes: a quadratic search took over a minute.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

  Board cuts;
  cuts.InitBoard(1, 40);
  cuts.Resize(10'000, 40);
  for (int i = 0; i < 60'000; ++i)
    Put(cuts, ComponentKind::TraceCut, 0, 9'999, i % 40);
  try {
    FormatCutList(cuts, "", BoardSide::Component);
    ADD_FAILURE() << "listed";
  } catch (const TarnwickError &e) {
    EXPECT_STREQ(e.what(), "The board's trace cuts cover more than 4000000 holes; no cut list "
                           "is made.");
  }
  // At the limit every hole of the board is cut, each listed once.
  Board full;
  full.InitBoard(1, 40);
  full.Resize(10'000, 40);
  for (int i = 0; i < 400; ++i)
    Put(full, ComponentKind::TraceCut, 0, 9'999, i % 40);
  const CutHoles all = ListCutHoles(full, BoardSide::Copper);
  ASSERT_EQ(all.Holes.size(), 400'000u);
  EXPECT_EQ(all.Holes.front(), (CutHole{10'000, 1, 1}));
  EXPECT_EQ(all.Holes.back(), (CutHole{1, 10'000, 40}));
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
