#include "cli/cli.h"

#include "board/board.h"
#include "cli/commands.h"
#include "ui/application.h"

#include <QCoreApplication>
#include <optional>
#include <ostream>
#include <sstream>

namespace tarnwick::cli {
namespace {

struct UsageError {
  std::string Message;
};

const CliCommand *FindCommand(const std::string &name) {
  for (const CliCommand &c : Commands())
    if (name == c.Name)
      return &c;
  return nullptr;
}

const CliOption *FindOption(const CliCommand &command, const std::string &name) {
  for (const CliOption &o : command.Options)
    if (name == o.Name)
      return &o;
  return nullptr;
}

CliArgs ParseArguments(const CliCommand &command, const std::vector<std::string> &args) {
  CliArgs parsed;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string &a = args[i];
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      const CliOption *option = FindOption(command, a);
      if (!option)
        throw UsageError{"unknown option " + a + " for " + command.Name};
      if (option->ValueName) {
        if (i + 1 >= args.size())
          throw UsageError{a + " needs a value " + option->ValueName};
        parsed.Options[a] = args[++i];
      } else {
        parsed.Options[a] = "";
      }
    } else {
      parsed.Positional.push_back(a);
    }
  }
  if (parsed.Positional.size() != command.Positional.size())
    throw UsageError{std::string(command.Name) + " takes " +
                     std::to_string(command.Positional.size()) + " argument" +
                     (command.Positional.size() == 1 ? "" : "s")};
  return parsed;
}

// The toolkit on its offscreen platform, for commands that draw, alive while they run. It
// sees none of the command's arguments, so a file named like a toolkit option stays a file.
struct Toolkit {
  int argc = 1;
  char name[13] = "tarnwick-cli";
  char *argv[2] = {name, nullptr};
  std::optional<TApplication> app;
  explicit Toolkit(bool needed) {
    if (needed && !QCoreApplication::instance())
      app.emplace(argc, argv);
  }
};

} // namespace

std::string Usage() {
  std::ostringstream s;
  s << "Usage: tarnwick-cli COMMAND ARGUMENTS...\n"
       "       tarnwick-cli --help\n"
       "\n"
       "Works on Tarnwick layout files (.twk) without a display, doing what the editor does.\n"
       "\n"
       "Commands:\n";
  for (const CliCommand &c : Commands()) {
    std::string line = std::string("  ") + c.Name;
    for (const char *p : c.Positional)
      line += std::string(" ") + p;
    for (const CliOption &o : c.Options)
      line +=
          std::string(" [") + o.Name + (o.ValueName ? std::string(" ") + o.ValueName : "") + "]";
    s << line << "\n      " << c.Summary << "\n";
  }
  s << "\n"
       "Exit status: 0 on success, 1 when the command failed (the message is printed),\n"
       "2 when the arguments are wrong. An output file is written only on success. check\n"
       "exits as diff and cmp do: 1 when the layout does not implement the netlist, 2 on\n"
       "trouble (a file that cannot be read or is malformed).\n";
  return s.str();
}

int RunCli(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << Usage();
    return ExitOk;
  }
  try {
    if (args.empty())
      throw UsageError{"no command given"};
    const CliCommand *command = FindCommand(args[0]);
    if (!command)
      throw UsageError{"unknown command " + args[0]};
    const CliArgs parsed = ParseArguments(*command, args);
    const Toolkit toolkit(command->NeedsToolkit);
    command->Run(parsed, out);
    out.flush();
    return ExitOk;
  } catch (const UsageError &e) {
    err << "tarnwick-cli: " << e.Message << "\n" << Usage();
    return ExitUsage;
  } catch (const CommandFailure &e) {
    err << "tarnwick-cli: " << e.what() << "\n";
    return e.Status;
  } catch (const std::exception &e) {
    err << "tarnwick-cli: " << e.what() << "\n";
    return ExitError;
  }
}

} // namespace tarnwick::cli
