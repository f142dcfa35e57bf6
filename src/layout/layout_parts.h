#pragma once

// What the layout places: each part of a circuit as one item (an off-board part as one item per
// pad), and each item's shapes, the ways it may lie on the board, as holes relative to its
// origin. Pins that connect to nothing get a net of their own, so that no other lead shares
// their copper.
#include "circuit/circuit_model.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::layout {

// The search refuses larger circuits rather than running for minutes.
inline constexpr std::int32_t MaxLayoutParts = 400;
inline constexpr std::int32_t MaxLayoutPins = 2000;

struct ShapePin {
  std::int32_t Dx = 0, Dy = 0;
  std::int32_t Net = 0;
  std::int32_t Pin = 0;       // index into the part's pins; -1 for a spare DIP socket
  std::int32_t DipNumber = 0; // the DIP numbering of a socket pin (1 .. n), 0 otherwise
};

// Holes a shape covers on one of its rows, from Dx0 to Dx1: no other component may lie there.
struct ShapeSpan {
  std::int32_t Dy = 0, Dx0 = 0, Dx1 = 0;
};

struct Shape {
  std::vector<ShapePin> Pins;
  std::vector<ShapeSpan> Spans;
  std::int32_t Width = 1;  // traces the components take
  std::int32_t Height = 1; // rows the components take
  bool DipCut = false;     // the cut of a DIP template on row 2, across the width
};

struct Item {
  std::int32_t Part = 0;
  std::int32_t PadPin = -1; // for an off-board part's pad: which pin
  circuit::FootprintShape Kind = circuit::FootprintShape::TwoLead;
  std::vector<Shape> Shapes;
  std::int32_t Size() const; // holes of its smallest shape, to order the items
};

struct LayoutProblem {
  const circuit::Circuit *Circuit = nullptr;
  std::vector<Item> Items;
  std::int32_t NetCount = 0;         // the circuit's nets, then one per unconnected pin
  std::vector<std::int32_t> NetPins; // pins on each net
  std::vector<std::string> NetNames;
  std::int32_t DipPins(std::int32_t part) const;
};

// Builds the items of a circuit. Throws TarnwickError for a circuit beyond the limits or with a
// part the layout cannot place (an IC of more pins than the largest socket).
LayoutProblem MakeProblem(const circuit::Circuit &circuit);

} // namespace tarnwick::layout
