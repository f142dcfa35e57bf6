#include "document/layout_file.h"
#include "document/newschematic.h"
#include "support/scripted_prompts.h"
#include "ui/EnhControls.h"
#include "ui/application.h"
#include "ui/main_form.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

const QString DiscardText =
    QStringLiteral("Do you want to discard the changes made to the current layout?");

struct TempDir {
  fs::path path;
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-docs-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path); }
  QString File(const char *name) const { return QString::fromStdString((path / name).string()); }
  std::size_t Count() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(path), fs::directory_iterator()));
  }
};

std::string Slurp(const QString &p) {
  std::ifstream in(p.toStdString(), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

QString Data(const char *name) {
  return QStringLiteral(TARNWICK_TEST_DATA "/") + QString::fromLatin1(name);
}

// The main window as the program builds it, with scripted answers.
struct Window {
  ScriptedPrompts prompts;
  TMainForm form{prompts};
  Window() { form.CreateDialogs(); }

  // Answers the next New Layout dialog with these values, or cancels it.
  void NewLayoutAnswers(int traces, int pins, bool ok = true) {
    prompts.OnExec = [traces, pins, ok](QDialog &d) {
      auto &f = dynamic_cast<TNewLayoutForm &>(d);
      f.UpDownEdit1->SetPosition(traces);
      f.UpDownEdit2->SetPosition(pins);
      return ok ? QDialog::Accepted : QDialog::Rejected;
    };
  }
  void MakeChange() {
    auto c = std::make_unique<BoardComponent>();
    c->Name = "added";
    c->Kind = 4;
    c->StartTrace = 0;
    c->EndTrace = 1;
    c->StartPin = 0;
    form.AddComponentToLayout(std::move(c));
  }
  std::vector<std::pair<QString, QString>> Rows() const {
    std::vector<std::pair<QString, QString>> rows;
    for (int i = 0; i < form.ListView1->topLevelItemCount(); ++i)
      rows.emplace_back(form.ListView1->topLevelItem(i)->text(0),
                        form.ListView1->topLevelItem(i)->text(1));
    return rows;
  }
};

using Rows = std::vector<std::pair<QString, QString>>;

TEST(DocsCommands, NewBuildsTheBoardAndKeepsTheDialogValues) {
  Window w;
  auto *dialog = w.form.findChild<TNewLayoutForm *>(QStringLiteral("NewLayoutForm"));
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isHidden());
  EXPECT_EQ(dialog->windowTitle(), "Create a new layout");
  EXPECT_EQ(dialog->size(), QSize(280, 105));
  EXPECT_EQ(dialog->UpDownEdit1->text(), "40");
  EXPECT_EQ(dialog->UpDownEdit2->text(), "40");
  EXPECT_EQ(dialog->UpDownEdit1->geometry().topLeft(), QPoint(16, 32));
  EXPECT_EQ(dialog->UpDownEdit2->width(), 73);
  EXPECT_TRUE(dialog->Button1->isDefault());
  EXPECT_LE(dialog->Label2->geometry().right(), dialog->width() - 1); // the caption fits
  EXPECT_FALSE(w.form.Edit3->isEnabled());

  // Cancel changes nothing.
  w.NewLayoutAnswers(30, 20, false);
  w.form.New1Click();
  EXPECT_EQ(w.form.Board().TraceCount(), 0);
  EXPECT_FALSE(w.form.Edit3->isEnabled());

  // A stale highlight of an earlier board is cleared by the reset.
  w.form.Board().HighlightTrace = 70;
  w.form.Board().HighlightEndTrace = 80;
  w.form.Board().HighlightPin = 30;
  w.NewLayoutAnswers(60, 60);
  w.form.New1Click();
  EXPECT_EQ(w.form.Board().TraceCount(), 60);
  EXPECT_EQ(w.form.Board().PinCount(), 40);
  EXPECT_EQ(w.form.Board().HighlightTrace, -1);
  EXPECT_EQ(w.form.Board().HighlightEndTrace, -1);
  EXPECT_EQ(w.form.Board().HighlightPin, -1);
  EXPECT_TRUE(w.form.Edit3->isEnabled());
  EXPECT_EQ(w.form.Edit3->text(), "(enter schematic name here)");
  EXPECT_FALSE(w.form.Panel1->isHidden());
  EXPECT_EQ(w.form.windowTitle(), "Tarnwick");
  EXPECT_TRUE(w.form.CurrentFileName().isEmpty());
  EXPECT_FALSE(w.form.Modified());
  EXPECT_EQ(w.prompts.DialogsRun,
            (std::vector<QString>{"Create a new layout", "Create a new layout"}));

  // The one dialog keeps the values of the last use.
  int shownTraces = 0, shownPins = 0;
  w.prompts.OnExec = [&](QDialog &d) {
    auto &f = dynamic_cast<TNewLayoutForm &>(d);
    shownTraces = f.UpDownEdit1->Position();
    shownPins = f.UpDownEdit2->Position();
    f.UpDownEdit2->SetPosition(5);
    return QDialog::Accepted;
  };
  w.form.New1Click();
  EXPECT_EQ(shownTraces, 60);
  EXPECT_EQ(shownPins, 60);
  EXPECT_EQ(w.form.Board().PinCount(), 10);
  EXPECT_EQ(dialog->UpDownEdit2->text(), "5");
}

TEST(DocsCommands, NewAndOpenAskBeforeDiscardingChanges) {
  Window w;
  w.NewLayoutAnswers(10, 20);
  w.form.New1Click();
  w.MakeChange();
  ASSERT_TRUE(w.form.Modified());
  w.prompts.DialogsRun.clear();

  // New: Cancel in the query shows no dialog and changes nothing.
  w.prompts.Questions = {false};
  w.form.New1Click();
  EXPECT_TRUE(w.prompts.DialogsRun.empty());
  EXPECT_EQ(w.form.Board().ComponentCount(), 1);
  EXPECT_TRUE(w.form.Modified());
  ASSERT_EQ(w.prompts.Shown.size(), 1u);
  EXPECT_EQ(w.prompts.Shown[0].Caption, "Discard Changes?");
  EXPECT_EQ(w.prompts.Shown[0].Text, DiscardText);

  // Open: Cancel in the query shows no open dialog.
  w.prompts.Questions = {false};
  w.form.Open1Click();
  EXPECT_TRUE(w.prompts.FileDialogs.empty());
  // OK, then Cancel in the open dialog: still unchanged.
  w.prompts.Questions = {true};
  w.prompts.OpenNames = {QString()};
  w.form.Open1Click();
  EXPECT_EQ(w.prompts.FileDialogs.size(), 1u);
  EXPECT_EQ(w.form.Board().ComponentCount(), 1);
  EXPECT_EQ(w.Rows().size(), 1u);
  EXPECT_TRUE(w.form.Modified());

  // New with OK in the query discards.
  w.prompts.Questions = {true};
  w.form.New1Click();
  EXPECT_EQ(w.form.Board().ComponentCount(), 0);
  EXPECT_FALSE(w.form.Modified());
  // Without changes neither command asks.
  w.prompts.Shown.clear();
  w.form.New1Click();
  w.prompts.OpenNames = {QString()};
  w.form.Open1Click();
  EXPECT_TRUE(w.prompts.Shown.empty());
}

TEST(DocsCommands, OpenFillsTheBoardTheListTheNameAndTheTitle) {
  Window w;
  w.prompts.OpenNames = {Data("amp.twk")};
  w.form.Open1Click();
  ASSERT_EQ(w.prompts.FileDialogs.size(), 1u);
  const FileRequest &request = w.prompts.FileDialogs[0].Request;
  EXPECT_FALSE(w.prompts.FileDialogs[0].Save);
  EXPECT_EQ(request.Filter, "Layout Files (*.twk)");
  EXPECT_EQ(request.DefaultSuffix, "twk");
  EXPECT_TRUE(request.MustExist);

  EXPECT_EQ(w.form.windowTitle(), "Tarnwick [amp.twk]");
  EXPECT_EQ(w.form.CurrentFileName(), Data("amp.twk"));
  EXPECT_EQ(w.form.Edit3->text(), "Test board");
  EXPECT_TRUE(w.form.Edit3->isEnabled());
  EXPECT_FALSE(w.form.Panel1->isHidden());
  EXPECT_FALSE(w.form.Modified());
  EXPECT_EQ(w.form.Board().TraceCount(), 4);
  EXPECT_EQ(w.form.Board().GetTrace(2).Name, "OUT");
  EXPECT_EQ(w.Rows(), (Rows{{"R", "10k"}, {"C", "100u"}, {"---", "<unnamed>"}}));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(TMainForm::RowComponent(w.form.ListView1->topLevelItem(i)),
              &w.form.Board().GetComponent(i));

  // A file kept by hand: Latin-1 name, lower-case keys, a dropped entry, PinCount clamped.
  w.prompts.OpenNames = {Data("handmade.twk")};
  w.form.Open1Click();
  EXPECT_EQ(w.form.windowTitle(), "Tarnwick [handmade.twk]");
  EXPECT_EQ(w.form.Edit3->text(), QStringLiteral("Verst\u00e4rker"));
  EXPECT_EQ(w.form.Board().PinCount(), 40);
  EXPECT_EQ(w.Rows(), (Rows{{"C", "C1"}}));
  EXPECT_EQ(w.form.Board().GetComponent(0).CapWidth, 1); // span 1, no CapWidth key
  // The dropped entry is not lost in silence: the next save would make the loss final.
  EXPECT_EQ(w.prompts.Texts(ScriptedPrompts::Box::Warning),
            std::vector<QString>{"1 of the 2 parts listed in handmade.twk were dropped: their "
                                 "entries are missing or have no position. Saving the layout "
                                 "keeps only the parts shown."});

  // A file beyond the limits, one that cannot be read, or one that is not a layout leaves the
  // layout as it was.
  w.MakeChange();
  TempDir dir;
  std::ofstream(dir.File("notes.txt").toStdString(), std::ios::binary) << "Name=list\r\n";
  // More parts than the window lists and draws without holding up the user for seconds.
  std::ofstream(dir.File("huge.twk").toStdString(), std::ios::binary)
      << "[Schematic]\r\nPartCount=100001\r\n";
  for (const QString &bad : {Data("too_many_traces.twk"), dir.File("gone.twk"),
                             dir.File("notes.txt"), dir.File("huge.twk")}) {
    w.prompts.Questions = {true};
    w.prompts.OpenNames = {bad};
    const QString error = RunReportingError([&] { w.form.Open1Click(); });
    EXPECT_TRUE(error.contains(bad)) << error.toStdString();
    EXPECT_EQ(w.form.windowTitle(), "Tarnwick [handmade.twk]");
    EXPECT_EQ(w.Rows(), (Rows{{"C", "C1"}, {"D", "added"}}));
    EXPECT_TRUE(w.form.Modified());
  }
  w.prompts.Questions = {true};
  w.prompts.OpenNames = {Data("too_many_traces.twk")};
  EXPECT_EQ(RunReportingError([&] { w.form.Open1Click(); }),
            "Unable to open " + Data("too_many_traces.twk") +
                ": TraceCount 20000 is above the limit of 10000");
  w.prompts.Questions = {true};
  w.prompts.OpenNames = {dir.File("huge.twk")};
  EXPECT_EQ(RunReportingError([&] { w.form.Open1Click(); }),
            "Unable to open " + dir.File("huge.twk") +
                ": PartCount 100001 is above the limit of 100000");
  w.prompts.Questions = {true};
  w.prompts.OpenNames = {dir.File("notes.txt")};
  EXPECT_EQ(RunReportingError([&] { w.form.Open1Click(); }),
            dir.File("notes.txt") + " is not a Tarnwick layout: it has no [Schematic] section");
  EXPECT_EQ(w.prompts.Texts(ScriptedPrompts::Box::Warning).size(), 1u);
}

TEST(DocsCommands, SaveAsksForANameOnceAndSetsTheTitle) {
  TempDir dir;
  Window w;
  // Right after start Save does nothing; Save as writes an empty layout.
  w.form.Save1Click();
  EXPECT_TRUE(w.prompts.FileDialogs.empty());
  w.prompts.SaveNames = {dir.File("empty.twk")};
  w.form.Saveas1Click();
  EXPECT_EQ(Slurp(dir.File("empty.twk")),
            "[Schematic]\r\nVersion=1\r\nPartCount=0\r\nTraceCount=0\r\nPinCount=0\r\nName=\r\n");
  EXPECT_EQ(w.form.windowTitle(), "Tarnwick [empty.twk]");

  w.prompts.OpenNames = {Data("amp.twk")};
  w.form.Open1Click();
  w.NewLayoutAnswers(4, 12);
  w.form.New1Click();
  EXPECT_EQ(w.form.windowTitle(), "Tarnwick");
  w.MakeChange();
  w.form.Edit3->setText(QStringLiteral("Amplifier"));
  const std::size_t dialogsBefore = w.prompts.FileDialogs.size();
  w.prompts.SaveNames = {dir.File("amp.twk")};
  w.form.Save1Click();
  ASSERT_EQ(w.prompts.FileDialogs.size(), dialogsBefore + 1);
  const FileRequest &request = w.prompts.FileDialogs.back().Request;
  EXPECT_TRUE(w.prompts.FileDialogs.back().Save);
  EXPECT_EQ(request.Filter, "Layout Files (*.twk)");
  EXPECT_EQ(request.DefaultSuffix, "twk");
  EXPECT_TRUE(request.ConfirmOverwrite);
  EXPECT_EQ(w.form.windowTitle(), "Tarnwick [amp.twk]");
  EXPECT_EQ(w.form.CurrentFileName(), dir.File("amp.twk"));
  EXPECT_FALSE(w.form.Modified());
  const LayoutData saved = ParseLayout(Slurp(dir.File("amp.twk")));
  EXPECT_EQ(saved.Name, "Amplifier");
  EXPECT_EQ(saved.TraceCount, 4);
  ASSERT_EQ(saved.Components.size(), 1u);
  EXPECT_EQ(saved.Components[0].Name, "added");

  // The next Save writes without asking.
  w.MakeChange();
  w.form.Save1Click();
  EXPECT_EQ(w.prompts.FileDialogs.size(), dialogsBefore + 1);
  EXPECT_EQ(ParseLayout(Slurp(dir.File("amp.twk"))).Components.size(), 2u);
  EXPECT_EQ(dir.Count(), 2u); // empty.twk and amp.twk, no temporary file
}

// The editor remembers per layout that it was read as 8-bit text.
TEST(DocsCommands, OpenAndSaveKeepTheBytesOfEightBitText) {
  TempDir dir;
  Board board;
  board.InitBoard(2, 10);
  // Bytes as an 8-bit writer left them: a-umlaut and the euro sign of Windows-1252.
  board.GetTrace(1).Name = "\x80";
  const std::string eightBit = FormatLayout(board, "Verst\xE4rker");
  std::ofstream(dir.File("old.twk").toStdString(), std::ios::binary) << eightBit;
  Window w;
  w.prompts.OpenNames = {dir.File("old.twk")};
  w.form.Open1Click();
  EXPECT_EQ(w.form.Edit3->text(), QStringLiteral("Verst\u00E4rker"));
  EXPECT_EQ(w.form.Board().GetTrace(1).Name, "\xE2\x82\xAC");
  w.form.Save1Click();
  EXPECT_EQ(Slurp(dir.File("old.twk")), eightBit);

  // A new layout is written as UTF-8.
  w.NewLayoutAnswers(2, 10);
  w.form.New1Click();
  w.form.Edit3->setText(QStringLiteral("Verst\u00E4rker"));
  w.prompts.SaveNames = {dir.File("new.twk")};
  w.form.Saveas1Click();
  EXPECT_NE(Slurp(dir.File("new.twk")).find("Name=Verst\xC3\xA4rker\r\n"), std::string::npos);
}

// Fails every write past `bytes` bytes, for root as well.
struct FileSizeLimit {
  rlimit old{};
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
};

TEST(DocsCommands, AFailedSaveKeepsTheWorkAndTheOldFile) {
  TempDir dir;
  Window w;
  w.NewLayoutAnswers(10, 20);
  w.form.New1Click();
  w.MakeChange();
  fs::create_directory(dir.path / "folder.twk");
  const QString missing = dir.File("missing/amp.twk");
  const QString folder = dir.File("folder.twk");
  for (const QString &target : {missing, folder}) {
    w.prompts.SaveNames = {target};
    EXPECT_EQ(RunReportingError([&] { w.form.Saveas1Click(); }), "Unable to write to " + target);
    EXPECT_TRUE(w.form.Modified());
    EXPECT_EQ(w.form.windowTitle(), "Tarnwick");
    // The name the save failed on is not the layout's: the next Save asks again.
    EXPECT_EQ(w.form.CurrentFileName(), "");
  }
  w.prompts.SaveNames = {folder};
  EXPECT_EQ(RunReportingError([&] { w.form.Save1Click(); }), "Unable to write to " + folder);
  // A layout that has a file keeps it after a failed Save as: Ctrl+S writes where it did.
  const QString good = dir.File("good.twk");
  w.prompts.SaveNames = {good, folder};
  w.form.Saveas1Click();
  EXPECT_EQ(RunReportingError([&] { w.form.Saveas1Click(); }), "Unable to write to " + folder);
  EXPECT_EQ(w.form.CurrentFileName(), good);
  EXPECT_EQ(w.form.windowTitle(), "Tarnwick [good.twk]");
  w.MakeChange();
  const std::size_t dialogs = w.prompts.FileDialogs.size();
  w.form.Save1Click();
  EXPECT_EQ(w.prompts.FileDialogs.size(), dialogs);
  EXPECT_EQ(ParseLayout(Slurp(good)).Components.size(), 2u);
  EXPECT_FALSE(w.form.Modified());
  fs::remove(good.toStdString());

  // A write that fails half-way leaves the existing file exactly as it was.
  const QString old = dir.File("old.twk");
  std::ofstream(old.toStdString(), std::ios::binary) << "[Schematic]\r\nName=old\r\n";
  for (int i = 0; i < 30; ++i)
    w.MakeChange();
  w.prompts.SaveNames = {old};
  {
    FileSizeLimit limit(200);
    EXPECT_EQ(RunReportingError([&] { w.form.Saveas1Click(); }), "Unable to write to " + old);
  }
  EXPECT_EQ(Slurp(old), "[Schematic]\r\nName=old\r\n");
  EXPECT_EQ(dir.Count(), 2u); // folder.twk and old.twk
  EXPECT_TRUE(w.form.Modified());

  // Exit after a failed save still asks.
  w.prompts.Questions = {false};
  w.form.Exit1Click();
  EXPECT_EQ(w.prompts.Texts(ScriptedPrompts::Box::Question), std::vector<QString>{DiscardText});
  EXPECT_FALSE(w.form.ExitRequested());
}

// Through the real shortcut the error stops at the application's top-level handler, which
// shows it, and the window goes on.
TEST(DocsCommands, AFailedSaveFromTheMenuShowsTheError) {
  auto *app = static_cast<TApplication *>(QCoreApplication::instance());
  QStringList reported;
  app->SetErrorReporter([&](const QString &m) { reported << m; });
  TempDir dir;
  Window w;
  w.form.show();
  w.form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w.form));
  w.NewLayoutAnswers(10, 20);
  w.form.New1Click();
  w.MakeChange();
  const QString target = dir.File("missing/amp.twk");
  w.prompts.SaveNames = {target};
  QTest::keyClick(&w.form, Qt::Key_S, Qt::ControlModifier);
  app->SetErrorReporter(nullptr);
  EXPECT_EQ(reported, QStringList{"Unable to write to " + target});
  EXPECT_TRUE(w.form.Modified());
  EXPECT_EQ(w.form.windowTitle(), "Tarnwick");
}

TEST(DocsCommands, ExitAndCloseAskOnlyWhenModified) {
  Window w;
  w.form.show();
  w.NewLayoutAnswers(10, 20);
  w.form.New1Click();
  w.MakeChange();
  // Cancel keeps the program and the window.
  w.prompts.Questions = {false};
  w.form.Exit1Click();
  EXPECT_FALSE(w.form.ExitRequested());
  w.prompts.Questions = {false};
  EXPECT_FALSE(w.form.close());
  EXPECT_TRUE(w.form.isVisible());
  EXPECT_EQ(w.prompts.Texts(ScriptedPrompts::Box::Question).size(), 2u);
  EXPECT_TRUE(w.form.Modified());
}

// Runs the program's event loop until the trigger ends it; 99 when it did not.
int LoopResultAfter(const std::function<void()> &trigger) {
  QTimer::singleShot(0, trigger);
  QTimer::singleShot(2000, [] { QCoreApplication::exit(99); });
  return QCoreApplication::exec();
}

// Ending the event loop ends it for the whole process, so each case runs in a child.
TEST(DocsCommandsDeathTest, ExitEndsTheEventLoop) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto exits = [](bool modified, bool viaClose) {
    Window w;
    w.form.show();
    w.NewLayoutAnswers(10, 20);
    w.form.New1Click();
    if (modified) {
      w.MakeChange();
      w.form.Edit3->setText(QStringLiteral("renamed")); // the name is part of the layout
      w.prompts.Questions = {true};
    }
    const int rc = LoopResultAfter([&] { viaClose ? (void)w.form.close() : w.form.Exit1Click(); });
    const bool asked = !w.prompts.Shown.empty();
    std::exit(rc == 0 && w.form.ExitRequested() && asked == modified ? 0 : 1);
  };
  EXPECT_EXIT(exits(false, false), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(exits(true, false), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(exits(false, true), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(exits(true, true), testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace tarnwick
