// The Edit menu's commands on components and traces.
#include "ui/main_form.h"

namespace tarnwick {

void TMainForm::ToolButton1Click() {}
void TMainForm::ToolButton2Click() {}
void TMainForm::ToolButton3Click() {}
void TMainForm::ToolButton4Click() {}
void TMainForm::Button4Click() {}
void TMainForm::Button5Click() {}
void TMainForm::Button2Click() {}
void TMainForm::Button3Click() {}
void TMainForm::BoardProperties1Click() {}
void TMainForm::Shrink1Click() {}

} // namespace tarnwick
