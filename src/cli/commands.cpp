// The commands of tarnwick-cli: each opens a layout as File > Open does (or imports a
// netlist as File > Import Netlist does) and repeats the editor's steps on it.
#include "cli/commands.h"

#include "cli/cli.h"

#include "board/board_view.h"
#include "circuit/circuit_reader.h"
#include "document/layout_file.h"
#include "editing/edit_operations.h"
#include "layout/auto_layout.h"
#include "netlist/netlist_import.h"
#include "nets/net_check.h"
#include "nets/net_listing.h"
#include "output/cut_list.h"
#include "output/parts_list.h"
#include "output/print_job.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <memory>
#include <ostream>

namespace tarnwick::cli {
namespace {

// A layout as the editor holds it after File > Open.
struct OpenedLayout {
  LayoutData Data;
  tarnwick::Board Board;
};

std::unique_ptr<OpenedLayout> OpenLayout(const std::string &fileName) {
  auto layout = std::make_unique<OpenedLayout>();
  layout->Data = ReadLayoutFile(fileName);
  BuildBoard(layout->Data, layout->Board);
  return layout;
}

// File names reach the toolkit as the bytes they were given.
QString NativeToQt(const std::string &fileName) { return QFile::decodeName(fileName.c_str()); }

// The editor offers Export Image and Print only for a board with traces; here asking for one
// is an error rather than a silent success without a file.
void RequireTraces(const Board &board, const std::string &fileName, const char *what) {
  if (board.TraceCount() < 1)
    throw TarnwickError(fileName + " has no traces; there is nothing to " + what);
}

// The import reads a file it cannot open as an empty netlist, which in the editor shows as an
// empty board; in a batch that would pass a mistyped name off as a blank layout.
void RequireReadable(const std::string &fileName) {
  struct Closer {
    void operator()(std::FILE *f) const { std::fclose(f); }
  };
  const std::unique_ptr<std::FILE, Closer> f(std::fopen(fileName.c_str(), "rb"));
  char byte;
  if (!f || (std::fread(&byte, 1, 1, f.get()) == 0 && std::ferror(f.get())))
    throw TarnwickError("Unable to read " + fileName);
}

} // namespace

void InfoCommand(const CliArgs &args, std::ostream &out) {
  const auto layout = OpenLayout(args.Positional[0]);
  out << "name: " << layout->Data.Name << '\n'
      << "traces: " << layout->Board.TraceCount() << '\n'
      << "pins: " << layout->Board.PinCount() << '\n'
      << "components: " << layout->Board.ComponentCount() << '\n'
      << "dropped: " << layout->Data.Dropped << '\n';
}

void ResaveCommand(const CliArgs &args, std::ostream &) {
  const auto layout = OpenLayout(args.Positional[0]);
  WriteLayoutFile(args.Positional[1], layout->Board, layout->Data.Name, layout->Data.EightBit);
}

// Edit > Shrink Board, then File > Save as. A layout without traces is saved as it is, since
// the editor's command does nothing on it.
void ShrinkCommand(const CliArgs &args, std::ostream &) {
  const auto layout = OpenLayout(args.Positional[0]);
  ShrinkBoard(layout->Board);
  WriteLayoutFile(args.Positional[1], layout->Board, layout->Data.Name, layout->Data.EightBit);
}

// File > Import Netlist as the first import after the editor starts, then File > Save as. The
// import empties the layout name box, so the layout is saved without a name. After an error
// the board holds a partial import, which is not saved.
void ImportCommand(const CliArgs &args, std::ostream &) {
  const std::string &netlist = args.Positional[0];
  RequireReadable(netlist);
  Board board;
  NetlistRandom firstAfterStart; // the generator as a freshly started editor holds it
  ImportNetlistFile(netlist, board, firstAfterStart);
  WriteLayoutFile(args.Positional[1], board, "");
}

// File > Export Image with the layout name as the caption, drawn by the editor's own board
// view with the View switches as they are at start unless the options turn them.
void RenderCommand(const CliArgs &args, std::ostream &) {
  const std::string &layout = args.Positional[0];
  const LayoutData data = ReadLayoutFile(layout);
  BoardView view;
  view.setFont(ChooseBoardFont());
  BuildBoard(data, view);
  RequireTraces(view, layout, "export");
  view.SetShowFlow(args.Has("--flow"));
  view.SetShowLabels(!args.Has("--no-labels"));
  view.SaveImage(NativeToQt(args.Positional[1]), QString::fromStdString(data.Name));
}

// File > Print with the print dialog's settings, onto an A4 portrait PDF page. The spacing
// is checked first, so a mistyped number costs no reading.
void PrintCommand(const CliArgs &args, std::ostream &) {
  const PrintoutOptions options{ParseSpacing(args.Value("--spacing", "2.54"), "."),
                                !args.Has("--no-highlight"), args.Has("--copper-side")};
  const std::string &layout = args.Positional[0];
  const auto opened = OpenLayout(layout);
  RequireTraces(opened->Board, layout, "print");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  // The toolkit's default paper follows the system's default printer; a batch run gives the
  // same page everywhere.
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setOutputFileName(NativeToQt(args.Positional[1]));
  PrintBoard(printer, opened->Board, options);
}

// File > Export Cut List, with the print dialog's "Copper Side" as --copper-side, to stdout.
void CutsCommand(const CliArgs &args, std::ostream &out) {
  const std::string &layout = args.Positional[0];
  const auto opened = OpenLayout(layout);
  RequireTraces(opened->Board, layout, "list");
  out << FormatCutList(opened->Board, opened->Data.Name,
                       args.Has("--copper-side") ? BoardSide::Copper : BoardSide::Component);
}

// File > Export Parts List, to stdout.
void PartsCommand(const CliArgs &args, std::ostream &out) {
  const std::string &layout = args.Positional[0];
  const auto opened = OpenLayout(layout);
  RequireTraces(opened->Board, layout, "list");
  out << FormatPartsList(opened->Board);
}

// File > Check Against Netlist: the report, then a failure when the layout does not implement
// the netlist, so that a script or a build can stop on it. As diff and cmp do, a file that
// cannot be read is trouble of its own, told apart from the answer "no".
void CheckCommand(const CliArgs &args, std::ostream &out) {
  const std::string &layoutFile = args.Positional[0], &netlistFile = args.Positional[1];
  CheckReport report;
  try {
    const auto layout = OpenLayout(layoutFile);
    report = CheckLayout(layout->Board, circuit::ReadCircuitFile(netlistFile));
  } catch (const std::exception &e) {
    throw CommandFailure(e.what(), ExitTrouble);
  }
  out << ReportText(report);
  if (report.Problems > 0)
    throw CommandFailure(layoutFile + " does not implement " + netlistFile, ExitError);
  if (report.Unsettled)
    throw CommandFailure("the check of " + layoutFile + " against " + netlistFile +
                             " could not settle within its bound",
                         ExitTrouble);
}

void NetsCommand(const CliArgs &args, std::ostream &out) {
  const auto layout = OpenLayout(args.Positional[0]);
  out << NetListing(layout->Board);
}

namespace {

// An option's whole value as a number within [least, most]; anything else is a wrong argument.
template <typename Number>
Number WholeNumber(const CliArgs &args, const std::string &option, Number fallback, Number least,
                   Number most) {
  if (!args.Has(option))
    return fallback;
  const std::string text = args.Value(option);
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < least || value > most)
    throw CommandFailure(option + " takes a whole number from " + std::to_string(least) + " to " +
                             std::to_string(most) + ", not \"" + text + "\"",
                         ExitUsage);
  return value;
}

double Seconds(const CliArgs &args) {
  if (!args.Has("--seconds"))
    return layout::LayoutOptions{}.Seconds;
  const std::string text = args.Value("--seconds");
  char *end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(value) || value <= 0 || value > 86400)
    throw CommandFailure("--seconds takes a positive number of seconds, not \"" + text + "\"",
                         ExitUsage);
  return value;
}

std::string BaseName(const std::string &path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

// Lays the circuit of a netlist out and writes it, named after the netlist; nothing is written
// when the netlist cannot be read or the circuit cannot be laid out within the limits.
void LayoutCommand(const CliArgs &args, std::ostream &out) {
  layout::LayoutOptions options;
  options.Seed = WholeNumber<std::uint64_t>(args, "--seed", 1, 0, UINT64_MAX);
  options.Seconds = Seconds(args);
  options.MaxTraces =
      WholeNumber<std::int32_t>(args, "--max-traces", options.MaxTraces, 1, MaxLayoutTraces);
  options.MaxRows = WholeNumber<std::int32_t>(args, "--max-rows", options.MaxRows, 10, 40);
  const std::string &netlist = args.Positional[0];
  const auto start = std::chrono::steady_clock::now();
  const circuit::Circuit circuit = circuit::ReadCircuitFile(netlist);
  const layout::LayoutResult result = layout::LayOut(circuit, options);
  if (!result.Found)
    throw TarnwickError(result.Why);
  Board board;
  BuildBoard(result.Layout, board);
  WriteLayoutFile(args.Positional[1], board, BaseName(netlist));
  const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
  const layout::LayoutCost &c = result.Cost;
  out << c.Traces << " \u00d7 " << c.Rows << " = " << c.Holes() << " holes, " << c.Links
      << " links, " << c.CutHoles << " cut holes, " << std::fixed << std::setprecision(2)
      << spent.count() << " s\n";
}

const std::vector<CliCommand> &Commands() {
  static const std::vector<CliCommand> commands = {
      {"info",
       {"LAYOUT"},
       {},
       "print the name and the numbers of traces, pins, components and dropped entries",
       false,
       &InfoCommand},
      {"resave", {"LAYOUT", "OUT"}, {}, "open LAYOUT and save it as OUT", false, &ResaveCommand},
      {"shrink",
       {"LAYOUT", "OUT"},
       {},
       "open LAYOUT, shrink the board to its components and save it as OUT",
       false,
       &ShrinkCommand},
      {"import",
       {"NETLIST", "LAYOUT"},
       {},
       "import NETLIST as the editor's first import after start and save it as LAYOUT",
       false,
       &ImportCommand},
      {"render",
       {"LAYOUT", "IMAGE.png"},
       {{"--flow", nullptr}, {"--no-labels", nullptr}},
       "open LAYOUT and export it as a PNG image captioned with its name; --flow shows the\n"
       "      flow, --no-labels hides the component names",
       true,
       &RenderCommand},
      {"print",
       {"LAYOUT", "OUT.pdf"},
       {{"--spacing", "MM"}, {"--no-highlight", nullptr}, {"--copper-side", nullptr}},
       "open LAYOUT and print it to a PDF file on A4 portrait, MM millimetres between holes\n"
       "      (2.54 unless given, a point as decimal separator), traces highlighted unless\n"
       "      --no-highlight, mirrored to lay on the copper side with --copper-side",
       true,
       &PrintCommand},
      {"cuts",
       {"LAYOUT"},
       {{"--copper-side", nullptr}},
       "print the cut list of LAYOUT as File > Export Cut List writes it: every hole to cut,\n"
       "      in strip order from the component side, or from the copper side with --copper-side",
       false,
       &CutsCommand},
      {"parts",
       {"LAYOUT"},
       {},
       "print the parts list of LAYOUT as CSV, as File > Export Parts List writes it",
       false,
       &PartsCommand},
      {"check",
       {"LAYOUT", "NETLIST"},
       {},
       "check that LAYOUT implements the circuit of NETLIST (a SPICE deck or a KiCad\n"
       "      netlist); prints every problem, one per line; exits 0 when it does, 1 when it\n"
       "      does not, 2 when a file cannot be read or is malformed, or when the check could\n"
       "      not settle within its bound",
       false,
       &CheckCommand},
      {"layout",
       {"NETLIST", "OUT.twk"},
       {{"--seed", "N"}, {"--seconds", "S"}, {"--max-traces", "W"}, {"--max-rows", "H"}},
       "lay out the circuit of NETLIST (SPICE or KiCad) on a compact board and save it as\n"
       "      OUT.twk; prints traces \u00d7 rows = holes, links, cut holes and seconds. The same\n"
       "      seed (1 unless given) gives the same layout; S seconds cap the search (60),\n"
       "      W traces (200) and H rows (10 to 40, 40 unless given) bound the board",
       false,
       &LayoutCommand},
      {"nets",
       {"LAYOUT"},
       {},
       "print every net of LAYOUT: its strips, the part ends and the trace labels on it",
       false,
       &NetsCommand},
  };
  return commands;
}

} // namespace tarnwick::cli
