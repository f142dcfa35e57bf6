#include "nets/circuit.h"

#include "netlist/tools.h"

#include <array>
#include <cstdio>
#include <memory>
#include <unordered_map>

namespace tarnwick {
namespace {

using NodeIds = std::unordered_map<std::string, std::int32_t>;

std::int32_t NodeId(Circuit &circuit, NodeIds &ids, const std::string &name) {
  const auto [it, added] = ids.emplace(name, static_cast<std::int32_t>(circuit.Nodes.size()));
  if (added)
    circuit.Nodes.push_back(name);
  return it->second;
}

bool Readable(const std::string &path) {
  struct Closer {
    void operator()(std::FILE *f) const { std::fclose(f); }
  };
  const std::unique_ptr<std::FILE, Closer> f(std::fopen(path.c_str(), "rb"));
  char byte;
  return f && !(std::fread(&byte, 1, 1, f.get()) == 0 && std::ferror(f.get()));
}

} // namespace

Circuit ReadCircuit(const NetlistLines &lines) {
  Circuit circuit;
  NodeIds ids;
  TTokenizer tokenizer;
  tokenizer.Separator = ' ';
  tokenizer.CountEmptyTokens = false;
  for (const NetlistLine &line : lines) {
    if (line.Text.empty())
      continue;
    const char letter = line.Text.front();
    CircuitPart part;
    part.Line = line.Number;
    std::array<std::string, 5> f;
    if (letter == 'q' || letter == 'j') {
      SplitNetlistFields(tokenizer, line, f.data(), 5);
      part.Group = PartGroup::Transistor;
      part.Nodes = {NodeId(circuit, ids, f[1]), NodeId(circuit, ids, f[2]),
                    NodeId(circuit, ids, f[3])};
      part.ComponentName = f[0] + "_1";
    } else if (letter == 'c' || letter == 'd' || letter == 'r') {
      SplitNetlistFields(tokenizer, line, f.data(), 4);
      part.Group = letter == 'c'   ? PartGroup::Capacitor
                   : letter == 'd' ? PartGroup::Diode
                                   : PartGroup::Resistor;
      part.Nodes = {NodeId(circuit, ids, f[1]), NodeId(circuit, ids, f[2])};
      part.ComponentName = f[3];
    } else {
      continue;
    }
    part.Reference = f[0];
    circuit.Parts.push_back(std::move(part));
  }
  return circuit;
}

circuit::Circuit ToCircuitModel(const Circuit &old) {
  circuit::Circuit model;
  model.Nets = old.Nodes;
  for (const CircuitPart &p : old.Parts) {
    circuit::Part part;
    part.Reference = p.Reference;
    part.Value = p.ComponentName;
    part.Line = p.Line;
    switch (p.Group) {
    case PartGroup::Resistor:
      part.Kind = circuit::PartKind::Resistor;
      break;
    case PartGroup::Capacitor:
      part.Kind = circuit::PartKind::FilmCapacitor;
      break;
    case PartGroup::Diode:
      part.Kind = circuit::PartKind::Diode;
      break;
    case PartGroup::Transistor:
      part.Kind = circuit::PartKind::InLine;
      break;
    }
    for (std::size_t k = 0; k < p.Nodes.size(); ++k)
      part.Pins.push_back({std::to_string(k + 1), p.Nodes[k]});
    model.Parts.push_back(std::move(part));
  }
  return model;
}

Circuit ReadCircuitFile(const std::string &path) {
  if (!Readable(path))
    throw TarnwickError("Unable to read " + path);
  Circuit circuit = ReadCircuit(ReadNetlistFile(path));
  if (circuit.Parts.empty())
    throw TarnwickError(path + " names no capacitor, diode, resistor or transistor to check for.");
  return circuit;
}

} // namespace tarnwick
