#include "circuit/circuit_builder.h"

#include "circuit/circuit_reader.h"

namespace tarnwick::circuit {

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char &c : out)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::int32_t CircuitBuilder::Net(const std::string &name, std::int64_t line) {
  const auto it = nets_.find(name);
  if (it != nets_.end())
    return it->second;
  if (circuit_.Nets.size() == MaxCircuitNets)
    Fail(line, "more than " + std::to_string(MaxCircuitNets) + " nets");
  const auto id = static_cast<std::int32_t>(circuit_.Nets.size());
  nets_.emplace(name, id);
  circuit_.Nets.push_back(name);
  return id;
}

void CircuitBuilder::AddPart(Part part) {
  if (circuit_.Parts.size() == MaxCircuitParts)
    Fail(part.Line, "more than " + std::to_string(MaxCircuitParts) + " parts");
  pins_ += part.Pins.size();
  if (pins_ > MaxCircuitPins)
    Fail(part.Line, "more than " + std::to_string(MaxCircuitPins) + " pins");
  if (part.Kind == PartKind::Ic && DipTemplatePins(IcPinCount(part)) == 0)
    Fail(part.Line, "part " + Printable(part.Reference) + " has " +
                        std::to_string(IcPinCount(part)) + " pins; the largest DIP socket has " +
                        std::to_string(MaxIcPins));
  const auto [it, added] = references_.emplace(LowerAscii(part.Reference), part.Line);
  if (!added)
    Fail(part.Line,
         "a second part named " + Printable(part.Reference) +
             (it->second > 0 ? " (the first is on line " + std::to_string(it->second) + ")" : ""));
  circuit_.Parts.push_back(std::move(part));
}

void CircuitBuilder::AddUnread(std::int64_t line, std::string_view text) {
  if (circuit_.Unread.size() == MaxCircuitParts)
    Fail(line, "more than " + std::to_string(MaxCircuitParts) + " element lines");
  circuit_.Unread.push_back({line, Printable(text, 120)});
}

void CircuitBuilder::Fail(std::int64_t line, const std::string &what) const {
  throw TarnwickError(fileName_ + (line > 0 ? ": line " + std::to_string(line) : std::string()) +
                      ": " + what);
}

} // namespace tarnwick::circuit
