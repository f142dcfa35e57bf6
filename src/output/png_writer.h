#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tarnwick {

// Fills row y (top row 0) of an 8-bit RGB image: width * 3 bytes, red first.
using RgbRowSource = std::function<void(std::uint32_t y, std::uint8_t *row)>;

// Writes an 8-bit RGB PNG (colour type 2, not interlaced, no palette, no transparency) with
// libpng. The data goes to a temporary file in the target's folder that then replaces the
// target, so a failure leaves an existing file as it was and no temporary file behind.
// Errors: "Cannot create file "<full name>". <reason>" when the file cannot be created or put in
// place, "Stream write error" when storing the data fails.
void WriteRgbPng(const std::string &fileName, std::uint32_t width, std::uint32_t height,
                 const RgbRowSource &rows);

} // namespace tarnwick
