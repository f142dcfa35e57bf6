// The Edit menu's commands on the real main window: the list selection they act on, the
// modified flag, and the board's highlight and selection afterwards.
#include "document/newschematic.h"
#include "support/scripted_prompts.h"
#include "ui/EnhControls.h"
#include "ui/main_form.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <limits>

using namespace tarnwick;

namespace {

class EditingCommands : public ::testing::Test {
protected:
  ScriptedPrompts prompts;
  TMainForm form{prompts};

  void SetUp() override {
    form.CreateDialogs();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }

  // An unmodified layout of the given size, traces labelled T0, T1, ...
  void Build(int traces, int pins) {
    form.ResetDocument();
    BoardView &b = form.Board();
    b.HighlightTrace = -1;
    b.HighlightEndTrace = -1;
    b.InitBoard(traces, pins);
    for (int t = 0; t < traces; ++t)
      b.GetTrace(t).Name = "T" + std::to_string(t);
    form.Panel1->show();
  }

  // A component with its list row, as a loaded layout has it (the layout stays unmodified).
  BoardComponent *Add(ComponentKind kind, int start, int end, int pin, const char *name) {
    auto c = std::make_unique<BoardComponent>();
    c->Kind = static_cast<std::uint8_t>(kind);
    c->Name = name;
    c->StartTrace = start;
    c->EndTrace = end;
    c->StartPin = pin;
    return form.Board().AddComponent(std::move(c));
  }

  QTreeWidgetItem *Row(int i) { return form.List().topLevelItem(i); }

  QAction *Menu(const QString &caption) {
    for (QAction *top : form.menuBar()->actions())
      if (top->menu())
        for (QAction *a : top->menu()->actions())
          if (a->text() == caption)
            return a;
    ADD_FAILURE() << "no menu entry " << caption.toStdString();
    static QAction none;
    return &none;
  }

  void Click(int trace, int pin, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(&form.Board(), Qt::LeftButton, mods, QPoint(TraceX(trace), PinY(pin)));
  }

  bool Enabled(const char *button) {
    return form.ToolAction(QString::fromLatin1(button))->isEnabled();
  }
};

struct Spot {
  int start, end, pin;
  bool operator==(const Spot &) const = default;
};
Spot At(const BoardComponent *c) { return {c->StartTrace, c->EndTrace, c->StartPin}; }

} // namespace

TEST_F(EditingCommands, MovesTheSelectedRowsAllOrNone) {
  Build(20, 20);
  BoardComponent *a = Add(ComponentKind::Resistor, 2, 5, 0, "R1");
  BoardComponent *b = Add(ComponentKind::Wire, 6, 9, 4, "W1");
  BoardComponent *c = Add(ComponentKind::Diode, 1, 3, 7, "D1");
  BoardComponent *d = Add(ComponentKind::Wire, 10, 12, 9, "W2");
  ASSERT_FALSE(form.Modified());

  // Nothing selected: no command moves anything.
  form.ToolButton4Click();
  EXPECT_EQ(At(d), (Spot{10, 12, 9}));
  EXPECT_FALSE(form.Modified());

  for (int i = 0; i < 3; ++i)
    Row(i)->setSelected(true);
  EXPECT_TRUE(Enabled("ToolButton3"));
  EXPECT_EQ(form.Board().SelectedComponent, a);

  Menu(QStringLiteral("Move Up"))->trigger(); // a is on row 0
  EXPECT_EQ(At(a), (Spot{2, 5, 0}));
  EXPECT_EQ(At(b), (Spot{6, 9, 4}));
  EXPECT_EQ(At(c), (Spot{1, 3, 7}));
  EXPECT_FALSE(form.Modified());

  form.ToolAction(QStringLiteral("ToolButton4"))->trigger();
  EXPECT_EQ(At(a), (Spot{2, 5, 1}));
  EXPECT_EQ(At(b), (Spot{6, 9, 5}));
  EXPECT_EQ(At(c), (Spot{1, 3, 8}));
  EXPECT_EQ(At(d), (Spot{10, 12, 9}));
  EXPECT_TRUE(form.Modified());

  // The keyboard shortcut, with the focus in the component list.
  form.List().setFocus();
  QTest::keyClick(&form.List(), Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(At(a), (Spot{2, 5, 0}));
  EXPECT_EQ(At(b), (Spot{6, 9, 4}));
  EXPECT_EQ(At(c), (Spot{1, 3, 7}));
  // Moves change neither the list nor the selection.
  EXPECT_EQ(form.SelectedRows().size(), 3u);
  EXPECT_EQ(form.Board().SelectedComponent, a);
  EXPECT_EQ(Row(0)->text(1), QStringLiteral("R1"));

  form.ToolButton1Click(); // c starts on trace 1
  form.ToolButton1Click(); // now c is on trace 0: refused
  EXPECT_EQ(At(c), (Spot{0, 2, 7}));
  EXPECT_EQ(At(a), (Spot{1, 4, 0}));
  EXPECT_EQ(At(b), (Spot{5, 8, 4}));
  form.ToolButton2Click();
  EXPECT_EQ(At(a), (Spot{2, 5, 0}));
  EXPECT_EQ(At(b), (Spot{6, 9, 4}));
  EXPECT_EQ(At(c), (Spot{1, 3, 7}));
}

TEST_F(EditingCommands, ComponentsPickedOnTheBoardMoveTogether) {
  Build(20, 20);
  BoardComponent *a = Add(ComponentKind::Resistor, 2, 5, 3, "R1");
  BoardComponent *b = Add(ComponentKind::Wire, 6, 9, 4, "W1");
  BoardComponent *c = Add(ComponentKind::Diode, 8, 11, 7, "D1");

  Click(3, 3);
  EXPECT_EQ(form.FirstSelectedRow(), Row(0));
  EXPECT_TRUE(Enabled("ToolButton1"));
  EXPECT_FALSE(Enabled("ToolButton6"));
  Click(9, 7, Qt::ShiftModifier);
  ASSERT_EQ(form.SelectedRows().size(), 2u);

  Menu(QStringLiteral("Move Left"))->trigger();
  EXPECT_EQ(At(a), (Spot{1, 4, 3}));
  EXPECT_EQ(At(c), (Spot{7, 10, 7}));
  EXPECT_EQ(At(b), (Spot{6, 9, 4}));
  EXPECT_TRUE(form.Modified());

  // A click on a bare strip clears the selection; the move buttons go off and moves do nothing.
  Click(15, 12);
  EXPECT_TRUE(form.SelectedRows().empty());
  EXPECT_FALSE(Enabled("ToolButton1"));
  form.ToolButton1Click();
  EXPECT_EQ(At(a), (Spot{1, 4, 3}));
}

// Dragging on the board: the components of the selected rows move together, as one change
// made by the Move commands' rules.
TEST_F(EditingCommands, DraggingMovesTheSelectedRowsAllOrNone) {
  Build(20, 20);
  BoardComponent *a = Add(ComponentKind::Resistor, 2, 5, 3, "R1");
  BoardComponent *b = Add(ComponentKind::Wire, 6, 9, 4, "W1");
  BoardComponent *c = Add(ComponentKind::Diode, 8, 11, 7, "D1");
  Click(3, 3);
  Click(9, 7, Qt::ShiftModifier);
  ASSERT_EQ(form.SelectedRows().size(), 2u);
  ASSERT_FALSE(form.Modified());

  BoardView &view = form.Board();
  auto drag = [&view](QPoint from, QPoint to) {
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), view.mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, to);
  };
  // Pressed on R1, dragged three traces to the right.
  drag(QPoint(TraceX(4), PinY(3)), QPoint(TraceX(7), PinY(3)));
  EXPECT_EQ(At(a), (Spot{5, 8, 3}));
  EXPECT_EQ(At(c), (Spot{11, 14, 7}));
  EXPECT_EQ(At(b), (Spot{6, 9, 4}));
  EXPECT_TRUE(form.Modified());
  EXPECT_EQ(form.SelectedRows().size(), 2u);

  // D1 would leave the board: neither moves, and the layout is not changed.
  form.ResetDocument();
  Build(20, 20);
  a = Add(ComponentKind::Resistor, 2, 5, 3, "R1");
  c = Add(ComponentKind::Diode, 14, 17, 7, "D1");
  Row(0)->setSelected(true);
  Row(1)->setSelected(true);
  drag(QPoint(TraceX(15), PinY(7)), QPoint(TraceX(18), PinY(7)));
  EXPECT_EQ(At(a), (Spot{2, 5, 3}));
  EXPECT_EQ(At(c), (Spot{14, 17, 7}));
  EXPECT_FALSE(form.Modified());
  // One row less would fit.
  drag(QPoint(TraceX(15), PinY(7)), QPoint(TraceX(17), PinY(6)));
  EXPECT_EQ(At(a), (Spot{4, 7, 2}));
  EXPECT_EQ(At(c), (Spot{16, 19, 6}));
  EXPECT_TRUE(form.Modified());
}

TEST_F(EditingCommands, ShiftsTheHighlightedTraceWithItsLabelAndEnds) {
  Build(8, 20);
  BoardComponent *r = Add(ComponentKind::Resistor, 3, 4, 2, "R1");
  BoardComponent *cut = Add(ComponentKind::TraceCut, 2, 6, 5, "");
  BoardView &board = form.Board();

  Click(3, 10);
  EXPECT_EQ(board.HighlightTrace, 3);
  EXPECT_EQ(form.Edit1->text(), QStringLiteral("T3"));
  EXPECT_TRUE(Enabled("ToolButton7"));

  form.setFocus();
  QTest::keyClick(&form, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(board.HighlightTrace, 4);
  EXPECT_EQ(At(r), (Spot{4, 3, 2}));
  EXPECT_EQ(board.GetTrace(4).Name, "T3");
  EXPECT_EQ(board.GetTrace(3).Name, "T4");
  EXPECT_EQ(At(cut), (Spot{2, 6, 5}));
  EXPECT_TRUE(form.Modified());
  // The label box still shows the highlighted trace's label, which moved with it.
  EXPECT_EQ(form.Edit1->text(), QStringLiteral("T3"));

  form.ToolAction(QStringLiteral("ToolButton6"))->trigger();
  EXPECT_EQ(board.HighlightTrace, 3);
  EXPECT_EQ(At(r), (Spot{3, 4, 2}));
  EXPECT_EQ(board.GetTrace(3).Name, "T3");

  // Trace 0 has no left neighbour; the refusal leaves the layout unmodified.
  Build(8, 20);
  Click(0, 10);
  EXPECT_EQ(board.HighlightTrace, 0);
  Menu(QStringLiteral("Shift Trace To Left"))->trigger();
  EXPECT_EQ(board.HighlightTrace, 0);
  EXPECT_EQ(board.GetTrace(0).Name, "T0");
  EXPECT_FALSE(form.Modified());
  Menu(QStringLiteral("Shift Trace To Right"))->trigger();
  EXPECT_EQ(board.GetTrace(1).Name, "T0");
  EXPECT_TRUE(form.Modified());
}

// Seen from the copper side the board is mirrored: the move and shift keys and arrows act in
// the direction they show on the screen, and the steps keep the names of what was pressed.
TEST_F(EditingCommands, FromTheCopperSideLeftAndRightAreTheScreens) {
  Build(8, 20);
  BoardComponent *r = Add(ComponentKind::Resistor, 3, 4, 2, "R1");
  BoardView &board = form.Board();
  board.SetCopperSide(true);
  Row(0)->setSelected(true);
  form.setFocus();
  QTest::keyClick(&form, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(At(r), (Spot{4, 5, 2})) << "left on the screen";
  EXPECT_EQ(form.Undo1->text(), "Undo Move Left");
  form.ToolAction(QStringLiteral("ToolButton2"))->trigger();
  EXPECT_EQ(At(r), (Spot{3, 4, 2}));
  board.HighlightTrace = 3;
  Menu(QStringLiteral("Shift Trace To Left"))->trigger(); // left on the screen
  EXPECT_EQ(board.HighlightTrace, 4);
  EXPECT_EQ(board.GetTrace(4).Name, "T3");
  QTest::keyClick(&form, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(board.HighlightTrace, 3);
  EXPECT_EQ(board.GetTrace(3).Name, "T3");
}

// Every selected part is framed on the board, not only the first.
TEST_F(EditingCommands, EverySelectedPartIsFramed) {
  Build(12, 20);
  Add(ComponentKind::Resistor, 1, 4, 2, "R1");
  Add(ComponentKind::Wire, 6, 9, 8, "W1");
  auto frameOf = [this](int start, int end, int pin) {
    const QImage shot = form.Board().grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage strip(end * 18 - start * 18 + 18, 1, QImage::Format_RGB32);
    for (int x = 0; x < strip.width(); ++x)
      strip.setPixel(x, 0, shot.pixel(TraceX(start) - 9 + x, PinY(pin) - 8));
    return strip;
  };
  Row(0)->setSelected(true);
  const QImage oneSecond = frameOf(6, 9, 8);
  const QImage oneFirst = frameOf(1, 4, 2);
  Row(1)->setSelected(true);
  EXPECT_EQ(frameOf(1, 4, 2), oneFirst);
  EXPECT_NE(frameOf(6, 9, 8), oneSecond) << "the second selected part has its frame";
  Row(0)->setSelected(false);
  EXPECT_NE(frameOf(1, 4, 2), oneFirst);
}

TEST_F(EditingCommands, RemovesOnlyTheTopmostSelectedRow) {
  Build(20, 20);
  BoardComponent *a = Add(ComponentKind::Resistor, 2, 5, 1, "R1");
  Add(ComponentKind::Wire, 6, 9, 4, "W1");
  BoardComponent *c = Add(ComponentKind::Diode, 1, 3, 7, "D1");
  BoardComponent *d = Add(ComponentKind::Wire, 10, 12, 9, "W2");
  BoardView &board = form.Board();

  form.Button2Click(); // nothing selected
  EXPECT_EQ(board.ComponentCount(), 4);
  EXPECT_FALSE(form.Modified());

  for (int i = 1; i < 4; ++i)
    Row(i)->setSelected(true);
  Menu(QStringLiteral("Remove Component"))->trigger();
  ASSERT_EQ(board.ComponentCount(), 3);
  EXPECT_EQ(&board.GetComponent(0), a);
  EXPECT_EQ(&board.GetComponent(1), c);
  EXPECT_EQ(&board.GetComponent(2), d);
  ASSERT_EQ(form.List().topLevelItemCount(), 3);
  EXPECT_EQ(Row(1)->text(1), QStringLiteral("D1"));
  EXPECT_EQ(form.SelectedRows().size(), 2u);
  EXPECT_EQ(board.SelectedComponent, c);
  EXPECT_TRUE(form.Modified());
  EXPECT_TRUE(Enabled("ToolButton1"));

  // The Delete key in the list removes the row's component too.
  form.List().clearSelection();
  Click(11, 9);
  EXPECT_EQ(board.SelectedComponent, d);
  ASSERT_EQ(form.SelectedRows().size(), 1u);
  QTest::keyClick(&form.List(), Qt::Key_Delete);
  EXPECT_EQ(board.ComponentCount(), 2);
  EXPECT_EQ(form.List().topLevelItemCount(), 2);
  EXPECT_EQ(board.SelectedComponent, nullptr);
  EXPECT_TRUE(form.SelectedRows().empty());
  EXPECT_FALSE(Enabled("ToolButton1"));
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(TMainForm::RowComponent(Row(i)), &board.GetComponent(i));
}

TEST_F(EditingCommands, SetsTheLabelFromTheLabelBox) {
  Build(6, 20);
  BoardView &board = form.Board();
  form.Edit1->setText(QStringLiteral("GND"));
  form.Button3->click(); // no highlighted trace
  for (int t = 0; t < 6; ++t)
    EXPECT_EQ(board.GetTrace(t).Name, "T" + std::to_string(t));
  EXPECT_FALSE(form.Modified());

  Click(2, 5);
  EXPECT_EQ(form.Edit1->text(), QStringLiteral("T2"));
  form.Edit1->clear();
  form.Button3->click();
  EXPECT_EQ(board.GetTrace(2).Name, "");
  EXPECT_TRUE(form.Modified());

  // Enter in the label box runs "Set", which is the default button while the box has the focus.
  form.Edit1->setFocus();
  ASSERT_TRUE(form.Edit1->hasFocus());
  EXPECT_TRUE(form.Button3->isDefault());
  QTest::keyClicks(form.Edit1, QStringLiteral(" VCC "));
  QTest::keyClick(form.Edit1, Qt::Key_Return);
  EXPECT_EQ(board.GetTrace(2).Name, " VCC ");
  form.List().setFocus();
  EXPECT_FALSE(form.Button3->isDefault());
}

TEST_F(EditingCommands, ShrinkKeepsTheListAndSelection) {
  Build(40, 40);
  BoardComponent *a = Add(ComponentKind::Resistor, 5, 9, 4, "R1");
  BoardComponent *b = Add(ComponentKind::Wire, 8, 6, 10, "W1");
  Row(1)->setSelected(true);
  Menu(QStringLiteral("Shrink Board"))->trigger();
  BoardView &board = form.Board();
  EXPECT_EQ(board.TraceCount(), 7);
  EXPECT_EQ(board.PinCount(), 9);
  EXPECT_EQ(At(a), (Spot{1, 5, 1}));
  EXPECT_EQ(At(b), (Spot{4, 2, 7}));
  EXPECT_EQ(board.GetTrace(0).Name, "T4");
  EXPECT_EQ(TMainForm::RowComponent(Row(0)), a);
  EXPECT_EQ(board.SelectedComponent, b);
  EXPECT_TRUE(form.Modified());

  // A component stored far off the board: the error stops the command before any change.
  Build(10, 12);
  BoardComponent *far = Add(ComponentKind::Wire, 3, std::numeric_limits<int>::max(), 5, "far");
  EXPECT_THROW(form.Shrink1Click(), TarnwickError);
  EXPECT_EQ(board.TraceCount(), 10);
  EXPECT_EQ(At(far), (Spot{3, std::numeric_limits<int>::max(), 5}));
  EXPECT_FALSE(form.Modified());

  // No board, nothing to shrink.
  form.ResetDocument();
  form.Shrink1Click();
  EXPECT_EQ(board.TraceCount(), 0);
  EXPECT_FALSE(form.Modified());
}

namespace {

// Plays the user's part in Board Properties: checks what the dialog offers, then runs `act`
// on it and closes it with `result`.
struct SizeDialog {
  QString caption;
  int traces = 0, pins = 0, minTraces = 0, minPins = 0;
};

void Type(TUpDownEdit *edit, const QString &text) {
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

} // namespace

TEST_F(EditingCommands, BoardPropertiesNeverCutsTheComponents) {
  Build(30, 30);
  BoardComponent *a = Add(ComponentKind::Resistor, 12, 4, 3, "R1");
  BoardComponent *b = Add(ComponentKind::Wire, 1, 7, 20, "W1");
  BoardView &board = form.Board();
  Click(20, 25); // a highlighted trace, cleared by the first change in the dialog
  ASSERT_EQ(board.HighlightTrace, 20);

  SizeDialog seen;
  GridRect previewBefore{-1, -1, -1, -1}, previewAfter;
  int highlightAfter = 0;
  prompts.OnExec = [&](QDialog &d) {
    auto &f = dynamic_cast<TNewLayoutForm &>(d);
    seen = {f.windowTitle(), f.UpDownEdit1->Position(), f.UpDownEdit2->Position(),
            f.UpDownEdit1->Min(), f.UpDownEdit2->Min()};
    previewBefore = board.SizePreview;
    Type(f.UpDownEdit1, QStringLiteral("5"));
    Type(f.UpDownEdit2, QStringLiteral("3"));
    previewAfter = board.SizePreview;
    highlightAfter = board.HighlightTrace;
    return int(QDialog::Accepted);
  };
  form.BoardProperties1Click();
  EXPECT_EQ(seen.caption, QStringLiteral("Board Properties"));
  EXPECT_EQ(seen.traces, 30);
  EXPECT_EQ(seen.pins, 30);
  EXPECT_EQ(seen.minTraces, 13);
  EXPECT_EQ(seen.minPins, 21);
  EXPECT_EQ(previewBefore.Right, 0); // no outline before the first change
  EXPECT_EQ(previewAfter.Left, 0);
  EXPECT_EQ(previewAfter.Top, 0);
  EXPECT_EQ(previewAfter.Right, 13); // "5" was pulled up to the minimum
  EXPECT_EQ(previewAfter.Bottom, 21);
  EXPECT_EQ(highlightAfter, -1);

  EXPECT_EQ(board.TraceCount(), 13);
  EXPECT_EQ(board.PinCount(), 21);
  EXPECT_EQ(board.GetTrace(12).Name, "T12");
  EXPECT_EQ(At(a), (Spot{12, 4, 3}));
  EXPECT_EQ(At(b), (Spot{1, 7, 20}));
  EXPECT_EQ(form.List().topLevelItemCount(), 2);
  EXPECT_EQ(board.SizePreview.Right, 0);
  EXPECT_EQ(board.SizePreview.Bottom, 0);
  EXPECT_TRUE(form.Modified());
  EXPECT_EQ(prompts.DialogsRun.size(), 1u);
  // The temporary dialog is gone; the New Layout dialog of File > New is a separate one and
  // keeps its own caption and values.
  const auto dialogs = form.findChildren<TNewLayoutForm *>();
  ASSERT_EQ(dialogs.size(), 1);
  EXPECT_EQ(dialogs[0]->windowTitle(), QStringLiteral("Create a new layout"));
  EXPECT_EQ(dialogs[0]->UpDownEdit1->Position(), 40);
}

TEST_F(EditingCommands, BoardPropertiesCancelAndUnchangedOk) {
  Build(30, 30);
  Add(ComponentKind::Resistor, 12, 4, 3, "R1");
  BoardView &board = form.Board();

  // Cancel after a change: only the highlight and the outline were touched, and the outline
  // is gone again.
  Click(5, 25);
  prompts.OnExec = [&](QDialog &d) {
    auto &f = dynamic_cast<TNewLayoutForm &>(d);
    QTest::mouseClick(f.UpDownEdit1->UpButton(), Qt::LeftButton);
    EXPECT_EQ(board.SizePreview.Right, 31);
    EXPECT_EQ(board.SizePreview.Bottom, 30);
    return int(QDialog::Rejected);
  };
  form.BoardProperties1Click();
  EXPECT_EQ(board.TraceCount(), 30);
  EXPECT_EQ(board.PinCount(), 30);
  EXPECT_EQ(board.SizePreview.Right, 0);
  EXPECT_EQ(board.HighlightTrace, -1);
  EXPECT_FALSE(form.Modified());

  // OK without a change keeps every label and component; pins up to 100 are accepted then.
  Click(5, 25);
  prompts.OnExec = [&](QDialog &) {
    EXPECT_EQ(board.SizePreview.Right, 0);
    return int(QDialog::Accepted);
  };
  form.BoardProperties1Click();
  EXPECT_EQ(board.TraceCount(), 30);
  EXPECT_EQ(board.PinCount(), 30);
  for (int t = 0; t < 30; ++t)
    EXPECT_EQ(board.GetTrace(t).Name, "T" + std::to_string(t));
  EXPECT_EQ(board.ComponentCount(), 1);
  EXPECT_EQ(board.HighlightTrace, 5);
  EXPECT_FALSE(form.Modified()) << "nothing changed: no step";
  EXPECT_FALSE(form.Doc().CanUndo());

  prompts.OnExec = [&](QDialog &d) {
    auto &f = dynamic_cast<TNewLayoutForm &>(d);
    Type(f.UpDownEdit2, QStringLiteral("100"));
    Type(f.UpDownEdit1, QStringLiteral("250"));
    return int(QDialog::Accepted);
  };
  form.BoardProperties1Click();
  EXPECT_EQ(board.PinCount(), 100);
  EXPECT_EQ(board.TraceCount(), 100);
  EXPECT_EQ(board.GetTrace(29).Name, "T29");
  EXPECT_EQ(board.GetTrace(99).Name, "");
}

TEST_F(EditingCommands, BoardPropertiesOnUnusualBoards) {
  // Without components both minimums are 1.
  Build(8, 12);
  int minTraces = 0, minPins = 0;
  prompts.OnExec = [&](QDialog &d) {
    auto &f = dynamic_cast<TNewLayoutForm &>(d);
    minTraces = f.UpDownEdit1->Min();
    minPins = f.UpDownEdit2->Min();
    Type(f.UpDownEdit1, QStringLiteral("0"));
    return int(QDialog::Accepted);
  };
  form.BoardProperties1Click();
  EXPECT_EQ(minTraces, 1);
  EXPECT_EQ(minPins, 1);
  EXPECT_EQ(form.Board().TraceCount(), 1);

  // A board wider than the usual range (a file may hold one): unchanged OK keeps all of it.
  Build(150, 20);
  Add(ComponentKind::Wire, 140, 149, 3, "W1");
  int shown = 0;
  prompts.OnExec = [&](QDialog &d) {
    shown = dynamic_cast<TNewLayoutForm &>(d).UpDownEdit1->Position();
    return int(QDialog::Accepted);
  };
  form.BoardProperties1Click();
  EXPECT_EQ(shown, 150);
  EXPECT_EQ(form.Board().TraceCount(), 150);
  EXPECT_EQ(form.Board().GetTrace(149).Name, "T149");

  // A component stored far off the board: the error comes before any dialog.
  Build(10, 12);
  Add(ComponentKind::Wire, 3, std::numeric_limits<int>::max(), 5, "far");
  prompts.OnExec = nullptr; // a dialog run would fail the test
  const QString error = RunReportingError([&] { form.BoardProperties1Click(); });
  EXPECT_EQ(error, QStringLiteral(
                       "A component lies at trace 2147483648, beyond the largest board of 10000 "
                       "traces."));
  EXPECT_EQ(form.Board().TraceCount(), 10);
  EXPECT_FALSE(form.Modified());

  // No board: nothing to size.
  form.ResetDocument();
  form.BoardProperties1Click();
  EXPECT_EQ(form.Board().TraceCount(), 0);
  EXPECT_TRUE(prompts.DialogsRun.size() == 2u);
}
