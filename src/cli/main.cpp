// tarnwick-cli: the editor's file operations from the command line, without a display.
#include "cli/cli.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char **argv) {
  // Never a window: commands that draw do it on the toolkit's offscreen platform.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = tarnwick::cli::RunCli(args, std::cout, std::cerr);
  std::cout.flush();
  if (!std::cout)
    return tarnwick::cli::ExitError;
  return status;
}
