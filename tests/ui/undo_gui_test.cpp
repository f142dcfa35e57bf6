// Undo and Redo in the real window: keys, captions, toolbar buttons, rows and the saved point.
#include "editing/component_entry.h"
#include "editing/u_newcompnt.h"
#include "support/scripted_prompts.h"
#include "ui/EnhControls.h"
#include "ui/application.h"
#include "ui/main_form.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

class UndoWindow : public ::testing::Test {
protected:
  void SetUp() override {
    form.CreateDialogs();
    form.resize(900, 700);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.Board().InitBoard(20, 20);
    form.ShowLayoutPanel();
  }

  // One run of the component dialog: a resistor from trace 3 to 6 on row 5, OK, then Cancel.
  void AddResistor() {
    prompts.OnExec = [](QDialog &d) {
      auto &dialog = dynamic_cast<TNewCompForm &>(d);
      dialog.ComboBoxEx1->setCurrentIndex(ItemOfKind(1));
      dialog.ComboBox3Change();
      dialog.UpDownEdit1->SetPosition(3);
      dialog.UpDownEdit2->SetPosition(6);
      dialog.UpDownEdit3->SetPosition(5);
      dialog.Edit1->setText(QStringLiteral("10k"));
      dialog.Button1Click();
      return QDialog::Rejected;
    };
    form.Button1Click();
  }

  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QTest::keyClick(form.ListView1, key, modifiers);
  }

  bool Enabled(const char *name) { return form.ToolAction(QString::fromLatin1(name))->isEnabled(); }
  int Rows() { return form.ListView1->topLevelItemCount(); }

  ScriptedPrompts prompts;
  TMainForm form{prompts};
};

TEST_F(UndoWindow, AddUndoneAndRedoneWithTheirCaptionsButtonsAndRows) {
  EXPECT_EQ(form.Undo1->text(), "Undo");
  EXPECT_EQ(form.Redo1->text(), "Redo");
  AddResistor();
  ASSERT_EQ(form.Board().ComponentCount(), 1);
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(form.Undo1->text(), "Undo Add Component");
  EXPECT_TRUE(Enabled("ToolButton17"));
  EXPECT_FALSE(Enabled("ToolButton18"));

  Key(Qt::Key_Z);
  EXPECT_EQ(form.Board().ComponentCount(), 0);
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(form.Board().SelectedComponent, nullptr);
  EXPECT_EQ(form.Undo1->text(), "Undo");
  EXPECT_EQ(form.Redo1->text(), "Redo Add Component");
  EXPECT_FALSE(Enabled("ToolButton17"));
  EXPECT_TRUE(Enabled("ToolButton18"));
  Key(Qt::Key_Z); // nothing left to undo: nothing happens
  EXPECT_EQ(form.Redo1->text(), "Redo Add Component");

  Key(Qt::Key_Y);
  ASSERT_EQ(form.Board().ComponentCount(), 1);
  const BoardComponent &c = form.Board().GetComponent(0);
  EXPECT_EQ(c.Name, "10k");
  EXPECT_EQ(c.StartTrace, 2);
  EXPECT_EQ(c.EndTrace, 5);
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(form.ListView1->topLevelItem(0)->text(1), "10k");
  EXPECT_TRUE(form.ListView1->topLevelItem(0)->isSelected()) << "redo selects what it touched";
  EXPECT_EQ(form.Board().SelectedComponent, &c);
  EXPECT_TRUE(Enabled("ToolButton1")) << "the toolbar follows the selection";

  // Ctrl+Shift+Z is Redo too: a move undone, then redone with it.
  form.ToolButton2Click();
  EXPECT_EQ(form.Undo1->text(), "Undo Move Right");
  Key(Qt::Key_Z);
  EXPECT_EQ(form.Board().GetComponent(0).StartTrace, 2);
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(form.Board().GetComponent(0).StartTrace, 3);
}

TEST_F(UndoWindow, UndoBackToTheSavedPointAsksNothingAndPastItAsks) {
  QTemporaryDir dir;
  prompts.SaveNames = {dir.filePath(QStringLiteral("undo.twk"))};
  AddResistor();
  form.Saveas1Click();
  EXPECT_FALSE(form.Modified());
  form.ListView1->topLevelItem(0)->setSelected(true);
  form.ToolButton3Click(); // move up
  EXPECT_TRUE(form.Modified());
  form.Undo1Click(); // back at the saved point
  EXPECT_FALSE(form.Modified());
  form.Exit1Click();
  EXPECT_TRUE(prompts.Texts(ScriptedPrompts::Box::Question).empty());
  EXPECT_TRUE(form.ExitRequested());

  form.Undo1Click(); // past it: the resistor goes, and the layout differs from its file
  EXPECT_TRUE(form.Modified());
  prompts.Questions = {false};
  form.New1Click();
  EXPECT_EQ(prompts.Texts(ScriptedPrompts::Box::Question).size(), 1u);
  form.Redo1Click();
  EXPECT_FALSE(form.Modified());
}

// A handler run from a menu entry is called through the toolkit's signals: its error is reported
// there once and goes no further.
TEST_F(UndoWindow, AnErrorOfAConnectedHandlerIsReportedAndStopsThere) {
  auto *app = static_cast<TApplication *>(QCoreApplication::instance());
  QStringList reported;
  app->SetErrorReporter([&](const QString &m) { reported << m; });
  QAction *save = nullptr;
  for (QAction *a : form.menuBar()->actions().first()->menu()->actions())
    if (a->text() == "Save")
      save = a;
  ASSERT_NE(save, nullptr);
  prompts.SaveNames = {QStringLiteral("/no-such-folder/x.twk")};
  EXPECT_NO_THROW(save->trigger());
  app->SetErrorReporter(nullptr);
  EXPECT_EQ(reported, QStringList{"Unable to write to /no-such-folder/x.twk"});
}

} // namespace
} // namespace tarnwick
