// The search's own check of every board it offers.
#include "layout/layout_board.h"
#include "nets/copper.h"

#include <algorithm>
#include <map>
#include <set>

namespace tarnwick::layout {
namespace {

struct Hole {
  std::int32_t Trace, Row;
  auto operator<=>(const Hole &) const = default;
};

// The holes that hold a lead: both ends of a two-lead part or a link, a socket's one hole.
std::vector<Hole> LeadHoles(const BoardComponent &c) {
  if (c.Is(ComponentKind::TraceCut) || c.Is(ComponentKind::Label))
    return {};
  if (c.Is(ComponentKind::Socket))
    return {{c.StartTrace, c.StartPin}};
  return {{c.StartTrace, c.StartPin}, {c.EndTrace, c.StartPin}};
}

std::string CheckCopper(const LayoutProblem &problem, const MadeBoard &b, const Board &board) {
  const Copper copper(board);
  std::map<std::int32_t, std::int32_t> copperOf; // problem net -> copper net
  std::map<std::int32_t, std::int32_t> netOf;    // copper net -> problem net
  for (const BoardPin &p : b.Pins) {
    const std::int32_t c = copper.NetAt(p.Trace, p.Row);
    if (c < 0)
      return "a pin lies on a cut or off the board";
    const auto [i, newNet] = copperOf.emplace(p.Net, c);
    const auto [j, newCopper] = netOf.emplace(c, p.Net);
    if (i->second != c)
      return "the pins of net " + problem.NetNames[static_cast<std::size_t>(p.Net)] +
             " are not joined";
    if (j->second != p.Net)
      return "two nets share copper";
    (void)newNet;
    (void)newCopper;
  }
  for (const BoardComponent &c : b.Layout.Components)
    for (const Hole &h : LeadHoles(c))
      if (copper.NetAt(h.Trace, h.Row) < 0)
        return "a lead lies on a cut or off the board";
  return {};
}

std::string CheckGeometry(const LayoutProblem &problem, const MadeBoard &b) {
  const LayoutData &d = b.Layout;
  std::set<Hole> leads;
  std::map<std::int32_t, std::vector<std::pair<std::int32_t, std::int32_t>>> spans;
  for (const BoardComponent &c : d.Components) {
    const auto [lo, hi] = std::minmax(c.StartTrace, c.EndTrace);
    if (lo < 0 || hi >= d.TraceCount || c.StartPin < 0 || c.StartPin >= d.PinCount)
      return "a component lies off the board";
    for (const Hole &h : LeadHoles(c))
      if (!leads.insert(h).second)
        return "two leads share a hole";
    if (!c.Is(ComponentKind::Label))
      spans[c.StartPin].push_back({lo, hi});
  }
  for (auto &[row, list] : spans) {
    std::sort(list.begin(), list.end());
    for (std::size_t i = 1; i < list.size(); ++i)
      if (list[i].first <= list[i - 1].second)
        return "two components overlap on row " + std::to_string(row + 1);
  }
  // Keep-outs: a DIP socket's rectangle and a radial electrolytic's body hold no other lead.
  for (std::size_t i = 0; i < d.Components.size(); ++i) {
    const BoardComponent &c = d.Components[i];
    const std::int32_t owner = b.Owner[i];
    if (owner < 0)
      continue;
    const bool radial = c.Is(ComponentKind::ElectrolyticRadial);
    const bool dipCut = c.Is(ComponentKind::TraceCut);
    if (!radial && !dipCut)
      continue;
    const std::int32_t t0 = std::min(c.StartTrace, c.EndTrace);
    const std::int32_t t1 = std::max(c.StartTrace, c.EndTrace);
    const std::int32_t r0 = radial ? c.StartPin - 1 : c.StartPin - 2;
    const std::int32_t r1 = radial ? c.StartPin + 1 : c.StartPin + 1;
    for (std::size_t k = 0; k < d.Components.size(); ++k) {
      if (b.Owner[k] == owner)
        continue;
      for (const Hole &h : LeadHoles(d.Components[k]))
        if (h.Trace >= t0 && h.Trace <= t1 && h.Row >= r0 && h.Row <= r1)
          return "a lead lies inside the body of another part";
    }
  }
  (void)problem;
  return {};
}

} // namespace

std::string FaultOf(const LayoutProblem &problem, const MadeBoard &b) {
  if (b.Layout.PinCount < MinBoardRows || b.Layout.PinCount > MaxBoardRows)
    return "the board has " + std::to_string(b.Layout.PinCount) + " rows";
  std::string fault = CheckGeometry(problem, b);
  if (!fault.empty())
    return fault;
  Board board;
  BuildBoard(b.Layout, board);
  return CheckCopper(problem, b, board);
}

} // namespace tarnwick::layout
