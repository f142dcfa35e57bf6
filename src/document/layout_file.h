#pragma once

#include "board/board.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// A layout file (".twk") is INI-style text: a "[Schematic]" section of key=value lines
// ended by CR LF, keys matched without regard to case, values trimmed of blanks. Texts are read
// as UTF-8, bytes that are not UTF-8 as Windows-1252. A layout read from 8-bit text is written
// as 8-bit text again when every character fits, so opening and saving keeps its bytes; all
// else is written as UTF-8.

// Counts beyond these are refused before anything is built from the file.
inline constexpr std::int32_t MaxLayoutTraces = 10000;
inline constexpr std::int32_t MaxLayoutParts = 1000000;
// The editor opens at most this many: it lists, draws and keeps a history of every part on the
// window's thread, and a million parts held it for many seconds; tarnwick-cli reads them all.
inline constexpr std::int32_t MaxEditorParts = 100000;
// A larger file is refused unread; the largest layout of MaxLayoutParts parts is far smaller.
inline constexpr std::uint64_t MaxLayoutFileBytes = std::uint64_t{256} << 20;
// A longer text value is read as its first this many characters.
inline constexpr std::size_t MaxLayoutTextLength = 2047;

// Everything a layout file says, as read: each value as stored, or its key's default when it
// is missing or unparsable.
struct LayoutData {
  std::int32_t PartCount = 0;
  std::int32_t TraceCount = 40;
  std::int32_t PinCount = 20;
  std::string Name;
  // Labels of traces 0 .. TraceCount-1; empty when TraceCount is 0 or less.
  std::vector<std::string> TraceNames;
  // The component entries 1 .. PartCount that have a position, in file order, with the
  // kind's low 8 bits and the corrected CapWidth of radial electrolytics.
  std::vector<BoardComponent> Components;
  // Entries among 1 .. PartCount dropped because StartTrace, EndTrace or StartPin is -1.
  std::int32_t Dropped = 0;
  // A text held bytes that are not UTF-8: the file was written as 8-bit text.
  bool EightBit = false;
};

// Reads a layout from bytes that arrive in pieces, so a file of any size is read in bounded
// memory: per entry only the first occurrence of each key is kept, entries numbered beyond
// the counts are skipped, and long lines are not held whole.
class LayoutReader {
public:
  // fileName only names the file in error messages.
  // Counts beyond the limits are refused, PartCount beyond maxParts (at most MaxLayoutParts).
  explicit LayoutReader(std::string fileName, std::int32_t maxParts = MaxLayoutParts);
  ~LayoutReader();
  LayoutReader(const LayoutReader &) = delete;
  LayoutReader &operator=(const LayoutReader &) = delete;

  // Raises TarnwickError as soon as a count beyond the limits is read.
  void Feed(std::string_view bytes);
  // Raises TarnwickError("<file> is not a Tarnwick layout: ...") when the bytes held no
  // [Schematic] section: every layout has one, whatever else it lacks.
  LayoutData Finish();

private:
  struct State;
  std::unique_ptr<State> s_;
};

LayoutData ParseLayout(std::string_view bytes, const std::string &fileName = {});
// Raises TarnwickError when the file cannot be read, is not a regular file, is larger than
// MaxLayoutFileBytes, has no [Schematic] section or holds a count beyond the limits.
LayoutData ReadLayoutFile(const std::string &fileName, std::int32_t maxParts = MaxLayoutParts);

// Fills an empty board (no traces) from the data: InitBoard, trace labels, then every
// component appended in order.
void BuildBoard(const LayoutData &data, Board &board);

// The file content for a board and its layout name; with eightBit (a layout read as 8-bit
// text) the texts are written as Windows-1252 when every one of them fits, else as UTF-8.
std::string FormatLayout(const Board &board, std::string_view name, bool eightBit = false);
// Writes the file anew through a temporary file renamed over it; on failure raises
// TarnwickError("Unable to write to " + fileName) and leaves an existing file untouched.
void WriteLayoutFile(const std::string &fileName, const Board &board, std::string_view name,
                     bool eightBit = false);

} // namespace tarnwick
