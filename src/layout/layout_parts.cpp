#include "layout/layout_parts.h"

#include <algorithm>
#include <cstdlib>

namespace tarnwick::layout {
namespace {

using circuit::FootprintShape;
using circuit::Part;

std::string PartText(const Part &part) {
  return part.Reference.empty() ? std::string("a part") : "part " + part.Reference;
}

// A two-lead part at every span its footprint allows, either way round unless it is polar (the
// first pin always on the start trace, which lies left of the end trace).
std::vector<Shape> TwoLeadShapes(const circuit::Footprint &fp, std::int32_t netA,
                                 std::int32_t netB) {
  std::vector<Shape> shapes;
  for (std::int32_t span = fp.MinSpan; span <= fp.MaxSpan; ++span)
    for (int flip = 0; flip < (fp.Polar ? 1 : 2); ++flip) {
      Shape s;
      s.Width = span + 1;
      s.Pins = {{0, 0, flip ? netB : netA, flip ? 1 : 0, 0},
                {span, 0, flip ? netA : netB, flip ? 0 : 1, 0}};
      s.Spans = {{0, 0, span}};
      // A radial electrolytic's body reaches the rows above and below its leads.
      if (fp.Kind == circuit::PartKind::Electrolytic)
        s.Spans.insert(s.Spans.end(), {{-1, 0, 1}, {1, 0, 1}});
      shapes.push_back(std::move(s));
    }
  return shapes;
}

std::vector<Shape> InLineShapes(const std::vector<std::int32_t> &nets) {
  std::vector<Shape> shapes(2);
  for (int flip = 0; flip < 2; ++flip) {
    Shape &s = shapes[static_cast<std::size_t>(flip)];
    s.Width = 3;
    for (std::int32_t i = 0; i < 3; ++i)
      s.Pins.push_back({flip ? 2 - i : i, 0, nets[static_cast<std::size_t>(i)], i, 0});
    s.Spans = {{0, 0, 2}};
  }
  return shapes;
}

// The DIP template: pin 1 at the lower left, rising rightwards along the lower row (three rows
// below the upper one) and coming back leftwards along the upper row.
Shape DipShape(std::int32_t templatePins, const std::vector<std::int32_t> &netOfNumber,
               const std::vector<std::int32_t> &pinOfNumber) {
  Shape s;
  const std::int32_t w = templatePins / 2;
  s.Width = w;
  s.Height = 4;
  s.DipCut = true;
  for (std::int32_t n = 1; n <= templatePins; ++n) {
    const bool lower = n <= w;
    const std::int32_t dx = lower ? n - 1 : templatePins - n;
    s.Pins.push_back({dx, lower ? 3 : 0, netOfNumber[static_cast<std::size_t>(n)],
                      pinOfNumber[static_cast<std::size_t>(n)], n});
  }
  for (std::int32_t dy = 0; dy < 4; ++dy)
    s.Spans.push_back({dy, 0, w - 1});
  return s;
}

} // namespace

std::int32_t Item::Size() const {
  std::int32_t best = 1 << 30;
  for (const Shape &s : Shapes)
    best = std::min(best, s.Width * s.Height);
  return best;
}

std::int32_t LayoutProblem::DipPins(std::int32_t part) const {
  return circuit::DipTemplatePins(
      circuit::IcPinCount(Circuit->Parts[static_cast<std::size_t>(part)]));
}

namespace {

void CheckLimits(const circuit::Circuit &circuit) {
  if (circuit.Parts.size() > static_cast<std::size_t>(MaxLayoutParts))
    throw TarnwickError("The circuit has " + std::to_string(circuit.Parts.size()) +
                        " parts; the automatic layout takes at most " +
                        std::to_string(MaxLayoutParts) + ".");
  std::size_t pins = 0;
  for (const Part &part : circuit.Parts)
    pins += part.Pins.size();
  if (pins > static_cast<std::size_t>(MaxLayoutPins))
    throw TarnwickError("The circuit has " + std::to_string(pins) +
                        " pins; the automatic layout takes at most " +
                        std::to_string(MaxLayoutPins) + ".");
}

// Fills a problem part by part, counting the pins of each net and giving every pin that
// connects to nothing a net of its own.
class ProblemBuilder {
public:
  explicit ProblemBuilder(const circuit::Circuit &circuit) : c_(circuit) {
    p_.Circuit = &circuit;
    p_.NetNames = circuit.Nets;
    p_.NetCount = static_cast<std::int32_t>(circuit.Nets.size());
    p_.NetPins.assign(circuit.Nets.size(), 0);
  }

  void Add(std::size_t index) {
    const Part &part = c_.Parts[index];
    const circuit::Footprint &fp = circuit::FootprintOf(part.Kind);
    Item item;
    item.Part = static_cast<std::int32_t>(index);
    item.Kind = fp.Shape;
    switch (fp.Shape) {
    case FootprintShape::TwoLead:
    case FootprintShape::InLine:
      item.Shapes = LineShapes(part, fp);
      p_.Items.push_back(std::move(item));
      break;
    case FootprintShape::Dip:
      item.Shapes = {Dip(part)};
      p_.Items.push_back(std::move(item));
      break;
    case FootprintShape::Pads:
      for (std::size_t k = 0; k < part.Pins.size(); ++k) {
        Item pad = item;
        pad.PadPin = static_cast<std::int32_t>(k);
        Shape s;
        s.Pins = {{0, 0, NetOf(part, part.Pins[k]), static_cast<std::int32_t>(k), 0}};
        s.Spans = {{0, 0, 0}};
        pad.Shapes = {s};
        p_.Items.push_back(std::move(pad));
      }
      break;
    }
  }

  LayoutProblem Take() { return std::move(p_); }

private:
  std::int32_t FreshNet() {
    p_.NetNames.emplace_back();
    p_.NetPins.push_back(1);
    return p_.NetCount++;
  }

  std::int32_t NetOf(const Part &part, const circuit::Pin &pin) {
    if (pin.Net < 0)
      return FreshNet();
    if (static_cast<std::size_t>(pin.Net) >= c_.Nets.size())
      throw TarnwickError(PartText(part) + " names a net the circuit does not have.");
    ++p_.NetPins[static_cast<std::size_t>(pin.Net)];
    return pin.Net;
  }

  std::vector<Shape> LineShapes(const Part &part, const circuit::Footprint &fp) {
    const std::size_t want = fp.Shape == FootprintShape::TwoLead ? 2 : 3;
    if (part.Pins.size() != want)
      throw TarnwickError(PartText(part) + " has " + std::to_string(part.Pins.size()) +
                          " pins; a " + fp.Name + " has " + std::to_string(want) + ".");
    std::vector<std::int32_t> nets;
    for (const circuit::Pin &pin : part.Pins)
      nets.push_back(NetOf(part, pin));
    return fp.Shape == FootprintShape::TwoLead ? TwoLeadShapes(fp, nets[0], nets[1])
                                               : InLineShapes(nets);
  }

  // An IC's pins by their DIP numbers (a pin not named by a number takes its place in the
  // list); the template's spare pins connect to nothing.
  Shape Dip(const Part &part) {
    const std::int32_t highest = circuit::IcPinCount(part);
    const std::int32_t size = circuit::DipTemplatePins(highest);
    if (size == 0 || highest < 1)
      throw TarnwickError(PartText(part) + " has " + std::to_string(highest) +
                          " pins; the largest DIP socket has " +
                          std::to_string(circuit::MaxIcPins) + ".");
    std::vector<std::int32_t> netOfNumber(static_cast<std::size_t>(size) + 1, -1);
    std::vector<std::int32_t> pinOfNumber(static_cast<std::size_t>(size) + 1, -1);
    for (std::size_t k = 0; k < part.Pins.size(); ++k) {
      char *end = nullptr;
      const long n = std::strtol(part.Pins[k].Name.c_str(), &end, 10);
      const bool numbered = !part.Pins[k].Name.empty() && *end == '\0' && n >= 1 && n <= size;
      const std::size_t number = numbered ? static_cast<std::size_t>(n) : k + 1;
      if (pinOfNumber[number] >= 0)
        throw TarnwickError(PartText(part) + " has two pins numbered " + std::to_string(number) +
                            ".");
      pinOfNumber[number] = static_cast<std::int32_t>(k);
      netOfNumber[number] = NetOf(part, part.Pins[k]);
    }
    for (std::size_t n = 1; n < netOfNumber.size(); ++n)
      if (netOfNumber[n] < 0)
        netOfNumber[n] = FreshNet();
    return DipShape(size, netOfNumber, pinOfNumber);
  }

  const circuit::Circuit &c_;
  LayoutProblem p_;
};

} // namespace

LayoutProblem MakeProblem(const circuit::Circuit &circuit) {
  CheckLimits(circuit);
  ProblemBuilder builder(circuit);
  for (std::size_t i = 0; i < circuit.Parts.size(); ++i)
    builder.Add(i);
  return builder.Take();
}

} // namespace tarnwick::layout
