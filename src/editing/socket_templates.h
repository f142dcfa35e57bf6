#pragma once

// DIP socket templates: one Socket component per pin, named after the pin, and one trace cut
// between the two pin rows.
#include "board/board.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tarnwick {

// A socket n pins wide spans n/2 traces. Its upper row lies on the row R the user chose, its
// lower row three rows below; pin 1 is at the lower left, the numbers rise to the right along
// the lower row and come back to the left along the upper row.
struct SocketTemplate {
  const char *Name;
  int PinCount;
  // Labels from the first trace rightwards; only the first PinCount / 2 entries are used.
  std::array<const char *, 14> UpperRow;
  std::array<const char *, 14> LowerRow;

  int Width() const { return PinCount / 2; }
  // The label of pin 1..PinCount.
  const char *PinLabel(int pin) const;
};

inline constexpr int SocketLowerRowOffset = 3;
inline constexpr int SocketCutRowOffset = 2;

// The templates in the order the socket dialog lists them.
inline constexpr std::array<SocketTemplate, 12> SocketTemplates{{
    {"Generic 6-pin socket", 6, {"6", "5", "4"}, {"1", "2", "3"}},
    {"Generic 8-pin socket", 8, {"8", "7", "6", "5"}, {"1", "2", "3", "4"}},
    {"Generic 10-pin socket", 10, {"10", "9", "8", "7", "6"}, {"1", "2", "3", "4", "5"}},
    {"Generic 12-pin socket",
     12,
     {"12", "11", "10", "9", "8", "7"},
     {"1", "2", "3", "4", "5", "6"}},
    {"Generic 14-pin socket",
     14,
     {"14", "13", "12", "11", "10", "9", "8"},
     {"1", "2", "3", "4", "5", "6", "7"}},
    {"Single Opamp socket (8-pin)", 8, {"Ofs", "V+", "Out", "NC"}, {"Ofs", "-In", "+In", "V-"}},
    {"Dual Opamp socket (8-pin)", 8, {"V+", "O2", "-I2", "+I2"}, {"O1", "-I1", "+I1", "V-"}},
    // The larger generic sockets came later; they follow so that the first seven keep their
    // places in the dialog.
    {"Generic 16-pin socket",
     16,
     {"16", "15", "14", "13", "12", "11", "10", "9"},
     {"1", "2", "3", "4", "5", "6", "7", "8"}},
    {"Generic 18-pin socket",
     18,
     {"18", "17", "16", "15", "14", "13", "12", "11", "10"},
     {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
    {"Generic 20-pin socket",
     20,
     {"20", "19", "18", "17", "16", "15", "14", "13", "12", "11"},
     {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
    {"Generic 24-pin socket",
     24,
     {"24", "23", "22", "21", "20", "19", "18", "17", "16", "15", "14", "13"},
     {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}},
    {"Generic 28-pin socket",
     28,
     {"28", "27", "26", "25", "24", "23", "22", "21", "20", "19", "18", "17", "16", "15"},
     {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14"}},
}};

// The generic template of n pins, numbered "1" .. "n"; nullptr when there is none.
const SocketTemplate *GenericSocketTemplate(int n);

// One pin: a Socket on trace t + column, row r + rowOffset.
BoardComponent SocketPin(std::int32_t t, std::int32_t r, int column, int rowOffset,
                         const char *label);
// The cut from trace t + firstColumn to t + lastColumn on row r + 2, without a name.
BoardComponent SocketCut(std::int32_t t, std::int32_t r, int firstColumn, int lastColumn);

// The components of one insertion at trace t, row r, in the order they go onto the board and
// into the component list: the upper row from left to right (pins n .. n/2 + 1), the lower row
// from right to left (pins n/2 .. 1), then the cut. Nothing is checked against the board's
// size: pins beyond it lie off the board.
std::vector<BoardComponent> SocketComponents(const SocketTemplate &tpl, std::int32_t t,
                                             std::int32_t r);

} // namespace tarnwick
