// Every file the program writes (a layout, an exported image, a PDF printout) against a missing
// folder, a folder in the way and a full disk. Each command runs through its menu entry, so its
// error reaches the application's top-level handler as it does for the user; the checks are that
// the message is shown, the window goes on with the layout intact, an existing file keeps every
// byte and no temporary file is left beside the target.
#include "../output/board_fixture.h"
#include "output/u_print.h"
#include "support/scripted_prompts.h"
#include "ui/application.h"
#include "ui/main_form.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/resource.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  fs::path path;
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-writes-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path); }
  QString File(const std::string &name) const {
    return QString::fromStdString((path / name).string());
  }
  // Every name in the folder, sorted; a leftover temporary file shows up here.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(path))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

std::string Slurp(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Spit(const fs::path &p, const std::string &bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

// A bit of every byte value, so a file rewritten in any encoding would differ.
std::string OldContent(const char *what) {
  std::string bytes = std::string("the ") + what + " of yesterday\r\n";
  for (int i = 0; i < 256; ++i)
    bytes.push_back(static_cast<char>(i));
  return bytes;
}

// A command that writes a file: its menu entry, the name of its file and how that file begins.
struct Writer {
  const char *Name;
  const char *Menu;
  const char *FileName;
  const char *Magic;
};

const Writer Layout{"layout", "Save as...", "board.twk", "[Schematic]\r\n"};
const Writer Image{"image", "Export Image...", "board.png", "\x89PNG\r\n\x1a\n"};
const Writer Pdf{"PDF printout", "Print...", "board.pdf", "%PDF-"};

// The main window with a layout of every kind of part, as the program builds it.
struct Window {
  ScriptedPrompts prompts;
  TMainForm form{prompts};
  QStringList reported;

  Window() {
    form.CreateDialogs();
    test::FillSampleBoard(form.Board());
    form.Edit3->setText(QStringLiteral("Amplifier"));
    form.SetModified();
    static_cast<TApplication *>(QCoreApplication::instance())
        ->SetErrorReporter([this](const QString &m) { reported << m; });
  }
  ~Window() {
    static_cast<TApplication *>(QCoreApplication::instance())->SetErrorReporter(nullptr);
  }

  QAction *MenuAction(const char *caption) const {
    for (QAction *menu : form.menuBar()->actions())
      for (QAction *a : menu->menu()->actions())
        if (a->text() == QLatin1String(caption))
          return a;
    ADD_FAILURE() << "no menu entry " << caption;
    return nullptr;
  }

  // Chooses the menu entry as the user would, answering its dialogs with `target`, and returns
  // the messages the application reported while it ran.
  QStringList Run(const Writer &w, const QString &target) {
    reported.clear();
    if (&w == &Pdf) {
      prompts.OnExec = [target](QDialog &d) {
        auto &print = dynamic_cast<TPrintForm &>(d);
        print.Printer().setOutputFormat(QPrinter::PdfFormat);
        print.Printer().setOutputFileName(target);
        print.Button1->click();
        return print.result();
      };
    } else {
      prompts.SaveNames = {target};
    }
    QAction *action = MenuAction(w.Menu);
    if (!action)
      return {};
    // Queued, so the command runs from the event loop, under the top-level handler.
    QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    prompts.OnExec = nullptr;
    return reported;
  }

  // The layout is as it was: every part in the board and in the list, the changes still marked
  // as unsaved.
  bool Intact() {
    return form.Board().ComponentCount() == 10 && form.ListView1->topLevelItemCount() == 10 &&
           form.Board().TraceCount() == 10 && form.Modified();
  }
};

QString CannotCreate(const QString &target, const char *reason) {
  return "Cannot create file \"" + target + "\". " + reason;
}

// The message each writer shows for a target it cannot create.
QString Expected(const Writer &w, const QString &target, const char *reason) {
  if (&w == &Layout)
    return "Unable to write to " + target;
  return CannotCreate(target, reason);
}

TEST(WriteFailures, MissingFolderAndFolderInTheWayChangeNothing) {
  for (const Writer *w : {&Layout, &Image, &Pdf}) {
    SCOPED_TRACE(w->Name);
    TempDir dir;
    Window window;
    fs::create_directory(dir.path / w->FileName);
    Spit(dir.path / w->FileName / "inside", "kept");

    const QString missing = dir.File(std::string("missing/") + w->FileName);
    EXPECT_EQ(window.Run(*w, missing),
              QStringList{Expected(*w, missing, "No such file or directory")});
    EXPECT_TRUE(window.Intact());

    const QString folder = dir.File(w->FileName);
    EXPECT_EQ(window.Run(*w, folder), QStringList{Expected(*w, folder, "Is a directory")});
    EXPECT_TRUE(window.Intact());
    EXPECT_EQ(Slurp(dir.path / w->FileName / "inside"), "kept");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{w->FileName});

    // The program goes on: the same command to a usable name writes the file.
    const std::string good = "good" + fs::path(w->FileName).extension().string();
    EXPECT_EQ(window.Run(*w, dir.File(good)), QStringList{});
    EXPECT_EQ(Slurp(dir.path / good).rfind(w->Magic, 0), 0u);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{w->FileName, good}));
  }
}

// The file size limit of the process stands in for a full disk: writing past it fails with
// EFBIG (SIGXFSZ is ignored), for root as well. It is set in a child process only, so nothing
// else this test program writes can run into it.
void LimitFileSize(rlim_t bytes) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = bytes;
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
    std::abort();
}

// Runs in the child: the command against a full disk over an existing file. Prints what went
// wrong and exits with 0 only when everything held.
[[noreturn]] void WriteToFullDisk(const Writer &w) {
  TempDir dir;
  const fs::path target = dir.path / w.FileName;
  const std::string old = OldContent(w.Name);
  Spit(target, old);
  Window window;
  LimitFileSize(512);
  const QStringList reported = window.Run(w, QString::fromStdString(target.string()));
  bool ok = true;
  const auto check = [&](bool held, const char *what) {
    if (!held)
      std::cerr << "FAILED: " << what << "\n";
    ok = ok && held;
  };
  for (const QString &m : reported)
    std::cerr << "reported: " << m.toStdString() << "\n";
  check(reported.size() == 1, "exactly one message");
  check(window.Intact(), "the layout is intact");
  check(Slurp(target) == old, "the old file is unchanged");
  check(dir.Names() == std::vector<std::string>{w.FileName}, "no temporary file is left");
  std::cerr.flush();
  std::_Exit(ok ? 0 : 1);
}

TEST(WriteFailuresDeathTest, AFullDiskKeepsTheOldFile) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(WriteToFullDisk(Layout), testing::ExitedWithCode(0),
              "reported: Unable to write to .*/board.twk\n");
  EXPECT_EXIT(WriteToFullDisk(Image), testing::ExitedWithCode(0), "reported: Stream write error\n");
  EXPECT_EXIT(WriteToFullDisk(Pdf), testing::ExitedWithCode(0), "reported: Stream write error\n");
}

} // namespace
} // namespace tarnwick
