// The Edit menu's commands on components and traces.
#include "editing/edit_operations.h"
#include "ui/main_form.h"

#include <QLineEdit>
#include <QTreeWidget>

namespace tarnwick {

namespace {

// Moves the components of the selected rows one step, all or none.
void MoveSelection(TMainForm &form, MoveDirection direction) {
  std::vector<BoardComponent *> selected;
  for (QTreeWidgetItem *row : form.SelectedRows())
    selected.push_back(TMainForm::RowComponent(row));
  if (MoveComponents(form.Board(), selected, direction))
    form.SetModified();
}

} // namespace

void TMainForm::CreateComponentDialog() {}

void TMainForm::ToolButton1Click() { MoveSelection(*this, MoveDirection::Left); }
void TMainForm::ToolButton2Click() { MoveSelection(*this, MoveDirection::Right); }
void TMainForm::ToolButton3Click() { MoveSelection(*this, MoveDirection::Up); }
void TMainForm::ToolButton4Click() { MoveSelection(*this, MoveDirection::Down); }

void TMainForm::Button4Click() {
  if (ShiftTrace(*board_, ShiftDirection::Left))
    SetModified();
}

void TMainForm::Button5Click() {
  if (ShiftTrace(*board_, ShiftDirection::Right))
    SetModified();
}

void TMainForm::Button1Click() {}
void TMainForm::ListBox1DblClick() {}

void TMainForm::Button2Click() {
  QTreeWidgetItem *row = FirstSelectedRow();
  if (!row)
    return;
  BoardComponent *c = RowComponent(row);
  SetModified();
  // The row goes first, so no row ever points to a freed component; its removal reports the
  // selection change, which moves the board's selection to the next selected row.
  delete row;
  board_->RemoveComponent(c);
  board_->Repaint();
}

void TMainForm::Button3Click() {
  if (SetTraceLabel(*board_, Edit1->text().toStdString()))
    SetModified();
}

void TMainForm::BoardProperties1Click() {}

void TMainForm::Shrink1Click() {
  if (ShrinkBoard(*board_))
    SetModified();
}

} // namespace tarnwick
