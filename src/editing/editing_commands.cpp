// The Edit menu's commands on components and traces.
#include "document/newschematic.h"
#include "editing/edit_operations.h"
#include "ui/EnhControls.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QLineEdit>
#include <QTreeWidget>
#include <algorithm>

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

// Shows `current` and never goes below `minimum`. The range reaches beyond 100 when the board
// or its components already do, so confirming unchanged values never cuts the board.
void PresetSize(TUpDownEdit &edit, std::int32_t current, std::int32_t minimum) {
  edit.SetMax(std::max({edit.Max(), current, minimum}));
  edit.SetPosition(current);
  edit.SetMin(minimum);
}

// Change handler of both spin edits: outlines the size the board would get.
void UpdateSizePreview(Board &board, TNewLayoutForm &dialog) {
  board.SetHighlightTrace(-1);
  board.SetHighlightEndTrace(-1);
  board.SizePreview = {0, 0, dialog.UpDownEdit1->Position(), dialog.UpDownEdit2->Position()};
  board.Repaint();
}

// Removes the outline when Board Properties ends, also when it ends with an error.
class SizePreviewGuard {
public:
  explicit SizePreviewGuard(Board &board) : board_(board) {}
  ~SizePreviewGuard() {
    board_.SizePreview = {};
    board_.Repaint();
  }
  SizePreviewGuard(const SizePreviewGuard &) = delete;
  SizePreviewGuard &operator=(const SizePreviewGuard &) = delete;

private:
  Board &board_;
};

} // namespace

void TMainForm::ToolButton1Click() { MoveSelection(*this, MoveDirection::Left); }
void TMainForm::ToolButton2Click() { MoveSelection(*this, MoveDirection::Right); }
void TMainForm::ToolButton3Click() { MoveSelection(*this, MoveDirection::Up); }
void TMainForm::ToolButton4Click() { MoveSelection(*this, MoveDirection::Down); }

// The end of a drag on the board: one change, marked as the Move commands mark theirs.
void TMainForm::MoveSelectionBy(std::int32_t dx, std::int32_t dy) {
  std::vector<BoardComponent *> selected;
  for (QTreeWidgetItem *row : SelectedRows())
    selected.push_back(RowComponent(row));
  if (MoveComponentsBy(*board_, selected, dx, dy))
    SetModified();
}

void TMainForm::Button4Click() {
  if (ShiftTrace(*board_, ShiftDirection::Left))
    SetModified();
}

void TMainForm::Button5Click() {
  if (ShiftTrace(*board_, ShiftDirection::Right))
    SetModified();
}

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

void TMainForm::BoardProperties1Click() {
  if (board_->TraceCount() == 0)
    return;
  const BoardSize minimum = MinimumBoardSize(*board_);
  const SizePreviewGuard outline(*board_);
  TNewLayoutForm dialog(this);
  dialog.setWindowTitle(QStringLiteral("Board Properties"));
  PresetSize(*dialog.UpDownEdit1, board_->TraceCount(), minimum.Traces);
  PresetSize(*dialog.UpDownEdit2, board_->PinCount(), minimum.Pins);
  // Attached last, so the outline appears from the user's first change on.
  dialog.UpDownEdit1->OnChange = [this, &dialog] { UpdateSizePreview(*board_, dialog); };
  dialog.UpDownEdit2->OnChange = [this, &dialog] { UpdateSizePreview(*board_, dialog); };
  if (prompts_.Exec(dialog) == QDialog::Accepted) {
    board_->Resize(dialog.UpDownEdit1->Position(), dialog.UpDownEdit2->Position());
    SetModified();
  }
}

void TMainForm::Shrink1Click() {
  if (ShrinkBoard(*board_))
    SetModified();
}

} // namespace tarnwick
