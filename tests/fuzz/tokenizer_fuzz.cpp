// The tokenizer on any text, any separator and both ways of counting empty fields. Besides
// memory errors it checks what the netlist import relies on: the walk over the fields ends, each
// field is a piece of the text between separators, and the fields come in text order.
#include "fuzz_check.h"
#include "netlist/tools.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 1)
    return 0;
  // The first byte chooses the separator (its low 7 bits) and the counting (its top bit).
  const char separator = static_cast<char>(data[0] & 0x7F);
  const bool countEmpty = (data[0] & 0x80) != 0;
  const std::string_view text(reinterpret_cast<const char *>(data) + 1, size - 1);

  using tarnwick::TTokenizer;
  TTokenizer t(text);
  t.Separator = separator;
  t.CountEmptyTokens = countEmpty;
  FUZZ_CHECK(t.TextLength() == static_cast<std::int64_t>(text.size()));
  FUZZ_CHECK(t.ScanPosition() == 1);

  std::string token;
  std::size_t searchFrom = 0;
  std::int64_t lastPosition = 0;
  std::size_t fields = 0;
  bool more = true;
  while (more) {
    const std::int64_t start = t.ScanPosition();
    FUZZ_CHECK(start > lastPosition); // every step moves on, so the walk ends
    lastPosition = start;
    t.NextToken(token);
    ++fields;
    FUZZ_CHECK(fields <= text.size() + 1);
    FUZZ_CHECK(token.find(separator) == std::string::npos);
    if (!token.empty()) {
      // The field is the text from the scan position on, in order.
      const auto at = static_cast<std::size_t>(start - 1);
      FUZZ_CHECK(at >= searchFrom);
      FUZZ_CHECK(text.substr(at, token.size()) == token);
      searchFrom = at + token.size();
    }
    FUZZ_CHECK(t.ScanPosition() >= start);
    FUZZ_CHECK(t.ScanPosition() <= std::max<std::int64_t>(t.TextLength(), 1));
    more = t.MoveToNextToken();
  }

  // Counting every separator, the fields joined by the separator give the text back, less a
  // separator at its very end (the walk stops on the last character).
  if (countEmpty) {
    std::string joined;
    TTokenizer again(text);
    again.Separator = separator;
    again.CountEmptyTokens = true;
    bool first = true;
    do {
      again.NextToken(token);
      if (!first)
        joined += separator;
      joined += token;
      first = false;
    } while (again.MoveToNextToken());
    std::string_view expected = text;
    if (!expected.empty() && expected.back() == separator)
      expected.remove_suffix(1);
    FUZZ_CHECK(joined == expected);
  }
  return 0;
}
