#pragma once

// Reading a circuit from the netlists schematic tools write: SPICE decks and KiCad netlists
// (the S-expression file `kicad-cli sch export netlist` writes). Both fill the one model of
// circuit_model.h. Every error is a TarnwickError whose message names the file, the line and
// what was wrong.
#include "circuit/circuit_model.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::circuit {

// Bounds that keep a hostile or mistaken file from exhausting memory or time. The element
// lines of a SPICE deck are held to the import's limits (MaxNetlistParts lines of at most
// MaxNetlistLineLength characters); no stripboard circuit comes near any of these.
inline constexpr std::size_t MaxCircuitFileBytes = 16u << 20;
inline constexpr std::size_t MaxCircuitParts = 10000;
inline constexpr std::size_t MaxCircuitNets = 100000;
inline constexpr std::size_t MaxCircuitPins = 200000;

enum class NetlistFormat : std::uint8_t { Spice, Kicad };

// KiCad when the first character that is not white space is '(', SPICE otherwise.
NetlistFormat FormatOf(std::string_view text);

// A SPICE deck as a simulator reads it: the first line is the title, '+' lines continue the
// line before, '*' lines are comments, everything after ".end" is ignored. Resistors,
// capacitors, diodes, transistors (q, j) and subcircuit instances (x) become parts; sources
// and control lines are not parts of a board; other element lines go to Circuit::Unread.
// Text is lower-cased as the import does. fileName names the text in error messages.
Circuit ReadSpiceText(std::string_view text, const std::string &fileName);

// A KiCad netlist, in the quoted form of recent versions or the bare atoms of older ones.
Circuit ReadKicadText(std::string_view text, const std::string &fileName);

// Either, by FormatOf.
Circuit ReadCircuitText(std::string_view text, const std::string &fileName);

// A netlist file, by its content. Only a regular file of at most MaxCircuitFileBytes is read;
// a file that cannot be read, or that names no part of a board, is an error.
Circuit ReadCircuitFile(const std::string &path);

// The value of a SPICE number: "4.7u", "1000µ", "2meg", "10uF", "1e-6" (scale suffixes t, g,
// meg, k, m, mil, u, µ, n, p, f; letters after them are units and ignored). False when the
// text does not start with a number.
bool SpiceNumber(std::string_view text, double &value);

} // namespace tarnwick::circuit
