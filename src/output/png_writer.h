#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tarnwick {

// Fills row y (top row 0) of an 8-bit RGB image: width * 3 bytes, red first.
using RgbRowSource = std::function<void(std::uint32_t y, std::uint8_t *row)>;

// How the encoder compresses: the row filter and zlib's settings. The pixels and the format
// are the same whatever is chosen; only the time and the file size differ.
enum class PngFilter { Adaptive, None, Sub, Up, Average, Paeth };
enum class PngStrategy { Library, Default, Filtered, Rle };
struct PngEncoding {
  PngFilter Filter = PngFilter::Adaptive;
  int Level = -1; // zlib's 0..9, -1 for zlib's default (6)
  PngStrategy Strategy = PngStrategy::Library;
};

// libpng's own choice: each row tries every filter and keeps the one that looks smallest.
inline constexpr PngEncoding AdaptivePngEncoding{};
// Board images are flat colour with the same rows stacked over and over, which the "Up" filter
// turns into runs of zeros. zlib's plain strategy then finds the repeats that libpng's
// default for filtered rows (Z_FILTERED) passes over. Measured by make bench: on the largest
// board it encodes about 1.4 times as fast as the adaptive filters, and every example's file
// is smaller (plain "Up" left some 5 % larger).
inline constexpr PngEncoding ExportPngEncoding{PngFilter::Up, -1, PngStrategy::Default};

// Writes an 8-bit RGB PNG (colour type 2, not interlaced, no palette, no transparency) with
// libpng. The data goes to a temporary file in the target's folder that then replaces the
// target, so a failure leaves an existing file as it was and no temporary file behind.
// Errors: "Cannot create file "<full name>". <reason>" when the file cannot be created or put in
// place, "Stream write error" when storing the data fails.
void WriteRgbPng(const std::string &fileName, std::uint32_t width, std::uint32_t height,
                 const RgbRowSource &rows, const PngEncoding &encoding = ExportPngEncoding);

} // namespace tarnwick
