#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tarnwick::cli {

// Exit statuses of tarnwick-cli.
inline constexpr int ExitOk = 0;
inline constexpr int ExitError = 1; // the command failed; the editor's message is on stderr
inline constexpr int ExitUsage = 2; // the arguments were wrong; the usage is on stderr
// check, as diff and cmp: 1 is the answer "does not implement", 2 is trouble (a file that
// cannot be read or is malformed, or a check that could not settle)
inline constexpr int ExitTrouble = 2;

// Runs one command line (without the program name): the command's output goes to out,
// messages and usage to err. Returns the exit status.
int RunCli(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

// The usage text printed by --help and after a usage error.
std::string Usage();

} // namespace tarnwick::cli
