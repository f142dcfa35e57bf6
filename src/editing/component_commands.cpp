// Add Component and Edit Component: the main window's side of the component dialog.
#include "editing/u_newcompnt.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QTreeWidgetItem>

namespace tarnwick {
namespace {

// Runs its action when the scope ends, also when an error leaves it.
template <typename F> class Finally {
public:
  explicit Finally(F f) : f_(std::move(f)) {}
  ~Finally() { f_(); }
  Finally(const Finally &) = delete;
  Finally &operator=(const Finally &) = delete;

private:
  F f_;
};

} // namespace

void TMainForm::CreateComponentDialog() {
  if (!NewCompForm)
    NewCompForm = new TNewCompForm(*this);
}

void TMainForm::Button1Click() {
  if (!NewCompForm || board_->TraceCount() == 0)
    return;
  NewCompForm->PrepareAdd();
  // The start trace the dialog previewed last stays highlighted.
  const Finally cleanup([this] {
    board_->HighlightPin = -1;
    board_->SetHighlightEndTrace(-1);
  });
  prompts_.Exec(*NewCompForm);
}

void TMainForm::ListBox1DblClick() {
  QTreeWidgetItem *row = FirstSelectedRow();
  if (!row)
    return;
  EditComponent(RowComponent(row), [this, row] {
    SetModified();
    RewriteRow(row);
  });
}

void TMainForm::EditComponent(BoardComponent *c, const std::function<void()> &onOk) {
  if (!NewCompForm || !c)
    return;
  const Finally cleanup([this] {
    NewCompForm->EditedComponent = nullptr;
    board_->HighlightPin = -1;
    board_->SetHighlightEndTrace(-1);
    board_->SetHighlightTrace(-1);
  });
  NewCompForm->EditedComponent = c;
  if (prompts_.Exec(*NewCompForm) == QDialog::Accepted)
    onOk();
}

} // namespace tarnwick
