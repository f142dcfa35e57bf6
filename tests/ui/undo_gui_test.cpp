// Undo and Redo in the real window: keys, captions, toolbar buttons, rows and the saved point.
#include "editing/component_entry.h"
#include "editing/u_newcompnt.h"
#include "support/scripted_prompts.h"
#include "ui/EnhControls.h"
#include "ui/application.h"
#include "ui/main_form.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
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

// After Open or New the keyboard is in a text box. Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z stay with
// the box only while it has typing of its own to take back; otherwise they undo the layout.
TEST_F(UndoWindow, HistoryKeysGoToATextBoxOnlyWhileItHasTypingToUndo) {
  form.Edit3->setEnabled(true);
  form.Edit3->setText(QStringLiteral("amp")); // as Open writes it: nothing to undo in the box
  form.Board().GetTrace(3).Name = "in";
  form.Board().HighlightTrace = 3;
  form.Button5Click(); // shift trace 3 right
  ASSERT_EQ(form.Undo1->text(), "Undo Shift Trace To Right");
  for (QLineEdit *box : {form.Edit3, form.Edit1}) {
    SCOPED_TRACE(box->objectName().toStdString());
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.Undo1->text(), "Undo") << "the layout's step is undone";
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(form.Undo1->text(), "Undo Shift Trace To Right");
  }
  form.Edit3->setFocus();
  QTest::keyClicks(form.Edit3, QStringLiteral("lifier"));
  QTest::keyClick(form.Edit3, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(form.Edit3->text(), "amp") << "the box's own typing goes first";
  EXPECT_EQ(form.Undo1->text(), "Undo Shift Trace To Right");
  QTest::keyClick(form.Edit3, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(form.Undo1->text(), "Undo");
  QTest::keyClick(form.Edit3, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(form.Edit3->text(), "amplifier") << "the box redoes its own typing first";
  EXPECT_EQ(form.Undo1->text(), "Undo");
  QTest::keyClick(form.Edit3, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(form.Undo1->text(), "Undo Shift Trace To Right");
}

// Undo puts back what the step changed, and the label box shows the highlighted trace's label
// as it is now: a Set that follows renames the trace the user sees highlighted.
TEST_F(UndoWindow, UndoLeavesTheLabelBoxOnTheHighlightedTracesLabel) {
  form.Board().HighlightTrace = 3;
  form.BoardTraceChange();
  form.Edit1->setText(QStringLiteral("in"));
  form.Button3Click();
  form.Button5Click(); // trace 3 with its label "in" moves to 4, and the highlight with it
  ASSERT_EQ(form.Board().HighlightTrace, 4);
  form.Undo1Click();
  EXPECT_EQ(form.Board().HighlightTrace, 3);
  EXPECT_EQ(form.Edit1->text(), "in");
  form.Undo1Click(); // the label goes, and with it the box's text
  EXPECT_EQ(form.Board().GetTrace(3).Name, "");
  EXPECT_EQ(form.Edit1->text(), "");
  form.Redo1Click();
  EXPECT_EQ(form.Edit1->text(), "in");
}

// A drag holds the components it moves; Undo with the button still down would free them under
// it. The drag ends first, and the release then moves nothing.
TEST_F(UndoWindow, UndoDuringADragCancelsTheDragFirst) {
  AddResistor();
  form.Undo1Click();
  form.Redo1Click(); // the resistor is selected, and Undo would now remove it
  ASSERT_EQ(form.Board().ComponentCount(), 1);
  BoardView &view = form.Board();
  const QPoint on(TraceX(3), PinY(4)); // on the resistor, traces 2 to 5 of row 4
  auto move = [&view](QPoint to) {
    QMouseEvent e(QEvent::MouseMove, QPointF(to), view.mapToGlobal(QPointF(to)), Qt::NoButton,
                  Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &e);
  };
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, on);
  move(on + QPoint(2 * 18, 0));
  ASSERT_TRUE(view.Dragging());
  QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(view.ComponentCount(), 0);
  EXPECT_FALSE(view.Dragging());
  move(on + QPoint(3 * 18, 15));
  view.grab(); // paints what the drag would show
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, on + QPoint(3 * 18, 15));
  EXPECT_EQ(form.Undo1->text(), "Undo");
  EXPECT_EQ(form.Redo1->text(), "Redo Add Component");
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
