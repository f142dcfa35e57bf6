// The editor as a desktop program: recent layouts kept in a settings file, the recovery copy
// in a state folder, drops and the file given at start. Every editor here keeps its settings
// and state in a temporary folder, never in the user's.
#include "board/board.h"
#include "document/newschematic.h"
#include "document/recent_files.h"
#include "output/png_file.h"
#include "support/scripted_prompts.h"
#include "ui/EnhControls.h"
#include "ui/desktop.h"
#include "ui/file_names.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::ReadAll;
using test::TempFolder;
namespace fs = std::filesystem;

QString Q(const std::string &s) { return QString::fromStdString(s); }

QString Data(const char *name) {
  return QStringLiteral(TARNWICK_TEST_DATA "/") + QString::fromLatin1(name);
}

// One running editor whose settings and state live in `home`.
struct Editor {
  ScriptedPrompts prompts;
  TMainForm form{prompts};
  QSettings settings;
  DesktopShell desktop;

  explicit Editor(const TempFolder &home)
      : settings(Q(home / "settings.ini"), QSettings::IniFormat),
        desktop(form, settings, home / "state") {
    form.CreateDialogs();
  }
  void NewBoard() {
    prompts.OnExec = [](QDialog &d) {
      auto &f = dynamic_cast<TNewLayoutForm &>(d);
      f.UpDownEdit1->SetPosition(10);
      f.UpDownEdit2->SetPosition(12);
      return QDialog::Accepted;
    };
    form.New1Click();
  }
  void SaveAs(const QString &file) {
    prompts.SaveNames = {file};
    form.Saveas1Click();
  }
  void Change(const char *name) {
    auto c = std::make_unique<BoardComponent>();
    c->Name = name;
    c->Kind = 1;
    c->StartTrace = 1;
    c->EndTrace = 4;
    c->StartPin = 2;
    form.AddComponentToLayout(std::move(c));
  }
  // The captions of the "Recent Layouts" submenu as it shows.
  QStringList RecentCaptions() {
    QMenu &menu = desktop.RecentMenu();
    QMetaObject::invokeMethod(&menu, "aboutToShow");
    QStringList captions;
    for (QAction *a : menu.actions())
      captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return captions;
  }
  void ChooseRecent(const QString &caption) {
    for (QAction *a : desktop.RecentMenu().actions())
      if (a->text() == caption) {
        a->trigger();
        QCoreApplication::processEvents();
        return;
      }
    ADD_FAILURE() << "no entry " << caption.toStdString();
  }
  std::vector<QString> Labels() const {
    std::vector<QString> labels;
    for (int i = 0; i < form.ListView1->topLevelItemCount(); ++i)
      labels.push_back(form.ListView1->topLevelItem(i)->text(1));
    return labels;
  }
};

// The recovery copies ("*.twk") in an editor's state folder.
std::vector<std::string> Copies(const TempFolder &home) {
  std::vector<std::string> copies;
  std::error_code ec;
  for (const auto &e : fs::directory_iterator(home / "state", ec))
    if (e.path().extension() == ".twk")
      copies.push_back(e.path().string());
  return copies;
}

TEST(DesktopRecent, NewestFirstEightAtMostSharedThroughTheSettingsFile) {
  TempFolder home;
  Editor e(home);
  QMenu *file = qobject_cast<QMenu *>(e.desktop.RecentMenu().parent());
  ASSERT_NE(file, nullptr);
  QStringList fileMenu;
  for (QAction *a : file->actions())
    fileMenu << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(fileMenu.mid(fileMenu.size() - 5),
            QStringList({"Print...", "-", "Recent Layouts", "-", "Exit"}));
  EXPECT_EQ(e.RecentCaptions(), QStringList({"-", "Clear"}));

  e.NewBoard();
  for (int i = 1; i <= 10; ++i)
    e.SaveAs(Q(home / ("board" + std::to_string(i) + ".twk")));
  EXPECT_EQ(e.RecentCaptions(), QStringList({"&1 board10.twk", "&2 board9.twk", "&3 board8.twk",
                                             "&4 board7.twk", "&5 board6.twk", "&6 board5.twk",
                                             "&7 board4.twk", "&8 board3.twk", "-", "Clear"}));
  EXPECT_NE(ReadAll(home / "settings.ini").find("RecentLayouts"), std::string::npos);

  // Choosing an entry opens it, after the discard question, and moves it to the front.
  e.Change("unsaved");
  e.prompts.Questions = {false};
  e.ChooseRecent(QStringLiteral("&3 board8.twk"));
  EXPECT_EQ(e.form.windowTitle(), "Tarnwick [board10.twk]") << "Cancel keeps the layout";
  e.prompts.Questions = {true};
  e.ChooseRecent(QStringLiteral("&3 board8.twk"));
  EXPECT_EQ(e.form.windowTitle(), "Tarnwick [board8.twk]");
  EXPECT_FALSE(e.form.Modified());
  EXPECT_EQ(e.RecentCaptions().mid(0, 3),
            QStringList({"&1 board8.twk", "&2 board10.twk", "&3 board9.twk"}));

  // A file that has gone is removed with a message; the layout stays.
  fs::remove(home / "board9.twk");
  e.ChooseRecent(QStringLiteral("&3 board9.twk"));
  EXPECT_EQ(e.prompts.Texts(ScriptedPrompts::Box::Warning).back(),
            "The layout " + Q(home / "board9.twk") +
                " no longer exists. It has been removed from the list.");
  EXPECT_EQ(e.form.windowTitle(), "Tarnwick [board8.twk]");
  EXPECT_EQ(e.RecentCaptions().mid(0, 3),
            QStringList({"&1 board8.twk", "&2 board10.twk", "&3 board7.twk"}));

  // Another editor of the same user shares the list; "Clear" empties it for both.
  Editor other(home);
  EXPECT_EQ(other.RecentCaptions(), e.RecentCaptions());
  other.ChooseRecent(QStringLiteral("Clear"));
  EXPECT_EQ(e.RecentCaptions(), QStringList({"-", "Clear"}));
}

TEST(DesktopRecovery, ACopyFollowsChangesAndGoesWithSaveAndCleanExit) {
  TempFolder home;
  Editor e(home);
  e.NewBoard();
  e.SaveAs(Q(home / "amp.twk"));
  e.Change("R1");
  EXPECT_TRUE(Copies(home).empty()) << "written in idle time, not at once";
  // The real timer: a copy within the schedule's first pause.
  EXPECT_TRUE(QTest::qWaitFor([&] { return Copies(home).size() == 1; }, 5000));
  ASSERT_EQ(Copies(home).size(), 1u);
  const std::string copy = Copies(home)[0];
  EXPECT_NE(ReadAll(copy).find("Komp1.Name=R1\r\n"), std::string::npos);
  EXPECT_EQ(ReadAll(copy.substr(0, copy.size() - 4) + ".file"), home / "amp.twk");

  e.form.Save1Click();
  EXPECT_TRUE(Copies(home).empty()) << "saved: nothing to recover";
  EXPECT_FALSE(e.desktop.Recovery().WritePending());

  e.Change("R2");
  e.desktop.Recovery().WriteNow();
  EXPECT_EQ(Copies(home).size(), 1u);
  e.prompts.Questions = {true};
  e.form.Exit1Click();
  EXPECT_TRUE(Copies(home).empty()) << "a clean exit leaves no copy";
}

TEST(DesktopRecovery, ACrashedEditorsCopyIsRestoredAsAnUntitledModifiedLayout) {
  TempFolder home;
  auto crashed = std::make_unique<Editor>(home);
  crashed->NewBoard();
  crashed->form.Edit3->setText(QStringLiteral("Amp board"));
  crashed->SaveAs(Q(home / "amp.twk"));
  crashed->Change("R1");
  crashed->desktop.Recovery().WriteNow();

  crashed.reset(); // gone without Exit, as after a crash: the copy stays

  Editor restarted(home);
  restarted.prompts.Choices = {0};
  restarted.desktop.Start({});
  ASSERT_EQ(restarted.prompts.ChoiceButtons.size(), 1u);
  EXPECT_EQ(restarted.prompts.ChoiceButtons[0], QStringList({"Restore", "Discard"}));
  EXPECT_EQ(restarted.prompts.Shown[0].Caption, "Restore Layout?");
  EXPECT_TRUE(restarted.prompts.Shown[0].Text.contains(QStringLiteral("amp.twk")));
  EXPECT_EQ(restarted.form.windowTitle(), "Tarnwick [amp.twk (recovered)]");
  EXPECT_TRUE(restarted.form.CurrentFileName().isEmpty());
  EXPECT_TRUE(restarted.form.Modified());
  EXPECT_EQ(restarted.form.Edit3->text(), "Amp board");
  EXPECT_EQ(restarted.Labels(), std::vector<QString>{"R1"});

  // The copy is the restarted editor's own now; its next copies still name the original.
  EXPECT_EQ(Copies(home).size(), 1u);
  EXPECT_TRUE(restarted.desktop.Recovery().Store().HasCopy());
  restarted.desktop.Recovery().WriteNow();
  const std::string copy = restarted.desktop.Recovery().Store().CopyFile();
  EXPECT_EQ(ReadAll(copy.substr(0, copy.size() - 4) + ".file"), home / "amp.twk");
}

TEST(DesktopRecovery, DiscardDeletesTheCopyAndAClosedBoxKeepsIt) {
  TempFolder home;
  {
    Editor crashed(home);
    crashed.NewBoard();
    crashed.Change("R1");
    crashed.desktop.Recovery().WriteNow();
  }
  {
    Editor later(home);
    later.prompts.Choices = {-1};
    later.desktop.Start({});
    EXPECT_EQ(later.form.windowTitle(), "Tarnwick");
    EXPECT_TRUE(later.prompts.Shown[0].Text.contains(QStringLiteral("an untitled layout")));
  }
  EXPECT_EQ(Copies(home).size(), 1u) << "no answer: offered again next time";
  Editor e(home);
  e.prompts.Choices = {1};
  e.desktop.Start({});
  EXPECT_TRUE(Copies(home).empty());
  EXPECT_EQ(e.form.Board().TraceCount(), 0);
  EXPECT_FALSE(e.form.Modified());
}

// Restore, then the file given on the command line: no question whose default answer throws
// the restored work away; the restored layout stays open and the message says so.
TEST(DesktopRecovery, AFileGivenAtStartNeverReplacesTheRestoredWork) {
  TempFolder home;
  {
    Editor crashed(home);
    crashed.NewBoard();
    crashed.Change("R1");
    crashed.desktop.Recovery().WriteNow();
  }
  Editor e(home);
  e.prompts.Choices = {0};
  e.desktop.Start(Data("amp.twk"));
  EXPECT_TRUE(e.prompts.Texts(ScriptedPrompts::Box::Question).size() == 1u)
      << "only the restore question";
  EXPECT_EQ(e.Labels(), std::vector<QString>{"R1"});
  EXPECT_TRUE(e.form.Modified());
  EXPECT_EQ(Copies(home).size(), 1u);
  const auto said = e.prompts.Texts(ScriptedPrompts::Box::Information);
  ASSERT_EQ(said.size(), 1u);
  EXPECT_TRUE(said[0].startsWith("amp.twk was not opened")) << said[0].toStdString();
}

// The layout's name is part of the layout: typed, it is an unsaved change that Exit asks about
// and the recovery copy keeps; undone in the box, the layout is as saved again.
TEST(DesktopRecovery, ATypedNameIsAChangeTheCopyKeeps) {
  TempFolder home;
  Editor e(home);
  e.NewBoard();
  e.SaveAs(Q(home / "amp.twk"));
  EXPECT_FALSE(e.form.Modified());
  e.form.Edit3->setFocus();
  e.form.Edit3->selectAll();
  QTest::keyClicks(e.form.Edit3, QStringLiteral("Tremolo"));
  EXPECT_TRUE(e.form.Modified());
  ASSERT_TRUE(e.desktop.Recovery().WritePending());
  e.desktop.Recovery().WriteNow();
  ASSERT_EQ(Copies(home).size(), 1u);
  EXPECT_NE(ReadAll(Copies(home)[0]).find("Name=Tremolo\r\n"), std::string::npos);
  e.prompts.Questions = {false};
  e.form.Exit1Click();
  EXPECT_FALSE(e.form.ExitRequested());
  EXPECT_EQ(e.prompts.Texts(ScriptedPrompts::Box::Question).size(), 1u);

  e.form.Edit3->undo();
  EXPECT_FALSE(e.form.Modified());
  EXPECT_TRUE(Copies(home).empty());
  e.form.Edit3->redo();
  e.form.Save1Click();
  EXPECT_FALSE(e.form.Modified());
  EXPECT_NE(ReadAll(home / "amp.twk").find("Name=Tremolo\r\n"), std::string::npos);
}

// Undone back to the saved point, the layout has no unsaved changes: no copy is left to offer.
TEST(DesktopRecovery, UndoBackToTheSavedPointRemovesTheCopy) {
  TempFolder home;
  Editor e(home);
  e.NewBoard();
  e.SaveAs(Q(home / "amp.twk"));
  e.Change("R1");
  e.desktop.Recovery().WriteNow();
  ASSERT_EQ(Copies(home).size(), 1u);
  e.form.Undo1Click();
  EXPECT_FALSE(e.form.Modified());
  EXPECT_TRUE(Copies(home).empty());
  EXPECT_FALSE(e.desktop.Recovery().WritePending());
}

// The copies of several crashed editors come in one list; a Discard offers the rest again, and
// a box closed without an answer leaves them for a later start.
TEST(DesktopRecovery, SeveralCopiesAreOfferedInOneList) {
  TempFolder home;
  {
    Editor a(home), b(home), c(home);
    for (Editor *e : {&a, &b, &c}) {
      e->NewBoard();
      e->Change("R1");
      e->desktop.Recovery().WriteNow();
    }
  }
  ASSERT_EQ(Copies(home).size(), 3u);
  {
    Editor later(home);
    later.prompts.ItemChoices = {{1, 2}, {-1, 0}};
    later.desktop.Start({});
    ASSERT_EQ(later.prompts.ChoiceItems.size(), 2u);
    EXPECT_EQ(later.prompts.ChoiceItems[0].size(), 3);
    EXPECT_TRUE(later.prompts.ChoiceItems[0][0].startsWith("an untitled layout, written "));
    EXPECT_EQ(later.prompts.ChoiceItems[1].size(), 2);
    EXPECT_EQ(later.prompts.ChoiceButtons[0], QStringList({"Restore", "Discard"}));
    EXPECT_EQ(later.form.Board().TraceCount(), 0);
  }
  EXPECT_EQ(Copies(home).size(), 2u) << "one discarded, two left for later";
  Editor last(home);
  last.prompts.ItemChoices = {{0, 1}};
  last.desktop.Start({});
  EXPECT_EQ(last.Labels(), std::vector<QString>{"R1"});
  EXPECT_TRUE(last.form.Modified());
  EXPECT_EQ(Copies(home).size(), 2u) << "the restored copy is this editor's own now";
}

// The toolkit's box of named buttons: Escape closes it without an answer, which leaves the copy.
TEST(DesktopRecovery, EscapeClosesTheRestoreBoxWithoutAnAnswer) {
  // An earlier test's Exit ended the (not running) event loop, which would end every modal run
  // at once: one round of the application's loop clears that.
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
  QtPrompts prompts;
  int attempts = 0;
  QTimer timer;
  timer.setInterval(50);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box)
      return;
    if (++attempts <= 3) {
      QTest::keyClick(box, Qt::Key_Escape);
    } else if (!box->buttons().isEmpty()) {
      box->buttons().last()->click(); // Escape did nothing: the test still ends
    }
  });
  timer.start();
  const int answer = prompts.Choose(nullptr, QStringLiteral("Restore Layout?"), QStringLiteral("?"),
                                    {QStringLiteral("Restore"), QStringLiteral("Discard")});
  EXPECT_EQ(answer, -1);
  EXPECT_EQ(attempts, 1);
}

TEST(DesktopRecovery, AStateFolderThatCannotBeWrittenIsSaidOnceAndLosesNothing) {
  TempFolder home;
  test::WriteAll(home / "state", "a file where the folder should be");
  Editor e(home);
  e.NewBoard();
  e.Change("R1");
  e.desktop.Recovery().WriteNow();
  e.Change("R2");
  e.desktop.Recovery().WriteNow();
  const auto warnings = e.prompts.Texts(ScriptedPrompts::Box::Warning);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_TRUE(warnings[0].startsWith("Unable to write to " + Q(home / "state")));
  EXPECT_EQ(e.Labels(), (std::vector<QString>{"R1", "R2"}));
  e.SaveAs(Q(home / "amp.twk"));
  EXPECT_EQ(e.form.windowTitle(), "Tarnwick [amp.twk]");
}

TEST(DesktopOpen, TheFileGivenAtStartAndDroppedFilesOpenOrImport) {
  TempFolder home;
  Editor e(home);
  e.desktop.Start(Data("amp.twk"));
  EXPECT_EQ(e.form.windowTitle(), "Tarnwick [amp.twk]");
  EXPECT_EQ(e.Labels(), (std::vector<QString>{"10k", "100u", "<unnamed>"}));
  EXPECT_EQ(e.RecentCaptions().first(), "&1 amp.twk");

  auto drop = [&](const QString &file) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&e.form, &enter);
    if (!enter.isAccepted())
      return false;
    QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&e.form, &dropped);
    QCoreApplication::processEvents();
    return true;
  };
  EXPECT_FALSE(drop(Q(home / "picture.png")));
  e.Change("unsaved");
  e.prompts.Questions = {true};
  ASSERT_TRUE(drop(Data("netlist/worked_example.net")));
  EXPECT_EQ(e.prompts.Texts(ScriptedPrompts::Box::Question).back(),
            "Do you want to discard the changes made to the current layout?");
  EXPECT_EQ(e.prompts.Texts(ScriptedPrompts::Box::Warning).back(),
            "This is a *very* experimental function, so beware!");
  EXPECT_EQ(e.form.Board().TraceCount(), 60);
  EXPECT_EQ(e.form.windowTitle(), "Tarnwick");
  e.prompts.Questions = {true};
  ASSERT_TRUE(drop(Data("amp.twk")));
  EXPECT_EQ(e.form.windowTitle(), "Tarnwick [amp.twk]");

  // A file that cannot be read is reported as File > Open reports it; the editor goes on.
  Editor fresh(home);
  fresh.desktop.Start(Q(home / "missing.twk"));
  EXPECT_EQ(fresh.prompts.Texts(ScriptedPrompts::Box::Error),
            std::vector<QString>{"Unable to read " + Q(home / "missing.twk")});
  EXPECT_EQ(fresh.form.windowTitle(), "Tarnwick");
}

// A file whose name is not UTF-8 (made under Latin-1, say) opens from the command line and
// saves back to the same file.
TEST(DesktopOpen, AFileNameThatIsNotUtf8OpensAndSavesInPlace) {
  for (const std::string &native :
       {std::string("/tmp/caf\xe9.twk"), std::string("/tmp/\xff\xfe"),
        std::string("/tmp/\xc3\xa9t\xe9\xed\xa0\x80.twk"), std::string("/tmp/plain \xc3\xa9.twk")})
    EXPECT_EQ(NativeFileName(FileNameFromNative(native)), native);
  TempFolder home;
  const std::string native = home / "caf\xe9.twk";
  test::WriteAll(native, ReadAll(TARNWICK_TEST_DATA "/amp.twk"));
  Editor e(home);
  e.desktop.Start(FileNameFromNative(native));
  EXPECT_TRUE(e.prompts.Texts(ScriptedPrompts::Box::Error).empty());
  EXPECT_EQ(e.Labels(), (std::vector<QString>{"10k", "100u", "<unnamed>"}));
  e.Change("R9");
  e.form.Save1Click();
  EXPECT_NE(ReadAll(native).find("=R9\r\n"), std::string::npos);
  std::size_t layouts = 0;
  for (const auto &entry : fs::directory_iterator(home.Path()))
    layouts += entry.path().extension() == ".twk";
  EXPECT_EQ(layouts, 1u) << "saved to the file it came from";
}

} // namespace
} // namespace tarnwick
