#pragma once

// What kind of part a KiCad component is, from its library symbol, its footprint and its
// reference, in that order of trust.
#include "circuit/circuit_model.h"

#include <optional>
#include <string_view>

namespace tarnwick::circuit {

// The kind a library symbol names: "Device:R", "Device:C_Polarized", "Transistor_BJT:BC547".
std::optional<PartKind> KindOfSymbol(std::string_view lib, std::string_view part);
// The kind a footprint names: "Resistor_THT:R_Axial_DIN0207...", "Package_DIP:DIP-8_W7.62mm".
std::optional<PartKind> KindOfFootprint(std::string_view footprint);
// The kind a reference's prefix names: R, C, CP, D, LED, Q, U, IC; anything else is off board.
PartKind KindOfReference(std::string_view reference);

// The three in their order of trust.
PartKind KicadKind(std::string_view lib, std::string_view part, std::string_view footprint,
                   std::string_view reference);

} // namespace tarnwick::circuit
