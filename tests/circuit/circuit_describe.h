// A circuit written out as one line of text, so that a case table can say what a reader must
// make of a netlist: "r1 resistor 10k a b; q1 transistor bc547 c b e | unread 4: l1 a b 1m".
#pragma once

#include "circuit/circuit_model.h"

#include <string>

namespace tarnwick::circuit::test {

inline std::string Describe(const Circuit &c) {
  std::string out;
  for (const Part &p : c.Parts) {
    if (!out.empty())
      out += "; ";
    out += p.Reference + " " + FootprintOf(p.Kind).Name + " " + p.Value;
    for (const Pin &pin : p.Pins)
      out += " " + (pin.Net < 0 ? std::string("-") : c.Nets.at(static_cast<std::size_t>(pin.Net)));
  }
  for (const UnreadLine &u : c.Unread)
    out += " | unread " + std::to_string(u.Line) + ": " + u.Text;
  return out;
}

} // namespace tarnwick::circuit::test
