#pragma once

#include "board/board.h"

#include <memory>
#include <string>

namespace tarnwick::test {

inline BoardComponent *Put(Board &b, ComponentKind k, int start, int end, int pin,
                           const std::string &name = "", int capWidth = 0) {
  auto c = std::make_unique<BoardComponent>();
  c->Kind = static_cast<std::uint8_t>(k);
  c->StartTrace = start;
  c->EndTrace = end;
  c->StartPin = pin;
  c->Name = name;
  c->CapWidth = capWidth;
  return b.AddComponent(std::move(c));
}

// A 10 x 20 board with a part of every kind, labelled traces, a highlighted stretch of holes,
// a selected resistor and the flow bars on. Returns the selected resistor.
inline BoardComponent *FillSampleBoard(Board &b) {
  b.InitBoard(10, 20);
  b.GetTrace(0).Name = "GND";
  b.GetTrace(1).Name = "VCC";
  b.GetTrace(4).Name = "OUT";
  Put(b, ComponentKind::Wire, 0, 3, 1, "W1");
  BoardComponent *r = Put(b, ComponentKind::Resistor, 1, 4, 3, "10k");
  Put(b, ComponentKind::Capacitor, 4, 7, 5, "100n");
  Put(b, ComponentKind::ElectrolyticAxial, 6, 2, 7, "47u");
  Put(b, ComponentKind::Diode, 3, 8, 9, "1N4148");
  Put(b, ComponentKind::Socket, 2, 5, 11, "J1");
  Put(b, ComponentKind::TraceCut, 3, 4, 13);
  Put(b, ComponentKind::ElectrolyticRadial, 5, 7, 15, "C2", 3);
  Put(b, ComponentKind::Label, 0, 0, 18, "A&B");
  Put(b, ComponentKind::Wire, 1, 1, 17, "<unnamed>");
  b.HighlightTrace = 3;
  b.HighlightEndTrace = 6;
  b.HighlightPin = 19;
  b.SelectedComponent = r;
  b.SetShowFlow(true);
  return r;
}

} // namespace tarnwick::test
