// File > Lay Out Netlist.
#include "layout/layout_command.h"

#include "circuit/circuit_reader.h"
#include "document/document.h"
#include "document/editor_host.h"
#include "document/layout_file.h"
#include "layout/auto_layout.h"
#include "layout/layout_progress.h"
#include "layout/layout_worker.h"

#include <QFile>
#include <QFileInfo>

namespace tarnwick {

FileRequest LayoutNetlistRequest() {
  FileRequest request;
  request.Key = QStringLiteral("LayOutNetlist");
  request.Filter = QStringLiteral("Netlist Files (*.net *.cir *.sp *.spice)");
  request.DefaultSuffix = QStringLiteral("net");
  request.MustExist = true;
  return request;
}

namespace {

// Runs the search behind its progress dialog; nothing when the user cancelled it.
std::optional<layout::LayoutResult> RunLayout(EditorHost &host, const circuit::Circuit &circuit,
                                              const QString &netlistName) {
  // The search works on a copy of its own.
  LayoutWorker worker(circuit, layout::LayoutOptions{});
  LayoutProgressDialog dialog(worker, netlistName, host.Window());
  if (host.Ask().Exec(dialog) != QDialog::Accepted)
    return std::nullopt;
  // The dialog closes itself only once the search has ended; a modal run ended otherwise
  // counts as cancelled.
  if (!worker.Done())
    return std::nullopt;
  return worker.TakeResult();
}

} // namespace

void LayOutNetlistCommand(LayoutTarget &target) {
  EditorHost &host = target.Host();
  if (!host.DiscardQuery())
    return;
  const QString fileName = host.Ask().OpenFileName(host.Window(), LayoutNetlistRequest());
  if (fileName.isEmpty())
    return;
  const QString shortName = QFileInfo(fileName).fileName();
  // Everything that can fail is done before the current layout is touched.
  circuit::Circuit circuit = circuit::ReadCircuitFile(QFile::encodeName(fileName).toStdString());
  std::optional<layout::LayoutResult> result = RunLayout(host, circuit, shortName);
  if (!result)
    return;
  if (!result->Found)
    throw TarnwickError(QStringLiteral("%1 cannot be laid out: %2")
                            .arg(shortName, QString::fromStdString(result->Why))
                            .toStdString());
  result->Layout.Name = shortName.toStdString();
  host.ResetDocument();
  target.ShowLayout(result->Layout);
  // A fresh history whose first state has never been saved.
  host.Doc().Reset(true);
  target.CheckAgainst(std::move(circuit), fileName);
}

} // namespace tarnwick
