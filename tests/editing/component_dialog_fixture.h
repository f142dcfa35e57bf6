#pragma once

// The main window with its component dialog, for the dialog's tests: a 20 x 20 board, and
// helpers that play the user's part through the dialog's own controls.
#include "editing/component_entry.h"
#include "editing/u_newcompnt.h"
#include "support/scripted_prompts_compdlg.h"
#include "ui/EnhControls.h"
#include "ui/main_form.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <string>

namespace tarnwick {

using testing::CompDlgPrompts;

class ComponentDialogFixture : public ::testing::Test {
protected:
  void SetUp() override {
    form.CreateDialogs();
    form.resize(900, 700);
    form.show();
    form.Board().InitBoard(20, 20);
    dlg = form.findChild<TNewCompForm *>(QStringLiteral("NewCompForm"));
    ASSERT_NE(dlg, nullptr);
  }

  // Plays one modal run of the component dialog.
  void Then(std::function<void(TNewCompForm &)> script) {
    prompts.Scripts.push_back(
        [script = std::move(script)](QDialog &d) { script(dynamic_cast<TNewCompForm &>(d)); });
  }

  static void Type(TUpDownEdit *spin, int value) {
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(value));
  }
  static void TypeName(TNewCompForm &d, const QString &name) {
    d.Edit1->selectAll();
    QTest::keyClicks(d.Edit1, name);
  }
  // Picks a drop-down item with the keyboard, as a user on the closed drop-down does.
  static void Choose(TNewCompForm &d, int item) {
    QTest::keyClick(d.ComboBoxEx1, Qt::Key_Home);
    for (int i = 0; i < item; ++i)
      QTest::keyClick(d.ComboBoxEx1, Qt::Key_Down);
    ASSERT_EQ(d.ComboBoxEx1->currentIndex(), item);
  }
  static void Ok(TNewCompForm &d) { QTest::mouseClick(d.Button1, Qt::LeftButton); }
  // "Start End Row" as the dialog shows them.
  static std::string Shows(TNewCompForm &d) {
    return (d.UpDownEdit1->text() + ' ' + d.UpDownEdit2->text() + ' ' + d.UpDownEdit3->text())
        .toStdString();
  }

  // A component of the layout being edited.
  BoardComponent *Add(ComponentKind k, int start, int end, int pin, std::string name,
                      int capWidth = 0) {
    auto c = std::make_unique<BoardComponent>();
    c->Kind = static_cast<std::uint8_t>(k);
    c->StartTrace = start;
    c->EndTrace = end;
    c->StartPin = pin;
    c->Name = std::move(name);
    c->CapWidth = capWidth;
    // As a layout just opened has it: on the board and in the list, nothing modified.
    return form.Board().AddComponent(std::move(c));
  }
  QString RowText(int row, int column) { return form.ListView1->topLevelItem(row)->text(column); }
  BoardView &B() { return form.Board(); }

  CompDlgPrompts prompts;
  TMainForm form{prompts};
  TNewCompForm *dlg = nullptr;
};

} // namespace tarnwick
