// The component list: its rows, the coupling of its selection with the board's selected
// component, the handlers of the board's notifications and the enabling of toolbar buttons.
#include "ui/main_form.h"

#include "editing/editing_commands.h"
#include "editing/u_newcompnt.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <unordered_set>

namespace tarnwick {

namespace {

// A row shows the component's kind and name. A trace cut without a name (the cut of a DIP
// socket) is drawn without text, but its row still says what it is.
void WriteRow(QTreeWidgetItem &row, const BoardComponent &c) {
  const QString type = QString::fromStdString(KindListText(c.Kind));
  const QString label = c.Is(ComponentKind::TraceCut) && c.Name.empty()
                            ? QStringLiteral("cut trace")
                            : QString::fromStdString(c.Name);
  if (row.text(0) != type)
    row.setText(0, type);
  if (row.text(1) != label)
    row.setText(1, label);
}

} // namespace

// Rows that still point to the board's components in order are kept (texts rewritten where
// they changed); from the first row that differs on, the rows are made anew, selected where
// their component was. The list reports nothing while it is brought in line; the selection and
// the toolbar are then brought up to date once.
void TMainForm::SyncRows() {
  const std::int32_t count = board_->ComponentCount();
  bool changed = false;
  {
    const QSignalBlocker quiet(ListView1);
    std::int32_t same = 0;
    while (same < count && same < ListView1->topLevelItemCount() &&
           RowComponent(ListView1->topLevelItem(same)) == &board_->GetComponent(same)) {
      WriteRow(*ListView1->topLevelItem(same), board_->GetComponent(same));
      ++same;
    }
    std::unordered_set<const BoardComponent *> selected;
    for (int i = same; i < ListView1->topLevelItemCount(); ++i)
      if (ListView1->topLevelItem(i)->isSelected())
        selected.insert(RowComponent(ListView1->topLevelItem(i)));
    while (ListView1->topLevelItemCount() > same) {
      delete ListView1->takeTopLevelItem(ListView1->topLevelItemCount() - 1);
      changed = true;
    }
    QList<QTreeWidgetItem *> added;
    for (std::int32_t i = same; i < count; ++i) {
      BoardComponent *c = &board_->GetComponent(i);
      auto *row = new QTreeWidgetItem();
      row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(c)));
      WriteRow(*row, *c);
      added.append(row);
    }
    if (!added.isEmpty()) {
      ListView1->addTopLevelItems(added);
      changed = true;
      if (!selected.empty())
        SelectRows(same, selected, QItemSelectionModel::Select);
    }
  }
  if (changed)
    ListView1SelectItem();
  ListView1Change();
}

// Selects the rows from `from` on whose components are wanted, in one change of the list's
// selection (row by row, a selection of thousands of rows takes seconds); returns the first.
QTreeWidgetItem *TMainForm::SelectRows(int from,
                                       const std::unordered_set<const BoardComponent *> &wanted,
                                       QItemSelectionModel::SelectionFlags how) {
  QItemSelection selection;
  QTreeWidgetItem *first = nullptr;
  const int count = ListView1->topLevelItemCount();
  for (int i = from; i < count; ++i) {
    if (!wanted.count(RowComponent(ListView1->topLevelItem(i))))
      continue;
    int last = i;
    while (last + 1 < count && wanted.count(RowComponent(ListView1->topLevelItem(last + 1))))
      ++last;
    if (!first)
      first = ListView1->topLevelItem(i);
    const QAbstractItemModel *model = ListView1->model();
    selection.select(model->index(i, 0), model->index(last, model->columnCount() - 1));
    i = last;
  }
  ListView1->selectionModel()->select(selection, how);
  return first;
}

std::vector<BoardComponent *> TMainForm::SelectedComponents() const {
  std::vector<BoardComponent *> components;
  for (QTreeWidgetItem *row : SelectedRows())
    components.push_back(RowComponent(row));
  return components;
}

void TMainForm::SelectComponents(const std::vector<BoardComponent *> &components) {
  const std::unordered_set<const BoardComponent *> wanted(components.begin(), components.end());
  QTreeWidgetItem *first = nullptr;
  {
    const QSignalBlocker quiet(ListView1);
    first = SelectRows(0, wanted, QItemSelectionModel::ClearAndSelect);
  }
  if (first) {
    ListView1->scrollToItem(first);
    ListView1->setCurrentItem(first, 0, QItemSelectionModel::NoUpdate);
  }
  ListView1SelectItem();
  ListView1Change();
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
  ToolAction(QStringLiteral("ToolButton17"))->setEnabled(document_->CanUndo());
  ToolAction(QStringLiteral("ToolButton18"))->setEnabled(document_->CanRedo());
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
  if (NewCompForm)
    EditComponentCommand(*this, *NewCompForm, c);
  UpdateCommands();
}

} // namespace tarnwick
