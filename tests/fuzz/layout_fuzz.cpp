// The layout reader on any bytes, and what the editor and tarnwick-cli then do with the
// layout: build the board, print it, shrink it, save it. Besides memory errors and undefined
// behaviour it checks that bytes read in pieces give what they give read whole, that what was
// read stays within the reader's bounds, and that a saved layout reads back to the same file.
#include "document/layout_file.h"
#include "document/layout_text.h"
#include "editing/edit_operations.h"
#include "fuzz_check.h"
#include "output/printout.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

using namespace tarnwick;

namespace {

// A page that only checks that every coordinate is a number the printer can take.
class CheckingCanvas : public PageCanvas {
public:
  void SetPenColour(PageColour) override {}
  void SetPenWidth(int units) override { FUZZ_CHECK(units >= 0); }
  void SetFill(PageColour) override {}
  void SetFillNone() override {}
  void Line(int x1, int y1, int x2, int y2) override { Check(x1, y1, x2, y2); }
  void Circle(int cx, int cy, int r) override { Check(cx, cy, r, 0); }
  void Rectangle(int x1, int y1, int x2, int y2) override { Check(x1, y1, x2, y2); }
  void FillRect(int x1, int y1, int x2, int y2) override { Check(x1, y1, x2, y2); }
  void Text(int x, int y, const std::string &) override { Check(x, y, 0, 0); }
  int TextWidth(const std::string &text) override { return 10 * static_cast<int>(text.size()); }
  int TextHeight(const std::string &) override { return 20; }

private:
  static void Check(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
    for (std::int64_t v : {a, b, c, d})
      FUZZ_CHECK(v >= -2 * PrintGeometry::Limit && v <= 2 * PrintGeometry::Limit);
  }
};

// The layout, or the message of the error that refused it.
struct Outcome {
  std::optional<LayoutData> Data;
  std::string Error;
};

template <class Read> Outcome Attempt(Read &&read) {
  Outcome o;
  try {
    o.Data = read();
  } catch (const TarnwickError &e) {
    o.Error = e.what();
  }
  return o;
}

// Valid UTF-8 of at most MaxLayoutTextLength characters, as the reader promises for every text.
bool ReadableText(const std::string &s) {
  std::size_t chars = 0;
  for (char c : s)
    chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return chars <= MaxLayoutTextLength && DecodeLayoutText(s, s.size()) == s;
}

std::string AsWritten(std::string text) {
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

bool SameComponents(const LayoutData &a, const LayoutData &b) {
  if (a.Components.size() != b.Components.size())
    return false;
  for (std::size_t i = 0; i < a.Components.size(); ++i) {
    const BoardComponent &x = a.Components[i], &y = b.Components[i];
    if (x.Name != y.Name || x.Kind != y.Kind || x.StartTrace != y.StartTrace ||
        x.EndTrace != y.EndTrace || x.StartPin != y.StartPin || x.CapWidth != y.CapWidth)
      return false;
  }
  return true;
}

// What the reader promises about everything it read.
void CheckBounds(const LayoutData &d) {
  FUZZ_CHECK(ReadableText(d.Name));
  for (const std::string &label : d.TraceNames)
    FUZZ_CHECK(ReadableText(label));
  for (const BoardComponent &c : d.Components)
    FUZZ_CHECK(ReadableText(c.Name));
  FUZZ_CHECK(d.TraceCount <= MaxLayoutTraces && d.PartCount <= MaxLayoutParts);
  FUZZ_CHECK(d.TraceNames.size() == static_cast<std::size_t>(std::max(d.TraceCount, 0)));
  FUZZ_CHECK(d.Components.size() + static_cast<std::size_t>(d.Dropped) ==
             static_cast<std::size_t>(std::max(d.PartCount, 0)));
}

// Saved and read again, the layout comes back as it was, but for the reader's correction of
// radial electrolytics (a CapWidth not above the span grows by one) and the writer's rule for line
// breaks inside texts (written as blanks).
void CheckRoundTrip(const Board &board, const LayoutData &d) {
  const std::string saved = FormatLayout(board, d.Name);
  const LayoutData again = ParseLayout(saved, "saved.twk");
  FUZZ_CHECK(again.Name == AsWritten(d.Name) && again.Dropped == 0);
  FUZZ_CHECK(again.TraceNames.size() == d.TraceNames.size());
  for (std::size_t i = 0; i < again.TraceNames.size(); ++i)
    FUZZ_CHECK(again.TraceNames[i] == AsWritten(d.TraceNames[i]));
  FUZZ_CHECK(again.TraceCount == board.TraceCount() && again.PinCount == board.PinCount());
  FUZZ_CHECK(again.Components.size() == d.Components.size());
  for (std::size_t i = 0; i < again.Components.size(); ++i) {
    BoardComponent expected = d.Components[i];
    if (expected.Is(ComponentKind::ElectrolyticRadial) &&
        std::abs(std::int64_t{expected.StartTrace} - expected.EndTrace) >= expected.CapWidth &&
        expected.CapWidth < INT32_MAX)
      ++expected.CapWidth;
    const BoardComponent &c = again.Components[i];
    FUZZ_CHECK(c.Name == AsWritten(expected.Name) && c.Kind == expected.Kind &&
               c.StartTrace == expected.StartTrace && c.EndTrace == expected.EndTrace &&
               c.StartPin == expected.StartPin && c.CapWidth == expected.CapWidth);
  }
}

// The printout and tarnwick-cli shrink on whatever the file held.
void PrintAndShrink(Board &board) {
  // Printing draws every trace and hole, so only boards of a few hundred traces are printed to
  // keep the runs fast; larger ones take the same paths more often.
  if (board.TraceCount() <= 300) {
    CheckingCanvas page;
    DrawPrintout(page, board, PrintoutOptions{}, 3, 3);
    DrawPrintout(page, board, PrintoutOptions{1e30f, false}, 3, 3);
  }

  try {
    if (board.TraceCount() > 0 && ShrinkBoard(board)) {
      const BoardSize min = MinimumBoardSize(board);
      FUZZ_CHECK(min.Traces <= board.TraceCount() && min.Pins <= board.PinCount());
    }
  } catch (const TarnwickError &) {
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  const Outcome whole = Attempt([&] { return ParseLayout(bytes, "fuzz.twk"); });

  // The same bytes in pieces, cut at places that vary with the input.
  const std::size_t piece = size % 13 + 1;
  const Outcome pieces = Attempt([&] {
    LayoutReader reader("fuzz.twk");
    for (std::size_t at = 0; at < size; at += piece)
      reader.Feed(bytes.substr(at, piece));
    return reader.Finish();
  });
  FUZZ_CHECK(whole.Error == pieces.Error);
  if (!whole.Data)
    return 0;
  const LayoutData &d = *whole.Data;
  FUZZ_CHECK(d.Name == pieces.Data->Name);
  FUZZ_CHECK(d.TraceNames == pieces.Data->TraceNames);
  FUZZ_CHECK(SameComponents(d, *pieces.Data));
  FUZZ_CHECK(d.Dropped == pieces.Data->Dropped);
  CheckBounds(d);

  Board board;
  BuildBoard(d, board);
  FUZZ_CHECK(board.TraceCount() == std::max(d.TraceCount, 0));
  FUZZ_CHECK(board.PinCount() >= 10 && board.PinCount() <= 40);
  FUZZ_CHECK(board.ComponentCount() == static_cast<std::int32_t>(d.Components.size()));
  CheckRoundTrip(board, d);
  PrintAndShrink(board);

  return 0;
}
