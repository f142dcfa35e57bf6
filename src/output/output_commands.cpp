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
  FileRequest request;
  request.Key = QStringLiteral("ExportImage");
  request.Filter = QStringLiteral("PNG Files (*.png)");
  request.DefaultSuffix = QStringLiteral("png");
  request.ConfirmOverwrite = true;
  const QString fileName = prompts_.SaveFileName(this, request);
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
