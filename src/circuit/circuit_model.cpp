#include "circuit/circuit_model.h"

#include <array>
#include <cstdlib>

namespace tarnwick::circuit {
namespace {

constexpr std::uint32_t Bit(ComponentKind kind) { return 1u << static_cast<unsigned>(kind); }

constexpr std::uint32_t AnyCapacitor = Bit(ComponentKind::Capacitor) |
                                       Bit(ComponentKind::ElectrolyticAxial) |
                                       Bit(ComponentKind::ElectrolyticRadial);

// A flat 1/4 W resistor or a small diode fits 0.3 in at its tightest; a film capacitor's leads
// stand 0.2 in apart; a radial electrolytic and an LED stand on one hole pitch.
constexpr std::array<Footprint, 8> Footprints{{
    {PartKind::Resistor, FootprintShape::TwoLead, "resistor", ComponentKind::Resistor, 3, 8, 0,
     false, Bit(ComponentKind::Resistor)},
    {PartKind::FilmCapacitor, FootprintShape::TwoLead, "capacitor", ComponentKind::Capacitor, 2, 8,
     0, false, AnyCapacitor},
    {PartKind::Electrolytic, FootprintShape::TwoLead, "electrolytic capacitor",
     ComponentKind::ElectrolyticRadial, 1, 1, 2, true, AnyCapacitor},
    {PartKind::Diode, FootprintShape::TwoLead, "diode", ComponentKind::Diode, 3, 8, 0, true,
     Bit(ComponentKind::Diode)},
    {PartKind::Led, FootprintShape::TwoLead, "LED", ComponentKind::Diode, 1, 1, 0, true,
     Bit(ComponentKind::Diode)},
    {PartKind::InLine, FootprintShape::InLine, "transistor", ComponentKind::Socket, 0, 0, 0, false,
     Bit(ComponentKind::Socket)},
    {PartKind::Ic, FootprintShape::Dip, "integrated circuit", ComponentKind::Socket, 0, 0, 0, false,
     Bit(ComponentKind::Socket)},
    {PartKind::OffBoard, FootprintShape::Pads, "off-board part", ComponentKind::Socket, 0, 0, 0,
     false, Bit(ComponentKind::Socket)},
}};

constexpr std::array<std::int32_t, 10> DipSizes{6, 8, 10, 12, 14, 16, 18, 20, 24, 28};

} // namespace

const Footprint &FootprintOf(PartKind kind) { return Footprints[static_cast<std::size_t>(kind)]; }

std::string PinSocketName(const Part &part, const Pin &pin) {
  return part.Reference + "." + pin.Name;
}

std::int32_t DipTemplatePins(std::int32_t pins) {
  for (const std::int32_t size : DipSizes)
    if (pins <= size)
      return size;
  return 0;
}

std::int32_t IcPinCount(const Part &part) {
  std::int32_t highest = static_cast<std::int32_t>(part.Pins.size());
  for (const Pin &pin : part.Pins) {
    char *end = nullptr;
    const long n = std::strtol(pin.Name.c_str(), &end, 10);
    if (!pin.Name.empty() && *end == '\0' && n > highest && n < 1'000'000)
      highest = static_cast<std::int32_t>(n);
  }
  return highest;
}

} // namespace tarnwick::circuit
