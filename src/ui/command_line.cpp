#include "ui/command_line.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tarnwick {
namespace {

// The toolkit's options, also accepted with two dashes; those marked take a value.
struct ToolkitOption {
  std::string_view Name;
  bool TakesValue;
};
constexpr std::array<ToolkitOption, 24> ToolkitOptions{{
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"display", true},
    {"geometry", true},
    {"style", true},
    {"stylesheet", true},
    {"session", true},
    {"name", true},
    {"title", true},
    {"visual", true},
    {"ncols", true},
    {"qmljsdebugger", true},
    {"cmap", false},
    {"testability", false},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
}};

const ToolkitOption *FindToolkitOption(std::string_view arg) {
  arg.remove_prefix(arg.starts_with("--") ? 2 : 1);
  arg = arg.substr(0, arg.find('='));
  for (const ToolkitOption &o : ToolkitOptions)
    if (o.Name == arg)
      return &o;
  return nullptr;
}

CommandLine Refuse(std::string problem) {
  CommandLine c;
  c.What = CommandLine::Action::Refuse;
  c.Problem = std::move(problem);
  return c;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string> &args, bool beforeToolkit) {
  CommandLine result;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string &arg = args[i];
    const bool option = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!option) {
      if (!result.File.empty())
        return Refuse("more than one file given: " + result.File + ", " + arg);
      result.File = arg;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      result.What = CommandLine::Action::Help;
      return result;
    } else if (arg == "--version") {
      result.What = CommandLine::Action::Version;
      return result;
    } else if (const ToolkitOption *o = beforeToolkit ? FindToolkitOption(arg) : nullptr) {
      if (o->TakesValue && arg.find('=') == std::string::npos)
        ++i;
    } else {
      return Refuse("unknown option " + arg);
    }
  }
  return result;
}

bool IsNetlistFileName(std::string_view fileName) {
  if (fileName.size() < 4)
    return false;
  std::string ext(fileName.substr(fileName.size() - 4));
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".net";
}

std::string UsageLine() {
  return "Usage: tarnwick [--help] [--version] [LAYOUT.twk | NETLIST.net]";
}

std::string HelpText() {
  return UsageLine() + "\n"
                       "Stripboard layout editor.\n"
                       "\n"
                       "  LAYOUT.twk     open this layout at start\n"
                       "  NETLIST.net    import this netlist at start\n"
                       "  --help         print this help and exit\n"
                       "  --version      print the version and exit\n";
}

std::string VersionText() { return "Tarnwick v0.1"; }

} // namespace tarnwick
