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
  // Mirrored left to right about the board's middle, to be laid on the copper side; text
  // stays readable.
  bool CopperSide = false;
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

// A 50 mm bar with ticks every 10 mm and its caption, so that a print at the wrong scale shows
// before anyone drills by it.
inline constexpr int ScaleBarLength = 500;
inline constexpr int ScaleBarTick = 100;
inline constexpr const char *ScaleBarText = "50 mm \xE2\x80\x94 check with a ruler";

// The y of the scale bar: 5 mm below the lowest thing the printout may draw (the deepest
// trace label, whether traces are highlighted or not, and every component with its name).
int ScaleBarY(PageCanvas &canvas, const Board &board, const PrintoutOptions &options, int originX,
              int originY);
// The bar runs from the first trace's x to the right, never mirrored.
void DrawScaleBar(PageCanvas &canvas, const Board &board, const PrintoutOptions &options,
                  int originX, int originY);

// The printed page: the board, then the scale bar below it.
void DrawPrintedPage(PageCanvas &canvas, const Board &board, const PrintoutOptions &options,
                     int originX, int originY);

} // namespace tarnwick
