#include "nets/copper.h"

#include <algorithm>

namespace tarnwick {
namespace {

std::int32_t Root(std::vector<std::int32_t> &parent, std::int32_t i) {
  while (parent[static_cast<std::size_t>(i)] != i) {
    auto &p = parent[static_cast<std::size_t>(i)];
    p = parent[static_cast<std::size_t>(p)]; // halving keeps the chains short
    i = p;
  }
  return i;
}

void Join(std::vector<std::int32_t> &parent, std::int32_t a, std::int32_t b) {
  a = Root(parent, a);
  b = Root(parent, b);
  // The lower id stays the root, so the numbering does not depend on the order of the wires.
  if (a < b)
    parent[static_cast<std::size_t>(b)] = a;
  else if (b < a)
    parent[static_cast<std::size_t>(a)] = b;
}

bool SameIgnoringCase(const std::string &a, const std::string &b) {
  return LowerCase(a) == LowerCase(b);
}

} // namespace

std::string LowerCase(std::string s) {
  for (char &c : s)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::int32_t TerminalCount(const BoardComponent &c) {
  switch (c.kind()) {
  case ComponentKind::Resistor:
  case ComponentKind::Capacitor:
  case ComponentKind::ElectrolyticAxial:
  case ComponentKind::ElectrolyticRadial:
  case ComponentKind::Diode:
    return 2;
  case ComponentKind::Socket:
    return 1;
  default:
    return 0;
  }
}

Copper::Copper(const Board &board) : traces_(board.TraceCount()), pins_(board.PinCount()) {
  FindCuts(board);
  islandBase_.resize(static_cast<std::size_t>(traces_) + 1);
  std::int32_t islands = 0;
  for (std::int32_t t = 0; t < traces_; ++t) {
    islandBase_[static_cast<std::size_t>(t)] = islands;
    islands += static_cast<std::int32_t>(cuts_[static_cast<std::size_t>(t)].size()) + 1;
  }
  islandBase_[static_cast<std::size_t>(traces_)] = islands;
  std::vector<std::int32_t> parent(static_cast<std::size_t>(islands));
  for (std::int32_t i = 0; i < islands; ++i)
    parent[static_cast<std::size_t>(i)] = i;
  JoinWires(board, parent);
  NumberNets(board, parent);
  CollectTerminals(board);
}

void Copper::FindCuts(const Board &board) {
  cuts_.assign(static_cast<std::size_t>(std::max(traces_, 0)), {});
  std::int64_t holes = 0;
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    if (!c.Is(ComponentKind::TraceCut) || c.StartPin < 0 || c.StartPin >= pins_)
      continue;
    const auto [lo, hi] = std::minmax(c.StartTrace, c.EndTrace);
    const std::int32_t first = std::max(lo, 0), last = std::min(hi, traces_ - 1);
    holes += std::max(0, last - first + 1);
    if (holes > MaxCutHoles)
      throw TarnwickError("The board's trace cuts cover more than " + std::to_string(MaxCutHoles) +
                          " holes; its nets are not worked out.");
    for (std::int32_t t = first; t <= last; ++t)
      cuts_[static_cast<std::size_t>(t)].push_back(c.StartPin);
  }
  for (auto &rows : cuts_) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  }
}

EndFault Copper::FaultAt(std::int32_t trace, std::int32_t pin) const {
  if (trace < 0 || trace >= traces_ || pin < 0 || pin >= pins_)
    return EndFault::OffBoard;
  const auto &rows = cuts_[static_cast<std::size_t>(trace)];
  return std::binary_search(rows.begin(), rows.end(), pin) ? EndFault::OnCut : EndFault::None;
}

std::int32_t Copper::IslandAt(std::int32_t trace, std::int32_t pin) const {
  if (FaultAt(trace, pin) != EndFault::None)
    return -1;
  const auto &rows = cuts_[static_cast<std::size_t>(trace)];
  const auto below = std::lower_bound(rows.begin(), rows.end(), pin) - rows.begin();
  return islandBase_[static_cast<std::size_t>(trace)] + static_cast<std::int32_t>(below);
}

std::int32_t Copper::NetAt(std::int32_t trace, std::int32_t pin) const {
  const std::int32_t island = IslandAt(trace, pin);
  return island < 0 ? -1 : islandNet_[static_cast<std::size_t>(island)];
}

void Copper::JoinWires(const Board &board, std::vector<std::int32_t> &parent) {
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    if (!c.Is(ComponentKind::Wire))
      continue;
    const std::int32_t a = IslandAt(c.StartTrace, c.StartPin);
    const std::int32_t b = IslandAt(c.EndTrace, c.StartPin);
    for (const auto &[trace, island] : {std::pair{c.StartTrace, a}, std::pair{c.EndTrace, b}})
      if (island < 0)
        looseWireEnds_.push_back({i, trace, c.StartPin, FaultAt(trace, c.StartPin)});
    if (a >= 0 && b >= 0)
      Join(parent, a, b);
  }
}

void Copper::NumberNets(const Board &board, std::vector<std::int32_t> &parent) {
  islandNet_.assign(parent.size(), -1);
  for (std::int32_t t = 0; t < traces_; ++t) {
    const auto &rows = cuts_[static_cast<std::size_t>(t)];
    const std::string &label = board.GetTrace(t).Name;
    for (std::size_t k = 0; k <= rows.size(); ++k) {
      const std::int32_t first = k == 0 ? 0 : rows[k - 1] + 1;
      const std::int32_t last = k == rows.size() ? pins_ - 1 : rows[k] - 1;
      if (first > last)
        continue; // no copper between two neighbouring cuts
      const std::int32_t island =
          islandBase_[static_cast<std::size_t>(t)] + static_cast<std::int32_t>(k);
      const std::int32_t root = Root(parent, island);
      auto &net = islandNet_[static_cast<std::size_t>(root)];
      if (net < 0) {
        net = NetCount();
        netIslands_.emplace_back();
        netLabels_.emplace_back();
      }
      islandNet_[static_cast<std::size_t>(island)] = net;
      netIslands_[static_cast<std::size_t>(net)].push_back({t, first, last});
      auto &labels = netLabels_[static_cast<std::size_t>(net)];
      if (!label.empty() && std::none_of(labels.begin(), labels.end(), [&](const std::string &l) {
            return SameIgnoringCase(l, label);
          }))
        labels.push_back(label);
    }
  }
}

void Copper::CollectTerminals(const Board &board) {
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    const std::int32_t count = TerminalCount(c);
    for (std::int32_t n = 0; n < count; ++n) {
      Terminal end{i, n, n == 0 ? c.StartTrace : c.EndTrace, c.StartPin};
      end.Fault = FaultAt(end.Trace, end.Pin);
      end.Net = NetAt(end.Trace, end.Pin);
      terminals_.push_back(end);
    }
  }
}

const std::vector<CopperSpan> &Copper::Islands(std::int32_t net) const {
  return netIslands_.at(static_cast<std::size_t>(net));
}

const std::vector<std::string> &Copper::Labels(std::int32_t net) const {
  return netLabels_.at(static_cast<std::size_t>(net));
}

std::vector<CopperSpan> MarkedCopper(const Board &board) {
  std::vector<CopperSpan> spans = board.Tint.Copper;
  const std::int32_t t = board.HighlightTrace, p = board.ClickedPin;
  if (!board.ShowNets() || t < 0 || t >= board.TraceCount() || p < 0 || p >= board.PinCount())
    return spans;
  try {
    const Copper copper(board);
    if (const std::int32_t net = copper.NetAt(t, p); net >= 0)
      spans.insert(spans.end(), copper.Islands(net).begin(), copper.Islands(net).end());
  } catch (const TarnwickError &) {
    // The check reports why; the drawing goes on without the net.
  }
  return spans;
}

} // namespace tarnwick
