// File > Export Image and File > Print.
#include "ui/main_form.h"

namespace tarnwick {

void TMainForm::CreatePrintDialog() {}

void TMainForm::ExportBitmap1Click() {}

void TMainForm::Print1Click() {
  if (board_->TraceCount() < 1)
    return;
}

} // namespace tarnwick
