// The main window's Edit, import and output handlers: each hands its command the window as the
// commands' view of it. Also Undo and Redo, which play the history back.
#include "ui/main_form.h"

#include "document/document_hooks.h"
#include "editing/editing_commands.h"
#include "editing/u_newcompnt.h"
#include "layout/layout_command.h"
#include "netlist/import_command.h"
#include "nets/net_check_panel.h"
#include "output/assembly_commands.h"
#include "output/output_commands.h"
#include "output/u_print.h"
#include "ui/prompts.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>

namespace tarnwick {

void TMainForm::CreateComponentDialog() {
  if (!NewCompForm)
    NewCompForm = new TNewCompForm(*this);
}

void TMainForm::CreatePrintDialog() {
  if (!printForm_)
    printForm_ = new TPrintForm(*board_, prompts_, this);
}

void TMainForm::ToolButton1Click() { MoveSelectionCommand(*this, MoveDirection::Left); }
void TMainForm::ToolButton2Click() { MoveSelectionCommand(*this, MoveDirection::Right); }
void TMainForm::ToolButton3Click() { MoveSelectionCommand(*this, MoveDirection::Up); }
void TMainForm::ToolButton4Click() { MoveSelectionCommand(*this, MoveDirection::Down); }
void TMainForm::MoveSelectionBy(std::int32_t dx, std::int32_t dy) {
  MoveSelectionByCommand(*this, dx, dy);
}
void TMainForm::Button4Click() { ShiftTraceCommand(*this, ShiftDirection::Left); }
void TMainForm::Button5Click() { ShiftTraceCommand(*this, ShiftDirection::Right); }
void TMainForm::Button2Click() { RemoveComponentCommand(*this); }
void TMainForm::Button3Click() { SetTraceLabelCommand(*this, Edit1->text().toStdString()); }
void TMainForm::BoardProperties1Click() { BoardPropertiesCommand(*this); }
void TMainForm::Shrink1Click() { ShrinkBoardCommand(*this); }

void TMainForm::Button1Click() {
  if (NewCompForm)
    AddComponentCommand(*this, *NewCompForm);
}

void TMainForm::ListBox1DblClick() {
  if (NewCompForm)
    EditComponentCommand(*this, *NewCompForm, RowComponent(FirstSelectedRow()));
}

void TMainForm::ImportNetlist1Click() { ImportNetlistCommand(*this); }
void TMainForm::ImportNetlistFile(const QString &fileName) {
  ImportNetlistFileCommand(*this, fileName);
}

namespace {

// The window as Lay Out Netlist's target.
class WindowLayoutTarget : public LayoutTarget {
public:
  explicit WindowLayoutTarget(TMainForm &form) : form_(form) {}
  EditorHost &Host() override { return form_; }
  void ShowLayout(const LayoutData &data) override {
    form_.ApplyLayout(data);
    form_.Edit3->setEnabled(true);
    form_.ShowLayoutPanel();
  }
  void CheckAgainst(circuit::Circuit circuit, const QString &fileName) override {
    form_.NetCheck1->SetNetlist(std::move(circuit), fileName);
  }

private:
  TMainForm &form_;
};

} // namespace

void TMainForm::LayOutNetlist1Click() {
  WindowLayoutTarget target(*this);
  LayOutNetlistCommand(target);
}

void TMainForm::ExportBitmap1Click() { ExportImageCommand(*this); }

// The cut list counts from the side the print dialog is set to print for.
void TMainForm::ExportCutList1Click() {
  CreatePrintDialog();
  ExportCutList(*board_, prompts_, this, Edit3->text(),
                printForm_->CheckBox2->isChecked() ? BoardSide::Copper : BoardSide::Component);
}

void TMainForm::ExportPartsList1Click() { ExportPartsList(*board_, prompts_, this); }

void TMainForm::Print1Click() {
  if (board_->TraceCount() < 1)
    return;
  CreatePrintDialog();
  PrintCommand(*this, *printForm_);
}

// A played-back step may have moved the highlight or changed its label: the label box shows
// the highlighted trace's label again.
void TMainForm::Undo1Click() {
  if (!document_->CanUndo())
    return;
  SelectComponents(document_->Undo());
  BoardTraceChange();
}

void TMainForm::Redo1Click() {
  if (!document_->CanRedo())
    return;
  SelectComponents(document_->Redo());
  BoardTraceChange();
}

void TMainForm::HistoryChanged() {
  const auto caption = [](const char *verb, const std::string &step) {
    return step.empty()
               ? QString::fromLatin1(verb)
               : QStringLiteral("%1 %2").arg(QLatin1String(verb), QString::fromStdString(step));
  };
  Undo1->setText(caption("Undo", document_->UndoName()));
  Redo1->setText(caption("Redo", document_->RedoName()));
  UpdateCommands();
  RecheckNets();
  TellHooksModified();
}

} // namespace tarnwick
