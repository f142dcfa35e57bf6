#include "netlist/tools.h"

namespace tarnwick {

std::string Printable(std::string_view text, std::size_t shown) {
  std::string out;
  for (std::size_t i = 0; i < text.size() && i < shown; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    out.push_back(c < 0x20 || c == 0x7f ? '?' : text[i]);
  }
  if (text.size() > shown)
    out += "...";
  return out;
}

TTokenizer::TTokenizer() : TTokenizer(std::string_view()) {}

TTokenizer::TTokenizer(std::string_view text) { SetText(text); }

void TTokenizer::SetText(std::string_view text) {
  sourceText_.assign(text);
  textLength_ = static_cast<std::int64_t>(sourceText_.size());
  scanPosition_ = 1;
}

void TTokenizer::NextToken(std::string &token) {
  token.clear();
  if (scanPosition_ < 1 || scanPosition_ > textLength_)
    return;
  std::int64_t i = scanPosition_;
  while (At(i) != Separator && i != textLength_)
    ++i;
  // A field that runs to the end of the text keeps its last character.
  const std::int64_t end = (i == textLength_ && At(i) != Separator) ? i : i - 1;
  if (end >= scanPosition_)
    token.assign(sourceText_, static_cast<std::size_t>(scanPosition_ - 1),
                 static_cast<std::size_t>(end - scanPosition_ + 1));
  scanPosition_ = i;
}

bool TTokenizer::MoveToNextToken() {
  if (scanPosition_ >= textLength_)
    return false;
  if (CountEmptyTokens) {
    ++scanPosition_;
    return true;
  }
  for (std::int64_t i = scanPosition_; i <= textLength_; ++i) {
    if (At(i) != Separator) {
      scanPosition_ = i;
      return true;
    }
  }
  return false;
}

} // namespace tarnwick
