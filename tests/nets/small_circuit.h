// A small circuit and a board that implements it, laid out by hand so that each test can
// break it in one known place.
#pragma once

#include "board/board.h"

#include <memory>
#include <string>

namespace tarnwick::nets_test {

// vcc on trace 1, out on trace 2, ground on traces 3 and 8 (joined by a wire on row 9), in on
// trace 6; traces and rows counted from 0 here.
inline const char *const SmallNetlist = "* small test circuit\n"
                                        "R1 vcc out 10k\n"
                                        "R2 out 0 4k7\n"
                                        "D1 out 0 1N4148\n"
                                        "C1 vcc 0 100u\n"
                                        "Q1 out in 0 BC547\n"
                                        ".end\n";

inline BoardComponent *Place(Board &board, ComponentKind kind, int start, int end, int pin,
                             const std::string &name) {
  auto c = std::make_unique<BoardComponent>();
  c->Kind = static_cast<std::uint8_t>(kind);
  c->StartTrace = start;
  c->EndTrace = end;
  c->StartPin = pin;
  c->Name = name;
  return board.AddComponent(std::move(c));
}

// The components, in list order: r1, r2, d1, c1, three sockets, the ground wire.
inline void BuildSmallBoard(Board &board) {
  board.InitBoard(12, 10);
  board.GetTrace(1).Name = "vcc";
  board.GetTrace(2).Name = "out";
  board.GetTrace(3).Name = "GND";
  Place(board, ComponentKind::Resistor, 1, 2, 1, "10k");
  Place(board, ComponentKind::Resistor, 2, 3, 3, "4k7");
  Place(board, ComponentKind::Diode, 2, 3, 5, "1N4148");
  Place(board, ComponentKind::ElectrolyticAxial, 1, 3, 7, "100u");
  Place(board, ComponentKind::Socket, 2, 2, 8, "Q1_1");
  Place(board, ComponentKind::Socket, 6, 6, 8, "Q1_1");
  Place(board, ComponentKind::Socket, 8, 8, 8, "Q1_1");
  Place(board, ComponentKind::Wire, 3, 8, 9, "");
}

} // namespace tarnwick::nets_test
