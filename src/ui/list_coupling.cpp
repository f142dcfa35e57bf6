// The component list: its rows, the coupling of its selection with the board's selected
// component, the handlers of the board's notifications and the enabling of toolbar buttons.
#include "ui/main_form.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTreeWidget>

namespace tarnwick {

QTreeWidgetItem *TMainForm::AppendRow(BoardComponent *c) {
  auto *row = new QTreeWidgetItem();
  row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(c)));
  row->setText(0, QString::fromStdString(KindListText(c->Kind)));
  row->setText(1, QString::fromStdString(c->Name));
  ListView1->addTopLevelItem(row);
  // A new row is a change of the list, which the list itself does not report for a row whose
  // texts were set before it was added.
  ListView1Change();
  return row;
}

void TMainForm::RewriteRow(QTreeWidgetItem *row) {
  const BoardComponent *c = RowComponent(row);
  if (!c)
    return;
  row->setText(0, QString::fromStdString(KindListText(c->Kind)));
  row->setText(1, QString::fromStdString(c->Name));
}

BoardComponent *TMainForm::RowComponent(const QTreeWidgetItem *row) {
  if (!row)
    return nullptr;
  return static_cast<BoardComponent *>(row->data(0, Qt::UserRole).value<void *>());
}

QTreeWidgetItem *TMainForm::FirstSelectedRow() const {
  for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
    QTreeWidgetItem *row = ListView1->topLevelItem(i);
    if (row->isSelected())
      return row;
  }
  return nullptr;
}

std::vector<QTreeWidgetItem *> TMainForm::SelectedRows() const {
  std::vector<QTreeWidgetItem *> rows;
  for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
    if (ListView1->topLevelItem(i)->isSelected())
      rows.push_back(ListView1->topLevelItem(i));
  return rows;
}

void TMainForm::UpdateCommands() {
  const bool board = board_->TraceCount() > 0;
  // Runs for every row a large layout adds, so it must not walk the rows.
  const bool selection = ListView1->selectionModel()->hasSelection();
  const bool trace = board_->HighlightTrace >= 0;
  for (const char *name : {"ToolButton9", "ToolButton10", "ToolButton12"})
    ToolAction(QString::fromLatin1(name))->setEnabled(board);
  for (const char *name : {"ToolButton1", "ToolButton2", "ToolButton3", "ToolButton4"})
    ToolAction(QString::fromLatin1(name))->setEnabled(selection);
  for (const char *name : {"ToolButton6", "ToolButton7"})
    ToolAction(QString::fromLatin1(name))->setEnabled(trace);
}

void TMainForm::ListView1Change() { UpdateCommands(); }

void TMainForm::ListView1SelectItem() {
  BoardComponent *c = RowComponent(FirstSelectedRow());
  if (c != board_->SelectedComponent) {
    // Written directly: the board raises notifications only for mouse presses, so the list and
    // the board never call each other in a loop.
    board_->SelectedComponent = c;
    board_->Repaint();
  }
}

bool TMainForm::ListView1KeyDown(int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter)
    ListBox1DblClick();
  else if (key == Qt::Key_Delete)
    Button2Click();
  // The list then handles the key as usual.
  return false;
}

void TMainForm::BoardTraceChange() {
  const int t = board_->HighlightTrace;
  if (t >= 0 && t < board_->TraceCount())
    Edit1->setText(QString::fromStdString(board_->GetTrace(t).Name));
  else
    Edit1->clear();
  UpdateCommands();
}

void TMainForm::BoardSelectionChange() {
  BoardComponent *selected = board_->SelectedComponent;
  if (!selected) {
    ListView1->clearSelection();
    return;
  }
  QTreeWidgetItem *found = nullptr;
  for (int i = 0; i < ListView1->topLevelItemCount() && !found; ++i)
    if (RowComponent(ListView1->topLevelItem(i)) == selected)
      found = ListView1->topLevelItem(i);
  if (!found) {
    UpdateCommands();
    return;
  }
  if (!(QApplication::keyboardModifiers() & Qt::ShiftModifier))
    ListView1->clearSelection();
  found->setSelected(true);
  ListView1->scrollToItem(found);
  ListView1->setCurrentItem(found, 0, QItemSelectionModel::NoUpdate);
  if (ListView1->isVisible() && ListView1->isEnabled())
    ListView1->setFocus(Qt::OtherFocusReason);
}

void TMainForm::BoardComponentEdit() {
  BoardComponent *c = board_->SelectedComponent;
  if (!c)
    return;
  EditComponent(c, [this, c] {
    // The row of the edited component itself, which is the first selected row whenever the
    // board's selection came from a click.
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
      if (RowComponent(ListView1->topLevelItem(i)) == c) {
        RewriteRow(ListView1->topLevelItem(i));
        break;
      }
    SetModified();
  });
  UpdateCommands();
}

} // namespace tarnwick
