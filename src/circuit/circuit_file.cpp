// Which reader a netlist goes to, and reading a netlist file within bounds.
#include "circuit/circuit_reader.h"

#include "document/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tarnwick::circuit {
namespace {

[[noreturn]] void CannotRead(const std::string &path, const std::string &why) {
  throw TarnwickError("Unable to read " + path + ": " + why);
}

// The whole file, refused when it is not a regular file (a folder, a device that never ends,
// a pipe that may never deliver) or larger than any netlist.
std::string ReadWhole(const std::string &path) {
  RegularFile file(path);
  if (!file.IsOpen())
    CannotRead(path, file.Why());
  const std::string tooLarge = "it is larger than " + std::to_string(MaxCircuitFileBytes >> 20) +
                               " MB, more than any netlist";
  if (file.Size() > MaxCircuitFileBytes)
    CannotRead(path, tooLarge);
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(file.Size()) + 1);
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) {
      // The file grew while it was read; read on up to the limit.
      if (bytes.size() > MaxCircuitFileBytes)
        CannotRead(path, tooLarge);
      bytes.resize(std::min(bytes.size() * 2, MaxCircuitFileBytes + 1));
    }
    const std::int64_t n = file.Read(bytes.data() + have, bytes.size() - have);
    if (n < 0)
      CannotRead(path, std::strerror(errno));
    if (n == 0)
      break;
    have += static_cast<std::size_t>(n);
  }
  bytes.resize(have);
  if (have > MaxCircuitFileBytes)
    CannotRead(path, tooLarge);
  return bytes;
}

} // namespace

NetlistFormat FormatOf(std::string_view text) {
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v')
      continue;
    return c == '(' ? NetlistFormat::Kicad : NetlistFormat::Spice;
  }
  return NetlistFormat::Spice;
}

Circuit ReadCircuitText(std::string_view text, const std::string &fileName) {
  return FormatOf(text) == NetlistFormat::Kicad ? ReadKicadText(text, fileName)
                                                : ReadSpiceText(text, fileName);
}

Circuit ReadCircuitFile(const std::string &path) {
  Circuit circuit = ReadCircuitText(ReadWhole(path), path);
  if (circuit.Parts.empty())
    throw TarnwickError(path + " names no part of a board (no resistor, capacitor, diode, "
                               "transistor, integrated circuit or other part).");
  return circuit;
}

} // namespace tarnwick::circuit
