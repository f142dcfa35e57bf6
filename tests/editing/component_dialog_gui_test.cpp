// The component dialog on the real main window: values are typed into its controls, kinds
// chosen with the keyboard, and OK pressed through its button, inside the modal runs that the
// scripted prompts play.
#include "editing/component_dialog_fixture.h"

#include <QLabel>
#include <QToolButton>

namespace tarnwick {
namespace {

using ComponentDialog = ComponentDialogFixture;

TEST_F(ComponentDialog, AddsOneAfterAnotherTwoRowsDownWithTheLivePreview) {
  Then([this](TNewCompForm &d) {
    EXPECT_EQ(d.windowTitle(), "Component Properties");
    // No kind is chosen after program start: OK does nothing.
    Ok(d);
    EXPECT_EQ(B().ComponentCount(), 0);
    EXPECT_TRUE(d.isVisible());
    Choose(d, 1);
    TypeName(d, "R1");
    Type(d.UpDownEdit1, 3);
    Type(d.UpDownEdit2, 6);
    Type(d.UpDownEdit3, 5);
    // The board shows the position being entered.
    EXPECT_EQ(B().HighlightTrace, 2);
    EXPECT_EQ(B().HighlightEndTrace, 5);
    EXPECT_EQ(B().HighlightPin, 4);
    Ok(d);
    ASSERT_EQ(B().ComponentCount(), 1);
    const BoardComponent &r = B().GetComponent(0);
    EXPECT_EQ(r.Name, "R1");
    EXPECT_TRUE(r.Is(ComponentKind::Resistor));
    EXPECT_EQ(r.StartTrace, 2);
    EXPECT_EQ(r.EndTrace, 5);
    EXPECT_EQ(r.StartPin, 4);
    EXPECT_EQ(r.CapWidth, 0);
    EXPECT_TRUE(form.Modified());
    ASSERT_EQ(form.ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(RowText(0, 0), "R");
    EXPECT_EQ(RowText(0, 1), "R1");
    EXPECT_FALSE(form.ListView1->topLevelItem(0)->isSelected());
    // Still open, moved on two rows with the same traces and kind, the name emptied for the
    // next part and focused.
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(Shows(d), "3 6 7");
    EXPECT_TRUE(d.Edit1->text().isEmpty());
    EXPECT_EQ(d.focusWidget(), d.Edit1);
    EXPECT_EQ(d.ComboBoxEx1->currentIndex(), 1);
    EXPECT_EQ(B().HighlightPin, 6);
    // An empty name is stored as "<unnamed>".
    Ok(d);
    ASSERT_EQ(B().ComponentCount(), 2);
    EXPECT_EQ(B().GetComponent(1).Name, "<unnamed>");
    EXPECT_EQ(B().GetComponent(1).StartPin, 6);
    EXPECT_EQ(RowText(1, 1), "<unnamed>");
  });
  form.Button1Click();
  EXPECT_EQ(prompts.Dialogs, 1);
  EXPECT_FALSE(dlg->isVisible());
  // When add mode ends, the row and end trace are no longer highlighted; the start trace is.
  EXPECT_EQ(B().HighlightPin, -1);
  EXPECT_EQ(B().HighlightEndTrace, -1);
  EXPECT_EQ(B().HighlightTrace, 2);
}

TEST_F(ComponentDialog, SocketPinsGoOnTheNextTraceAndTheLastRowIsKept) {
  Then([this](TNewCompForm &d) {
    Type(d.UpDownEdit2, 9);
    Choose(d, SocketItem);
    // The end follows the start and cannot be changed; "<>" is off; sockets can be inserted.
    EXPECT_FALSE(d.UpDownEdit2->isEnabled());
    EXPECT_FALSE(d.SpeedButton1->isEnabled());
    EXPECT_TRUE(d.SpeedButton2->isVisible());
    EXPECT_EQ(d.SpeedButton2->text(), "Insert DIP Socket");
    TypeName(d, "IN");
    Type(d.UpDownEdit1, 4);
    Type(d.UpDownEdit3, 2);
    EXPECT_EQ(Shows(d), "4 4 2");
    EXPECT_EQ(B().HighlightEndTrace, 3);
    Ok(d);
    ASSERT_EQ(B().ComponentCount(), 1);
    EXPECT_TRUE(B().GetComponent(0).Is(ComponentKind::Socket));
    EXPECT_EQ(B().GetComponent(0).StartTrace, 3);
    EXPECT_EQ(B().GetComponent(0).EndTrace, 3);
    EXPECT_EQ(B().GetComponent(0).StartPin, 1);
    EXPECT_EQ(RowText(0, 0), "(o)");
    EXPECT_EQ(Shows(d), "5 5 2");
    EXPECT_FALSE(d.UpDownEdit2->isEnabled());
    EXPECT_EQ(B().HighlightTrace, 4);
    EXPECT_EQ(B().HighlightEndTrace, 4);

    // Any other kind moves the end two traces to the right of the start again.
    Choose(d, WireItem);
    EXPECT_TRUE(d.UpDownEdit2->isEnabled());
    EXPECT_TRUE(d.SpeedButton1->isEnabled());
    EXPECT_FALSE(d.SpeedButton2->isVisible());
    EXPECT_EQ(Shows(d), "5 7 2");
    // At the last row the advance is clamped, so the next part goes on the same row.
    Type(d.UpDownEdit3, 20);
    Ok(d);
    EXPECT_EQ(Shows(d), "5 7 20");
    Ok(d);
    ASSERT_EQ(B().ComponentCount(), 3);
    EXPECT_EQ(B().GetComponent(1).StartPin, 19);
    EXPECT_EQ(B().GetComponent(2).StartPin, 19);
    // At the last trace a socket stays there too.
    Choose(d, SocketItem);
    Type(d.UpDownEdit1, 20);
    Ok(d);
    EXPECT_EQ(Shows(d), "20 20 20");
  });
  form.Button1Click();
  EXPECT_EQ(B().ComponentCount(), 4);
}

// OK without a kind adds nothing, but says so: a beep, and the keyboard on the kind list.
TEST_F(ComponentDialog, OkWithoutAKindBeepsAndGoesToTheKindList) {
  Then([this](TNewCompForm &d) {
    ASSERT_EQ(d.ComboBoxEx1->currentIndex(), -1);
    TypeName(d, "R1");
    d.Edit1->setFocus();
    Ok(d);
    EXPECT_EQ(prompts.Beeps, 1);
    EXPECT_EQ(d.focusWidget(), d.ComboBoxEx1);
    EXPECT_EQ(B().ComponentCount(), 0);
    EXPECT_TRUE(d.isVisible());
  });
  form.Button1Click();
}

TEST_F(ComponentDialog, RadialNeedsABodyWiderThanItsLeadSpacing) {
  Then([this](TNewCompForm &d) {
    EXPECT_FALSE(d.UpDownEdit4->isVisible());
    Choose(d, RadialItem);
    EXPECT_TRUE(d.UpDownEdit4->isVisible());
    EXPECT_TRUE(d.Label5->isVisible());
    EXPECT_EQ(d.Label5->text(), "Cap Width:");
    TypeName(d, "C1");
    Type(d.UpDownEdit1, 2);
    Type(d.UpDownEdit2, 3);
    Type(d.UpDownEdit4, 1);
    d.Edit1->setFocus();
    Ok(d);
    // Refused: a beep, Cap Width focused, nothing added, the dialog open with its values.
    EXPECT_EQ(prompts.Beeps, 1);
    EXPECT_EQ(d.focusWidget(), d.UpDownEdit4);
    EXPECT_EQ(B().ComponentCount(), 0);
    EXPECT_FALSE(form.Modified());
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Edit1->text(), "C1");
    Type(d.UpDownEdit4, 2);
    Ok(d);
    ASSERT_EQ(B().ComponentCount(), 1);
    EXPECT_TRUE(B().GetComponent(0).Is(ComponentKind::ElectrolyticRadial));
    EXPECT_EQ(B().GetComponent(0).CapWidth, 2);
    EXPECT_EQ(RowText(0, 0), "C");
    // Both leads in one hole fit any width.
    Type(d.UpDownEdit2, 2);
    Type(d.UpDownEdit4, 1);
    Ok(d);
    ASSERT_EQ(B().ComponentCount(), 2);
    EXPECT_EQ(B().GetComponent(1).CapWidth, 1);
    EXPECT_EQ(prompts.Beeps, 1);
    // Changing Cap Width previews the start trace again.
    B().SetHighlightTrace(-1);
    Type(d.UpDownEdit4, 3);
    EXPECT_EQ(B().HighlightTrace, 1);
    Choose(d, 5);
    EXPECT_FALSE(d.UpDownEdit4->isVisible());
    EXPECT_FALSE(d.Label5->isVisible());
  });
  form.Button1Click();
}

TEST_F(ComponentDialog, PresetsFromHighlightsAndClickedRowAndTheSocketToWireSwitch) {
  auto click = [this](int trace, int pin, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(&B(), Qt::LeftButton, mods, QPoint(TraceX(trace), PinY(pin)));
  };
  // Leave the Socket item chosen.
  Then([](TNewCompForm &d) { Choose(d, SocketItem); });
  form.Button1Click();

  // One trace apart: the Socket item stays, the end follows the start.
  click(2, 6);
  click(3, 6, Qt::ShiftModifier);
  Then([](TNewCompForm &d) {
    EXPECT_EQ(d.ComboBoxEx1->currentIndex(), SocketItem);
    EXPECT_EQ(Shows(d), "3 3 7");
    EXPECT_FALSE(d.UpDownEdit2->isEnabled());
    EXPECT_EQ(d.focusWidget(), d.Edit1);
  });
  form.Button1Click();

  // Two apart: switched to Wire, spanning the two highlighted traces, the kind focused.
  click(2, 8);
  click(4, 8, Qt::ShiftModifier);
  Then([this](TNewCompForm &d) {
    EXPECT_EQ(d.ComboBoxEx1->currentIndex(), WireItem);
    EXPECT_EQ(Shows(d), "3 5 9");
    EXPECT_TRUE(d.UpDownEdit2->isEnabled());
    EXPECT_TRUE(d.SpeedButton1->isEnabled());
    EXPECT_EQ(d.focusWidget(), d.ComboBoxEx1);
    EXPECT_EQ(B().HighlightTrace, 2);
    EXPECT_EQ(B().HighlightEndTrace, 4);
    EXPECT_EQ(B().HighlightPin, 8);
    // "<>" swaps the ends and the preview follows.
    QTest::mouseClick(d.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(Shows(d), "5 3 9");
    EXPECT_EQ(B().HighlightTrace, 4);
    EXPECT_EQ(B().HighlightEndTrace, 2);
    Ok(d);
    EXPECT_EQ(B().GetComponent(0).StartTrace, 4);
    EXPECT_EQ(B().GetComponent(0).EndTrace, 2);
  });
  form.Button1Click();

  // Without an end trace the part spans two traces to the right of the start.
  click(6, 1);
  Then([](TNewCompForm &d) { EXPECT_EQ(Shows(d), "7 9 2"); });
  form.Button1Click();
}

TEST_F(ComponentDialog, PresetsAreClampedIntoTheCurrentBoardNotAnEarlierOne) {
  form.ResetDocument();
  B().InitBoard(5, 10);
  Then([](TNewCompForm &d) { Choose(d, WireItem); });
  form.Button1Click();
  // A bigger board: a highlight beyond the old size must not be clamped to it.
  form.ResetDocument();
  B().InitBoard(40, 30);
  QTest::mouseClick(&B(), Qt::LeftButton, Qt::NoModifier, QPoint(TraceX(30), PinY(25)));
  Then([](TNewCompForm &d) {
    EXPECT_EQ(Shows(d), "31 33 26");
    EXPECT_EQ(d.UpDownEdit1->Max(), 40);
    EXPECT_EQ(d.UpDownEdit3->Max(), 30);
  });
  form.Button1Click();
  // With no traces Add Component does nothing.
  form.ResetDocument();
  const int runs = prompts.Dialogs;
  form.Button1Click();
  EXPECT_EQ(prompts.Dialogs, runs);
}

TEST_F(ComponentDialog, LetterSearchInTheKindDropDown) {
  Then([](TNewCompForm &d) {
    Choose(d, 5);
    ASSERT_EQ(d.ComboBoxEx1->currentText(), "Diode");
    QTest::keyClick(d.ComboBoxEx1, 's');
    EXPECT_EQ(d.ComboBoxEx1->currentText(), "Socket / Offboard Connector");
    // The kind change ran: the end now follows the start.
    EXPECT_FALSE(d.UpDownEdit2->isEnabled());
    Choose(d, 8);
    QTest::keyClick(d.ComboBoxEx1, 'W');
    EXPECT_EQ(d.ComboBoxEx1->currentIndex(), WireItem);
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
      QTest::keyClick(d.ComboBoxEx1, 'c');
      seen << QString::number(d.ComboBoxEx1->currentIndex());
    }
    EXPECT_EQ(seen.join(' '), "2 3 4 2");
    QTest::keyClick(d.ComboBoxEx1, 'z');
    EXPECT_EQ(d.ComboBoxEx1->currentIndex(), 2);
  });
  form.Button1Click();
}

TEST_F(ComponentDialog, ControlsIconsAndKeyboardOrder) {
  ASSERT_EQ(dlg->ComboBoxEx1->count(), KindItemCount);
  for (int i = 0; i < KindItemCount; ++i) {
    EXPECT_EQ(dlg->ComboBoxEx1->itemText(i),
              QString::fromLatin1(KindItems[static_cast<std::size_t>(i)].Caption));
    const QImage icon = dlg->ComboBoxEx1->itemIcon(i).pixmap(16, 16).toImage();
    ASSERT_EQ(icon.size(), QSize(16, 16));
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        opaque += qAlpha(icon.pixel(x, y)) > 0;
    // Every kind but Label shows a picture on a transparent background.
    if (i == 8)
      EXPECT_EQ(opaque, 0);
    else
      EXPECT_TRUE(opaque > 10 && opaque < 256) << i;
  }
  EXPECT_EQ(dlg->ComboBoxEx1->maxVisibleItems(), 15);
  EXPECT_EQ(dlg->size(), QSize(400, 153));
  EXPECT_TRUE(dlg->Button1->isDefault());
  EXPECT_EQ(dlg->Button1->text(), "OK");
  EXPECT_EQ(dlg->Button2->text(), "Cancel");
  EXPECT_EQ(dlg->SpeedButton1->text(), "<>");
  EXPECT_EQ(dlg->UpDownEdit4->text(), "1");
  EXPECT_EQ(dlg->UpDownEdit4->Max(), 100);

  Then([](TNewCompForm &d) {
    Choose(d, RadialItem);
    QStringList order;
    const QStringList names{"Edit1",       "ComboBoxEx1", "UpDownEdit1", "UpDownEdit2",
                            "UpDownEdit3", "Button1",     "Button2",     "UpDownEdit4"};
    QWidget *w = d.Edit1;
    do {
      if (names.contains(w->objectName()) && (w->focusPolicy() & Qt::TabFocus))
        order << w->objectName();
      w = w->nextInFocusChain();
    } while (w != d.Edit1);
    EXPECT_EQ(order, names);
  });
  form.Button1Click();
}

} // namespace
} // namespace tarnwick
