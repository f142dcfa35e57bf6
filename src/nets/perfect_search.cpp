#include "nets/perfect_search.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <set>
#include <unordered_map>

namespace tarnwick {

namespace {
constexpr std::array<std::array<std::int32_t, 3>, 6> Permutations{
    {{0, 1, 2}, {1, 0, 2}, {0, 2, 1}, {2, 1, 0}, {1, 2, 0}, {2, 0, 1}}};
} // namespace

std::int32_t TurnCount(const PartUnit &unit) {
  switch (unit.Turns) {
  case UnitTurns::Fixed:
    return 1;
  case UnitTurns::Either:
  case UnitTurns::Polar:
    return 2;
  case UnitTurns::Ordered:
    return unit.Nets.size() == 3 ? 6 : unit.Nets.size() == 2 ? 2 : 1;
  }
  return 1;
}

bool FaultyTurn(const PartUnit &unit, std::int32_t turn) {
  return turn != 0 && (unit.Turns == UnitTurns::Polar || unit.Turns == UnitTurns::Ordered);
}

std::int32_t EndOfPin(std::int32_t turn, std::int32_t pin) {
  if (turn == 0 || pin > 2)
    return pin;
  return Permutations[static_cast<std::size_t>(turn)][static_cast<std::size_t>(pin)];
}

namespace {

constexpr std::int32_t Unassigned = -2;

struct Choice {
  std::int32_t Unit = -1; // -1: the part goes without
  std::uint8_t Turn = 0;
};

// A choice point: the part being tried, its choices and how far the trail reached before it.
struct Frame {
  std::int32_t Part;
  std::vector<Choice> Choices;
  std::size_t Next = 0;
  std::size_t Mark = 0;
};

enum class Undo : std::uint8_t { Part, Unit, Node, Frontier, None };

struct TrailEntry {
  Undo What;
  std::int32_t Index;
};

class Search {
public:
  Search(const MatchProblem &problem, std::int64_t &steps) : p_(problem), steps_(steps) {
    BuildKeys();
    BuildLists();
    nodeNet_.assign(static_cast<std::size_t>(p_.NodeCount), -1);
    netNode_.assign(static_cast<std::size_t>(p_.NetCount), -1);
    unitOf_.assign(p_.Parts.size(), Unassigned);
    turnOf_.assign(p_.Parts.size(), 0);
    pinned_.assign(p_.Parts.size(), 0);
    nodeParts_.resize(nodeNet_.size());
    for (std::size_t part = 0; part < p_.Parts.size(); ++part)
      for (std::int32_t node : p_.Parts[part].Nodes)
        if (node >= 0 &&
            (nodeParts_[static_cast<std::size_t>(node)].empty() ||
             nodeParts_[static_cast<std::size_t>(node)].back() != static_cast<std::int32_t>(part)))
          nodeParts_[static_cast<std::size_t>(node)].push_back(static_cast<std::int32_t>(part));
  }

  PerfectPairing Run() {
    PerfectPairing result;
    result.Outcome = Explore();
    if (result.Outcome == SearchOutcome::Found) {
      result.Unit = unitOf_;
      result.Turns = turnOf_;
    }
    return result;
  }

private:
  SearchOutcome Explore() {
    std::vector<Frame> frames;
    if (!Open(frames))
      return SearchOutcome::Found;
    while (!frames.empty()) {
      if (steps_ <= 0)
        return SearchOutcome::Unsettled;
      Frame &f = frames.back();
      Rewind(f.Mark);
      if (f.Next == f.Choices.size()) {
        frames.pop_back();
        continue;
      }
      Assign(f.Part, f.Choices[f.Next++]);
      if (!Open(frames))
        return SearchOutcome::Found;
    }
    return SearchOutcome::None;
  }

  // Pushes the choice point of the next part to try; false when every part has its unit.
  bool Open(std::vector<Frame> &frames) {
    const std::int32_t part = ChoosePart();
    if (part < 0)
      return false;
    frames.push_back({part, Choices(part), 0, trail_.size()});
    return true;
  }

  void BuildKeys() {
    std::map<std::int32_t, std::int32_t> dense;
    auto keyOf = [&dense](std::int32_t key) {
      return dense.emplace(key, static_cast<std::int32_t>(dense.size())).first->second;
    };
    for (const MatchPart &part : p_.Parts)
      partKey_.push_back(keyOf(part.Key));
    for (const PartUnit &unit : p_.Units)
      unitKey_.push_back(keyOf(unit.Key));
    const std::size_t keys = dense.size();
    std::vector<std::int64_t> parts(keys, 0), units(keys, 0);
    for (std::int32_t k : partKey_)
      ++parts[static_cast<std::size_t>(k)];
    for (std::int32_t k : unitKey_)
      ++units[static_cast<std::size_t>(k)];
    noneLeft_.resize(keys);
    for (std::size_t k = 0; k < keys; ++k)
      noneLeft_[k] = std::max<std::int64_t>(0, parts[k] - units[k]);
    // Parts of the keys with the fewest units open the search where nothing is pinned yet.
    order_.resize(p_.Parts.size());
    for (std::size_t i = 0; i < order_.size(); ++i)
      order_[i] = static_cast<std::int32_t>(i);
    std::stable_sort(order_.begin(), order_.end(), [&](std::int32_t a, std::int32_t b) {
      return units[static_cast<std::size_t>(partKey_[static_cast<std::size_t>(a)])] <
             units[static_cast<std::size_t>(partKey_[static_cast<std::size_t>(b)])];
    });
  }

  // The free units of each key (lists 0 .. keys-1) and of each key on each net.
  void BuildLists() {
    lists_.resize(noneLeft_.size());
    std::unordered_map<std::int64_t, std::int32_t> byNet;
    memberStart_.push_back(0);
    for (std::size_t u = 0; u < p_.Units.size(); ++u) {
      const std::int32_t key = unitKey_[u];
      std::vector<std::int32_t> mine{key};
      for (std::int32_t net : p_.Units[u].Nets) {
        if (net < 0)
          continue;
        const std::int64_t id = NetListId(key, net);
        auto [it, added] = byNet.emplace(id, static_cast<std::int32_t>(lists_.size()));
        if (added)
          lists_.emplace_back();
        if (std::find(mine.begin(), mine.end(), it->second) == mine.end())
          mine.push_back(it->second);
      }
      for (std::int32_t list : mine) {
        memberList_.push_back(list);
        memberPos_.push_back(
            static_cast<std::int32_t>(lists_[static_cast<std::size_t>(list)].size()));
        lists_[static_cast<std::size_t>(list)].push_back(static_cast<std::int32_t>(u));
      }
      memberStart_.push_back(memberList_.size());
    }
    netLists_ = std::move(byNet);
  }

  std::int64_t NetListId(std::int32_t key, std::int32_t net) const {
    return std::int64_t{key} * (std::int64_t{p_.NetCount} + 1) + net;
  }

  const std::vector<std::int32_t> *NetList(std::int32_t key, std::int32_t net) const {
    const auto it = netLists_.find(NetListId(key, net));
    return it == netLists_.end() ? nullptr : &lists_[static_cast<std::size_t>(it->second)];
  }

  // Takes a unit out of its free lists; the last of each list moves into its place.
  void TakeUnit(std::int32_t unit) {
    for (std::size_t m = memberStart_[static_cast<std::size_t>(unit)];
         m < memberStart_[static_cast<std::size_t>(unit) + 1]; ++m) {
      auto &list = lists_[static_cast<std::size_t>(memberList_[m])];
      const std::int32_t pos = memberPos_[m];
      const std::int32_t last = list.back();
      list[static_cast<std::size_t>(pos)] = last;
      list.pop_back();
      if (last != unit)
        memberPos_[Membership(last, memberList_[m])] = pos;
    }
    trail_.push_back({Undo::Unit, unit});
  }

  // Undoes TakeUnit, which was the last change to these lists: every list is as it was.
  void ReleaseUnit(std::int32_t unit) {
    for (std::size_t m = memberStart_[static_cast<std::size_t>(unit) + 1];
         m-- > memberStart_[static_cast<std::size_t>(unit)];) {
      auto &list = lists_[static_cast<std::size_t>(memberList_[m])];
      const auto pos = static_cast<std::size_t>(memberPos_[m]);
      list.push_back(unit);
      if (pos + 1 != list.size()) {
        const std::int32_t moved = list[pos];
        list.back() = moved;
        list[pos] = unit;
        memberPos_[Membership(moved, memberList_[m])] = static_cast<std::int32_t>(list.size() - 1);
      }
    }
  }

  std::size_t Membership(std::int32_t unit, std::int32_t list) const {
    std::size_t m = memberStart_[static_cast<std::size_t>(unit)];
    while (memberList_[m] != list)
      ++m;
    return m;
  }

  void PinNode(std::int32_t node, std::int32_t net) {
    if (nodeNet_[static_cast<std::size_t>(node)] >= 0)
      return;
    nodeNet_[static_cast<std::size_t>(node)] = net;
    netNode_[static_cast<std::size_t>(net)] = node;
    trail_.push_back({Undo::Node, node});
    for (std::int32_t part : nodeParts_[static_cast<std::size_t>(node)]) {
      if (pinned_[static_cast<std::size_t>(part)]++ == 0 &&
          unitOf_[static_cast<std::size_t>(part)] == Unassigned) {
        frontier_.push_back(part);
        trail_.push_back({Undo::Frontier, part});
      }
    }
  }

  void Assign(std::int32_t part, const Choice &choice) {
    const auto p = static_cast<std::size_t>(part);
    unitOf_[p] = choice.Unit;
    turnOf_[p] = choice.Turn;
    trail_.push_back({Undo::Part, part});
    if (choice.Unit < 0) {
      --noneLeft_[static_cast<std::size_t>(partKey_[p])];
      trail_.push_back({Undo::None, partKey_[p]});
      return;
    }
    TakeUnit(choice.Unit);
    const PartUnit &unit = p_.Units[static_cast<std::size_t>(choice.Unit)];
    const auto &nodes = p_.Parts[p].Nodes;
    for (std::size_t pin = 0; pin < nodes.size(); ++pin) {
      const std::int32_t net = NetOfPin(unit, choice.Turn, pin);
      if (nodes[pin] >= 0 && net >= 0)
        PinNode(nodes[pin], net);
    }
  }

  void Rewind(std::size_t mark) {
    while (trail_.size() > mark) {
      const TrailEntry e = trail_.back();
      trail_.pop_back();
      const auto i = static_cast<std::size_t>(e.Index);
      switch (e.What) {
      case Undo::Part:
        unitOf_[i] = Unassigned;
        break;
      case Undo::Unit:
        ReleaseUnit(e.Index);
        break;
      case Undo::Node:
        netNode_[static_cast<std::size_t>(nodeNet_[i])] = -1;
        nodeNet_[i] = -1;
        for (std::int32_t part : nodeParts_[i])
          --pinned_[static_cast<std::size_t>(part)];
        break;
      case Undo::Frontier:
        frontier_.pop_back();
        break;
      case Undo::None:
        ++noneLeft_[i];
        break;
      }
    }
  }

  static std::int32_t NetOfPin(const PartUnit &unit, std::int32_t turn, std::size_t pin) {
    const auto end = static_cast<std::size_t>(EndOfPin(turn, static_cast<std::int32_t>(pin)));
    return end < unit.Nets.size() ? unit.Nets[end] : AbsentEnd;
  }

  // Whether the part can sit on the unit turned so, given the nodes pinned so far.
  bool Fits(std::size_t part, std::int32_t unitId, std::int32_t turn) {
    --steps_;
    const PartUnit &unit = p_.Units[static_cast<std::size_t>(unitId)];
    const auto &nodes = p_.Parts[part].Nodes;
    for (std::size_t pin = 0; pin < nodes.size(); ++pin) {
      const std::int32_t node = nodes[pin], net = NetOfPin(unit, turn, pin);
      if (node < 0 || net == AbsentEnd)
        continue;
      if (net < 0)
        return false;
      const std::int32_t has = nodeNet_[static_cast<std::size_t>(node)];
      if (has >= 0 ? has != net : netNode_[static_cast<std::size_t>(net)] >= 0)
        return false;
      for (std::size_t other = 0; other < pin; ++other) {
        const std::int32_t otherNet = NetOfPin(unit, turn, other);
        if (nodes[other] >= 0 && otherNet >= 0 && (nodes[other] == node) != (otherNet == net))
          return false;
      }
    }
    return true;
  }

  // The turns a perfect pairing may use: all of a unit that works either way, else the first.
  static std::int32_t FreeTurns(const PartUnit &unit) {
    return unit.Turns == UnitTurns::Either ? 2 : 1;
  }

  // The free units worth trying for a part: those on the net of one of its pinned nodes (the
  // shortest such list), or all of its key's.
  const std::vector<std::int32_t> *Candidates(std::size_t part) const {
    const std::int32_t key = partKey_[part];
    const std::vector<std::int32_t> *best = &lists_[static_cast<std::size_t>(key)];
    for (std::int32_t node : p_.Parts[part].Nodes) {
      if (node < 0 || nodeNet_[static_cast<std::size_t>(node)] < 0)
        continue;
      const auto *list = NetList(key, nodeNet_[static_cast<std::size_t>(node)]);
      if (!list)
        return nullptr;
      if (list->size() < best->size())
        best = list;
    }
    return best;
  }

  // How many ways a pinned part has, counted no further than `limit`.
  std::int64_t CountChoices(std::size_t part, std::int64_t limit) {
    std::int64_t count = noneLeft_[static_cast<std::size_t>(partKey_[part])] > 0 ? 1 : 0;
    const auto *list = Candidates(part);
    if (!list)
      return count;
    for (std::int32_t unit : *list) {
      for (std::int32_t turn = 0; turn < FreeTurns(p_.Units[static_cast<std::size_t>(unit)]);
           ++turn) {
        if (count >= limit || steps_ <= 0)
          return count;
        if (Fits(part, unit, turn))
          ++count;
      }
    }
    return count;
  }

  // The pinned part with the fewest ways (one with none or one at once); without one, the
  // first part still open in the order that takes keys with few units first.
  std::int32_t ChoosePart() {
    std::int32_t best = -1;
    std::int64_t bestCount = std::numeric_limits<std::int64_t>::max();
    for (std::size_t i = frontier_.size(); i-- > 0;) {
      const std::int32_t part = frontier_[i];
      if (unitOf_[static_cast<std::size_t>(part)] != Unassigned)
        continue;
      const std::int64_t count = CountChoices(static_cast<std::size_t>(part), bestCount);
      if (count < bestCount) {
        best = part;
        bestCount = count;
        if (count <= 1)
          break;
      }
    }
    if (best >= 0)
      return best;
    for (std::int32_t part : order_)
      if (unitOf_[static_cast<std::size_t>(part)] == Unassigned)
        return part;
    return -1;
  }

  // The ways of a part, alike units once, those that agree with the trace labels first; going
  // without comes last.
  std::vector<Choice> Choices(std::int32_t partId) {
    const auto part = static_cast<std::size_t>(partId);
    std::vector<std::pair<std::int32_t, Choice>> scored;
    std::set<std::vector<std::int32_t>> seen;
    if (const auto *list = Candidates(part)) {
      for (std::int32_t unitId : *list) {
        const PartUnit &unit = p_.Units[static_cast<std::size_t>(unitId)];
        for (std::int32_t turn = 0; turn < FreeTurns(unit); ++turn) {
          if (steps_ <= 0 || !Fits(part, unitId, turn))
            continue;
          if (!seen.insert(Signature(part, unit, turn)).second)
            continue;
          scored.push_back(
              {LabelScore(part, unit, turn), {unitId, static_cast<std::uint8_t>(turn)}});
        }
      }
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    std::vector<Choice> choices;
    for (const auto &s : scored)
      choices.push_back(s.second);
    if (noneLeft_[static_cast<std::size_t>(partKey_[part])] > 0)
      choices.push_back({-1, 0});
    return choices;
  }

  // What tells two ways apart for the rest of the search: the nets the pins land on, and the
  // unit's own nets and turns (which another part could use instead).
  std::vector<std::int32_t> Signature(std::size_t part, const PartUnit &unit,
                                      std::int32_t turn) const {
    std::vector<std::int32_t> s{static_cast<std::int32_t>(unit.Turns)};
    for (std::size_t pin = 0; pin < p_.Parts[part].Nodes.size(); ++pin)
      s.push_back(NetOfPin(unit, turn, pin));
    std::vector<std::int32_t> own = unit.Nets;
    if (unit.Turns == UnitTurns::Either)
      std::sort(own.begin(), own.end());
    s.insert(s.end(), own.begin(), own.end());
    return s;
  }

  std::int32_t LabelScore(std::size_t part, const PartUnit &unit, std::int32_t turn) const {
    std::int32_t score = 0;
    const auto &nodes = p_.Parts[part].Nodes;
    for (std::size_t pin = 0; pin < nodes.size(); ++pin) {
      const std::int32_t net = NetOfPin(unit, turn, pin);
      if (nodes[pin] < 0 || net < 0 || static_cast<std::size_t>(net) >= p_.Labelled.size())
        continue;
      const auto &named = p_.Labelled[static_cast<std::size_t>(net)];
      if (!named.empty())
        score += std::find(named.begin(), named.end(), nodes[pin]) != named.end() ? 1 : -1;
    }
    return score;
  }

  const MatchProblem &p_;
  std::int64_t &steps_;
  std::vector<std::int32_t> partKey_, unitKey_, order_;
  std::vector<std::int64_t> noneLeft_;
  std::vector<std::vector<std::int32_t>> lists_;
  std::unordered_map<std::int64_t, std::int32_t> netLists_;
  std::vector<std::size_t> memberStart_;
  std::vector<std::int32_t> memberList_, memberPos_;
  std::vector<std::int32_t> nodeNet_, netNode_;
  std::vector<std::vector<std::int32_t>> nodeParts_;
  std::vector<std::int32_t> unitOf_;
  std::vector<std::uint8_t> turnOf_;
  std::vector<std::int32_t> pinned_;
  std::vector<std::int32_t> frontier_;
  std::vector<TrailEntry> trail_;
};

} // namespace

PerfectPairing FindPerfectPairing(const MatchProblem &problem, std::int64_t &steps) {
  return Search(problem, steps).Run();
}

} // namespace tarnwick
