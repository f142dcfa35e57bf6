// "Insert DIP Socket": the socket dialog reached from the component dialog in add mode.
#include "editing/component_dialog_fixture.h"
#include "editing/u_dipsockets.h"

#include <QListWidget>
#include <QToolButton>

namespace tarnwick {
namespace {

class DipSocket : public ComponentDialogFixture {
protected:
  // Plays one modal run of the socket dialog.
  void ThenSockets(std::function<void(TDipSocketForm &)> script) {
    prompts.Scripts.push_back(
        [script = std::move(script)](QDialog &d) { script(dynamic_cast<TDipSocketForm &>(d)); });
  }
  // The component dialog set to a Socket at the given position, then "Insert DIP Socket".
  void OpenSocketsAt(int start, int row) {
    Then([start, row](TNewCompForm &d) {
      Choose(d, SocketItem);
      Type(d.UpDownEdit1, start);
      Type(d.UpDownEdit3, row);
      QTest::mouseClick(d.SpeedButton2, Qt::LeftButton);
    });
  }
  static void Pick(TDipSocketForm &s, int index) {
    QListWidgetItem *item = s.ListBox1->item(index);
    QTest::mouseClick(s.ListBox1->viewport(), Qt::LeftButton, Qt::NoModifier,
                      s.ListBox1->visualItemRect(item).center());
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int i = 0; i < form.ListView1->topLevelItemCount(); ++i)
      rows.push_back((RowText(i, 0) + ' ' + RowText(i, 1)).toStdString());
    return rows;
  }
};

TEST_F(DipSocket, SixPinAtTheCornerAddsPinsAndCutAndClosesBothDialogs) {
  OpenSocketsAt(1, 1);
  ThenSockets([this](TDipSocketForm &s) {
    EXPECT_EQ(s.windowTitle(), "DipSocketForm");
    EXPECT_EQ(s.size(), QSize(349, 177));
    ASSERT_EQ(s.ListBox1->count(), 12);
    EXPECT_EQ(s.ListBox1->item(0)->text(), "Generic 6-pin socket");
    EXPECT_EQ(s.ListBox1->item(6)->text(), "Dual Opamp socket (8-pin)");
    EXPECT_EQ(s.ListBox1->item(11)->text(), "Generic 28-pin socket");
    EXPECT_EQ(s.Button1->text(), "Insert");
    EXPECT_EQ(s.Button2->text(), "Cancel");
    EXPECT_TRUE(s.Button1->isDefault());
    // Nothing to insert before a template is chosen.
    EXPECT_FALSE(s.Button1->isEnabled());
    s.Button1Click();
    EXPECT_EQ(B().ComponentCount(), 0);
    Pick(s, 0);
    EXPECT_TRUE(s.Button1->isEnabled());
    QTest::mouseClick(s.Button1, Qt::LeftButton);
  });
  form.Button1Click();
  EXPECT_EQ(prompts.Dialogs, 2);
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(Rows(), (std::vector<std::string>{"(o) 6", "(o) 5", "(o) 4", "(o) 3", "(o) 2", "(o) 1",
                                              "<-> cut trace"}));
  ASSERT_EQ(B().ComponentCount(), 7);
  const BoardComponent &pin6 = B().GetComponent(0);
  EXPECT_TRUE(pin6.Is(ComponentKind::Socket));
  EXPECT_EQ(pin6.StartTrace, 0);
  EXPECT_EQ(pin6.StartPin, 0);
  const BoardComponent &pin3 = B().GetComponent(3);
  EXPECT_EQ(pin3.StartTrace, 2);
  EXPECT_EQ(pin3.StartPin, 3);
  const BoardComponent &cut = B().GetComponent(6);
  EXPECT_TRUE(cut.Is(ComponentKind::TraceCut));
  EXPECT_EQ(cut.Name, "");
  EXPECT_EQ(cut.StartTrace, 0);
  EXPECT_EQ(cut.EndTrace, 2);
  EXPECT_EQ(cut.StartPin, 2);
  EXPECT_TRUE(form.Modified());
  // Add mode has ended.
  EXPECT_EQ(B().HighlightPin, -1);
  EXPECT_EQ(B().HighlightEndTrace, -1);
}

TEST_F(DipSocket, DualOpampAtTheChosenPosition) {
  OpenSocketsAt(5, 3);
  ThenSockets([](TDipSocketForm &s) {
    Pick(s, 6);
    QTest::mouseClick(s.Button1, Qt::LeftButton);
  });
  form.Button1Click();
  ASSERT_EQ(B().ComponentCount(), 9);
  EXPECT_EQ(Rows().front(), "(o) V+");
  EXPECT_EQ(Rows()[7], "(o) O1");
  const BoardComponent &o1 = B().GetComponent(7);
  EXPECT_EQ(o1.StartTrace, 4);
  EXPECT_EQ(o1.StartPin, 5);
  const BoardComponent &cut = B().GetComponent(8);
  EXPECT_EQ(cut.StartTrace, 4);
  EXPECT_EQ(cut.EndTrace, 7);
  EXPECT_EQ(cut.StartPin, 4);
}

TEST_F(DipSocket, CancelReturnsToTheComponentDialogUnchanged) {
  Then([this](TNewCompForm &d) {
    Choose(d, SocketItem);
    TypeName(d, "J1");
    Type(d.UpDownEdit1, 6);
    Type(d.UpDownEdit3, 4);
    QTest::mouseClick(d.SpeedButton2, Qt::LeftButton);
    // Back in the component dialog, still open, with what was entered.
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(B().ComponentCount(), 0);
    EXPECT_FALSE(form.Modified());
    EXPECT_EQ(d.Edit1->text(), "J1");
    EXPECT_EQ(Shows(d), "6 6 4");
    EXPECT_EQ(d.ComboBoxEx1->currentIndex(), SocketItem);
    // Closing the socket dialog by its close box is a cancel as well.
    QTest::mouseClick(d.SpeedButton2, Qt::LeftButton);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(B().ComponentCount(), 0);
    Ok(d);
    EXPECT_EQ(B().ComponentCount(), 1);
    EXPECT_EQ(B().GetComponent(0).Name, "J1");
  });
  ThenSockets([](TDipSocketForm &s) {
    Pick(s, 1);
    QTest::mouseClick(s.Button2, Qt::LeftButton);
  });
  ThenSockets([](TDipSocketForm &s) { Pick(s, 2); });
  form.Button1Click();
  EXPECT_EQ(prompts.Dialogs, 3);
}

TEST_F(DipSocket, OnlyOfferedForSocketsInAddMode) {
  Then([](TNewCompForm &d) {
    Choose(d, 1);
    EXPECT_FALSE(d.SpeedButton2->isVisible());
    Choose(d, SocketItem);
    EXPECT_TRUE(d.SpeedButton2->isVisible());
    Choose(d, 7);
    EXPECT_FALSE(d.SpeedButton2->isVisible());
  });
  form.Button1Click();
}

} // namespace
} // namespace tarnwick
