#pragma once

#include <QImage>
#include <array>

namespace tarnwick {

// The component pictures: a normal and a reversed image per kind code. Only the resistor,
// the capacitor, the axial electrolytic and the diode have pictures; the other pairs stay null.
struct GlyphSet {
  std::array<QImage, 9> Normal;
  std::array<QImage, 9> Reversed;

  static GlyphSet Load();
};

// The colour that glyph pictures leave unpainted.
inline constexpr QRgb GlyphTransparent = 0xFF008080;

} // namespace tarnwick
