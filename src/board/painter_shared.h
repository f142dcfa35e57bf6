#pragma once

// What the board's painter and its prepared pictures share: the board's colours, the limits of
// what is prepared as a picture, the hole shape and the clamping of far-off coordinates.

#include "board/board.h"
#include "board/canvas.h"

#include <QColor>
#include <algorithm>
#include <cstdint>

namespace tarnwick::painting {

inline const QColor Background(16, 16, 16);
inline const QColor LabelledStrip(144, 128, 80);
inline const QColor PlainStrip(128, 112, 64);
inline const QColor Red(255, 0, 0);
inline const QColor Green(0, 128, 0);
inline const QColor Blue(0, 0, 255);
inline const QColor Black(0, 0, 0);
inline const QColor White(255, 255, 255);
inline const QColor Purple(128, 0, 128);

// Pictures larger than these are drawn directly: a socket across hundreds of strips or a
// capacitor body wider than the board is rare, and its sprite would cost more than it saves.
constexpr int MaxSpriteSocketSpan = 100;
constexpr int MaxSpriteRingRadius = 100;
// Texts wider than this (absurdly long names) are drawn directly too.
constexpr int MaxSpriteTextWidth = 4096;

// The hole of a strip whose left edge is at x = 0 and whose holes start at y = 0.
inline void DrawHole(Canvas &c, int p) { c.Ellipse(4, 15 * p + 4, 11, 15 * p + 11); }

// A layout file may place parts anywhere in the 32-bit range. Their coordinates are worked out in
// 64 bits and held within this distance of the origin before they reach the canvas: the largest
// board is 180,000 pixels wide, and a shape cut that far out looks the same on the surface.
constexpr std::int64_t FarLimit = 1 << 20;
inline int Px(std::int64_t v) { return static_cast<int>(std::clamp(v, -FarLimit, FarLimit)); }
inline int FarX(std::int64_t trace) { return Px(TracePitch * trace + 10); }
inline int FarY(std::int64_t pin) { return Px(PinPitch * pin + 11); }

} // namespace tarnwick::painting
