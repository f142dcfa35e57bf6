#include "editing/component_entry.h"

#include <cstdlib>

namespace tarnwick {

std::uint8_t KindOfItem(int item) {
  return static_cast<std::uint8_t>(KindItems.at(static_cast<std::size_t>(item)).Kind);
}

int ItemOfKind(std::uint8_t kind) {
  for (int i = 0; i < KindItemCount; ++i)
    if (static_cast<std::uint8_t>(KindItems[static_cast<std::size_t>(i)].Kind) == kind)
      return i;
  return -1;
}

int FindKindItem(int current, char32_t typed) {
  if (typed >= U'a' && typed <= U'z')
    typed = typed - U'a' + U'A';
  auto begins = [typed](int i) {
    return static_cast<char32_t>(static_cast<unsigned char>(
               KindItems[static_cast<std::size_t>(i)].Caption[0])) == typed;
  };
  for (int i = current + 1; i < KindItemCount; ++i)
    if (begins(i))
      return i;
  for (int i = 0; i < current; ++i)
    if (begins(i))
      return i;
  return -1;
}

bool RadialFits(std::int32_t startTrace, std::int32_t endTrace, std::int32_t capWidth) {
  return std::abs(std::int64_t{startTrace} - endTrace) < capWidth;
}

void WriteEntry(const ComponentEntry &entry, BoardComponent &c) {
  c.Name = entry.Name.empty() ? std::string(UnnamedComponent) : entry.Name;
  c.Kind = KindOfItem(entry.Item);
  if (entry.Item == RadialItem)
    c.CapWidth = entry.CapWidth;
  c.StartTrace = entry.StartTrace - 1;
  c.EndTrace = entry.EndTrace - 1;
  c.StartPin = entry.Row - 1;
}

} // namespace tarnwick
