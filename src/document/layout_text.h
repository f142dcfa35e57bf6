#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// An integer value of a layout file: an optional sign, then decimal digits, or hexadecimal
// digits after "$" or "0x". Anything else, and any value outside the signed 32-bit range,
// gives nullopt (the reader then takes the key's default).
std::optional<std::int32_t> ParseLayoutInteger(std::string_view text);

// Decodes the bytes of a text value: valid UTF-8 sequences are kept, every other byte is read
// as a character of Windows-1252, the 8-bit text of older files (its five unassigned bytes as
// the Latin-1 control characters of the same codes). The result is valid UTF-8 holding at most
// maxChars characters. eightBit is set when a byte was read as 8-bit text.
std::string DecodeLayoutText(std::string_view bytes, std::size_t maxChars, bool &eightBit);
std::string DecodeLayoutText(std::string_view bytes, std::size_t maxChars);

// The UTF-8 text as Windows-1252 bytes, the inverse of the decoding above, or nullopt when a
// character has no such byte.
std::optional<std::string> EncodeEightBitText(std::string_view utf8);

// Blanks surrounding keys and values: space, tab and the CR of a CR LF line end.
constexpr bool IsLayoutBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

} // namespace tarnwick
