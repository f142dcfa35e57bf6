// The toolbar follows every row the commands add to the component list, without a further
// click: after File > Open, File > Import Netlist and each OK of Add Component.
#include "document/newschematic.h"
#include "editing/component_entry.h"
#include "editing/u_newcompnt.h"
#include "support/scripted_prompts.h"
#include "ui/EnhControls.h"
#include "ui/main_form.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

class ToolbarAfterNewRows : public ::testing::Test {
protected:
  void SetUp() override {
    form.CreateDialogs();
    form.resize(900, 700);
    form.show();
  }

  // "add remove save" as enabled (1) or disabled (0), then the Move and Shift Trace buttons.
  std::string Toolbar() const {
    std::string s;
    for (const char *name : {"ToolButton9", "ToolButton10", "ToolButton12", " ", "ToolButton1",
                             "ToolButton4", " ", "ToolButton6"})
      s += *name == ' ' ? ' '
                        : (form.ToolAction(QString::fromLatin1(name))->isEnabled() ? '1' : '0');
    return s;
  }

  ScriptedPrompts prompts;
  TMainForm form{prompts};
};

TEST_F(ToolbarAfterNewRows, OpenImportAndAddComponentEnableTheBoardCommands) {
  prompts.OpenNames = {QStringLiteral(TARNWICK_TEST_DATA "/amp.twk")};
  form.Open1Click();
  ASSERT_EQ(form.ListView1->topLevelItemCount(), 3);
  EXPECT_EQ(Toolbar(), "111 00 0");

  prompts.OpenNames = {QStringLiteral(TARNWICK_TEST_DATA "/netlist/worked_example.net")};
  form.ImportNetlist1Click();
  ASSERT_EQ(form.ListView1->topLevelItemCount(), 7);
  EXPECT_EQ(Toolbar(), "111 00 0");

  // New leaves the buttons as its reset set them, until the first component is added.
  prompts.Questions = {true};
  prompts.OnExec = [](QDialog &d) {
    auto &f = dynamic_cast<TNewLayoutForm &>(d);
    f.UpDownEdit1->SetPosition(10);
    return QDialog::Accepted;
  };
  form.New1Click();
  ASSERT_EQ(form.Board().TraceCount(), 10);
  EXPECT_EQ(Toolbar(), "000 00 0");
  std::string afterOk;
  prompts.OnExec = [this, &afterOk](QDialog &d) {
    auto &f = dynamic_cast<TNewCompForm &>(d);
    f.show();
    f.ComboBoxEx1->setCurrentIndex(1);
    f.ComboBox3Change();
    f.Button1->click();
    afterOk = Toolbar();
    f.hide();
    return QDialog::Rejected;
  };
  form.Button1Click();
  ASSERT_EQ(form.ListView1->topLevelItemCount(), 1);
  // The dialog's preview highlights a start trace, so shifting is offered too.
  EXPECT_EQ(afterOk, "111 00 1");
}

} // namespace
} // namespace tarnwick
