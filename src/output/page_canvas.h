#pragma once

#include <cstdint>
#include <string>

namespace tarnwick {

struct PageColour {
  std::uint8_t R = 0, G = 0, B = 0;
  friend bool operator==(PageColour, PageColour) = default;
};

inline constexpr PageColour PageBlack{0, 0, 0};
inline constexpr PageColour PageWhite{255, 255, 255};
inline constexpr PageColour PageSilver{192, 192, 192};

// One printed page in units of 0.1 mm: x grows to the right, y grows upward, (0, 0) is the
// top-left corner of the printable area, so everything on the page has y <= 0. Like a device
// context it carries an outline colour and width and a fill that is either a colour (solid) or
// none; shapes are outlined and filled with them, and text is written on a cell of the fill.
class PageCanvas {
public:
  virtual ~PageCanvas() = default;

  virtual void SetPenColour(PageColour c) = 0;
  virtual void SetPenWidth(int units) = 0;
  // A fill colour makes the fill solid again.
  virtual void SetFill(PageColour c) = 0;
  virtual void SetFillNone() = 0;

  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  virtual void Circle(int cx, int cy, int r) = 0;
  // Outlined rectangle between two opposite corners.
  virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
  // Rectangle between two opposite corners filled with the fill colour, without outline.
  virtual void FillRect(int x1, int y1, int x2, int y2) = 0;
  // Text (UTF-8) with the top-left corner of its cell at (x, y); the cell reaches down the page.
  virtual void Text(int x, int y, const std::string &text) = 0;
  virtual int TextWidth(const std::string &text) = 0;
  virtual int TextHeight(const std::string &text) = 0;
};

} // namespace tarnwick
