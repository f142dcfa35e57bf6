#include "nets/part_matching.h"

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

namespace tarnwick {
namespace {

// Parts and units that may stand for each other: one kind group, one name.
struct Group {
  std::vector<std::int32_t> parts;
  std::vector<std::int32_t> units;
  // Slot i holds part parts[i] (none from parts.size() on) and unit units[slot[i]] (none when
  // slot[i] >= units.size()); flip[i] turns the part round on its unit.
  std::vector<std::size_t> slot;
  std::vector<bool> flip;
};

// The problems of an assignment, kept up to date as parts are put on and taken off units:
// every net beyond the first of a node, every node beyond the first on a net, every polar part
// the wrong way round; then, weighed far less, every end on a net labelled for another node.
class Score {
public:
  Score(std::size_t nodes, std::size_t nets, std::vector<std::vector<std::int32_t>> labelled)
      : netsOfNode_(nodes), nodesOfNet_(nets), labelled_(std::move(labelled)) {}

  void Add(std::int32_t node, std::int32_t net, int sign) {
    // A node's ends lie on few nets, so a short list beats a hash table here.
    auto &nets = netsOfNode_[static_cast<std::size_t>(node)];
    auto it =
        std::find_if(nets.begin(), nets.end(), [net](const auto &e) { return e.first == net; });
    auto &ofNet = nodesOfNet_[static_cast<std::size_t>(net)];
    if (sign > 0) {
      if (it != nets.end()) {
        ++it->second;
      } else {
        problems_ += (!nets.empty()) + (ofNet++ > 0);
        nets.emplace_back(net, 1);
      }
    } else if (it != nets.end() && --it->second == 0) {
      nets.erase(it);
      problems_ -= (!nets.empty()) + (--ofNet > 0);
    }
    if (static_cast<std::size_t>(net) < labelled_.size()) {
      const auto &nodes = labelled_[static_cast<std::size_t>(net)];
      if (!nodes.empty() && std::find(nodes.begin(), nodes.end(), node) == nodes.end())
        mislabelled_ += sign;
    }
  }
  void Reversed(int sign) { problems_ += sign; }
  std::int64_t Value() const { return problems_ * 1'000'000 + mislabelled_; }

private:
  std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> netsOfNode_; // net, ends
  std::vector<std::int32_t> nodesOfNet_;
  std::vector<std::vector<std::int32_t>> labelled_;
  std::int64_t problems_ = 0;
  std::int64_t mislabelled_ = 0;
};

class Matcher {
public:
  Matcher(const Board &board, const Copper &copper, const Circuit &circuit, std::int64_t steps)
      : board_(board), copper_(copper), circuit_(circuit), steps_(steps) {
    BuildUnits();
    BuildGroups();
    score_.emplace(circuit.Nodes.size(), pseudoBase_ + 3 * result_.Units.size(), LabelledNets());
  }

  Matching Run() {
    // Groups with fewer choices first: their parts anchor the nodes the others then follow.
    std::vector<std::size_t> order(groups_.size());
    for (std::size_t g = 0; g < order.size(); ++g)
      order[g] = g;
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
      return groups_[a].units.size() < groups_[b].units.size();
    });
    for (std::size_t g : order)
      PlaceGreedily(groups_[g]);
    Improve();
    FindAmbiguities();
    Finish();
    return std::move(result_);
  }

private:
  void BuildUnits() {
    std::map<std::pair<PartGroup, std::string>, std::vector<std::int32_t>> sockets;
    for (std::int32_t i = 0; i < board_.ComponentCount(); ++i) {
      const BoardComponent &c = board_.GetComponent(i);
      if (c.Is(ComponentKind::Socket)) {
        sockets[{PartGroup::Transistor, LowerCase(c.Name)}].push_back(i);
        continue;
      }
      if (TerminalCount(c) != 2)
        continue;
      PartUnit u;
      u.Group = c.Is(ComponentKind::Resistor) ? PartGroup::Resistor
                : c.Is(ComponentKind::Diode)  ? PartGroup::Diode
                                              : PartGroup::Capacitor;
      u.Components = {i};
      u.Nets = {copper_.NetAt(c.StartTrace, c.StartPin), copper_.NetAt(c.EndTrace, c.StartPin)};
      u.Polar = !c.Is(ComponentKind::Resistor) && !c.Is(ComponentKind::Capacitor);
      AddUnit(std::move(u), LowerCase(c.Name));
    }
    // A transistor is three sockets of its name, taken in list order.
    for (auto &[key, list] : sockets) {
      for (std::size_t k = 0; k < list.size(); k += 3) {
        PartUnit u;
        u.Group = PartGroup::Transistor;
        for (std::size_t j = k; j < list.size() && j < k + 3; ++j) {
          const BoardComponent &c = board_.GetComponent(list[j]);
          u.Components.push_back(list[j]);
          u.Nets.push_back(copper_.NetAt(c.StartTrace, c.StartPin));
        }
        AddUnit(std::move(u), key.second);
      }
    }
    pseudoBase_ = static_cast<std::size_t>(copper_.NetCount());
  }

  void AddUnit(PartUnit u, const std::string &name) {
    const std::int32_t id = static_cast<std::int32_t>(result_.Units.size());
    const auto key = std::make_pair(u.Group, name);
    result_.Units.push_back(std::move(u));
    unitsByName_[key].push_back(id);
  }

  void BuildGroups() {
    std::map<std::pair<PartGroup, std::string>, std::size_t> index;
    for (std::size_t p = 0; p < circuit_.Parts.size(); ++p) {
      const CircuitPart &part = circuit_.Parts[p];
      const auto key = std::make_pair(part.Group, part.ComponentName);
      auto [it, added] = index.emplace(key, groups_.size());
      if (added) {
        groups_.emplace_back();
        if (auto units = unitsByName_.find(key); units != unitsByName_.end()) {
          groups_.back().units = units->second;
          units->second.clear(); // every unit in one group only
        }
      }
      groups_[it->second].parts.push_back(static_cast<std::int32_t>(p));
    }
    for (Group &g : groups_) {
      const std::size_t slots = std::max(g.parts.size(), g.units.size());
      g.slot.resize(slots);
      for (std::size_t i = 0; i < slots; ++i)
        g.slot[i] = i;
      g.flip.assign(slots, false);
    }
    result_.Parts.assign(circuit_.Parts.size(), {});
  }

  // Per net, the nodes whose name is one of its trace labels; the import labels ground "GND".
  std::vector<std::vector<std::int32_t>> LabelledNets() const {
    std::unordered_map<std::string, std::int32_t> byName;
    for (std::size_t n = 0; n < circuit_.Nodes.size(); ++n)
      byName.emplace(circuit_.Nodes[n], static_cast<std::int32_t>(n));
    std::vector<std::vector<std::int32_t>> labelled(pseudoBase_);
    for (std::int32_t net = 0; net < copper_.NetCount(); ++net) {
      for (const std::string &label : copper_.Labels(net)) {
        std::string name = LowerCase(label);
        if (name == "gnd")
          name = "0";
        if (auto it = byName.find(name); it != byName.end())
          labelled[static_cast<std::size_t>(net)].push_back(it->second);
      }
    }
    return labelled;
  }

  // The net an end stands on; an end that connects to nothing is a net of its own.
  std::int32_t NetOf(std::size_t unit, std::size_t end) const {
    const std::int32_t net = result_.Units[unit].Nets[end];
    return net >= 0 ? net : static_cast<std::int32_t>(pseudoBase_ + 3 * unit + end);
  }

  // Puts a part on its slot's unit (sign 1) or takes it off (sign -1).
  void Apply(const Group &g, std::size_t i, int sign) {
    if (i >= g.parts.size() || g.slot[i] >= g.units.size())
      return;
    const CircuitPart &part = circuit_.Parts[static_cast<std::size_t>(g.parts[i])];
    const std::size_t unit = static_cast<std::size_t>(g.units[g.slot[i]]);
    const PartUnit &u = result_.Units[unit];
    for (std::size_t end = 0; end < u.Nets.size() && end < part.Nodes.size(); ++end) {
      const std::size_t node = part.Nodes.size() == 2 && g.flip[i] ? 1 - end : end;
      score_->Add(part.Nodes[node], NetOf(unit, end), sign);
    }
    if (u.Polar && g.flip[i])
      score_->Reversed(sign);
  }

  bool CanFlip(const Group &g, std::size_t i) const {
    return i < g.parts.size() && g.slot[i] < g.units.size() &&
           result_.Units[static_cast<std::size_t>(g.units[g.slot[i]])].Nets.size() == 2;
  }

  // Puts the parts of slots i and j (i may equal j) on their units the way round that scores
  // best; returns that score. The ways round are tried turning one part at a time.
  std::int64_t ApplyBest(Group &g, std::size_t i, std::size_t j) {
    const bool two = i != j;
    const bool turnI = CanFlip(g, i), turnJ = two && CanFlip(g, j);
    g.flip[i] = false;
    g.flip[j] = false;
    Apply(g, i, 1);
    if (two)
      Apply(g, j, 1);
    --steps_;
    std::int64_t best = score_->Value();
    bool bestI = false, bestJ = false;
    auto turn = [&](std::size_t k) {
      Apply(g, k, -1);
      g.flip[k] = !g.flip[k];
      Apply(g, k, 1);
      --steps_;
      if (const std::int64_t v = score_->Value(); v < best) {
        best = v;
        bestI = g.flip[i];
        bestJ = g.flip[j];
      }
    };
    if (turnI)
      turn(i);
    if (turnJ) {
      turn(j);
      if (turnI)
        turn(i);
    }
    if (g.flip[i] != bestI)
      turn(i);
    if (two && g.flip[j] != bestJ)
      turn(j);
    return best;
  }

  // Each part in turn takes the free unit that fits best with what is placed so far. A group
  // too large to weigh pair by pair keeps the list order.
  void PlaceGreedily(Group &g) {
    const std::size_t n = g.parts.size(), m = g.units.size();
    const bool weigh = m > 1 && static_cast<std::int64_t>(n * m) * 4 <= steps_;
    for (std::size_t i = 0; i < n && i < m; ++i) {
      if (weigh) {
        std::size_t best = g.slot.size();
        std::int64_t bestValue = 0;
        for (std::size_t j = i; j < g.slot.size(); ++j) {
          if (g.slot[j] >= m)
            continue;
          std::swap(g.slot[i], g.slot[j]);
          const std::int64_t v = ApplyBest(g, i, i);
          Apply(g, i, -1);
          std::swap(g.slot[i], g.slot[j]);
          if (best == g.slot.size() || v < bestValue) {
            best = j;
            bestValue = v;
          }
        }
        if (best == g.slot.size())
          break;
        std::swap(g.slot[i], g.slot[best]);
      }
      ApplyBest(g, i, i);
    }
  }

  // Exchanges two slots' units (or turns one part round) and keeps the change when it scores
  // better. Returns whether it was kept.
  bool TryExchange(Group &g, std::size_t i, std::size_t j) {
    const std::int64_t before = score_->Value();
    const bool fi = g.flip[i], fj = g.flip[j];
    Apply(g, i, -1);
    if (i != j)
      Apply(g, j, -1);
    std::swap(g.slot[i], g.slot[j]);
    if (ApplyBest(g, i, j) < before)
      return true;
    Apply(g, i, -1);
    if (i != j)
      Apply(g, j, -1);
    std::swap(g.slot[i], g.slot[j]);
    g.flip[i] = fi;
    g.flip[j] = fj;
    Apply(g, i, 1);
    if (i != j)
      Apply(g, j, 1);
    return false;
  }

  void Improve() {
    for (bool better = true; better;) {
      better = false;
      for (Group &g : groups_) {
        for (std::size_t i = 0; i < g.parts.size(); ++i) {
          for (std::size_t j = i; j < g.slot.size(); ++j) {
            if (steps_ <= 0) {
              result_.SearchCut = true;
              return;
            }
            if ((j != i || CanFlip(g, i)) && TryExchange(g, i, j))
              better = true;
          }
        }
      }
    }
  }

  std::vector<std::int32_t> SortedNets(const Group &g, std::size_t i) const {
    if (g.slot[i] >= g.units.size())
      return {};
    const std::size_t unit = static_cast<std::size_t>(g.units[g.slot[i]]);
    std::vector<std::int32_t> nets;
    for (std::size_t end = 0; end < result_.Units[unit].Nets.size(); ++end)
      nets.push_back(NetOf(unit, end));
    std::sort(nets.begin(), nets.end());
    return nets;
  }

  std::vector<std::int32_t> SortedNodes(const Group &g, std::size_t i) const {
    if (i >= g.parts.size())
      return {};
    auto nodes = circuit_.Parts[static_cast<std::size_t>(g.parts[i])].Nodes;
    std::sort(nodes.begin(), nodes.end());
    return nodes;
  }

  // An exchange that scores the same and is not merely two like parts or two like places.
  void FindAmbiguities() {
    if (result_.SearchCut)
      return;
    for (Group &g : groups_) {
      std::vector<bool> involved(g.parts.size(), false);
      for (std::size_t i = 0; i < g.parts.size(); ++i) {
        for (std::size_t j = i + 1; j < g.slot.size(); ++j) {
          if (steps_ <= 0) {
            result_.SearchCut = true; // said instead of a list cut short
            break;
          }
          if (SortedNets(g, i) == SortedNets(g, j) || SortedNodes(g, i) == SortedNodes(g, j))
            continue;
          const std::int64_t before = score_->Value();
          const bool fi = g.flip[i], fj = g.flip[j];
          Apply(g, i, -1);
          Apply(g, j, -1);
          std::swap(g.slot[i], g.slot[j]);
          const std::int64_t after = ApplyBest(g, i, j);
          Apply(g, i, -1);
          Apply(g, j, -1);
          std::swap(g.slot[i], g.slot[j]);
          g.flip[i] = fi;
          g.flip[j] = fj;
          Apply(g, i, 1);
          Apply(g, j, 1);
          if (after == before) {
            involved[i] = true;
            if (j < g.parts.size())
              involved[j] = true;
          }
        }
      }
      std::vector<std::int32_t> parts;
      for (std::size_t i = 0; i < g.parts.size(); ++i)
        if (involved[i])
          parts.push_back(g.parts[i]);
      if (!parts.empty())
        result_.Ambiguous.push_back(std::move(parts));
    }
    std::sort(result_.Ambiguous.begin(), result_.Ambiguous.end());
  }

  void Finish() {
    std::vector<bool> taken(result_.Units.size(), false);
    for (const Group &g : groups_) {
      for (std::size_t i = 0; i < g.parts.size(); ++i) {
        if (g.slot[i] >= g.units.size())
          continue;
        const std::int32_t unit = g.units[g.slot[i]];
        result_.Parts[static_cast<std::size_t>(g.parts[i])] = {unit, g.flip[i]};
        taken[static_cast<std::size_t>(unit)] = true;
      }
    }
    for (std::size_t u = 0; u < taken.size(); ++u)
      if (!taken[u])
        result_.Unmatched.push_back(static_cast<std::int32_t>(u));
  }

  const Board &board_;
  const Copper &copper_;
  const Circuit &circuit_;
  std::int64_t steps_;
  Matching result_;
  std::map<std::pair<PartGroup, std::string>, std::vector<std::int32_t>> unitsByName_;
  std::vector<Group> groups_;
  std::size_t pseudoBase_ = 0;
  std::optional<Score> score_;
};

} // namespace

Matching MatchParts(const Board &board, const Copper &copper, const Circuit &circuit,
                    std::int64_t maxSteps) {
  return Matcher(board, copper, circuit, maxSteps).Run();
}

} // namespace tarnwick
