// Building a first layout from a netlist's element lines.
#include "netlist/netlist_import.h"

#include "netlist/tools.h"

#include <array>

namespace tarnwick {
namespace {

constexpr std::int32_t ImportTraces = 60;
constexpr std::int32_t ImportPins = 30;
// NodeNames[k] names the node trace k carries, k = 1 .. 59; trace 0 stays unused.
constexpr std::int32_t LastNodeTrace = ImportTraces - 1;
constexpr std::int32_t FirstTransistorTrace = 5;
constexpr std::int32_t TransistorStride = 6;
// Keeps traces above it free for the nodes of the other parts.
constexpr std::int32_t LastTransistorGround = 50;
constexpr std::int32_t SocketRow = 10;
constexpr std::int32_t FirstWireRow = 11;
constexpr std::int32_t WireRows = 5;
constexpr std::int32_t PartRows = 20;
const std::string Ground = "0";

// Lines handed in by a caller other than the reader are held to the reader's rule.
bool IsElementLine(const std::string &text) {
  return !text.empty() && std::string_view("cdjqr").find(text.front()) != std::string_view::npos;
}

class Importer {
public:
  Importer(NetlistTarget &target, NetlistRandom &random)
      : target_(target), board_(target.TargetBoard()), random_(random) {
    tokenizer_.Separator = ' ';
    tokenizer_.CountEmptyTokens = false;
  }

  void Run(const NetlistLines &lines) {
    std::vector<const NetlistLine *> parts;
    parts.reserve(lines.size());
    for (const NetlistLine &line : lines)
      if (IsElementLine(line.Text))
        parts.push_back(&line);
    TransistorPass(parts);
    WirePass();
    PartPass(parts);
    GroundLabels();
  }

private:
  template <std::size_t N> void Split(const NetlistLine &line, std::array<std::string, N> &fields) {
    SplitNetlistFields(tokenizer_, line, fields.data(), N);
  }

  void Label(std::int32_t trace, const std::string &node) {
    nodeNames_[static_cast<std::size_t>(trace)] = node;
    board_.GetTrace(trace).Name = node;
  }

  const std::string &NodeName(std::int32_t trace) const {
    return nodeNames_[static_cast<std::size_t>(trace)];
  }

  void Place(ComponentKind kind, std::int32_t start, std::int32_t end, std::int32_t pin,
             std::string name) {
    auto c = std::make_unique<BoardComponent>();
    c->Kind = static_cast<std::uint8_t>(kind);
    c->StartTrace = start;
    c->EndTrace = end;
    c->StartPin = pin;
    c->Name = std::move(name);
    target_.AddComponentToLayout(std::move(c));
  }

  // Every transistor gets three sockets side by side and a ground trace two traces further on;
  // its line then leaves the part list.
  void TransistorPass(std::vector<const NetlistLine *> &parts) {
    for (auto it = parts.begin(); it != parts.end();) {
      const char letter = (*it)->Text.front();
      if (letter != 'q' && letter != 'j') {
        ++it;
        continue;
      }
      std::array<std::string, 5> f; // reference, three nodes, model
      Split(**it, f);
      const std::int32_t t = nextTransistorTrace_;
      for (std::int32_t k = 0; k < 3; ++k) {
        Label(t + k, f[static_cast<std::size_t>(k) + 1]);
        Place(ComponentKind::Socket, t + k, t + k, SocketRow, f[0] + "_1");
      }
      if (t + 4 > LastTransistorGround)
        throw TarnwickError("too many transistors");
      Label(t + 4, Ground);
      nextTransistorTrace_ = t + TransistorStride;
      it = parts.erase(it);
    }
  }

  // Links every pair of traces that carry the same node. Only transistor traces are in the
  // table yet.
  void WirePass() {
    for (std::int32_t i = 1; i < LastNodeTrace; ++i) {
      if (NodeName(i).empty())
        continue;
      for (std::int32_t j = i + 1; j <= LastNodeTrace; ++j)
        if (NodeName(i) == NodeName(j))
          Place(ComponentKind::Wire, i, j, FirstWireRow + random_.Next(WireRows), {});
    }
  }

  void PartPass(const std::vector<const NetlistLine *> &parts) {
    for (const NetlistLine *line : parts) {
      const char letter = line->Text.front();
      const ComponentKind kind = letter == 'c'   ? ComponentKind::Capacitor
                                 : letter == 'd' ? ComponentKind::Diode
                                                 : ComponentKind::Resistor;
      std::array<std::string, 4> f; // reference, two nodes, value or model
      Split(*line, f);
      const std::int32_t start = NodeTrace(f[1], f[2]);
      const std::int32_t end = NodeTrace(f[2], f[1]);
      Place(kind, start, end, random_.Next(PartRows), std::move(f[3]));
    }
  }

  void GroundLabels() {
    for (std::int32_t t = 1; t <= LastNodeTrace; ++t)
      if (board_.GetTrace(t).Name == Ground)
        board_.GetTrace(t).Name = "GND";
  }

  // The trace of `node` for a two-terminal part whose other end is on `other`. A grounded end
  // goes to the nearest ground trace below the other node's first trace, else above it.
  std::int32_t NodeTrace(const std::string &node, const std::string &other) {
    const std::string &wanted = node == Ground ? other : node;
    std::int32_t k = 1;
    while (k <= LastNodeTrace && NodeName(k) != wanted)
      ++k;
    if (k <= LastNodeTrace) {
      if (node != Ground)
        return k;
      for (std::int32_t g = k - 1; g >= 1; --g)
        if (NodeName(g) == Ground)
          return g;
      for (std::int32_t g = k + 1; g <= LastNodeTrace; ++g)
        if (NodeName(g) == Ground)
          return g;
    }
    for (std::int32_t free = 1; free <= LastNodeTrace; ++free) {
      if (NodeName(free).empty()) {
        Label(free, node);
        return free;
      }
    }
    throw TarnwickError("too many nodes :(");
  }

  NetlistTarget &target_;
  Board &board_;
  NetlistRandom &random_;
  TTokenizer tokenizer_;
  std::array<std::string, LastNodeTrace + 1> nodeNames_;
  std::int32_t nextTransistorTrace_ = FirstTransistorTrace;
};

} // namespace

void SplitNetlistFields(TTokenizer &tokenizer, const NetlistLine &line, std::string *fields,
                        std::size_t count) {
  tokenizer.SetText(line.Text);
  tokenizer.NextToken(fields[0]);
  for (std::size_t k = 1; k < count; ++k) {
    if (!tokenizer.MoveToNextToken())
      throw TarnwickError("Assertion failure: line " + std::to_string(line.Number) +
                          " of the netlist has too few fields: \"" + Printable(line.Text) + "\"");
    tokenizer.NextToken(fields[k]);
  }
}

std::int32_t NetlistRandom::Next(std::int32_t n) {
  seed_ = seed_ * 134775813u + 1u;
  return static_cast<std::int32_t>(
      (static_cast<std::uint64_t>(seed_) * static_cast<std::uint32_t>(n)) >> 32);
}

NetlistRandom &ProcessNetlistRandom() {
  static NetlistRandom random;
  return random;
}

void ResetProcessNetlistRandomForTesting() { ProcessNetlistRandom() = NetlistRandom(); }

void BoardTarget::AddComponentToLayout(std::unique_ptr<BoardComponent> c) {
  modified_ = true;
  board_.AddComponent(std::move(c));
}

void PlaceNetlist(const NetlistLines &lines, NetlistTarget &target, NetlistRandom &random) {
  Board &board = target.TargetBoard();
  board.InitBoard(ImportTraces, ImportPins);
  try {
    Importer(target, random).Run(lines);
  } catch (...) {
    board.Repaint();
    throw;
  }
  board.Repaint();
}

void ImportNetlistFile(const std::string &path, Board &board, NetlistRandom &random) {
  const NetlistLines lines = ReadNetlistFile(path);
  BoardTarget target(board);
  PlaceNetlist(lines, target, random);
}

} // namespace tarnwick
