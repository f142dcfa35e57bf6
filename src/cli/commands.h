#pragma once

#include <iosfwd>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick::cli {

// The arguments of one command, checked against its table entry.
struct CliArgs {
  std::vector<std::string> Positional;
  std::map<std::string, std::string> Options; // "--flow" -> "", "--spacing" -> "2.54"

  bool Has(const std::string &option) const { return Options.count(option) != 0; }
  std::string Value(const std::string &option, const std::string &fallback = {}) const {
    const auto it = Options.find(option);
    return it == Options.end() ? fallback : it->second;
  }
};

struct CliOption {
  const char *Name;      // "--spacing"
  const char *ValueName; // "MM", or nullptr for a switch
};

// One entry of the command table. A command does what the editor does for the same steps
// and raises TarnwickError with the editor's message when that fails.
struct CliCommand {
  const char *Name;
  std::vector<const char *> Positional; // names shown in the usage, all required
  std::vector<CliOption> Options;
  const char *Summary;
  // Commands that draw need the toolkit (on its offscreen platform); the others run on the
  // core alone.
  bool NeedsToolkit;
  void (*Run)(const CliArgs &args, std::ostream &out);
};

// A command's failure with an exit status of its own (the others exit with ExitError).
class CommandFailure : public std::runtime_error {
public:
  CommandFailure(const std::string &message, int status)
      : std::runtime_error(message), Status(status) {}
  int Status;
};

// Every command, in the order the usage lists them.
const std::vector<CliCommand> &Commands();

// The commands themselves.
void InfoCommand(const CliArgs &args, std::ostream &out);
void ResaveCommand(const CliArgs &args, std::ostream &out);
void ShrinkCommand(const CliArgs &args, std::ostream &out);
void ImportCommand(const CliArgs &args, std::ostream &out);
void RenderCommand(const CliArgs &args, std::ostream &out);
void PrintCommand(const CliArgs &args, std::ostream &out);
void CutsCommand(const CliArgs &args, std::ostream &out);
void PartsCommand(const CliArgs &args, std::ostream &out);
void CheckCommand(const CliArgs &args, std::ostream &out);
void NetsCommand(const CliArgs &args, std::ostream &out);
void LayoutCommand(const CliArgs &args, std::ostream &out);

} // namespace tarnwick::cli
