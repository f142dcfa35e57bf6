#pragma once

#include "board/board.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// One line of the parts list: the parts of one kind and value, and where each of them sits.
struct PartsLine {
  std::string Kind;  // the component dialog's caption of the kind, or "DIP Socket"
  std::string Value; // the name; for wires their length, for DIP sockets their pin count
  int Quantity = 0;
  // Each part's two end holes "strip:row-strip:row" (one "strip:row" when both are the same
  // hole), counted from 1 as seen from the component side, in board order, space-separated.
  std::string Positions;
  friend bool operator==(const PartsLine &, const PartsLine &) = default;
};

// The size of a part's value as parts are marked: a number with a multiplier after it or in
// place of its decimal point (p, n, u or the micro sign, m, k or K, M, G; R for none: "4k7",
// "2R2", "100n", "4.7k", "1M"), optionally signed and followed by a unit ("10uF", "9V") and a
// note after a blank or comma ("100n, 50 V"). nullopt for anything else ("BC547", "LED").
std::optional<double> EngineeringValue(std::string_view text);

// What a builder buys: every component except labels and trace cuts, grouped by kind and
// value, values compared without regard to letter case. The single-hole sockets of a DIP
// socket template, recognised by their places and pin labels, count as one DIP socket. Lines
// follow the component dialog's order of kinds, then the values by size ("470" before "4k7"
// before "47k"), then the values that are not numbers in natural order.
std::vector<PartsLine> ListParts(const Board &board);

// The parts list as CSV (RFC 4180: CR LF, fields quoted where needed), UTF-8, with the header
// line "Kind,Value,Quantity,Positions". A field a spreadsheet would read as a formula (one
// starting with "=", "+", "-" or "@") is written as text: "'+9V", quoted.
std::string FormatPartsList(const Board &board);

} // namespace tarnwick
