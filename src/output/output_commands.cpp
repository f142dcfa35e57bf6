// File > Export Image and File > Print.
#include "output/u_print.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QLineEdit>

namespace tarnwick {

void TMainForm::CreatePrintDialog() {
  if (!printForm_)
    printForm_ = new TPrintForm(*board_, prompts_, this);
}

void TMainForm::ExportBitmap1Click() {
  if (board_->TraceCount() == 0)
    return;
  FileDialogSpec spec;
  spec.Key = QStringLiteral("ExportImage");
  spec.Filter = QStringLiteral("PNG Files (*.png)");
  spec.DefaultSuffix = QStringLiteral("png");
  spec.ConfirmOverwrite = true;
  const QString fileName = prompts_.SaveFileName(this, spec);
  if (fileName.isEmpty())
    return;
  board_->SaveImage(fileName, Edit3->text());
}

void TMainForm::Print1Click() {
  if (board_->TraceCount() < 1)
    return;
  CreatePrintDialog();
  prompts_.Exec(*printForm_);
}

} // namespace tarnwick
