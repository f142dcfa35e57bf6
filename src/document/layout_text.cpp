#include "document/layout_text.h"

#include <algorithm>
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

// The characters of Windows-1252's bytes 0x80 .. 0x9F; the five bytes it leaves unassigned
// keep the Latin-1 code of the same value, so every byte has a character and back.
constexpr char32_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t Cp1252Char(unsigned char b) { return b >= 0x80 && b < 0xA0 ? Cp1252High[b - 0x80] : b; }

void AppendUtf8(std::string &out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::optional<unsigned char> Cp1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
    return static_cast<unsigned char>(c);
  for (unsigned char i = 0; i < 32; ++i)
    if (Cp1252High[i] == c)
      return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
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

std::string DecodeLayoutText(std::string_view bytes, std::size_t maxChars, bool &eightBit) {
  std::string out;
  out.reserve(std::min(bytes.size(), maxChars * 4));
  std::size_t chars = 0;
  for (std::size_t i = 0; i < bytes.size() && chars < maxChars; ++chars) {
    const std::size_t len = Utf8SequenceLength(bytes, i);
    if (len > 0) {
      out.append(bytes.substr(i, len));
      i += len;
    } else {
      AppendUtf8(out, Cp1252Char(static_cast<unsigned char>(bytes[i])));
      eightBit = true;
      ++i;
    }
  }
  return out;
}

std::string DecodeLayoutText(std::string_view bytes, std::size_t maxChars) {
  bool eightBit = false;
  return DecodeLayoutText(bytes, maxChars, eightBit);
}

std::optional<std::string> EncodeEightBitText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t len = Utf8SequenceLength(utf8, i);
    if (len == 0)
      return std::nullopt;
    auto c = static_cast<char32_t>(static_cast<unsigned char>(utf8[i]));
    if (len > 1) {
      c &= 0x3Fu >> (len - 1);
      for (std::size_t k = 1; k < len; ++k)
        c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    }
    const auto byte = Cp1252Byte(c);
    if (!byte)
      return std::nullopt;
    out.push_back(static_cast<char>(*byte));
    i += len;
  }
  return out;
}

} // namespace tarnwick
