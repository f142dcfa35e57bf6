#include "circuit/circuit_model.h"
#include "editing/socket_templates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

namespace tarnwick {
namespace {

using Placed = std::tuple<std::string, int, int, int, int>; // name, kind, start, end, row

std::vector<Placed> Describe(const std::vector<BoardComponent> &parts) {
  std::vector<Placed> out;
  for (const BoardComponent &c : parts) {
    EXPECT_EQ(c.CapWidth, 0);
    out.emplace_back(c.Name, c.Kind, c.StartTrace, c.EndTrace, c.StartPin);
  }
  return out;
}

TEST(SocketTemplates, ListedInDialogOrder) {
  const char *names[] = {
      "Generic 6-pin socket",      "Generic 8-pin socket",  "Generic 10-pin socket",
      "Generic 12-pin socket",     "Generic 14-pin socket", "Single Opamp socket (8-pin)",
      "Dual Opamp socket (8-pin)", "Generic 16-pin socket", "Generic 18-pin socket",
      "Generic 20-pin socket",     "Generic 24-pin socket", "Generic 28-pin socket"};
  const int pins[] = {6, 8, 10, 12, 14, 8, 8, 16, 18, 20, 24, 28};
  ASSERT_EQ(SocketTemplates.size(), 12u);
  for (std::size_t i = 0; i < 12; ++i) {
    EXPECT_STREQ(SocketTemplates[i].Name, names[i]);
    EXPECT_EQ(SocketTemplates[i].PinCount, pins[i]);
  }
}

TEST(SocketTemplates, SixPinAtTheCornerGivesPinsThenCut) {
  const int socket = 5, cut = 6;
  EXPECT_EQ(Describe(SocketComponents(SocketTemplates[0], 0, 0)),
            (std::vector<Placed>{{"6", socket, 0, 0, 0},
                                 {"5", socket, 1, 1, 0},
                                 {"4", socket, 2, 2, 0},
                                 {"3", socket, 2, 2, 3},
                                 {"2", socket, 1, 1, 3},
                                 {"1", socket, 0, 0, 3},
                                 {"", cut, 0, 2, 2}}));
  // The 8-pin socket at trace 4, row 2.
  EXPECT_EQ(Describe(SocketComponents(SocketTemplates[1], 4, 2)),
            (std::vector<Placed>{{"8", socket, 4, 4, 2},
                                 {"7", socket, 5, 5, 2},
                                 {"6", socket, 6, 6, 2},
                                 {"5", socket, 7, 7, 2},
                                 {"4", socket, 7, 7, 5},
                                 {"3", socket, 6, 6, 5},
                                 {"2", socket, 5, 5, 5},
                                 {"1", socket, 4, 4, 5},
                                 {"", cut, 4, 7, 4}}));
}

TEST(SocketTemplates, GenericTemplatesNumberEveryPinOnceTheDipWay) {
  for (std::size_t i : {0, 1, 2, 3, 4, 7, 8, 9, 10, 11}) {
    const SocketTemplate &tpl = SocketTemplates[i];
    const int n = tpl.PinCount, w = tpl.Width();
    const auto parts = SocketComponents(tpl, 10, 7);
    ASSERT_EQ(parts.size(), static_cast<std::size_t>(n + 1)) << tpl.Name;
    std::set<std::string> names;
    for (int k = 0; k < n; ++k) {
      const BoardComponent &pin = parts[static_cast<std::size_t>(k)];
      const int number = std::stoi(pin.Name);
      names.insert(pin.Name);
      EXPECT_EQ(tpl.PinLabel(number), pin.Name);
      // Pin 1 at the lower left, rising to the right, then back to the left along the top.
      if (number <= w) {
        EXPECT_EQ(pin.StartPin, 10) << tpl.Name << " pin " << number;
        EXPECT_EQ(pin.StartTrace, 10 + number - 1) << tpl.Name << " pin " << number;
      } else {
        EXPECT_EQ(pin.StartPin, 7) << tpl.Name << " pin " << number;
        EXPECT_EQ(pin.StartTrace, 10 + n - number) << tpl.Name << " pin " << number;
      }
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(n)) << tpl.Name;
    EXPECT_EQ(names.count("0"), 0u);
    EXPECT_EQ(names.count(std::to_string(n + 1)), 0u);
    const BoardComponent &cut = parts.back();
    EXPECT_EQ(cut.EndTrace - cut.StartTrace + 1, w) << tpl.Name;
    EXPECT_EQ(cut.StartPin, 9);
  }
}

TEST(SocketTemplates, OpampLabelsTakeThePlaceOfPinNumbers) {
  const SocketTemplate &dual = SocketTemplates[6];
  const auto parts = SocketComponents(dual, 3, 1);
  auto at = [&parts](int trace, int row) {
    for (const BoardComponent &c : parts)
      if (c.Is(ComponentKind::Socket) && c.StartTrace == trace && c.StartPin == row)
        return c.Name;
    return std::string("(none)");
  };
  EXPECT_EQ(at(3, 4), "O1"); // lower left
  EXPECT_EQ(at(3, 1), "V+"); // upper left
  EXPECT_EQ(at(6, 4), "V-");
  EXPECT_EQ(at(6, 1), "+I2");
  EXPECT_STREQ(dual.PinLabel(1), "O1");
  EXPECT_STREQ(dual.PinLabel(4), "V-");
  EXPECT_STREQ(dual.PinLabel(5), "+I2");
  EXPECT_STREQ(dual.PinLabel(8), "V+");
  const SocketTemplate &single = SocketTemplates[5];
  EXPECT_STREQ(single.PinLabel(1), "Ofs");
  EXPECT_STREQ(single.PinLabel(4), "V-");
  EXPECT_STREQ(single.PinLabel(5), "NC");
  EXPECT_STREQ(single.PinLabel(8), "Ofs");
}

TEST(SocketTemplates, EightPinFitsAtFourFromTheEndAndIsNotCheckedBeyond) {
  Board board;
  board.InitBoard(20, 20);
  const int last = board.TraceCount() - 1;
  auto rightmost = [](const std::vector<BoardComponent> &parts) {
    int right = -1;
    for (const BoardComponent &c : parts)
      right = std::max({right, c.StartTrace, c.EndTrace});
    return right;
  };
  EXPECT_EQ(rightmost(SocketComponents(SocketTemplates[1], board.TraceCount() - 4, 0)), last);
  // One trace further, the last column lies off the board; nothing refuses it.
  const auto off = SocketComponents(SocketTemplates[1], board.TraceCount() - 3, 0);
  EXPECT_EQ(off.size(), 9u);
  EXPECT_EQ(rightmost(off), last + 1);
}

// Every IC the circuit model puts in a DIP socket has a generic template of that size.
TEST(SocketTemplates, EveryDipSizeOfTheCircuitModelHasAGenericTemplate) {
  for (int pins = circuit::MinIcPins; pins <= circuit::MaxIcPins; ++pins) {
    const SocketTemplate *tpl = GenericSocketTemplate(circuit::DipTemplatePins(pins));
    ASSERT_NE(tpl, nullptr) << pins;
    EXPECT_GE(tpl->PinCount, pins);
    EXPECT_EQ(std::string(tpl->Name), "Generic " + std::to_string(tpl->PinCount) + "-pin socket");
  }
  EXPECT_EQ(circuit::DipTemplatePins(circuit::MaxIcPins + 1), 0);
  EXPECT_EQ(GenericSocketTemplate(22), nullptr);
  EXPECT_EQ(GenericSocketTemplate(8), &SocketTemplates[1]); // not an opamp socket
}

} // namespace
} // namespace tarnwick
