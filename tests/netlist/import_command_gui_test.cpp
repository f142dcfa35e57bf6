#include "netlist/import_command.h"
#include "netlist/netlist_import.h"
#include "support/scripted_prompts_netlist.h"
#include "ui/application.h"
#include "ui/main_form.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace tarnwick;
using tarnwick::netlist_test::NetlistScriptedPrompts;

namespace {

const QString WarningEntry =
    QStringLiteral("Warning|Warning|This is a *very* experimental function, so beware!");
const QString OpenEntry = QStringLiteral("Open|OpenDialog2");

class NetlistImportCommand : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    form = std::make_unique<TMainForm>(prompts);
    App().SetErrorReporter([this](const QString &m) { errors << m; });
  }
  void TearDown() override { App().SetErrorReporter({}); }

  static TApplication &App() { return *static_cast<TApplication *>(QCoreApplication::instance()); }

  QString Write(const QString &name, const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  }

  // Runs the command from the event loop, as a menu click does, so an error goes through the
  // application's top-level handler.
  void RunFromEventLoop() {
    QMetaObject::invokeMethod(
        form.get(), [this] { form->ImportNetlist1Click(); }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
  }

  // A layout the user has been working on: a small board with one component, modified.
  void SomeWork() {
    form->Board().InitBoard(10, 12);
    form->Board().GetTrace(2).Name = "mine";
    auto c = std::make_unique<BoardComponent>();
    c->Name = "R7";
    c->Kind = static_cast<std::uint8_t>(ComponentKind::Resistor);
    c->StartTrace = 1;
    c->EndTrace = 3;
    c->StartPin = 4;
    form->AddComponentToLayout(std::move(c));
  }
  void ExpectWorkIntact() {
    EXPECT_EQ(form->Board().TraceCount(), 10);
    EXPECT_EQ(form->Board().GetTrace(2).Name, "mine");
    ASSERT_EQ(form->List().topLevelItemCount(), 1);
    EXPECT_EQ(form->List().topLevelItem(0)->text(1), "R7");
    EXPECT_TRUE(form->Modified());
  }

  QStringList Rows() const {
    QStringList rows;
    for (int i = 0; i < form->List().topLevelItemCount(); ++i) {
      const QTreeWidgetItem *row = form->List().topLevelItem(i);
      rows << row->text(0) + QLatin1Char(' ') + row->text(1);
    }
    return rows;
  }

  NetlistScriptedPrompts prompts;
  std::unique_ptr<TMainForm> form;
  QTemporaryDir dir;
  QStringList errors;
};

QString WorkedExample() { return QStringLiteral(TARNWICK_TEST_DATA "/netlist/worked_example.net"); }

} // namespace

TEST_F(NetlistImportCommand, WorkedExampleAsTheFirstImportAfterStart) {
  ResetProcessNetlistRandomForTesting();
  form->Panel1->hide();
  prompts.openAnswers.push_back(WorkedExample());
  form->ImportNetlist1Click();

  EXPECT_EQ(prompts.log, (QStringList{WarningEntry, OpenEntry}));
  EXPECT_EQ(prompts.lastOpenSpec.Filter, "Netlist Files (*.net)");
  EXPECT_EQ(prompts.lastOpenSpec.DefaultSuffix, "net");
  EXPECT_FALSE(prompts.lastOpenSpec.MustExist);
  EXPECT_FALSE(prompts.lastOpenSpec.ConfirmOverwrite);

  BoardView &b = form->Board();
  EXPECT_EQ(b.TraceCount(), 60);
  EXPECT_EQ(b.PinCount(), 30);
  const char *labels[] = {"", "vcc", "sig", "", "", "out", "in", "GND", "", "GND", ""};
  for (int t = 0; t <= 10; ++t)
    EXPECT_EQ(b.GetTrace(t).Name, labels[t]) << t;
  ASSERT_EQ(b.ComponentCount(), 7);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(b.GetComponent(i).StartTrace, 5 + i);
    EXPECT_EQ(b.GetComponent(i).EndTrace, 5 + i);
    EXPECT_EQ(b.GetComponent(i).StartPin, 10);
  }
  const int pins[] = {11, 0, 17, 4};
  const int starts[] = {7, 1, 6, 6};
  const int ends[] = {9, 5, 7, 2};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(b.GetComponent(3 + i).StartPin, pins[i]) << i;
    EXPECT_EQ(b.GetComponent(3 + i).StartTrace, starts[i]) << i;
    EXPECT_EQ(b.GetComponent(3 + i).EndTrace, ends[i]) << i;
  }
  EXPECT_EQ(Rows(),
            (QStringList{"(o) q1_1", "(o) q1_1", "(o) q1_1", "--- ", "R 10k", "R 100k", "C 100n"}));
  // Every row refers to its component, in board order.
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(TMainForm::RowComponent(form->List().topLevelItem(i)), &b.GetComponent(i));
  EXPECT_EQ(form->windowTitle(), "Tarnwick");
  EXPECT_TRUE(form->CurrentFileName().isEmpty());
  EXPECT_TRUE(form->Modified());
  EXPECT_FALSE(form->Panel1->isHidden());
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(NetlistImportCommand, MenuEntryAsksEveryTimeAndCancelChangesNothing) {
  SomeWork();
  QAction *entry = nullptr;
  for (QAction *menu : form->menuBar()->actions())
    for (QAction *a : menu->menu()->actions())
      if (a->text() == "Import Netlist...")
        entry = a;
  ASSERT_NE(entry, nullptr);
  // An unsaved layout is first offered to the discard query; accept it, then cancel the file
  // dialog.
  prompts.questionAnswers = {true, true};
  entry->trigger();
  entry->trigger();
  QStringList expected;
  for (int i = 0; i < 2; ++i) {
    if (prompts.log.size() > expected.size() && prompts.log[expected.size()].startsWith("Question"))
      expected << prompts.log[expected.size()];
    expected << WarningEntry << OpenEntry;
  }
  EXPECT_EQ(prompts.log, expected);
  ExpectWorkIntact();
}

TEST_F(NetlistImportCommand, CancelInTheDiscardQueryChangesNothing) {
  SomeWork();
  prompts.questionAnswers = {false};
  prompts.openAnswers.push_back(WorkedExample());
  form->ImportNetlist1Click();
  EXPECT_EQ(prompts.log, (QStringList{QStringLiteral(
                             "Question|Discard Changes?|Do you want to discard the changes made "
                             "to the current layout?")}));
  ExpectWorkIntact();
}

TEST_F(NetlistImportCommand, UnreadableFileGivesAnEmptyBoardWithoutAMessage) {
  SomeWork();
  form->Edit3->setEnabled(true);
  form->Edit3->setText("my layout");
  prompts.questionAnswers = {true};
  prompts.openAnswers.push_back(dir.filePath("typed-but-missing.net"));
  RunFromEventLoop();
  EXPECT_TRUE(errors.isEmpty());
  EXPECT_EQ(form->Board().TraceCount(), 60);
  EXPECT_EQ(form->Board().PinCount(), 30);
  EXPECT_EQ(form->Board().ComponentCount(), 0);
  EXPECT_EQ(form->Board().GetTrace(2).Name, "");
  EXPECT_EQ(form->List().topLevelItemCount(), 0);
  EXPECT_FALSE(form->Modified());
  EXPECT_FALSE(form->Panel1->isHidden());
  // The name box is emptied and keeps its enabled state.
  EXPECT_TRUE(form->Edit3->text().isEmpty());
  EXPECT_TRUE(form->Edit3->isEnabled());

  // A folder chosen as the netlist reads as nothing, too.
  form->Edit3->setEnabled(false);
  prompts.openAnswers.push_back(dir.path());
  RunFromEventLoop();
  EXPECT_TRUE(errors.isEmpty());
  EXPECT_EQ(form->Board().TraceCount(), 60);
  EXPECT_FALSE(form->Edit3->isEnabled());
}

TEST_F(NetlistImportCommand, ErrorsAreReportedAndWhatWasPlacedStays) {
  QByteArray eight;
  for (int i = 1; i <= 8; ++i)
    eight += QStringLiteral("Q%1 C%1 B%1 E%1 BC547\n").arg(i).toLatin1();
  prompts.openAnswers.push_back(Write("eight.net", eight + "R1 a b 1k\n"));
  RunFromEventLoop();
  EXPECT_EQ(errors, (QStringList{"too many transistors"}));
  EXPECT_EQ(form->Board().ComponentCount(), 24);
  EXPECT_EQ(form->List().topLevelItemCount(), 24);
  EXPECT_EQ(form->List().topLevelItem(23)->text(1), "q8_1");
  EXPECT_EQ(form->Board().GetTrace(9).Name, "0");
  EXPECT_TRUE(form->Modified());
  EXPECT_EQ(form->windowTitle(), "Tarnwick");

  errors.clear();
  prompts.questionAnswers = {true};
  prompts.openAnswers.push_back(Write("short.net", "* amp\nC1 in out 1u\nR1\tin\tout\t1k\n"));
  RunFromEventLoop();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith("Assertion failure")) << errors[0].toStdString();
  EXPECT_TRUE(errors[0].contains("line 3")) << errors[0].toStdString();
  EXPECT_EQ(Rows(), (QStringList{"C 1u"}));
}

TEST_F(NetlistImportCommand, NetlistBeyondTheBoundsLeavesTheLayoutAlone) {
  SomeWork();
  prompts.questionAnswers = {true};
  prompts.openAnswers.push_back(Write("huge.net", "R1 a b " + QByteArray(20000, 'k') + "\n"));
  RunFromEventLoop();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains("huge.net is longer than")) << errors[0].toStdString();
  ExpectWorkIntact();
}

TEST_F(NetlistImportCommand, ASecondImportContinuesTheRandomSequence) {
  ResetProcessNetlistRandomForTesting();
  prompts.openAnswers = {WorkedExample(), WorkedExample()};
  prompts.questionAnswers = {true};
  form->ImportNetlist1Click();
  form->ImportNetlist1Click();
  ASSERT_EQ(form->Board().ComponentCount(), 7);
  const int pins[] = {12, 13, 6, 3};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(form->Board().GetComponent(3 + i).StartPin, pins[i]) << i;
  EXPECT_EQ(form->List().topLevelItemCount(), 7);
}
