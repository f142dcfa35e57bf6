#include "document/recovery_store.h"
#include "ui/application.h"
#include "ui/command_line.h"
#include "ui/desktop.h"
#include "ui/file_names.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

std::vector<std::string> Arguments(int argc, char **argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

// Help, version and refusals end the program before it needs a display; -1 lets it run.
int Answer(const tarnwick::CommandLine &c) {
  using Action = tarnwick::CommandLine::Action;
  switch (c.What) {
  case Action::Help:
    std::fputs(tarnwick::HelpText().c_str(), stdout);
    return 0;
  case Action::Version:
    std::printf("%s\n", tarnwick::VersionText().c_str());
    return 0;
  case Action::Refuse:
    std::fprintf(stderr, "tarnwick: %s\n%s\n", c.Problem.c_str(), tarnwick::UsageLine().c_str());
    return 2;
  case Action::Run:
    break;
  }
  return -1;
}

} // namespace

int main(int argc, char **argv) {
  if (const int status = Answer(tarnwick::ParseCommandLine(Arguments(argc, argv), true));
      status >= 0)
    return status;
  tarnwick::TApplication app(argc, argv);
  // The toolkit has taken its own options out of the arguments by now.
  const tarnwick::CommandLine given = tarnwick::ParseCommandLine(Arguments(argc, argv), false);
  if (const int status = Answer(given); status >= 0)
    return status;

  tarnwick::QtPrompts prompts;
  tarnwick::TMainForm form(prompts);
  form.CreateDialogs();
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tarnwick"),
                     QStringLiteral("tarnwick"));
  tarnwick::DesktopShell desktop(
      form, settings, tarnwick::RecoveryFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")));
  form.show();
  // Once the event loop runs: the window is up (and maximised) when the questions come.
  // Any name the system gives opens, also one that is not UTF-8.
  const QString file = tarnwick::FileNameFromNative(given.File);
  QTimer::singleShot(0, &form, [&desktop, file] { desktop.Start(file); });
  return app.exec();
}
