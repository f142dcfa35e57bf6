// File > Export Image and File > Print.
#include "output/output_commands.h"

#include "board/board_view.h"
#include "document/editor_host.h"
#include "output/u_print.h"
#include "ui/prompts.h"

namespace tarnwick {

void ExportImageCommand(EditorHost &host) {
  if (host.View().TraceCount() == 0)
    return;
  FileRequest request;
  request.Key = QStringLiteral("ExportImage");
  request.Filter = QStringLiteral("PNG Files (*.png)");
  request.DefaultSuffix = QStringLiteral("png");
  request.ConfirmOverwrite = true;
  const QString fileName = host.Ask().SaveFileName(host.Window(), request);
  if (fileName.isEmpty())
    return;
  host.View().SaveImage(fileName, host.LayoutName());
}

void PrintCommand(EditorHost &host, TPrintForm &dialog) {
  if (host.View().TraceCount() < 1)
    return;
  host.Ask().Exec(dialog);
}

} // namespace tarnwick
