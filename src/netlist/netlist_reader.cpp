// Reading a netlist: only the element lines the import uses are kept, lower-cased.
#include "netlist/netlist_import.h"

#include "document/regular_file.h"

namespace tarnwick {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsElementLetter(char c) { return c == 'c' || c == 'd' || c == 'j' || c == 'q' || c == 'r'; }

// Splits a stream of bytes into lines and keeps the element lines. Bytes may come in pieces of
// any size; a line that will be ignored is never stored, whatever its length.
class LineCollector {
public:
  explicit LineCollector(const std::string &fileName) : fileName_(fileName) {}

  void Feed(std::string_view bytes) {
    for (const char c : bytes)
      Byte(c);
  }

  NetlistLines Finish() {
    EndLine();
    return std::move(lines_);
  }

private:
  enum class State { LineStart, Keeping, Skipping };

  void Byte(char c) {
    if (c == '\n') {
      EndLine();
      ++number_;
      return;
    }
    if (c == '\r')
      return;
    c = LowerAscii(c);
    if (state_ == State::LineStart)
      state_ = IsElementLetter(c) ? State::Keeping : State::Skipping;
    if (state_ == State::Skipping)
      return;
    if (current_.size() == MaxNetlistLineLength)
      throw TarnwickError("Line " + std::to_string(number_) + " of " + fileName_ +
                          " is longer than " + std::to_string(MaxNetlistLineLength) +
                          " characters; nothing was imported.");
    current_.push_back(c);
  }

  void EndLine() {
    if (state_ == State::Keeping) {
      if (lines_.size() == MaxNetlistParts)
        throw TarnwickError(fileName_ + " has more than " + std::to_string(MaxNetlistParts) +
                            " parts; nothing was imported.");
      lines_.push_back({number_, std::move(current_)});
    }
    current_.clear();
    state_ = State::LineStart;
  }

  const std::string &fileName_;
  NetlistLines lines_;
  std::string current_;
  std::int64_t number_ = 1;
  State state_ = State::LineStart;
};

} // namespace

NetlistLines ReadNetlistText(std::string_view text, const std::string &fileName) {
  LineCollector collector(fileName);
  collector.Feed(text);
  return collector.Finish();
}

NetlistLines ReadNetlistFile(const std::string &path) {
  // Only a regular file is read to its end: a device such as /dev/zero never ends, and a pipe
  // may never deliver. Such a file, a folder or an I/O error counts as one that cannot be
  // opened.
  RegularFile file(path);
  if (!file.IsOpen())
    return {};
  LineCollector collector(path);
  std::string chunk(64 * 1024, '\0');
  for (;;) {
    const std::int64_t n = file.Read(chunk.data(), chunk.size());
    if (n < 0)
      return {};
    if (n == 0)
      break;
    collector.Feed(std::string_view(chunk.data(), static_cast<std::size_t>(n)));
  }
  return collector.Finish();
}

} // namespace tarnwick
