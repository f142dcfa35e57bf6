#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// What the editor was asked on its command line: `tarnwick [FILE]`, where a layout opens and a
// netlist (".net") is imported, or --help / --version.
struct CommandLine {
  enum class Action { Run, Help, Version, Refuse };
  Action What = Action::Run;
  std::string File;    // empty when none was given
  std::string Problem; // why the arguments were refused
};

// The toolkit takes options of its own (-platform offscreen, -style fusion, --display :1)
// and removes them from the arguments when the application starts, which needs a display.
// So the arguments are read twice: before the start (`beforeToolkit`), where the toolkit's
// options and their values are passed over and everything else is read as after the start,
// so that --help, --version, an unknown option or a second file need no display; and after it,
// where anything left that looks like an option is refused.
CommandLine ParseCommandLine(const std::vector<std::string> &args, bool beforeToolkit);

// Netlists are told by their extension ".net" (any letter case); every other file is opened
// as a layout.
bool IsNetlistFileName(std::string_view fileName);

std::string UsageLine();
std::string HelpText();
std::string VersionText();

} // namespace tarnwick
