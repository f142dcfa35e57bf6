// tarnwick-cli: the editor's file operations from the command line, without a display.
#include "cli/cli.h"

#include <QString>
#include <QtGlobal>
#include <cstdlib>
#include <iostream>

namespace {

// The toolkit's notes about its surroundings (no session runtime folder on a build server,
// a missing font) are not the command's business: stderr carries only the command's own
// messages. What the toolkit cannot go on from still shows.
void ToolkitMessage(QtMsgType type, const QMessageLogContext &, const QString &message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::cerr << "tarnwick-cli: " << message.toLocal8Bit().constData() << std::endl;
}

} // namespace

int main(int argc, char **argv) {
  // Never a window: commands that draw do it on the toolkit's offscreen platform.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(ToolkitMessage);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = tarnwick::cli::RunCli(args, std::cout, std::cerr);
  std::cout.flush();
  if (!std::cout)
    return tarnwick::cli::ExitError;
  return status;
}
