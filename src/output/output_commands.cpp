// File > Export Image, Export Cut List, Export Parts List and Print.
#include "output/assembly_commands.h"
#include "output/u_print.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QCheckBox>
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
  prompts_.Exec(*printForm_);
}

} // namespace tarnwick
