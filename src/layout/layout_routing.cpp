#include "layout/layout_routing.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace tarnwick::layout {
namespace {

struct UnionFind {
  explicit UnionFind(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
  std::size_t Find(std::size_t i) {
    while (parent[i] != i)
      i = parent[i] = parent[parent[i]];
    return i;
  }
  void Join(std::size_t a, std::size_t b) { parent[Find(a)] = Find(b); }
  std::vector<std::size_t> parent;
};

// A way to join two islands: one link, or two through a free stretch of a third strip.
struct Route {
  std::int64_t Score = std::numeric_limits<std::int64_t>::max();
  std::vector<Link> Links;
};

bool EndFits(const Grid &grid, std::int32_t t, std::int32_t r, std::int32_t net) {
  return grid.LeadFits(t, r, net) && !grid.Covered(t, r);
}

void TryDirect(const Grid &grid, const Island &a, const Island &b, Route &best) {
  if (a.Trace == b.Trace)
    return;
  const std::int32_t from = std::min(a.Trace, b.Trace), to = std::max(a.Trace, b.Trace);
  for (std::int32_t r = std::max(a.Top, b.Top); r <= std::min(a.Bottom, b.Bottom); ++r) {
    if (!EndFits(grid, a.Trace, r, a.Net) || !EndFits(grid, b.Trace, r, a.Net) ||
        !grid.RowFree(r, from, to))
      continue;
    const std::int64_t score = grid.Bounds().With(from, r, to, r).Area() * 1000 + 100 + (to - from);
    if (score < best.Score)
      best = {score, {{r, from, to}}};
  }
}

// The free stretch of strip u around row r: the rows between the nearest leads or cuts above
// and below, and whether a lead of `net` there would split another net's island.
struct Stretch {
  std::int32_t First = 0, Last = 0;
  bool Usable = false;
};

Stretch StretchAround(const Grid &grid, std::int32_t u, std::int32_t r, std::int32_t net) {
  Stretch s;
  if (grid.LeadNet(u, r) != NoNet || grid.TemplateCut(u, r))
    return s;
  const StripNeighbours n = grid.Neighbours(u, r);
  if (n.AboveNet != NoNet && n.AboveNet == n.BelowNet && n.AboveNet != net)
    return s;
  s.First = n.AboveNet != NoNet ? n.AboveRow + (n.AboveNet == net ? 1 : 2) : n.Top;
  s.Last = n.BelowNet != NoNet ? n.BelowRow - (n.BelowNet == net ? 1 : 2) : n.Bottom;
  s.Usable = s.First <= s.Last;
  return s;
}

// The traces a link on row r may reach from trace t: the free holes on either side of it.
struct Reach {
  std::int32_t Left = 0, Right = -1; // empty when the hole itself is covered
  bool Holds(std::int32_t u) const { return Left <= u && u <= Right; }
};

Reach ReachOf(const Grid &grid, std::int32_t t, std::int32_t r) {
  Reach reach;
  if (grid.Covered(t, r))
    return reach;
  reach.Left = reach.Right = t;
  while (reach.Left > 0 && !grid.Covered(reach.Left - 1, r))
    --reach.Left;
  while (reach.Right + 1 < grid.Traces() && !grid.Covered(reach.Right + 1, r))
    ++reach.Right;
  return reach;
}

// Two links through a free stretch of a third strip u: from island a on row ra to u, and from
// u to island b on row rb.
void TryThrough(const Grid &grid, const Island &a, const Island &b, Route &best) {
  const Rect &area = grid.Bounds();
  const std::int32_t u0 = std::max(0, area.Left - 2);
  const std::int32_t u1 = std::min(grid.Traces() - 1, area.Right + 2);
  std::vector<Reach> reachB(static_cast<std::size_t>(grid.Rows()));
  for (std::int32_t rb = b.Top; rb <= b.Bottom; ++rb)
    if (EndFits(grid, b.Trace, rb, a.Net))
      reachB[static_cast<std::size_t>(rb)] = ReachOf(grid, b.Trace, rb);
  for (std::int32_t ra = a.Top; ra <= a.Bottom; ++ra) {
    if (!EndFits(grid, a.Trace, ra, a.Net))
      continue;
    const Reach reachA = ReachOf(grid, a.Trace, ra);
    for (std::int32_t u = std::max(u0, reachA.Left); u <= std::min(u1, reachA.Right); ++u) {
      if (u == a.Trace || u == b.Trace)
        continue;
      const Stretch s = StretchAround(grid, u, ra, a.Net);
      if (!s.Usable || ra < s.First || ra > s.Last)
        continue;
      const Link first{ra, std::min(a.Trace, u), std::max(a.Trace, u)};
      const Rect withFirst = area.With(first.From, ra, first.To, ra);
      for (std::int32_t rb = std::max(b.Top, s.First); rb <= std::min(b.Bottom, s.Last); ++rb) {
        if (rb == ra || !reachB[static_cast<std::size_t>(rb)].Holds(u))
          continue;
        const Link second{rb, std::min(b.Trace, u), std::max(b.Trace, u)};
        const std::int64_t score = withFirst.With(second.From, rb, second.To, rb).Area() * 1000 +
                                   200 + (first.To - first.From) + (second.To - second.From);
        if (score < best.Score)
          best = {score, {first, second}};
      }
    }
  }
}

// The islands of `net` and, for each, the group of islands the links join it to.
struct NetGroups {
  std::vector<Island> Islands;
  std::vector<std::size_t> Group;
  bool Joined() const {
    return std::all_of(Group.begin(), Group.end(), [&](std::size_t g) { return g == Group[0]; });
  }
};

NetGroups GroupsOf(const Grid &grid, std::int32_t net, const std::vector<Link> &links) {
  NetGroups g;
  for (const Island &i : FindIslands(grid))
    if (i.Net == net)
      g.Islands.push_back(i);
  UnionFind uf(g.Islands.size());
  const auto islandAt = [&](std::int32_t t, std::int32_t r) {
    for (std::size_t k = 0; k < g.Islands.size(); ++k)
      if (g.Islands[k].Trace == t && g.Islands[k].Top <= r && r <= g.Islands[k].Bottom)
        return k;
    return g.Islands.size();
  };
  for (const Link &l : links) {
    if (grid.LeadNet(l.From, l.Row) != net)
      continue;
    const std::size_t a = islandAt(l.From, l.Row), b = islandAt(l.To, l.Row);
    if (a < g.Islands.size() && b < g.Islands.size())
      uf.Join(a, b);
  }
  for (std::size_t k = 0; k < g.Islands.size(); ++k)
    g.Group.push_back(uf.Find(k));
  return g;
}

Route BestRoute(const Grid &grid, const NetGroups &g) {
  Route best;
  for (int through = 0; through < 2 && best.Links.empty(); ++through)
    for (std::size_t i = 0; i < g.Islands.size(); ++i)
      for (std::size_t j = i + 1; j < g.Islands.size(); ++j) {
        if (g.Group[i] == g.Group[j])
          continue;
        if (through)
          TryThrough(grid, g.Islands[i], g.Islands[j], best);
        else
          TryDirect(grid, g.Islands[i], g.Islands[j], best);
      }
  return best;
}

} // namespace

bool Reachable(const Grid &grid, const Island &island) {
  const Rect &area = grid.Bounds();
  for (std::int32_t r = island.Top; r <= island.Bottom; ++r) {
    if (!EndFits(grid, island.Trace, r, island.Net))
      continue;
    const Reach reach = ReachOf(grid, island.Trace, r);
    for (std::int32_t u = reach.Left; u <= reach.Right; ++u) {
      if (u == island.Trace)
        continue;
      if (u < area.Left || u > area.Right)
        return true; // a strip with nothing on it yet
      const Stretch s = StretchAround(grid, u, r, island.Net);
      if (s.Usable && s.First <= r && r <= s.Last)
        return true;
    }
  }
  return false;
}

std::vector<Island> FindIslands(const Grid &grid) {
  std::vector<Island> islands;
  const Rect &area = grid.Bounds(); // no lead lies outside it
  for (std::int32_t t = std::max(area.Left, 0); t <= area.Right; ++t) {
    bool open = false;
    std::int32_t top = 0; // where the next island's copper may begin
    for (std::int32_t r = 0; r < grid.Rows(); ++r) {
      if (grid.TemplateCut(t, r)) {
        if (open)
          islands.back().Bottom = r - 1;
        open = false;
        top = r + 1;
        continue;
      }
      const std::int32_t net = grid.LeadNet(t, r);
      if (net == NoNet)
        continue;
      if (open && islands.back().Net == net) {
        islands.back().Last = r;
        continue;
      }
      if (open) {
        islands.back().Bottom = r - 2;
        top = islands.back().Last + 2;
      }
      islands.push_back({t, net, r, r, top, grid.Rows() - 1});
      open = true;
    }
  }
  return islands;
}

bool RouteLinks(Grid &grid, const std::vector<std::int32_t> &nets, std::vector<Link> &links,
                std::int32_t &failedNet) {
  for (const std::int32_t net : nets) {
    for (;;) {
      const NetGroups g = GroupsOf(grid, net, links);
      if (g.Islands.size() < 2 || g.Joined())
        break;
      const Route route = BestRoute(grid, g);
      if (route.Links.empty()) {
        failedNet = net;
        return false;
      }
      for (const Link &l : route.Links) {
        grid.Cover(l.Row, l.From, l.To);
        grid.PutLead(l.From, l.Row, net);
        grid.PutLead(l.To, l.Row, net);
        grid.Extend(l.From, l.Row, l.To, l.Row);
        links.push_back(l);
      }
    }
  }
  return true;
}

std::vector<Cut> PlaceCuts(const Grid &grid) {
  std::vector<Cut> cuts;
  const Rect &area = grid.Bounds();
  for (std::int32_t t = std::max(area.Left, 0); t <= area.Right; ++t) {
    std::int32_t lastNet = NoNet, lastRow = -1;
    for (std::int32_t r = 0; r < grid.Rows(); ++r) {
      if (grid.TemplateCut(t, r)) {
        lastNet = NoNet;
        continue;
      }
      const std::int32_t net = grid.LeadNet(t, r);
      if (net == NoNet)
        continue;
      if (lastNet != NoNet && net != lastNet) {
        // A hole no component lies over, if the stretch between the two leads has one.
        std::int32_t row = lastRow + 1;
        while (row < r && grid.Covered(t, row))
          ++row;
        cuts.push_back({t, row < r ? row : lastRow + 1});
      }
      lastNet = net;
      lastRow = r;
    }
  }
  return cuts;
}

} // namespace tarnwick::layout
