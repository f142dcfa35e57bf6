#pragma once

#include "board/board.h"

#include <string>
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

// What a builder buys: every component except labels and trace cuts, grouped by kind and
// value. The single-hole sockets of a DIP socket template, recognised by their places and pin
// labels, count as one DIP socket. Lines follow the component dialog's order of kinds, then
// the values in natural order ("4.7k" before "10k").
std::vector<PartsLine> ListParts(const Board &board);

// The parts list as CSV (RFC 4180: CR LF, fields quoted where needed), UTF-8, with the header
// line "Kind,Value,Quantity,Positions".
std::string FormatPartsList(const Board &board);

} // namespace tarnwick
