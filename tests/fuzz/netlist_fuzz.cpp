// The netlist import on any bytes, onto a target that records every placement. Besides memory
// errors and undefined behaviour it checks that the reader keeps only what it promises, that an
// import either completes or stops with the user's message, and that everything placed lies on
// the 60 x 30 board the import makes.
#include "fuzz_check.h"
#include "netlist/netlist_import.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace tarnwick;

namespace {

class RecordingBoard : public Board {
public:
  int repaints = 0;
  void Repaint() override { ++repaints; }
};

class RecordingTarget : public NetlistTarget {
public:
  RecordingBoard board;
  std::vector<BoardComponent> placed;

  Board &TargetBoard() override { return board; }
  void AddComponentToLayout(std::unique_ptr<BoardComponent> c) override {
    placed.push_back(*c);
    board.AddComponent(std::move(c));
  }
};

bool Placeable(std::uint8_t kind) {
  for (ComponentKind k : {ComponentKind::Socket, ComponentKind::Wire, ComponentKind::Capacitor,
                          ComponentKind::Diode, ComponentKind::Resistor})
    if (kind == static_cast<std::uint8_t>(k))
      return true;
  return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  NetlistLines lines;
  try {
    lines = ReadNetlistText(text, "fuzz.net");
  } catch (const TarnwickError &) {
    return 0; // beyond the reader's bounds: refused before anything is placed
  }
  std::int64_t lastNumber = 0;
  for (const NetlistLine &line : lines) {
    FUZZ_CHECK(line.Number > lastNumber);
    lastNumber = line.Number;
    FUZZ_CHECK(!line.Text.empty() && line.Text.size() <= MaxNetlistLineLength);
    FUZZ_CHECK(std::string_view("cdjqr").find(line.Text.front()) != std::string_view::npos);
    for (char c : line.Text)
      FUZZ_CHECK(c != '\r' && c != '\n' && !(c >= 'A' && c <= 'Z'));
  }

  RecordingTarget target;
  NetlistRandom random;
  try {
    PlaceNetlist(lines, target, random);
  } catch (const TarnwickError &e) {
    FUZZ_CHECK(e.what()[0] != '\0');
  }
  FUZZ_CHECK(target.board.repaints >= 1);
  FUZZ_CHECK(target.board.TraceCount() == 60 && target.board.PinCount() == 30);
  FUZZ_CHECK(target.board.ComponentCount() == static_cast<std::int32_t>(target.placed.size()));
  for (const BoardComponent &c : target.placed) {
    FUZZ_CHECK(Placeable(c.Kind));
    FUZZ_CHECK(c.StartTrace >= 1 && c.StartTrace < 60);
    FUZZ_CHECK(c.EndTrace >= 1 && c.EndTrace < 60);
    FUZZ_CHECK(c.StartPin >= 0 && c.StartPin < 30);
  }
  return 0;
}
