#pragma once

// One model of a circuit, whatever netlist it came from: nets, and parts of any pin count, each
// of a kind that says how it sits on a stripboard. The check, the automatic layout and the
// parts list read this model and ask FootprintOf how a kind of part is placed.
#include "board/board.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::circuit {

enum class PartKind : std::uint8_t {
  Resistor,
  FilmCapacitor,
  Electrolytic, // polar: Pins[0] is "+"
  Diode,        // polar: Pins[0] is the anode
  Led,          // a diode on one hole pitch; Pins[0] is the anode
  InLine,       // a transistor, a regulator: any three-pin part in one line
  Ic,           // 4 to 28 pins, in a generic DIP socket
  OffBoard,     // pots, connectors, switches and anything else: a pad per pin
};

enum class FootprintShape : std::uint8_t {
  TwoLead, // one component on one row, from StartTrace (Pins[0]) to EndTrace (Pins[1])
  InLine,  // three Sockets on neighbouring traces of one row, named <ref>.<pin>
  Dip,     // a generic DIP socket template, its Sockets named <ref>.<pin>
  Pads,    // a Socket per pin named <ref>.<pin>, for the wire that leaves the board
};

// How a kind of part is placed. For two-lead parts the span is EndTrace - StartTrace.
struct Footprint {
  PartKind Kind;
  FootprintShape Shape;
  const char *Name;        // as reports and lists name the kind: "resistor", "LED", ...
  ComponentKind Component; // what the layout places for a two-lead part; Socket otherwise
  std::int32_t MinSpan;    // the least span of a two-lead part
  std::int32_t MaxSpan;    // the largest span the layout gives it (MinSpan when fixed)
  std::int32_t CapWidth;   // CapWidth of the placed component (2 for a radial electrolytic)
  bool Polar;              // Pins[0] must sit on the component's StartTrace end
  // The component kinds a board may use for a two-lead part of this kind, as a bit mask of
  // 1 << ComponentKind (a film capacitor may be any capacitor, an LED is a Diode).
  std::uint32_t Matches;
};

// The footprint of a kind: one table for the whole program.
const Footprint &FootprintOf(PartKind kind);

inline constexpr std::int32_t MinIcPins = 4;
inline constexpr std::int32_t MaxIcPins = 28;

struct Pin {
  std::string Name;      // the pin's number or name as the netlist gives it: "1", "A", "+"
  std::int32_t Net = -1; // into Circuit::Nets; -1 when the pin connects to nothing
};

struct Part {
  std::string Reference; // "r1", "U2": lower case from SPICE, as written from KiCad
  std::string Value;     // "10k", "NE555", the model of a diode or transistor
  PartKind Kind = PartKind::Resistor;
  // A two-lead polar part has its "+" or anode first. An IC's pins are named by their DIP
  // numbers "1" .. "n"; an in-line part's by its netlist's numbering "1", "2", "3".
  std::vector<Pin> Pins;
  std::int64_t Line = 0; // where the netlist names it, from 1 (0 when unknown)
};

// A line of a netlist the reader did not turn into a part and that is not merely a comment,
// a source or a control line: the check names it as not checked.
struct UnreadLine {
  std::int64_t Line = 0;
  std::string Text;
};

struct Circuit {
  std::vector<std::string> Nets; // each net's name as the netlist gives it ("0", "GND", "/out")
  std::vector<Part> Parts;       // in netlist order
  std::vector<UnreadLine> Unread;
};

// The name of the Socket that holds a pin: "<reference>.<pin>" ("q1.2", "U1.8"). Socket names
// compare with it case-insensitively.
std::string PinSocketName(const Part &part, const Pin &pin);

// The pin count of the smallest generic DIP template that holds an IC whose highest pin number
// is `pins` (6 for 4 or 5 pins, 8 for 7 or 8, ..., 28), or 0 when no template is large enough.
std::int32_t DipTemplatePins(std::int32_t pins);

// The highest pin number of an IC (its pins are numbered "1" .. "n"); at least its pin count.
std::int32_t IcPinCount(const Part &part);

} // namespace tarnwick::circuit
