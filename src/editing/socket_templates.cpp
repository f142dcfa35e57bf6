#include "editing/socket_templates.h"

#include <string_view>

namespace tarnwick {

const char *SocketTemplate::PinLabel(int pin) const {
  const int w = Width();
  if (pin < 1 || pin > PinCount)
    return "";
  if (pin <= w)
    return LowerRow[static_cast<std::size_t>(pin - 1)];
  return UpperRow[static_cast<std::size_t>(PinCount - pin)];
}

const SocketTemplate *GenericSocketTemplate(int n) {
  for (const SocketTemplate &tpl : SocketTemplates)
    if (tpl.PinCount == n && std::string_view(tpl.Name).rfind("Generic ", 0) == 0)
      return &tpl;
  return nullptr;
}

BoardComponent SocketPin(std::int32_t t, std::int32_t r, int column, int rowOffset,
                         const char *label) {
  BoardComponent c;
  c.Name = label;
  c.Kind = static_cast<std::uint8_t>(ComponentKind::Socket);
  c.StartTrace = t + column;
  c.EndTrace = c.StartTrace;
  c.StartPin = r + rowOffset;
  return c;
}

BoardComponent SocketCut(std::int32_t t, std::int32_t r, int firstColumn, int lastColumn) {
  BoardComponent c;
  c.Kind = static_cast<std::uint8_t>(ComponentKind::TraceCut);
  c.StartTrace = t + firstColumn;
  c.EndTrace = t + lastColumn;
  c.StartPin = r + SocketCutRowOffset;
  return c;
}

std::vector<BoardComponent> SocketComponents(const SocketTemplate &tpl, std::int32_t t,
                                             std::int32_t r) {
  const int n = tpl.PinCount;
  const int w = tpl.Width();
  std::vector<BoardComponent> parts;
  parts.reserve(static_cast<std::size_t>(n + 1));
  for (int column = 0; column < w; ++column)
    parts.push_back(SocketPin(t, r, column, 0, tpl.PinLabel(n - column)));
  for (int column = w - 1; column >= 0; --column)
    parts.push_back(SocketPin(t, r, column, SocketLowerRowOffset, tpl.PinLabel(column + 1)));
  parts.push_back(SocketCut(t, r, 0, w - 1));
  return parts;
}

} // namespace tarnwick
