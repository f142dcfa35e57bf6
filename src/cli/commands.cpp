// The commands of tarnwick-cli: each opens a layout as File > Open does and repeats the
// editor's steps on it.
#include "cli/commands.h"

#include "document/layout_file.h"
#include "editing/edit_operations.h"

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
  WriteLayoutFile(args.Positional[1], layout->Board, layout->Data.Name);
}

// Edit > Shrink Board, then File > Save as. A layout without traces is saved as it is, since
// the editor's command does nothing on it.
void ShrinkCommand(const CliArgs &args, std::ostream &) {
  const auto layout = OpenLayout(args.Positional[0]);
  ShrinkBoard(layout->Board);
  WriteLayoutFile(args.Positional[1], layout->Board, layout->Data.Name);
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
  };
  return commands;
}

} // namespace tarnwick::cli
