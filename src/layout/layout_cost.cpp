#include "layout/layout_cost.h"

namespace tarnwick::layout {

LayoutCost CostOf(const LayoutProblem &problem, const std::vector<Placed> &placed,
                  const std::vector<Link> &links, const std::vector<Cut> &cuts) {
  Rect area;
  std::int64_t cutHoles = static_cast<std::int64_t>(cuts.size());
  for (const Placed &p : placed) {
    const Shape &s =
        problem.Items[static_cast<std::size_t>(p.Item)].Shapes[static_cast<std::size_t>(p.Shape)];
    area = area.With(p.Trace, p.Row, p.Trace + s.Width - 1, p.Row + s.Height - 1);
    if (s.DipCut)
      cutHoles += s.Width;
  }
  for (const Link &l : links)
    area = area.With(l.From, l.Row, l.To, l.Row);
  for (const Cut &c : cuts)
    area = area.With(c.Trace, c.Row, c.Trace, c.Row);
  LayoutCost cost;
  if (!area.Empty()) {
    cost.Traces = area.Right - area.Left + 1;
    cost.Rows = area.Bottom - area.Top + 1;
  }
  cost.Links = static_cast<std::int64_t>(links.size());
  cost.CutHoles = cutHoles;
  return cost;
}

std::int64_t Scalar(const LayoutCost &cost) {
  return cost.Holes() * 1'000'000 + cost.Links * 1000 + cost.CutHoles;
}

LowerBounds BoundsOf(const LayoutProblem &problem) {
  LowerBounds b;
  for (const Item &item : problem.Items) {
    std::int64_t least = 1 << 30;
    for (const Shape &s : item.Shapes) {
      std::int64_t holes = 0;
      for (const ShapeSpan &span : s.Spans)
        if (span.Dy >= 0 && span.Dy < s.Height)
          holes += span.Dx1 - span.Dx0 + 1;
      least = std::min(least, holes);
    }
    b.Holes += least;
  }
  return b;
}

} // namespace tarnwick::layout
