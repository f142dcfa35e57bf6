#include "nets/check_command.h"

#include "circuit/circuit_reader.h"
#include "netlist/import_command.h"
#include "nets/net_check_panel.h"
#include "ui/prompts.h"

#include <QFile>

namespace tarnwick {

void CheckAgainstNetlist(Prompts &prompts, QWidget *owner, NetCheckPanel &panel) {
  const QString fileName = prompts.OpenFileName(owner, NetlistFileRequest());
  if (fileName.isEmpty())
    return;
  panel.SetNetlist(circuit::ReadCircuitFile(QFile::encodeName(fileName).toStdString()), fileName);
}

} // namespace tarnwick
