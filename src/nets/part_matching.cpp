#include "nets/part_matching.h"

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

namespace tarnwick {
namespace {

// Parts and units that may stand for each other: one key.
struct Group {
  std::vector<std::int32_t> parts;
  std::vector<std::int32_t> units;
  // Slot i holds part parts[i] (none from parts.size() on) and unit units[slot[i]] (none when
  // slot[i] >= units.size()); turn[i] turns the unit under the part.
  std::vector<std::size_t> slot;
  std::vector<std::int32_t> turn;
};

// The problems of a pairing, kept up to date as parts are put on and taken off units: every
// net beyond the first of a node, every node beyond the first on a net, every part turned the
// wrong way (sockets in another order as three); then, weighed far less, every end on a net
// labelled for another node.
class Score {
public:
  Score(std::size_t nodes, std::size_t nets, const std::vector<std::vector<std::int32_t>> &labelled)
      : netsOfNode_(nodes), nodesOfNet_(nets), labelled_(labelled) {}

  void Add(std::int32_t node, std::int32_t net, int sign) {
    // Ends per node and net in one table: a node may lie on thousands of nets.
    const std::uint64_t key =
        (std::uint64_t{static_cast<std::uint32_t>(node)} << 32) | static_cast<std::uint32_t>(net);
    auto &ofNode = netsOfNode_[static_cast<std::size_t>(node)];
    auto &ofNet = nodesOfNet_[static_cast<std::size_t>(net)];
    if (sign > 0) {
      if (ends_[key]++ == 0)
        problems_ += (ofNode++ > 0) + (ofNet++ > 0);
    } else if (auto it = ends_.find(key); it != ends_.end() && --it->second == 0) {
      ends_.erase(it);
      problems_ -= (--ofNode > 0) + (--ofNet > 0);
    }
    if (static_cast<std::size_t>(net) < labelled_.size()) {
      const auto &nodes = labelled_[static_cast<std::size_t>(net)];
      if (!nodes.empty() && std::find(nodes.begin(), nodes.end(), node) == nodes.end())
        mislabelled_ += sign;
    }
  }
  void Faulty(int weight) { problems_ += weight; }
  std::int64_t Value() const { return problems_ * 1'000'000 + mislabelled_; }

private:
  std::unordered_map<std::uint64_t, std::int32_t> ends_; // node and net -> ends
  std::vector<std::int32_t> netsOfNode_;
  std::vector<std::int32_t> nodesOfNet_;
  const std::vector<std::vector<std::int32_t>> &labelled_;
  std::int64_t problems_ = 0;
  std::int64_t mislabelled_ = 0;
};

class Matcher {
public:
  Matcher(MatchProblem problem, const MatchLimits &limits)
      : p_(std::move(problem)), limits_(limits), steps_(limits.LocalSteps) {
    BuildGroups();
    // An end that connects to nothing is a net of its own.
    std::size_t pseudo = static_cast<std::size_t>(p_.NetCount);
    for (const PartUnit &u : p_.Units) {
      endBase_.push_back(pseudo);
      pseudo += u.Nets.size();
    }
    score_.emplace(static_cast<std::size_t>(p_.NodeCount), pseudo, p_.Labelled);
  }

  Matching Run() {
    std::int64_t perfectSteps = limits_.PerfectSteps;
    const PerfectPairing perfect = FindPerfectPairing(p_, perfectSteps);
    result_.Perfect = perfect.Outcome;
    if (perfect.Outcome == SearchOutcome::Found) {
      Seed(perfect);
    } else {
      // Groups with fewer choices first: their parts anchor the nodes the others then follow.
      std::vector<std::size_t> order(groups_.size());
      for (std::size_t g = 0; g < order.size(); ++g)
        order[g] = g;
      std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return groups_[a].units.size() < groups_[b].units.size();
      });
      for (std::size_t g : order)
        PlaceGreedily(groups_[g]);
    }
    Improve();
    FindAmbiguities();
    Finish();
    result_.Units = std::move(p_.Units);
    return std::move(result_);
  }

private:
  void BuildGroups() {
    std::map<std::int32_t, std::size_t> index;
    auto groupOf = [&](std::int32_t key) {
      auto [it, added] = index.emplace(key, groups_.size());
      if (added)
        groups_.emplace_back();
      return it->second;
    };
    for (std::size_t p = 0; p < p_.Parts.size(); ++p)
      groups_[groupOf(p_.Parts[p].Key)].parts.push_back(static_cast<std::int32_t>(p));
    for (std::size_t u = 0; u < p_.Units.size(); ++u)
      groups_[groupOf(p_.Units[u].Key)].units.push_back(static_cast<std::int32_t>(u));
    for (Group &g : groups_) {
      const std::size_t slots = std::max(g.parts.size(), g.units.size());
      g.slot.resize(slots);
      for (std::size_t i = 0; i < slots; ++i)
        g.slot[i] = i;
      g.turn.assign(slots, 0);
    }
    result_.Parts.assign(p_.Parts.size(), {});
  }

  // Takes the pairing without a fault as the start.
  void Seed(const PerfectPairing &perfect) {
    for (Group &g : groups_) {
      std::unordered_map<std::int32_t, std::size_t> local;
      for (std::size_t k = 0; k < g.units.size(); ++k)
        local.emplace(g.units[k], k);
      std::vector<bool> used(g.slot.size(), false);
      std::vector<std::size_t> without;
      for (std::size_t i = 0; i < g.parts.size(); ++i) {
        const auto part = static_cast<std::size_t>(g.parts[i]);
        if (perfect.Unit[part] < 0) {
          without.push_back(i);
          continue;
        }
        g.slot[i] = local.at(perfect.Unit[part]);
        g.turn[i] = perfect.Turns[part];
        used[g.slot[i]] = true;
      }
      std::vector<std::size_t> free; // units no part took, then the places of no unit
      for (std::size_t k = 0; k < g.slot.size(); ++k)
        if (!used[k])
          free.push_back(k);
      std::size_t next = 0;
      for (std::size_t i : without)
        g.slot[i] = free[free.size() - without.size() + next++];
      next = 0;
      for (std::size_t i = g.parts.size(); i < g.slot.size(); ++i)
        g.slot[i] = free[next++];
      for (std::size_t i = 0; i < g.parts.size(); ++i)
        Apply(g, i, 1);
    }
  }

  // The net an end stands on; an end that connects to nothing is a net of its own.
  std::int32_t NetOf(std::size_t unit, std::size_t end) const {
    const std::int32_t net = p_.Units[unit].Nets[end];
    return net >= 0 ? net : static_cast<std::int32_t>(endBase_[unit] + end);
  }

  bool Placed(const Group &g, std::size_t i) const {
    return i < g.parts.size() && g.slot[i] < g.units.size();
  }

  const PartUnit &UnitIn(const Group &g, std::size_t i) const {
    return p_.Units[static_cast<std::size_t>(g.units[g.slot[i]])];
  }

  // Puts a part on its slot's unit (sign 1) or takes it off (sign -1).
  void Apply(const Group &g, std::size_t i, int sign) {
    if (!Placed(g, i))
      return;
    const auto &nodes = p_.Parts[static_cast<std::size_t>(g.parts[i])].Nodes;
    const auto unit = static_cast<std::size_t>(g.units[g.slot[i]]);
    const PartUnit &u = p_.Units[unit];
    for (std::size_t pin = 0; pin < nodes.size(); ++pin) {
      const auto end =
          static_cast<std::size_t>(EndOfPin(g.turn[i], static_cast<std::int32_t>(pin)));
      if (nodes[pin] >= 0 && end < u.Nets.size() && u.Nets[end] != AbsentEnd)
        score_->Add(nodes[pin], NetOf(unit, end), sign);
    }
    // A transistor's sockets in another order are taken for the cause only where that explains
    // more than one open and one short (a wire moved) would.
    if (FaultyTurn(u, g.turn[i]))
      score_->Faulty(u.Turns == UnitTurns::Ordered ? 3 * sign : sign);
  }

  std::int32_t Turns(const Group &g, std::size_t i) const {
    return Placed(g, i) ? TurnCount(UnitIn(g, i)) : 1;
  }

  // Puts the parts of slots i and j (i may equal j) on their units the way round that scores
  // best; returns that score.
  std::int64_t ApplyBest(Group &g, std::size_t i, std::size_t j) {
    const bool two = i != j;
    const std::int32_t turnsI = Turns(g, i), turnsJ = two ? Turns(g, j) : 1;
    std::int64_t best = 0;
    std::int32_t bestI = 0, bestJ = 0;
    for (std::int32_t ti = 0; ti < turnsI; ++ti) {
      for (std::int32_t tj = 0; tj < turnsJ; ++tj) {
        g.turn[i] = ti;
        if (two)
          g.turn[j] = tj;
        Apply(g, i, 1);
        if (two)
          Apply(g, j, 1);
        --steps_;
        const std::int64_t v = score_->Value();
        if ((ti == 0 && tj == 0) || v < best) {
          best = v;
          bestI = ti;
          bestJ = tj;
        }
        Apply(g, i, -1);
        if (two)
          Apply(g, j, -1);
      }
    }
    g.turn[i] = bestI;
    if (two)
      g.turn[j] = bestJ;
    Apply(g, i, 1);
    if (two)
      Apply(g, j, 1);
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

  void TakeOff(Group &g, std::size_t i, std::size_t j) {
    Apply(g, i, -1);
    if (i != j)
      Apply(g, j, -1);
  }

  void PutBack(Group &g, std::size_t i, std::size_t j, std::int32_t ti, std::int32_t tj) {
    std::swap(g.slot[i], g.slot[j]);
    g.turn[i] = ti;
    g.turn[j] = tj;
    Apply(g, i, 1);
    if (i != j)
      Apply(g, j, 1);
  }

  // Exchanges two slots' units (or turns one part round) and keeps the change when it scores
  // better. Returns whether it was kept.
  bool TryExchange(Group &g, std::size_t i, std::size_t j) {
    const std::int64_t before = score_->Value();
    const std::int32_t ti = g.turn[i], tj = g.turn[j];
    TakeOff(g, i, j);
    std::swap(g.slot[i], g.slot[j]);
    if (ApplyBest(g, i, j) < before)
      return true;
    TakeOff(g, i, j);
    PutBack(g, i, j, ti, tj);
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
            if ((j != i || Turns(g, i) > 1) && TryExchange(g, i, j))
              better = true;
          }
        }
      }
    }
  }

  std::vector<std::int32_t> SortedNets(const Group &g, std::size_t i) const {
    if (g.slot[i] >= g.units.size())
      return {};
    const auto unit = static_cast<std::size_t>(g.units[g.slot[i]]);
    std::vector<std::int32_t> nets;
    for (std::size_t end = 0; end < p_.Units[unit].Nets.size(); ++end)
      nets.push_back(NetOf(unit, end));
    std::sort(nets.begin(), nets.end());
    return nets;
  }

  std::vector<std::int32_t> SortedNodes(const Group &g, std::size_t i) const {
    if (i >= g.parts.size())
      return {};
    auto nodes = p_.Parts[static_cast<std::size_t>(g.parts[i])].Nodes;
    std::sort(nodes.begin(), nodes.end());
    return nodes;
  }

  // Whether exchanging slots i and j scores the same; everything is as before afterwards.
  bool ExchangeScoresTheSame(Group &g, std::size_t i, std::size_t j) {
    const std::int64_t before = score_->Value();
    const std::int32_t ti = g.turn[i], tj = g.turn[j];
    TakeOff(g, i, j);
    std::swap(g.slot[i], g.slot[j]);
    const std::int64_t after = ApplyBest(g, i, j);
    TakeOff(g, i, j);
    PutBack(g, i, j, ti, tj);
    return after == before;
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
          --steps_;
          if (SortedNets(g, i) == SortedNets(g, j) || SortedNodes(g, i) == SortedNodes(g, j))
            continue;
          if (ExchangeScoresTheSame(g, i, j)) {
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
    std::vector<bool> taken(p_.Units.size(), false);
    for (const Group &g : groups_) {
      for (std::size_t i = 0; i < g.parts.size(); ++i) {
        if (!Placed(g, i))
          continue;
        const std::int32_t unit = g.units[g.slot[i]];
        result_.Parts[static_cast<std::size_t>(g.parts[i])] = {unit, g.turn[i]};
        taken[static_cast<std::size_t>(unit)] = true;
      }
    }
    for (std::size_t u = 0; u < taken.size(); ++u)
      if (!taken[u])
        result_.Unmatched.push_back(static_cast<std::int32_t>(u));
  }

  MatchProblem p_;
  MatchLimits limits_;
  std::int64_t steps_;
  Matching result_;
  std::vector<Group> groups_;
  std::vector<std::size_t> endBase_;
  std::optional<Score> score_;
};

} // namespace

Matching MatchUnits(MatchProblem problem, const MatchLimits &limits) {
  return Matcher(std::move(problem), limits).Run();
}

} // namespace tarnwick
