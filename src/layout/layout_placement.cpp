#include "layout/layout_placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace tarnwick::layout {
namespace {

bool ShapeFits(const Shape &shape, std::int32_t t, std::int32_t r, const Grid &grid) {
  if (t < 0 || r < 0 || t + shape.Width > grid.Traces() || r + shape.Height > grid.Rows())
    return false;
  for (const ShapeSpan &s : shape.Spans) {
    const std::int32_t row = r + s.Dy;
    if (row < 0 || row >= grid.Rows())
      continue; // a body overhanging the board's edge covers nothing there
    if (!grid.RowFree(row, t + s.Dx0, t + s.Dx1))
      return false;
  }
  for (const ShapeSpan &s : shape.Spans)
    for (std::int32_t x = t + s.Dx0; x <= t + s.Dx1; ++x)
      if (grid.Inside(x, r + s.Dy) && grid.LeadNet(x, r + s.Dy) == NoNet &&
          grid.LastGap(x, r + s.Dy))
        return false;
  for (const ShapePin &p : shape.Pins)
    if (!grid.LeadFits(t + p.Dx, r + p.Dy, p.Net))
      return false;
  return true;
}

// What a pin's lead costs where it lands: islands it starts or splits, cuts it adds.
std::int64_t PinCost(const ShapePin &pin, const StripNeighbours &n,
                     const std::vector<std::int32_t> &netPlaced, const PlacementWeights &weights) {
  std::int64_t cost = 0;
  const bool joins = n.AboveNet == pin.Net || n.BelowNet == pin.Net;
  if (!joins && netPlaced[static_cast<std::size_t>(pin.Net)] > 0)
    cost += weights.Island;
  if (n.AboveNet != NoNet && n.AboveNet == n.BelowNet && n.AboveNet != pin.Net)
    cost += weights.Island; // splits another net's island in two
  const int before = n.AboveNet != NoNet && n.BelowNet != NoNet && n.AboveNet != n.BelowNet;
  const int after = (n.AboveNet != NoNet && n.AboveNet != pin.Net) +
                    (n.BelowNet != NoNet && n.BelowNet != pin.Net);
  cost += std::int64_t{weights.Cut} * (after - before);
  return cost;
}

struct Choice {
  std::int64_t Score = 0;
  std::int32_t Shape = -1, Trace = 0, Row = 0;
  std::size_t Seq = 0; // the order it was found in, which settles ties
  bool operator<(const Choice &o) const { return Score != o.Score ? Score < o.Score : Seq < o.Seq; }
};

// The nearest leads above and below every hole of a window of strips, worked out once per item
// rather than once per position tried.
class NeighbourTable {
public:
  NeighbourTable(const Grid &grid, std::int32_t t0, std::int32_t t1)
      : t0_(t0), rows_(grid.Rows()),
        cells_(static_cast<std::size_t>(std::max(t1 - t0 + 1, 0) * rows_)) {
    for (std::int32_t t = t0; t <= t1; ++t) {
      StripNeighbours run;
      run.Bottom = rows_ - 1;
      for (std::int32_t r = 0; r < rows_; ++r) {
        Cell(t, r).AboveNet = run.AboveNet;
        Cell(t, r).AboveRow = run.AboveRow;
        if (grid.TemplateCut(t, r))
          run.AboveNet = NoNet;
        else if (grid.LeadNet(t, r) != NoNet)
          run = {r, grid.LeadNet(t, r)};
      }
      run = {};
      for (std::int32_t r = rows_ - 1; r >= 0; --r) {
        Cell(t, r).BelowNet = run.BelowNet;
        Cell(t, r).BelowRow = run.BelowRow;
        if (grid.TemplateCut(t, r))
          run.BelowNet = NoNet;
        else if (grid.LeadNet(t, r) != NoNet) {
          run.BelowRow = r;
          run.BelowNet = grid.LeadNet(t, r);
        }
      }
    }
  }
  const StripNeighbours &At(std::int32_t t, std::int32_t r) const {
    return cells_[static_cast<std::size_t>((t - t0_) * rows_ + r)];
  }

private:
  StripNeighbours &Cell(std::int32_t t, std::int32_t r) {
    return cells_[static_cast<std::size_t>((t - t0_) * rows_ + r)];
  }
  std::int32_t t0_, rows_;
  std::vector<StripNeighbours> cells_;
};

// Every position the item fits, best first.
std::vector<Choice> Positions(const Item &item, const Grid &grid,
                              const std::vector<std::int32_t> &netPlaced,
                              const PlacementWeights &weights, std::size_t limit) {
  std::vector<Choice> choices;
  const Rect &b = grid.Bounds();
  std::int32_t widest = 1;
  for (const Shape &shape : item.Shapes)
    widest = std::max(widest, shape.Width);
  const NeighbourTable near(grid, b.Empty() ? 0 : std::max(0, b.Left - widest - 1),
                            b.Empty() ? grid.Traces() - 1
                                      : std::min(grid.Traces() - 1, b.Right + widest + 2));
  for (std::size_t s = 0; s < item.Shapes.size(); ++s) {
    const Shape &shape = item.Shapes[s];
    std::int32_t t0 = 0, t1 = grid.Traces() - shape.Width, r0 = 0, r1 = grid.Rows() - shape.Height;
    if (b.Empty()) {
      t0 = t1 = (grid.Traces() - shape.Width) / 2;
      r0 = r1 = (grid.Rows() - shape.Height) / 2;
    } else {
      t0 = std::max(t0, b.Left - shape.Width - 1);
      t1 = std::min(t1, b.Right + 2);
      r0 = std::max(r0, b.Top - shape.Height - 1);
      r1 = std::min(r1, b.Bottom + 2);
    }
    for (std::int32_t r = r0; r <= r1; ++r)
      for (std::int32_t t = t0; t <= t1; ++t) {
        if (!ShapeFits(shape, t, r, grid))
          continue;
        const Rect area = b.With(t, r, t + shape.Width - 1, r + shape.Height - 1);
        std::int64_t score = area.Area();
        for (const ShapePin &p : shape.Pins)
          score += PinCost(p, near.At(t + p.Dx, r + p.Dy), netPlaced, weights);
        if (item.Kind == circuit::FootprintShape::Pads && r != area.Top && r != area.Bottom)
          score += weights.PadInside;
        // Among equals, the position nearest the board's middle keeps it square.
        const std::int64_t centre = std::abs(2 * t + shape.Width - (area.Left + area.Right)) +
                                    std::abs(2 * r + shape.Height - (area.Top + area.Bottom));
        score = score * 1000 + std::min<std::int64_t>(centre, 999);
        choices.push_back({score, static_cast<std::int32_t>(s), t, r, choices.size()});
      }
  }
  const std::size_t kept = std::min(choices.size(), limit);
  std::partial_sort(choices.begin(), choices.begin() + static_cast<std::ptrdiff_t>(kept),
                    choices.end());
  choices.resize(kept);
  return choices;
}

// Nets that still have pins to come but whose copper has no free hole left, with room beside
// it on its row, where a lead or a link could join it.
std::int32_t SealedNets(const Grid &grid, const std::vector<std::int32_t> &netLeft) {
  std::vector<std::uint8_t> open(netLeft.size(), 0), seen(netLeft.size(), 0);
  for (const Island &i : FindIslands(grid)) {
    const std::size_t net = static_cast<std::size_t>(i.Net);
    seen[net] = 1;
    if (open[net] || netLeft[net] <= 0)
      continue;
    if (Reachable(grid, i))
      open[net] = 1;
  }
  std::int32_t sealed = 0;
  for (std::size_t n = 0; n < netLeft.size(); ++n)
    sealed += seen[n] && netLeft[n] > 0 && !open[n];
  return sealed;
}

// The nets whose islands a shape at (t, r) may leave apart: its own, and those whose island
// one of its leads splits.
std::vector<std::int32_t> TouchedNets(const Shape &shape, std::int32_t t, std::int32_t r,
                                      const Grid &grid) {
  std::vector<std::int32_t> nets;
  for (const ShapePin &p : shape.Pins) {
    nets.push_back(p.Net);
    const StripNeighbours n = grid.Neighbours(t + p.Dx, r + p.Dy);
    if (n.AboveNet != NoNet && n.AboveNet == n.BelowNet)
      nets.push_back(n.AboveNet);
  }
  std::sort(nets.begin(), nets.end());
  nets.erase(std::unique(nets.begin(), nets.end()), nets.end());
  return nets;
}

} // namespace

void PutShape(const Shape &shape, std::int32_t t, std::int32_t r, Grid &grid) {
  for (const ShapeSpan &s : shape.Spans)
    grid.Cover(r + s.Dy, t + s.Dx0, t + s.Dx1);
  for (const ShapePin &p : shape.Pins)
    grid.PutLead(t + p.Dx, r + p.Dy, p.Net);
  if (shape.DipCut)
    for (std::int32_t dx = 0; dx < shape.Width; ++dx)
      grid.PutTemplateCut(t + dx, r + 2);
  grid.Extend(t, r, t + shape.Width - 1, r + shape.Height - 1);
}

namespace {

// One position tried: the grid and links with the item placed and its nets joined.
struct Trial {
  bool Routed = false;
  bool Seals = false; // it leaves a net with pins to come no way in
  Grid Board{0, 0};
  std::vector<Link> Links;
};

Trial TryPosition(const Shape &shape, const Choice &c, const Grid &grid,
                  const std::vector<Link> &links, const std::vector<std::int32_t> &leftAfter,
                  std::int32_t sealedBefore) {
  Trial t;
  t.Board = grid;
  t.Links = links;
  PutShape(shape, c.Trace, c.Row, t.Board);
  std::int32_t failed = NoNet;
  t.Routed = RouteLinks(t.Board, TouchedNets(shape, c.Trace, c.Row, grid), t.Links, failed) &&
             t.Board.GapsOpen(t.Board.Bounds().Left, t.Board.Bounds().Right);
  t.Seals = t.Routed && SealedNets(t.Board, leftAfter) > sealedBefore;
  return t;
}

} // namespace

bool PlaceItems(const LayoutProblem &problem, const std::vector<std::int32_t> &order,
                const PlacementWeights &weights, Grid &grid, std::vector<Placed> &placed,
                std::vector<Link> &links, std::int32_t &failedAt,
                const std::function<bool()> &interrupted) {
  std::vector<std::int32_t> netPlaced(static_cast<std::size_t>(problem.NetCount), 0);
  std::vector<std::int32_t> netLeft = problem.NetPins;
  placed.clear();
  links.clear();
  for (const std::int32_t i : order) {
    if (interrupted && interrupted()) {
      failedAt = static_cast<std::int32_t>(placed.size());
      return false;
    }
    const Item &item = problem.Items[static_cast<std::size_t>(i)];
    const std::vector<Choice> choices = Positions(item, grid, netPlaced, weights, MaxRoutingTries);
    std::vector<std::int32_t> leftAfter = netLeft;
    for (const ShapePin &p : item.Shapes[0].Pins)
      --leftAfter[static_cast<std::size_t>(p.Net)];
    const std::int32_t sealedBefore = SealedNets(grid, leftAfter);
    // The best position that leaves every net a way in; failing that, the best that joins the
    // item's nets at all.
    std::optional<Trial> chosen;
    std::size_t chosenAt = 0;
    for (std::size_t k = 0; k < choices.size(); ++k) {
      const Shape &shape = item.Shapes[static_cast<std::size_t>(choices[k].Shape)];
      Trial t = TryPosition(shape, choices[k], grid, links, leftAfter, sealedBefore);
      if (!t.Routed || (chosen && t.Seals))
        continue;
      const bool fine = !t.Seals;
      chosen = std::move(t);
      chosenAt = k;
      if (fine)
        break;
    }
    if (!chosen) {
      failedAt = static_cast<std::int32_t>(placed.size());
      return false;
    }
    const Choice &c = choices[chosenAt];
    grid = std::move(chosen->Board);
    links = std::move(chosen->Links);
    netLeft = leftAfter;
    for (const ShapePin &p : item.Shapes[static_cast<std::size_t>(c.Shape)].Pins)
      ++netPlaced[static_cast<std::size_t>(p.Net)];
    placed.push_back({i, c.Shape, c.Trace, c.Row});
  }
  return true;
}

} // namespace tarnwick::layout
