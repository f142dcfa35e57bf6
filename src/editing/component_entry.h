#pragma once

// The rules of the component dialog that need no window: the items of its kind drop-down and
// their kinds, the letter search in that drop-down, the radial capacitor's width check and the
// conversion of the values shown (counted from 1) into a component (counted from 0).
#include "board/board.h"

#include <array>
#include <cstdint>
#include <string>

namespace tarnwick {

struct KindItem {
  const char *Caption;
  ComponentKind Kind;
};

// The drop-down's items in the order shown; an item's index is not its kind code.
inline constexpr std::array<KindItem, 9> KindItems{{
    {"Wire", ComponentKind::Wire},
    {"Resistor", ComponentKind::Resistor},
    {"Capacitor (Film, Ceramic, etc.)", ComponentKind::Capacitor},
    {"Capacitor, Electrolytic, Axial", ComponentKind::ElectrolyticAxial},
    {"Capacitor, Electrolytic, Radial", ComponentKind::ElectrolyticRadial},
    {"Diode", ComponentKind::Diode},
    {"Socket / Offboard Connector", ComponentKind::Socket},
    {"Trace Cut", ComponentKind::TraceCut},
    {"Label", ComponentKind::Label},
}};

inline constexpr int KindItemCount = static_cast<int>(KindItems.size());
inline constexpr int WireItem = 0;
inline constexpr int RadialItem = 4;
inline constexpr int SocketItem = 6;

// The kind code of a drop-down item; item must lie in 0..KindItemCount - 1.
std::uint8_t KindOfItem(int item);
// The drop-down item of a kind code, or -1 for a code no item shows.
int ItemOfKind(std::uint8_t kind);

// The item a typed character selects: the first item after current whose caption begins with
// the character in upper case, else the first such item before current; -1 when none does.
// current may be -1 (no item), in which case every item is searched.
int FindKindItem(int current, char32_t typed);

// A radial electrolytic's body must be wider than the spacing of its leads.
bool RadialFits(std::int32_t startTrace, std::int32_t endTrace, std::int32_t capWidth);

// What the dialog shows, positions counted from 1.
struct ComponentEntry {
  std::string Name;
  int Item = 0;
  std::int32_t StartTrace = 1;
  std::int32_t EndTrace = 1;
  std::int32_t Row = 1;
  std::int32_t CapWidth = 1;
};

// Writes the entry into c. An empty name becomes "<unnamed>"; CapWidth is written for the
// radial kind only, other kinds keep theirs.
void WriteEntry(const ComponentEntry &entry, BoardComponent &c);

} // namespace tarnwick
