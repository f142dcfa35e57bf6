#include "layout/layout_board.h"

#include "editing/socket_templates.h"
#include "nets/copper.h"

#include <algorithm>
#include <set>

namespace tarnwick::layout {
namespace {

BoardComponent Component(ComponentKind kind, std::string name, std::int32_t start, std::int32_t end,
                         std::int32_t row) {
  BoardComponent c;
  c.Name = std::move(name);
  c.Kind = static_cast<std::uint8_t>(kind);
  c.StartTrace = start;
  c.EndTrace = end;
  c.StartPin = row;
  return c;
}

std::string SocketName(const circuit::Part &part, const ShapePin &pin) {
  if (pin.Pin < 0)
    return part.Reference + "." + std::to_string(pin.DipNumber);
  return circuit::PinSocketName(part, part.Pins[static_cast<std::size_t>(pin.Pin)]);
}

// The components of one placed item, at origin (t, r).
void AddItem(const LayoutProblem &problem, const Placed &p, std::int32_t t, std::int32_t r,
             MadeBoard &out) {
  const Item &item = problem.Items[static_cast<std::size_t>(p.Item)];
  const Shape &shape = item.Shapes[static_cast<std::size_t>(p.Shape)];
  const circuit::Part &part = problem.Circuit->Parts[static_cast<std::size_t>(item.Part)];
  std::vector<BoardComponent> &comps = out.Layout.Components;
  switch (item.Kind) {
  case circuit::FootprintShape::TwoLead: {
    const circuit::Footprint &fp = circuit::FootprintOf(part.Kind);
    BoardComponent c = Component(fp.Component, part.Value, t, t + shape.Width - 1, r);
    c.CapWidth = fp.CapWidth;
    comps.push_back(std::move(c));
    break;
  }
  case circuit::FootprintShape::InLine:
  case circuit::FootprintShape::Pads:
    for (const ShapePin &pin : shape.Pins)
      comps.push_back(Component(ComponentKind::Socket, SocketName(part, pin), t + pin.Dx,
                                t + pin.Dx, r + pin.Dy));
    break;
  case circuit::FootprintShape::Dip: {
    // The template's own order: the upper row from the left, the lower row from the right,
    // then its cut.
    std::vector<ShapePin> pins = shape.Pins;
    std::sort(pins.begin(), pins.end(), [](const ShapePin &a, const ShapePin &b) {
      return a.Dy != b.Dy ? a.Dy < b.Dy : (a.Dy == 0 ? a.Dx < b.Dx : a.Dx > b.Dx);
    });
    for (const ShapePin &pin : pins)
      comps.push_back(Component(ComponentKind::Socket, SocketName(part, pin), t + pin.Dx,
                                t + pin.Dx, r + pin.Dy));
    comps.push_back(SocketCut(t, r, 0, shape.Width - 1));
    comps.push_back(Component(ComponentKind::Label, part.Value, t, t + shape.Width - 1, r + 1));
    break;
  }
  }
  out.Owner.resize(comps.size(), p.Item);
  for (const ShapePin &pin : shape.Pins)
    out.Pins.push_back({t + pin.Dx, r + pin.Dy, pin.Net});
}

// The trace labels: a strip is named after its net when the pins on it are all of one net, so
// that no label names copper of another net; a strip shared by nets stays unnamed.
std::vector<std::string> TraceNames(const LayoutProblem &problem, const MadeBoard &b,
                                    std::int32_t traces) {
  std::vector<std::set<std::int32_t>> nets(static_cast<std::size_t>(traces));
  for (const BoardPin &p : b.Pins)
    nets[static_cast<std::size_t>(p.Trace)].insert(p.Net);
  std::vector<std::string> names(static_cast<std::size_t>(traces));
  for (std::size_t t = 0; t < nets.size(); ++t)
    if (nets[t].size() == 1)
      names[t] = problem.NetNames[static_cast<std::size_t>(*nets[t].begin())];
  return names;
}

} // namespace

MadeBoard MakeBoard(const LayoutProblem &problem, const std::vector<Placed> &placed,
                    const std::vector<Link> &links, const std::vector<Cut> &cuts) {
  Rect area;
  for (const Placed &p : placed) {
    const Shape &s =
        problem.Items[static_cast<std::size_t>(p.Item)].Shapes[static_cast<std::size_t>(p.Shape)];
    area = area.With(p.Trace, p.Row, p.Trace + s.Width - 1, p.Row + s.Height - 1);
  }
  for (const Link &l : links)
    area = area.With(l.From, l.Row, l.To, l.Row);
  MadeBoard b;
  std::vector<Placed> byItem = placed;
  std::sort(byItem.begin(), byItem.end(),
            [](const Placed &x, const Placed &y) { return x.Item < y.Item; });
  for (const Placed &p : byItem)
    AddItem(problem, p, p.Trace - area.Left, p.Row - area.Top, b);
  for (const Link &l : links)
    b.Layout.Components.push_back(
        Component(ComponentKind::Wire, {}, l.From - area.Left, l.To - area.Left, l.Row - area.Top));
  // Cuts side by side on one row make one component.
  std::vector<Cut> sorted = cuts;
  std::sort(sorted.begin(), sorted.end(), [](const Cut &x, const Cut &y) {
    return x.Row != y.Row ? x.Row < y.Row : x.Trace < y.Trace;
  });
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t j = i + 1;
    while (j < sorted.size() && sorted[j].Row == sorted[i].Row &&
           sorted[j].Trace == sorted[j - 1].Trace + 1)
      ++j;
    b.Layout.Components.push_back(
        Component(ComponentKind::TraceCut, {}, sorted[i].Trace - area.Left,
                  sorted[j - 1].Trace - area.Left, sorted[i].Row - area.Top));
    i = j;
  }
  b.Owner.resize(b.Layout.Components.size(), -1);
  const std::int32_t traces = area.Empty() ? 1 : area.Right - area.Left + 1;
  const std::int32_t rows = area.Empty() ? 1 : area.Bottom - area.Top + 1;
  b.Layout.TraceCount = traces;
  b.Layout.PinCount = std::max(rows, MinBoardRows);
  b.Layout.PartCount = static_cast<std::int32_t>(b.Layout.Components.size());
  b.Layout.TraceNames = TraceNames(problem, b, traces);
  return b;
}

} // namespace tarnwick::layout
