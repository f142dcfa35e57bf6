#pragma once

#include "circuit/circuit_model.h"
#include "netlist/netlist_import.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

// The kinds of netlist part a layout is checked for, each with the components it may be.
enum class PartGroup : std::uint8_t {
  Resistor,   // Resistor
  Capacitor,  // Capacitor and both electrolytics
  Diode,      // Diode
  Transistor, // three Sockets named after the part
};

// One part of a netlist as the check sees it.
struct CircuitPart {
  std::int64_t Line = 0; // its line in the netlist, from 1
  std::string Reference; // "r1", "q2"
  PartGroup Group = PartGroup::Resistor;
  std::vector<std::int32_t> Nodes; // into Circuit::Nodes; first node first (anode, "+")
  // The name of the components it matches: the value or model, as the import names them, or
  // reference + "_1" for a transistor's sockets.
  std::string ComponentName;
};

// The parts and nodes of a netlist, in file order; names are lower-case.
struct Circuit {
  std::vector<std::string> Nodes;
  std::vector<CircuitPart> Parts;
};

// The parts of a netlist's element lines, split as the import splits them (the same errors for
// a line with too few fields).
Circuit ReadCircuit(const NetlistLines &lines);
// The same for a netlist file, read by the import's reader with its limits and errors. A file
// that cannot be read, or that names no part, is an error here: checking against nothing would
// pass off a mistyped name as a circuit.
Circuit ReadCircuitFile(const std::string &path);

// The same circuit in the one circuit model: resistors, film capacitors (any capacitor of the
// value stands for them), diodes, and transistors as in-line parts of pins "1", "2", "3".
circuit::Circuit ToCircuitModel(const Circuit &old);

} // namespace tarnwick
