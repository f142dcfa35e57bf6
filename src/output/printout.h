#pragma once

#include "board/board.h"
#include "output/page_canvas.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// What the print dialog hands to the drawing.
struct PrintoutOptions {
  float Spacing = 2.54f; // millimetres between neighbouring holes, across and down
  bool HighlightTraces = true;
};

// Reads a spacing typed by the user: optional blanks and sign, digits with at most one
// decimal separator (the user's, e.g. "," in a German locale), an optional exponent. Anything
// else fails with "'<text>' is not a valid floating point value".
float ParseSpacing(std::string_view text, std::string_view decimalSeparator);

// The printed board's coordinates in page units (0.1 mm, y upward) at one spacing and origin.
class PrintGeometry {
public:
  PrintGeometry(float spacing, int originX, int originY);

  // One hole pitch in page units.
  double Pitch() const { return pitch_; }
  int OriginX() const { return ox_; }
  int OriginY() const { return oy_; }
  int X(std::int64_t trace) const;
  int Y(std::int64_t pin) const;
  // round(pitch * count), halves to even, kept within the page's coordinate range.
  int Scaled(double count) const;

  // Coordinates are held within +-1 km so that absurd spacings cannot overflow; anything that
  // far away is off the page anyway.
  static constexpr std::int64_t Limit = 10'000'000;

private:
  double pitch_;
  int ox_, oy_;
};

// Draws the board onto a page already in page units; originX and originY in whole
// centimetres from the top-left corner of the printable area.
void DrawPrintout(PageCanvas &canvas, const Board &board, const PrintoutOptions &options,
                  int originX, int originY);

} // namespace tarnwick
