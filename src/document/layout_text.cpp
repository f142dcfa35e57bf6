#include "document/layout_text.h"

#include <limits>

namespace tarnwick {
namespace {

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9')
    v = c - '0';
  else if (c >= 'a' && c <= 'f')
    v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    v = c - 'A' + 10;
  return v < base ? v : -1;
}

// Length of the valid UTF-8 sequence starting at s[i], or 0 when the byte there does not
// begin one (overlong forms, surrogates and values above U+10FFFF are not valid).
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80)
    return 1;
  std::size_t len = 0;
  unsigned lo = 0x80, hi = 0xBF; // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    if (b0 == 0xE0)
      lo = 0xA0;
    else if (b0 == 0xED)
      hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    if (b0 == 0xF0)
      lo = 0x90;
    else if (b0 == 0xF4)
      hi = 0x8F;
  } else {
    return 0;
  }
  if (i + len > s.size())
    return 0;
  const auto b1 = static_cast<unsigned char>(s[i + 1]);
  if (b1 < lo || b1 > hi)
    return 0;
  for (std::size_t k = 2; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if (b < 0x80 || b > 0xBF)
      return 0;
  }
  return len;
}

} // namespace

std::optional<std::int32_t> ParseLayoutInteger(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size())
    return std::nullopt;
  // The magnitude may reach 2^31 for the most negative value.
  const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const int d = DigitValue(text[i], base);
    if (d < 0)
      return std::nullopt;
    value = value * base + d;
    if (value > limit)
      return std::nullopt;
  }
  if (negative)
    value = -value;
  if (value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::string DecodeLayoutText(std::string_view bytes, std::size_t maxChars) {
  std::string out;
  out.reserve(std::min(bytes.size(), maxChars * 4));
  std::size_t chars = 0;
  for (std::size_t i = 0; i < bytes.size() && chars < maxChars; ++chars) {
    const std::size_t len = Utf8SequenceLength(bytes, i);
    if (len > 0) {
      out.append(bytes.substr(i, len));
      i += len;
    } else {
      const auto b = static_cast<unsigned char>(bytes[i]);
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
      ++i;
    }
  }
  return out;
}

} // namespace tarnwick
