#pragma once

// A plain reference checker of automatic layouts, written apart from the layout code: it works
// the copper out strip by strip with a union-find, finds every part by its component, and
// states each placement rule as directly as it can. It returns the first fault it finds, or an
// empty text.
#include "board/board.h"
#include "circuit/circuit_model.h"
#include "document/layout_file.h"
#include "nets/net_check.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace tarnwick::layout_test {

inline std::string Lower(std::string s) {
  for (char &c : s)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

class ReferenceChecker {
public:
  ReferenceChecker(const circuit::Circuit &circuit, const LayoutData &layout)
      : c_(circuit), d_(layout) {}

  std::string Fault() {
    if (d_.PinCount < 10 || d_.PinCount > 40)
      return "rows " + std::to_string(d_.PinCount);
    if (d_.TraceCount < 1 || d_.TraceNames.size() != static_cast<std::size_t>(d_.TraceCount))
      return "traces";
    for (const BoardComponent &k : d_.Components)
      if (std::min(k.StartTrace, k.EndTrace) < 0 ||
          std::max(k.StartTrace, k.EndTrace) >= d_.TraceCount || k.StartPin < 0 ||
          k.StartPin >= d_.PinCount)
        return "component " + k.Name + " off the board";
    BuildCopper();
    for (auto check :
         {&ReferenceChecker::Leads, &ReferenceChecker::Spans, &ReferenceChecker::Parts,
          &ReferenceChecker::Nets, &ReferenceChecker::KeepOuts, &ReferenceChecker::Labels}) {
      std::string f = (this->*check)();
      if (!f.empty())
        return f;
    }
    return {};
  }

private:
  using Hole = std::pair<int, int>; // trace, row

  static bool IsKind(const BoardComponent &k, ComponentKind kind) {
    return k.Kind == static_cast<std::uint8_t>(kind);
  }
  static std::vector<Hole> LeadsOf(const BoardComponent &k) {
    if (IsKind(k, ComponentKind::TraceCut) || IsKind(k, ComponentKind::Label))
      return {};
    if (IsKind(k, ComponentKind::Socket))
      return {{k.StartTrace, k.StartPin}};
    return {{k.StartTrace, k.StartPin}, {k.EndTrace, k.StartPin}};
  }
  int Find(int i) { return parent_[i] == i ? i : parent_[i] = Find(parent_[i]); }
  // Copper: each hole starts as its own node; holes joined down a strip unless either is cut;
  // wires join their two ends.
  void BuildCopper() {
    const int n = d_.TraceCount * d_.PinCount;
    parent_.resize(static_cast<std::size_t>(n));
    std::iota(parent_.begin(), parent_.end(), 0);
    for (const BoardComponent &k : d_.Components)
      if (IsKind(k, ComponentKind::TraceCut))
        for (int t = std::min(k.StartTrace, k.EndTrace); t <= std::max(k.StartTrace, k.EndTrace);
             ++t)
          cut_.insert({t, k.StartPin});
    for (int t = 0; t < d_.TraceCount; ++t)
      for (int r = 0; r + 1 < d_.PinCount; ++r)
        if (!cut_.count({t, r}) && !cut_.count({t, r + 1}))
          parent_[static_cast<std::size_t>(Find(Id({t, r})))] = Find(Id({t, r + 1}));
    for (const BoardComponent &k : d_.Components)
      if (IsKind(k, ComponentKind::Wire))
        parent_[static_cast<std::size_t>(Find(Id({k.StartTrace, k.StartPin})))] =
            Find(Id({k.EndTrace, k.StartPin}));
  }
  int Id(Hole h) const { return h.first * d_.PinCount + h.second; }

  std::string Leads() {
    for (const BoardComponent &k : d_.Components)
      for (const Hole &h : LeadsOf(k)) {
        if (!leads_.insert(h).second)
          return "two leads in one hole";
        if (cut_.count(h))
          return "a lead on a cut hole";
      }
    return {};
  }

  std::string Spans() {
    std::map<int, std::vector<std::pair<int, int>>> rows;
    for (const BoardComponent &k : d_.Components)
      if (!IsKind(k, ComponentKind::Label))
        rows[k.StartPin].push_back(std::minmax(k.StartTrace, k.EndTrace));
    for (auto &[row, spans] : rows) {
      std::sort(spans.begin(), spans.end());
      for (std::size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first <= spans[i - 1].second)
          return "overlapping spans on row " + std::to_string(row);
    }
    return {};
  }

  // Every part found exactly once: sockets by name, two-lead parts by kind, value and nets;
  // every other component a wire, a cut or a label.
  std::string Parts() {
    std::map<std::string, std::size_t> sockets;
    std::vector<bool> used(d_.Components.size(), false);
    for (std::size_t i = 0; i < d_.Components.size(); ++i) {
      const BoardComponent &k = d_.Components[i];
      if (IsKind(k, ComponentKind::Socket) && !sockets.emplace(Lower(k.Name), i).second)
        return "two sockets named " + k.Name;
      if (IsKind(k, ComponentKind::Wire) || IsKind(k, ComponentKind::TraceCut) ||
          IsKind(k, ComponentKind::Label))
        used[i] = true;
    }
    for (const circuit::Part &p : c_.Parts) {
      const circuit::Footprint &fp = circuit::FootprintOf(p.Kind);
      if (fp.Shape == circuit::FootprintShape::TwoLead)
        continue;
      std::vector<Hole> holes;
      const int count = fp.Shape == circuit::FootprintShape::Dip
                            ? circuit::DipTemplatePins(circuit::IcPinCount(p))
                            : static_cast<int>(p.Pins.size());
      for (int n = 0; n < count; ++n) {
        const std::string name =
            fp.Shape == circuit::FootprintShape::Dip
                ? Lower(p.Reference + "." + std::to_string(n + 1))
                : Lower(circuit::PinSocketName(p, p.Pins[static_cast<std::size_t>(n)]));
        const auto it = sockets.find(name);
        if (it == sockets.end())
          return "no socket " + name;
        used[it->second] = true;
        const BoardComponent &k = d_.Components[it->second];
        holes.push_back({k.StartTrace, k.StartPin});
      }
      for (std::size_t n = 0; n < p.Pins.size(); ++n) {
        const Hole h = holes[Dip(fp) ? PinNumber(p, n) - 1 : n];
        pinHoles_.push_back({p.Pins[n].Net, h});
        Claim(p.Pins[n].Net, h);
      }
      for (int n = static_cast<int>(p.Pins.size()); Dip(fp) && n < count; ++n)
        if (!HasPinNumber(p, n + 1))
          pinHoles_.push_back({-1, holes[static_cast<std::size_t>(n)]});
      std::string f = Dip(fp)                                       ? DipShape(p, holes)
                      : fp.Shape == circuit::FootprintShape::InLine ? InLineShape(holes)
                                                                    : std::string();
      if (!f.empty())
        return f;
    }
    // Two-lead parts once the sockets have fixed the copper of their nets.
    std::vector<const circuit::Part *> twoLead;
    for (const circuit::Part &p : c_.Parts)
      if (circuit::FootprintOf(p.Kind).Shape == circuit::FootprintShape::TwoLead)
        twoLead.push_back(&p);
    std::string fault;
    if (!MatchTwoLead(twoLead, 0, used, fault))
      return fault;
    for (std::size_t i = 0; i < used.size(); ++i)
      if (!used[i])
        return "a component no part explains: " + d_.Components[i].Name;
    return {};
  }
  static bool Dip(const circuit::Footprint &fp) { return fp.Shape == circuit::FootprintShape::Dip; }
  static std::size_t PinNumber(const circuit::Part &p, std::size_t n) {
    return static_cast<std::size_t>(std::stoi(p.Pins[n].Name));
  }
  static bool HasPinNumber(const circuit::Part &p, int number) {
    for (const circuit::Pin &pin : p.Pins)
      if (pin.Name == std::to_string(number))
        return true;
    return false;
  }

  // Matches the two-lead parts to components by backtracking: each part to an unused component
  // of its kind and value whose ends lie on copper consistent with the nets matched so far.
  bool MatchTwoLead(const std::vector<const circuit::Part *> &parts, std::size_t k,
                    std::vector<bool> &used, std::string &fault) {
    if (k == parts.size())
      return true;
    const circuit::Part &p = *parts[k];
    const circuit::Footprint &fp = circuit::FootprintOf(p.Kind);
    for (std::size_t i = 0; i < d_.Components.size(); ++i) {
      const BoardComponent &comp = d_.Components[i];
      if (used[i] || comp.Name != p.Value || comp.Kind != static_cast<std::uint8_t>(fp.Component))
        continue;
      const int span = comp.EndTrace - comp.StartTrace;
      if (span < fp.MinSpan || (fp.MinSpan == fp.MaxSpan && span != fp.MinSpan)) {
        fault = "part " + p.Reference + " at span " + std::to_string(span);
        continue;
      }
      if (comp.CapWidth != fp.CapWidth) {
        fault = "part " + p.Reference + " with CapWidth " + std::to_string(comp.CapWidth);
        continue;
      }
      const Hole a{comp.StartTrace, comp.StartPin}, b{comp.EndTrace, comp.StartPin};
      // A polar part must have its first pin at the start; the other may lie either way.
      for (int way = 0; way < (fp.Polar ? 1 : 2); ++way) {
        const Hole first = way ? b : a, second = way ? a : b;
        const auto savedRoot = rootOf_;
        const auto savedNet = netOn_;
        if (!Joined(p.Pins[0].Net, first))
          continue;
        Claim(p.Pins[0].Net, first);
        if (Joined(p.Pins[1].Net, second)) {
          Claim(p.Pins[1].Net, second);
          used[i] = true;
          pinHoles_.push_back({p.Pins[0].Net, first});
          pinHoles_.push_back({p.Pins[1].Net, second});
          if (MatchTwoLead(parts, k + 1, used, fault))
            return true;
          pinHoles_.resize(pinHoles_.size() - 2);
          used[i] = false;
        }
        rootOf_ = savedRoot;
        netOn_ = savedNet;
      }
    }
    if (fault.empty())
      fault = "no component for part " + p.Reference;
    return false;
  }
  // Whether a hole's copper may be a net's: that of the net's pins found so far, or copper no
  // other net's pins lie on. Nets() checks the whole again at the end.
  bool Joined(int net, Hole hole) {
    if (net < 0)
      return true;
    const int root = Find(Id(hole));
    const auto it = rootOf_.find(net);
    if (it != rootOf_.end())
      return it->second == root;
    const auto other = netOn_.find(root);
    return other == netOn_.end() || other->second == net;
  }
  void Claim(int net, Hole hole) {
    if (net < 0)
      return;
    const int root = Find(Id(hole));
    rootOf_.emplace(net, root);
    netOn_.emplace(root, net);
  }

  std::string DipShape(const circuit::Part &p, const std::vector<Hole> &holes) {
    const int n = static_cast<int>(holes.size()), w = n / 2;
    const Hole one = holes[0];
    for (int k = 1; k <= n; ++k) {
      const Hole want =
          k <= w ? Hole{one.first + k - 1, one.second} : Hole{one.first + n - k, one.second - 3};
      if (holes[static_cast<std::size_t>(k - 1)] != want)
        return "part " + p.Reference + " is not in its DIP shape";
    }
    for (int t = one.first; t < one.first + w; ++t)
      if (!cut_.count({t, one.second - 1}))
        return "part " + p.Reference + " without its cut";
    dips_.push_back({p.Reference, one.first, one.second - 3, one.first + w - 1, one.second});
    return {};
  }
  static std::string InLineShape(const std::vector<Hole> &h) {
    const int step = h[1].first - h[0].first;
    if ((step != 1 && step != -1) || h[2].first - h[1].first != step ||
        h[0].second != h[1].second || h[1].second != h[2].second)
      return "an in-line part not in line";
    return {};
  }

  // The copper: pins of one net together, of two nets apart, an unconnected pin alone.
  std::string Nets() {
    std::map<int, int> rootOfNet;
    std::map<int, int> netOfRoot;
    for (const auto &[net, hole] : pinHoles_) {
      const int root = Find(Id(hole));
      if (net < 0) {
        for (const Hole &other : leads_)
          if (other != hole && Find(Id(other)) == root)
            return "an unconnected pin shares its copper";
        continue;
      }
      if (rootOfNet.emplace(net, root).first->second != root)
        return "net " + c_.Nets[static_cast<std::size_t>(net)] + " is open";
      if (netOfRoot.emplace(root, net).first->second != net)
        return "nets " + c_.Nets[static_cast<std::size_t>(net)] + " and " +
               c_.Nets[static_cast<std::size_t>(netOfRoot[root])] + " are shorted";
    }
    return {};
  }

  // Nothing inside a DIP socket but its own pins, cut and label; no lead inside a radial
  // electrolytic's body (the holes beside its leads on the rows above and below).
  std::string KeepOuts() {
    for (const BoardComponent &k : d_.Components) {
      const auto [lo, hi] = std::minmax(k.StartTrace, k.EndTrace);
      for (const DipBox &dip : dips_) {
        const bool own = Lower(k.Name).rfind(Lower(dip.Ref) + ".", 0) == 0 ||
                         IsKind(k, ComponentKind::Label) ||
                         (IsKind(k, ComponentKind::TraceCut) && k.StartPin == dip.Bottom - 1);
        if (!own && k.StartPin >= dip.Top && k.StartPin <= dip.Bottom && hi >= dip.Left &&
            lo <= dip.Right)
          return "a component inside the socket of " + dip.Ref;
      }
      if (IsKind(k, ComponentKind::ElectrolyticRadial))
        for (const Hole &h : leads_)
          if ((h.second == k.StartPin - 1 || h.second == k.StartPin + 1) && h.first >= lo &&
              h.first <= hi)
            return "a lead inside the body of " + k.Name;
    }
    return {};
  }

  // A trace label names the one net whose pins lie on that strip.
  std::string Labels() {
    for (int t = 0; t < d_.TraceCount; ++t) {
      const std::string &label = d_.TraceNames[static_cast<std::size_t>(t)];
      if (label.empty())
        continue;
      for (const auto &[net, hole] : pinHoles_)
        if (hole.first == t && (net < 0 || c_.Nets[static_cast<std::size_t>(net)] != label))
          return "trace " + std::to_string(t) + " labelled " + label + " holds another net";
      if (std::none_of(pinHoles_.begin(), pinHoles_.end(),
                       [&](const auto &pin) { return pin.second.first == t; }))
        return "trace " + std::to_string(t) + " labelled " + label + " holds no pin";
    }
    return {};
  }

  struct DipBox {
    std::string Ref;
    int Left, Top, Right, Bottom;
  };
  const circuit::Circuit &c_;
  const LayoutData &d_;
  std::vector<int> parent_;
  std::set<Hole> cut_, leads_;
  std::vector<std::pair<int, Hole>> pinHoles_;
  std::map<int, int> rootOf_, netOn_;
  std::vector<DipBox> dips_;
};

inline std::string ReferenceFault(const circuit::Circuit &circuit, const LayoutData &layout) {
  return ReferenceChecker(circuit, layout).Fault();
}

// The project's own check of the board against the circuit: its report when the board does not
// implement it, or an empty text.
inline std::string CheckFault(const circuit::Circuit &circuit, const LayoutData &layout) {
  Board board;
  BuildBoard(layout, board);
  const CheckReport report = CheckLayout(board, circuit);
  return report.Implements() ? std::string() : ReportText(report);
}

} // namespace tarnwick::layout_test
