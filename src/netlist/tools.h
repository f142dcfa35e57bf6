#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// Text as an error message can show it: control bytes made visible, long texts cut.
std::string Printable(std::string_view text, std::size_t shown = 80);

// Splits one line of text into fields at a separator character.
//
// Fetching a field and moving on to the next one are two separate calls: after SetText, call
// NextToken for the first field; then, for each further field, MoveToNextToken and, while it
// returns true, NextToken again. NextToken does not step over the separator that ended the
// field it returned, so two NextToken calls in a row give the field and then an empty string.
// MoveToNextToken answers false once the scan position has reached the last character, which
// is what the netlist import relies on to find lines with too few fields.
//
// Positions count from 1. Comparisons with the separator are exact byte comparisons, so any
// byte (NUL included) is an ordinary character unless it is the separator.
class TTokenizer {
public:
  // Create(): the empty text, a blank as separator, runs of separators count once.
  TTokenizer();
  // Create(text).
  explicit TTokenizer(std::string_view text);

  // Takes a copy of text and puts the scan position on its first character.
  void SetText(std::string_view text);
  // The field that starts at the scan position; leaves the position on the character that
  // ended it. Empty when the position is past the text or on a separator.
  void NextToken(std::string &token);
  // Moves the scan position to the start of the next field; false when the text is used up.
  bool MoveToNextToken();

  std::int64_t ScanPosition() const { return scanPosition_; }
  std::int64_t TextLength() const { return textLength_; }
  const std::string &SourceText() const { return sourceText_; }

  char Separator = ' ';
  // false: a run of separators delimits one field; true: every separator delimits a field.
  bool CountEmptyTokens = false;

private:
  // SourceText[i], counting from 1.
  char At(std::int64_t i) const { return sourceText_[static_cast<std::size_t>(i - 1)]; }

  // 64-bit so that no text, however long, can wrap the position.
  std::int64_t scanPosition_ = 1;
  std::int64_t textLength_ = 0;
  std::string sourceText_;
};

} // namespace tarnwick
