// File > Import Netlist.
#include "ui/main_form.h"

namespace tarnwick {

void TMainForm::ImportNetlist1Click() {}

} // namespace tarnwick
