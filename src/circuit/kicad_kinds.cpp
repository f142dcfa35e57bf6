#include "circuit/kicad_kinds.h"

#include <string>

namespace tarnwick::circuit {
namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char &c : out)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool Starts(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool StartsAny(std::string_view text, std::initializer_list<std::string_view> prefixes) {
  for (const std::string_view p : prefixes)
    if (Starts(text, p))
      return true;
  return false;
}

// The parts that leave the board: a wire runs from each of their pins.
bool OffBoardName(std::string_view name) {
  return StartsAny(name,
                   {"R_POT",   "POT",           "R_TRIM",         "CONN",          "AUDIOJACK",
                    "JACK",    "BARREL_JACK",   "SCREW_TERMINAL", "SW_",           "SWITCH",
                    "BATTERY", "SPEAKER",       "BUZZER",         "MICROPHONE",    "FUSE",
                    "RELAY",   "POTENTIOMETER", "BUTTON",         "TERMINALBLOCK", "JUMPER"});
}

} // namespace

std::optional<PartKind> KindOfSymbol(std::string_view lib, std::string_view part) {
  const std::string l = Upper(lib), p = Upper(part);
  if (OffBoardName(p) || OffBoardName(l))
    return PartKind::OffBoard;
  if (p == "R" || Starts(p, "R_"))
    return PartKind::Resistor;
  if (Starts(p, "C_POLARI") || p == "CP" || StartsAny(p, {"CP_", "CP1", "CP2"}))
    return PartKind::Electrolytic;
  if (p == "C" || Starts(p, "C_"))
    return PartKind::FilmCapacitor; // whatever its value: the symbol says it is not polar
  if (Starts(p, "LED") || l == "LED")
    return PartKind::Led;
  if (p == "D" || Starts(p, "D_") || l == "DIODE")
    return PartKind::Diode;
  if (Starts(p, "Q_") || Starts(l, "TRANSISTOR"))
    return PartKind::InLine;
  if (StartsAny(l, {"TIMER", "AMPLIFIER_", "74XX", "4XXX", "CMOS_", "LOGIC_", "REGULATOR_",
                    "ANALOG", "AUDIO", "COMPARATOR", "OPTOCOUPLER", "MCU_", "INTERFACE", "DRIVER_",
                    "MEMORY_", "REFERENCE_VOLTAGE"}))
    return PartKind::Ic;
  return std::nullopt;
}

std::optional<PartKind> KindOfFootprint(std::string_view footprint) {
  const std::string f = Upper(footprint);
  const std::size_t colon = f.find(':');
  const std::string_view lib =
      colon == std::string::npos ? std::string_view() : std::string_view(f).substr(0, colon);
  const std::string_view name =
      colon == std::string::npos ? std::string_view(f) : std::string_view(f).substr(colon + 1);
  if (OffBoardName(lib) || OffBoardName(name))
    return PartKind::OffBoard;
  if (Starts(lib, "RESISTOR") || Starts(name, "R_AXIAL"))
    return PartKind::Resistor;
  if (Starts(name, "CP_"))
    return PartKind::Electrolytic;
  if (Starts(lib, "CAPACITOR") || Starts(name, "C_DISC") || Starts(name, "C_RECT"))
    return PartKind::FilmCapacitor;
  if (Starts(lib, "LED") || Starts(name, "LED_"))
    return PartKind::Led;
  if (Starts(lib, "DIODE") || Starts(name, "D_DO-"))
    return PartKind::Diode;
  if (Starts(name, "TO-92") || Starts(name, "TO-220") || Starts(name, "TO-126"))
    return PartKind::InLine;
  if (Starts(lib, "PACKAGE_DIP") || Starts(name, "DIP-"))
    return PartKind::Ic;
  return std::nullopt;
}

PartKind KindOfReference(std::string_view reference) {
  std::size_t n = 0;
  while (n < reference.size() && ((reference[n] >= 'A' && reference[n] <= 'Z') ||
                                  (reference[n] >= 'a' && reference[n] <= 'z')))
    ++n;
  const std::string prefix = Upper(reference.substr(0, n));
  if (prefix == "R")
    return PartKind::Resistor;
  if (prefix == "C")
    return PartKind::FilmCapacitor;
  if (prefix == "CP")
    return PartKind::Electrolytic;
  if (prefix == "D")
    return PartKind::Diode;
  if (prefix == "LED")
    return PartKind::Led;
  if (prefix == "Q")
    return PartKind::InLine;
  if (prefix == "U" || prefix == "IC")
    return PartKind::Ic;
  return PartKind::OffBoard; // RV, J, SW, F, K and every prefix not known
}

PartKind KicadKind(std::string_view lib, std::string_view part, std::string_view footprint,
                   std::string_view reference) {
  if (const auto kind = KindOfSymbol(lib, part))
    return *kind;
  if (const auto kind = KindOfFootprint(footprint))
    return *kind;
  return KindOfReference(reference);
}

} // namespace tarnwick::circuit
