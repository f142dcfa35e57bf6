// The S-expression reader and the KiCad netlist reader on any bytes. Besides memory errors and
// undefined behaviour it checks that a tree read stays within the limits, that every failure
// is a message naming the file, and that a circuit read keeps the model's promises: nets in
// range, references unique, two-lead parts of two pins, ICs that fit a DIP socket.
#include "circuit/circuit_reader.h"
#include "circuit/sexpr.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

using namespace tarnwick;
using namespace tarnwick::circuit;

namespace {

const std::string FileName = "fuzz.net";

void CheckError(const TarnwickError &e) {
  FUZZ_CHECK(std::string_view(e.what()).rfind(FileName + ":", 0) == 0);
}

// Depth counted from 1 at the root; elements counted as the reader counts them.
void CheckTree(const Sexpr &node, std::size_t depth, std::int64_t &lastLine, std::size_t &count,
               const SexprLimits &limits) {
  ++count;
  FUZZ_CHECK(node.Line >= lastLine && node.Line >= 1);
  lastLine = node.Line;
  if (!node.IsList) {
    FUZZ_CHECK(node.Items.empty());
    FUZZ_CHECK(node.Text.size() <= limits.MaxAtomLength);
    return;
  }
  FUZZ_CHECK(depth <= limits.MaxDepth);
  FUZZ_CHECK(node.Text.empty() && !node.Quoted);
  for (const Sexpr &item : node.Items)
    CheckTree(item, depth + 1, lastLine, count, limits);
}

void CheckCircuit(const Circuit &c) {
  FUZZ_CHECK(c.Parts.size() <= MaxCircuitParts && c.Nets.size() <= MaxCircuitNets);
  std::set<std::string> references;
  for (const Part &p : c.Parts) {
    std::string lower = p.Reference;
    for (char &ch : lower)
      ch = (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
    FUZZ_CHECK(!p.Reference.empty() && p.Reference[0] != '#');
    FUZZ_CHECK(references.insert(lower).second);
    for (const Pin &pin : p.Pins)
      FUZZ_CHECK(pin.Net >= -1 && pin.Net < static_cast<std::int32_t>(c.Nets.size()));
    switch (FootprintOf(p.Kind).Shape) {
    case FootprintShape::TwoLead:
      FUZZ_CHECK(p.Pins.size() == 2);
      break;
    case FootprintShape::InLine:
      FUZZ_CHECK(p.Pins.size() == 3);
      break;
    case FootprintShape::Dip:
      FUZZ_CHECK(DipTemplatePins(IcPinCount(p)) != 0);
      FUZZ_CHECK(static_cast<std::int32_t>(p.Pins.size()) == IcPinCount(p));
      break;
    case FootprintShape::Pads:
      FUZZ_CHECK(!p.Pins.empty());
      break;
    }
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  const SexprLimits limits;
  try {
    const Sexpr root = ParseSexpr(text, FileName, limits);
    std::int64_t line = 1;
    std::size_t count = 0;
    CheckTree(root, 1, line, count, limits);
    FUZZ_CHECK(root.IsList && count <= limits.MaxElements);
  } catch (const TarnwickError &e) {
    CheckError(e);
  }
  try {
    CheckCircuit(ReadKicadText(text, FileName));
  } catch (const TarnwickError &e) {
    CheckError(e);
  }
  return 0;
}
