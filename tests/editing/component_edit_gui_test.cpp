// Edit mode of the component dialog, reached from the Edit menu, the component list (double
// click, Enter) and a double click on the board.
#include "editing/component_dialog_fixture.h"

#include <QLabel>
#include <QToolButton>

#include <stdexcept>

namespace tarnwick {
namespace {

using EditComponent = ComponentDialogFixture;

TEST_F(EditComponent, LoadsTheComponentAndWritesItBackOnOk) {
  Add(ComponentKind::Wire, 0, 2, 0, "W1");
  BoardComponent *c = Add(ComponentKind::ElectrolyticRadial, 4, 6, 9, "C7", 3);
  form.ListView1->topLevelItem(1)->setSelected(true);
  B().SetHighlightTrace(12);
  Then([this, c](TNewCompForm &d) {
    EXPECT_EQ(d.EditedComponent, c);
    EXPECT_EQ(d.ComboBoxEx1->currentIndex(), RadialItem);
    EXPECT_TRUE(d.UpDownEdit4->isVisible());
    EXPECT_EQ(d.UpDownEdit4->text(), "3");
    EXPECT_EQ(d.Edit1->text(), "C7");
    EXPECT_EQ(Shows(d), "5 7 10");
    EXPECT_FALSE(d.SpeedButton2->isVisible());
    EXPECT_EQ(B().HighlightTrace, 4);
    EXPECT_EQ(B().HighlightEndTrace, 6);
    EXPECT_EQ(B().HighlightPin, 9);
    // Refused like in add mode, and the component is left as it was.
    Type(d.UpDownEdit4, 2);
    Ok(d);
    EXPECT_EQ(prompts.Beeps, 1);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(c->CapWidth, 3);
    Choose(d, 5);
    TypeName(d, "D2");
    Type(d.UpDownEdit3, 12);
    Ok(d);
    // Edit mode closes on OK.
    EXPECT_FALSE(d.isVisible());
  });
  form.ListBox1DblClick();
  EXPECT_EQ(c->Name, "D2");
  EXPECT_TRUE(c->Is(ComponentKind::Diode));
  EXPECT_EQ(c->StartTrace, 4);
  EXPECT_EQ(c->EndTrace, 6);
  EXPECT_EQ(c->StartPin, 11);
  EXPECT_EQ(c->CapWidth, 3);
  EXPECT_EQ(B().ComponentCount(), 2);
  EXPECT_EQ(RowText(1, 0), "D");
  EXPECT_EQ(RowText(1, 1), "D2");
  EXPECT_EQ(RowText(0, 1), "W1");
  EXPECT_TRUE(form.Modified());
  // Edit mode ends with nothing highlighted and nothing being edited.
  EXPECT_EQ(dlg->EditedComponent, nullptr);
  EXPECT_EQ(B().HighlightTrace, -1);
  EXPECT_EQ(B().HighlightEndTrace, -1);
  EXPECT_EQ(B().HighlightPin, -1);

  // A diode selects its own item; the next add starts in add mode again.
  Then([](TNewCompForm &d) {
    EXPECT_EQ(d.ComboBoxEx1->currentIndex(), 5);
    EXPECT_FALSE(d.UpDownEdit4->isVisible());
  });
  form.ListBox1DblClick();
  Then([](TNewCompForm &d) { EXPECT_EQ(d.EditedComponent, nullptr); });
  form.Button1Click();
}

TEST_F(EditComponent, CancelAndTracesBeyondTheBoard) {
  // Lies beyond the 20 traces, e.g. after the board was made smaller.
  BoardComponent *c = Add(ComponentKind::Resistor, 25, 30, 2, "R9");
  form.ListView1->topLevelItem(0)->setSelected(true);
  Then([](TNewCompForm &d) {
    EXPECT_EQ(Shows(d), "20 20 3");
    TypeName(d, "changed");
    Choose(d, WireItem);
  });
  form.ListBox1DblClick();
  // Cancel: nothing written, but the highlights are cleared all the same.
  EXPECT_EQ(c->Name, "R9");
  EXPECT_EQ(c->StartTrace, 25);
  EXPECT_TRUE(c->Is(ComponentKind::Resistor));
  EXPECT_FALSE(form.Modified());
  EXPECT_EQ(RowText(0, 1), "R9");
  EXPECT_EQ(B().HighlightTrace, -1);
  EXPECT_EQ(B().HighlightEndTrace, -1);
  EXPECT_EQ(B().HighlightPin, -1);

  // OK stores the clamped values.
  Then([](TNewCompForm &d) {
    EXPECT_EQ(d.ComboBoxEx1->currentIndex(), 1);
    EXPECT_EQ(d.Edit1->text(), "R9");
    Ok(d);
  });
  form.ListBox1DblClick();
  EXPECT_EQ(c->StartTrace, 19);
  EXPECT_EQ(c->EndTrace, 19);
  EXPECT_TRUE(form.Modified());

  // Without a selected row Edit Component does nothing.
  form.ListView1->clearSelection();
  const int runs = prompts.Dialogs;
  form.ListBox1DblClick();
  EXPECT_EQ(prompts.Dialogs, runs);
}

TEST_F(EditComponent, ASocketIsEditedWithoutOfferingDipSockets) {
  BoardComponent *c = Add(ComponentKind::Socket, 6, 6, 3, "GND");
  form.ListView1->topLevelItem(0)->setSelected(true);
  Then([](TNewCompForm &d) {
    EXPECT_EQ(d.ComboBoxEx1->currentIndex(), SocketItem);
    EXPECT_FALSE(d.SpeedButton2->isVisible());
    EXPECT_FALSE(d.UpDownEdit2->isEnabled());
    Type(d.UpDownEdit1, 9);
    EXPECT_EQ(Shows(d), "9 9 4");
    Ok(d);
  });
  form.ListBox1DblClick();
  EXPECT_EQ(c->StartTrace, 8);
  EXPECT_EQ(c->EndTrace, 8);
}

// The dialog keeps its controls between openings: a socket shown before leaves End Trace
// disabled, and loading the next component must not let End follow Start.
TEST_F(EditComponent, ShowsTheComponentAsStoredAfterASocket) {
  Add(ComponentKind::Socket, 6, 6, 3, "J1");
  BoardComponent *r = Add(ComponentKind::Resistor, 2, 5, 3, "R1");
  BoardComponent *d = Add(ComponentKind::Diode, 9, 4, 7, "D1");
  auto edit = [this](int row, std::function<void(TNewCompForm &)> script) {
    form.ListView1->clearSelection();
    form.ListView1->topLevelItem(row)->setSelected(true);
    Then(std::move(script));
    form.ListBox1DblClick();
  };
  edit(0, [](TNewCompForm &d) { Ok(d); });
  edit(1, [](TNewCompForm &d) {
    EXPECT_EQ(Shows(d), "3 6 4");
    EXPECT_TRUE(d.UpDownEdit2->isEnabled());
    Ok(d);
  });
  EXPECT_EQ(r->StartTrace, 2);
  EXPECT_EQ(r->EndTrace, 5);
  edit(0, [](TNewCompForm &d) { Ok(d); });
  // A reversed diode keeps its polarity when only its name changes.
  edit(2, [](TNewCompForm &d) {
    EXPECT_EQ(Shows(d), "10 5 8");
    TypeName(d, "D9");
    Ok(d);
  });
  EXPECT_EQ(d->Name, "D9");
  EXPECT_EQ(d->StartTrace, 9);
  EXPECT_EQ(d->EndTrace, 4);
}

// Picking a kind widens a part whose end equals its start; loading one for editing does not.
TEST_F(EditComponent, AnUnchangedEditLeavesAOneTracePartAsItWas) {
  BoardComponent *cut = Add(ComponentKind::TraceCut, 6, 6, 4, "");
  form.ListView1->topLevelItem(0)->setSelected(true);
  Then([](TNewCompForm &d) {
    EXPECT_EQ(Shows(d), "7 7 5");
    Ok(d);
  });
  form.ListBox1DblClick();
  EXPECT_EQ(cut->StartTrace, 6);
  EXPECT_EQ(cut->EndTrace, 6);
  // A kind chosen by the user still spreads the part over three traces.
  Then([](TNewCompForm &d) {
    Choose(d, WireItem);
    EXPECT_EQ(Shows(d), "7 9 5");
    Ok(d);
  });
  form.ListBox1DblClick();
  EXPECT_EQ(cut->EndTrace, 8);
}

TEST_F(EditComponent, AnErrorInsideTheDialogStillClearsTheEditState) {
  Add(ComponentKind::Wire, 1, 3, 2, "W");
  form.ListView1->topLevelItem(0)->setSelected(true);
  Then([](TNewCompForm &) { throw TarnwickError("broken"); });
  EXPECT_THROW(form.ListBox1DblClick(), TarnwickError);
  EXPECT_EQ(dlg->EditedComponent, nullptr);
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(B().HighlightTrace, -1);
  EXPECT_EQ(B().HighlightEndTrace, -1);
  EXPECT_EQ(B().HighlightPin, -1);
  // The same in add mode: the row and end trace highlights go.
  Then([](TNewCompForm &) { throw TarnwickError("broken"); });
  EXPECT_THROW(form.Button1Click(), TarnwickError);
  EXPECT_EQ(B().HighlightPin, -1);
  EXPECT_EQ(B().HighlightEndTrace, -1);
  // The dialog still works afterwards; OK without a change records no step.
  Then([](TNewCompForm &d) {
    EXPECT_EQ(d.Edit1->text(), "W");
    Ok(d);
  });
  form.ListBox1DblClick();
  EXPECT_FALSE(form.Modified());
  Then([](TNewCompForm &d) {
    d.Edit1->setText(QStringLiteral("W2"));
    Ok(d);
  });
  form.ListBox1DblClick();
  EXPECT_TRUE(form.Modified());
  EXPECT_EQ(form.Undo1->text(), "Undo Edit Component");
}

TEST_F(EditComponent, EnterInTheComponentListEditsTheFirstSelectedRow) {
  Add(ComponentKind::Wire, 1, 3, 2, "W1");
  BoardComponent *r = Add(ComponentKind::Resistor, 4, 8, 5, "R1");
  form.ListView1->topLevelItem(1)->setSelected(true);
  Then([r](TNewCompForm &d) {
    EXPECT_EQ(d.EditedComponent, r);
    TypeName(d, "10k");
    Ok(d);
  });
  QTest::keyClick(form.ListView1, Qt::Key_Return);
  EXPECT_EQ(prompts.Dialogs, 1);
  EXPECT_EQ(r->Name, "10k");
  EXPECT_EQ(RowText(1, 1), "10k");
  EXPECT_TRUE(form.Modified());
}

TEST_F(EditComponent, DoubleClickOnTheBoardEditsThatComponent) {
  Add(ComponentKind::Wire, 1, 3, 2, "W1");
  BoardComponent *r = Add(ComponentKind::Resistor, 4, 8, 5, "R1");
  auto doubleClick = [this](int trace, int pin) {
    const QPoint at(TraceX(trace), PinY(pin));
    QTest::mouseClick(&B(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(&B(), Qt::LeftButton, Qt::NoModifier, at);
  };
  Then([r](TNewCompForm &d) {
    EXPECT_EQ(d.EditedComponent, r);
    EXPECT_EQ(d.Edit1->text(), "R1");
    TypeName(d, "D5");
    Choose(d, 5);
    Ok(d);
  });
  doubleClick(6, 5);
  EXPECT_EQ(prompts.Dialogs, 1);
  EXPECT_TRUE(r->Is(ComponentKind::Diode));
  EXPECT_EQ(RowText(1, 0), "D");
  EXPECT_EQ(RowText(1, 1), "D5");
  EXPECT_EQ(RowText(0, 1), "W1");
  EXPECT_TRUE(form.Modified());
  EXPECT_EQ(dlg->EditedComponent, nullptr);
  EXPECT_EQ(B().HighlightTrace, -1);
  EXPECT_EQ(B().HighlightEndTrace, -1);
  EXPECT_EQ(B().HighlightPin, -1);
  // The edit handler ends by bringing the toolbar up to date: the selected row enables Move.
  EXPECT_TRUE(form.ToolAction(QStringLiteral("ToolButton1"))->isEnabled());

  // Cancel: the row stays, the highlights are cleared all the same.
  form.ResetDocument();
  B().InitBoard(20, 20);
  BoardComponent *w = Add(ComponentKind::Wire, 1, 3, 2, "W1");
  QTest::mouseClick(&B(), Qt::LeftButton, Qt::NoModifier, QPoint(TraceX(10), PinY(10)));
  ASSERT_EQ(B().HighlightTrace, 10);
  Then([w](TNewCompForm &d) {
    EXPECT_EQ(d.EditedComponent, w);
    EXPECT_EQ(d.Edit1->text(), "W1");
    TypeName(d, "gone");
    Choose(d, 7);
  });
  doubleClick(2, 2);
  EXPECT_EQ(prompts.Dialogs, 2);
  EXPECT_EQ(w->Name, "W1");
  EXPECT_TRUE(w->Is(ComponentKind::Wire));
  EXPECT_EQ(RowText(0, 0), "---");
  EXPECT_EQ(RowText(0, 1), "W1");
  EXPECT_FALSE(form.Modified());
  EXPECT_EQ(B().HighlightTrace, -1);
  EXPECT_EQ(B().HighlightEndTrace, -1);
  EXPECT_EQ(B().HighlightPin, -1);

  // A double click on an empty strip opens nothing.
  doubleClick(12, 12);
  EXPECT_EQ(prompts.Dialogs, 2);
}

} // namespace
} // namespace tarnwick
