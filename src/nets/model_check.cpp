// The check against the one circuit model: which components and sockets of a board may stand
// for which parts, by the footprint table.
#include "nets/check_input.h"
#include "nets/net_check.h"

#include <map>
#include <tuple>
#include <unordered_map>

namespace tarnwick {
namespace {

using circuit::FootprintOf;
using circuit::FootprintShape;
using circuit::PartKind;

// A layout may hold kinds this program does not know (any byte); they match no part.
constexpr std::uint32_t Bit(ComponentKind kind) {
  return static_cast<unsigned>(kind) < 32 ? 1u << static_cast<unsigned>(kind) : 0;
}

// The two-lead kinds' masks of components that may stand for them; a component belongs to the
// first that holds it.
std::uint32_t MaskOf(const BoardComponent &c) {
  for (const PartKind kind : {PartKind::Resistor, PartKind::FilmCapacitor, PartKind::Electrolytic,
                              PartKind::Diode, PartKind::Led}) {
    const circuit::Footprint &fp = FootprintOf(kind);
    if (fp.Matches & Bit(c.kind()))
      return fp.Matches;
  }
  return 0;
}

class InputBuilder {
public:
  InputBuilder(const Board &board, const Copper &copper, const circuit::Circuit &circuit)
      : board_(board), copper_(copper), circuit_(circuit) {}

  CheckInput Build() {
    in_.Nodes = circuit_.Nets;
    in_.Problem.NodeCount = static_cast<std::int32_t>(circuit_.Nets.size());
    in_.Problem.NetCount = copper_.NetCount();
    for (const circuit::UnreadLine &line : circuit_.Unread)
      in_.Unchecked.push_back({line.Line, line.Text});
    CollectSockets();
    for (std::size_t p = 0; p < circuit_.Parts.size(); ++p)
      AddPart(p);
    AddTwoLeadUnits();
    AddLeftSockets();
    LabelNets();
    return std::move(in_);
  }

private:
  // Keys: two-lead parts by mask and value, sockets of one name taken in threes, and the pin
  // sockets of one part.
  enum Family { TwoLead, NamedSockets, PinSockets };
  std::int32_t Key(Family family, std::uint32_t n, const std::string &name) {
    return keys_.emplace(std::make_tuple(family, n, name), static_cast<std::int32_t>(keys_.size()))
        .first->second;
  }

  void CollectSockets() {
    for (std::int32_t i = 0; i < board_.ComponentCount(); ++i)
      if (board_.GetComponent(i).Is(ComponentKind::Socket))
        sockets_[LowerCase(board_.GetComponent(i).Name)].push_back(i);
    for (auto &[name, list] : sockets_)
      taken_[name].assign(list.size(), false);
  }

  // The first socket of this name no pin has taken yet, or -1.
  std::int32_t TakeSocket(const std::string &name) {
    const auto it = sockets_.find(name);
    if (it == sockets_.end())
      return -1;
    auto &taken = taken_[name];
    for (std::size_t k = 0; k < it->second.size(); ++k) {
      if (!taken[k]) {
        taken[k] = true;
        return it->second[k];
      }
    }
    return -1;
  }

  std::int32_t NetOfSocket(std::int32_t component) const {
    const BoardComponent &c = board_.GetComponent(component);
    return copper_.NetAt(c.StartTrace, c.StartPin);
  }

  void AddPart(std::size_t index) {
    const circuit::Part &part = circuit_.Parts[index];
    MatchPart match;
    for (const circuit::Pin &pin : part.Pins)
      match.Nodes.push_back(pin.Net);
    CheckedPart checked{part.Reference, part.Value, Placement::TwoLead, {}};
    const circuit::Footprint &fp = FootprintOf(part.Kind);
    if (fp.Shape == FootprintShape::TwoLead) {
      match.Key = Key(TwoLead, fp.Matches, LowerCase(part.Value));
    } else {
      // The sockets named after its pins; a transistor without them may have the three the
      // import makes, named <ref>_1.
      PartUnit unit;
      unit.Key = Key(PinSockets, static_cast<std::uint32_t>(index), {});
      bool any = false;
      for (const circuit::Pin &pin : part.Pins) {
        checked.PinSockets.push_back(circuit::PinSocketName(part, pin));
        const std::int32_t socket = TakeSocket(LowerCase(checked.PinSockets.back()));
        any = any || socket >= 0;
        unit.Components.push_back(socket);
        unit.Nets.push_back(socket >= 0 ? NetOfSocket(socket) : AbsentEnd);
      }
      checked.How = Placement::PinSockets;
      match.Key = unit.Key;
      if (any) {
        in_.Problem.Units.push_back(std::move(unit));
      } else if (part.Kind == PartKind::InLine) {
        checked.How = Placement::OrderedSockets;
        checked.Value = LowerCase(part.Reference) + "_1";
        match.Key = Key(NamedSockets, 0, checked.Value);
      }
    }
    in_.Parts.push_back(std::move(checked));
    in_.Problem.Parts.push_back(std::move(match));
  }

  void AddTwoLeadUnits() {
    for (std::int32_t i = 0; i < board_.ComponentCount(); ++i) {
      const BoardComponent &c = board_.GetComponent(i);
      const std::uint32_t mask = MaskOf(c);
      if (c.Is(ComponentKind::Socket) || TerminalCount(c) != 2 || mask == 0)
        continue;
      PartUnit u;
      u.Key = Key(TwoLead, mask, LowerCase(c.Name));
      u.Turns = c.Is(ComponentKind::Resistor) || c.Is(ComponentKind::Capacitor) ? UnitTurns::Either
                                                                                : UnitTurns::Polar;
      u.Components = {i, i};
      u.Nets = {copper_.NetAt(c.StartTrace, c.StartPin), copper_.NetAt(c.EndTrace, c.StartPin)};
      in_.Problem.Units.push_back(std::move(u));
    }
  }

  // Sockets no pin took: three of one name stand for a transistor, in list order.
  void AddLeftSockets() {
    for (const auto &[name, list] : sockets_) {
      std::vector<std::int32_t> left;
      for (std::size_t k = 0; k < list.size(); ++k)
        if (!taken_[name][k])
          left.push_back(list[k]);
      for (std::size_t k = 0; k < left.size(); k += 3) {
        PartUnit u;
        u.Key = Key(NamedSockets, 0, name);
        u.Turns = UnitTurns::Ordered;
        for (std::size_t j = k; j < left.size() && j < k + 3; ++j) {
          u.Components.push_back(left[j]);
          u.Nets.push_back(NetOfSocket(left[j]));
        }
        in_.Problem.Units.push_back(std::move(u));
      }
    }
  }

  // Per net, the nodes whose name is one of its trace labels; the import labels ground "GND".
  void LabelNets() {
    std::unordered_map<std::string, std::int32_t> byName;
    for (std::size_t n = 0; n < circuit_.Nets.size(); ++n)
      byName.emplace(LowerCase(circuit_.Nets[n]), static_cast<std::int32_t>(n));
    auto &labelled = in_.Problem.Labelled;
    labelled.resize(static_cast<std::size_t>(copper_.NetCount()));
    for (std::int32_t net = 0; net < copper_.NetCount(); ++net) {
      for (const std::string &label : copper_.Labels(net)) {
        const std::string name = LowerCase(label);
        auto it = byName.find(name);
        if (it == byName.end() && name == "gnd")
          it = byName.find("0");
        if (it != byName.end())
          labelled[static_cast<std::size_t>(net)].push_back(it->second);
      }
    }
  }

  const Board &board_;
  const Copper &copper_;
  const circuit::Circuit &circuit_;
  CheckInput in_;
  std::map<std::tuple<Family, std::uint32_t, std::string>, std::int32_t> keys_;
  std::map<std::string, std::vector<std::int32_t>> sockets_; // by lower-case name, list order
  std::map<std::string, std::vector<bool>> taken_;
};

} // namespace

CheckReport CheckLayout(const Board &board, const circuit::Circuit &circuit,
                        const CheckLimits &limits) {
  const Copper copper(board);
  return CheckInputAgainst(board, copper, InputBuilder(board, copper, circuit).Build(), limits);
}

} // namespace tarnwick
