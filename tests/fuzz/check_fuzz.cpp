// The check of a layout against a netlist, both cut from one input: the bytes before the first
// NUL are read as a layout, those after it as a netlist (SPICE or KiCad). Besides memory errors,
// undefined behaviour and hangs it checks that the report keeps its shape and its bounds, that
// what a line names is on the board, and that the verdict does not depend on the order of the
// component list (two-lead components listed the other way round).
#include "circuit/circuit_reader.h"
#include "document/layout_file.h"
#include "fuzz_check.h"
#include "nets/net_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace tarnwick;

namespace {

// Small bounds keep each run short; the verdict may then be "could not settle".
const CheckLimits Limits{20'000, 20'000};

void CheckShape(const CheckReport &report, const Board &board) {
  FUZZ_CHECK(!report.Lines.empty());
  FUZZ_CHECK(report.Lines[0].Kind == ReportKind::Verdict);
  FUZZ_CHECK(report.Problems >= 0);
  const bool passes = report.Lines[0].Text.rfind("The layout implements the netlist", 0) == 0;
  FUZZ_CHECK(passes == report.Implements());
  // The verdict, then of each kind its first lines and a count of the rest.
  FUZZ_CHECK(report.Lines.size() <= 1 + 3 * (MaxReportLines + 1));
  std::int64_t problemLines = 0;
  for (std::size_t i = 0; i < report.Lines.size(); ++i) {
    const ReportLine &line = report.Lines[i];
    FUZZ_CHECK((i == 0) == (line.Kind == ReportKind::Verdict));
    FUZZ_CHECK(!line.Text.empty());
    problemLines += line.Kind == ReportKind::Problem;
    for (std::int32_t c : line.Components)
      FUZZ_CHECK(c >= 0 && c < board.ComponentCount());
    for (const CopperSpan &s : line.Copper) {
      FUZZ_CHECK(s.Trace >= 0 && s.Trace < board.TraceCount());
      FUZZ_CHECK(s.FirstPin >= 0 && s.FirstPin <= s.LastPin && s.LastPin < board.PinCount());
    }
  }
  FUZZ_CHECK((problemLines == 0) == (report.Problems == 0));
}

// The same board with its two-lead components in the opposite order (sockets, which stand for
// a transistor's legs in list order, keep their places).
void Reversed(const Board &board, Board &out) {
  std::vector<std::string> labels;
  for (std::int32_t t = 0; t < board.TraceCount(); ++t)
    labels.push_back(board.GetTrace(t).Name);
  out.SetTraces(labels, board.PinCount());
  std::vector<BoardComponent> list;
  std::vector<std::size_t> places;
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    list.push_back(board.GetComponent(i));
    if (!list.back().Is(ComponentKind::Socket))
      places.push_back(list.size() - 1);
  }
  for (std::size_t a = 0, b = places.size(); a + 1 < b; ++a, --b)
    std::swap(list[places[a]], list[places[b - 1]]);
  out.SpliceComponents(0, 0, list);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char *>(data), size);
  const std::size_t cut = std::min(input.find('\0'), input.size());
  const std::string_view layoutText = input.substr(0, cut);
  const std::string_view netlistText = cut < input.size() ? input.substr(cut + 1) : "";
  LayoutData layout;
  circuit::Circuit netlist;
  try {
    layout = ParseLayout(layoutText, "fuzz.twk");
    netlist = circuit::ReadCircuitText(netlistText, "fuzz.net");
  } catch (const TarnwickError &e) {
    FUZZ_CHECK(e.what()[0] != '\0');
    return 0;
  }
  Board board;
  BuildBoard(layout, board);
  CheckReport report;
  try {
    report = CheckLayout(board, netlist, Limits);
  } catch (const TarnwickError &e) {
    FUZZ_CHECK(e.what()[0] != '\0'); // a board too large to work out
    return 0;
  }
  CheckShape(report, board);

  Board other;
  Reversed(board, other);
  const CheckReport again = CheckLayout(other, netlist, Limits);
  CheckShape(again, other);
  if (!report.Unsettled && !again.Unsettled)
    FUZZ_CHECK(report.Implements() == again.Implements());
  return 0;
}
