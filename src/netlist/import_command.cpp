// File > Import Netlist.
#include "netlist/import_command.h"

#include "board/board_view.h"
#include "document/document.h"
#include "document/editor_host.h"
#include "netlist/netlist_import.h"

#include <QFile>
#include <QWidget>

namespace tarnwick {
namespace {

// The window's board as the import's target. The import is no step of the history: it starts
// a new layout, which counts as changed from its first component on.
class HostTarget : public NetlistTarget {
public:
  explicit HostTarget(EditorHost &host) : host_(host) {}
  Board &TargetBoard() override { return host_.View(); }
  void AddComponentToLayout(std::unique_ptr<BoardComponent> c) override {
    if (!host_.Doc().Modified())
      host_.Doc().MarkUnsaved();
    host_.View().AddComponent(std::move(c));
  }

private:
  EditorHost &host_;
};

} // namespace

FileRequest NetlistFileRequest() {
  FileRequest request;
  request.Key = QStringLiteral("OpenDialog2");
  request.Filter = QStringLiteral("Netlist Files (*.net)");
  request.DefaultSuffix = QStringLiteral("net");
  request.MustExist = false;
  return request;
}

namespace {

void PlaceNetlistFile(EditorHost &host, const QString &fileName) {
  // Read before anything is reset, so a file beyond the reader's bounds leaves the current
  // layout as it was.
  const NetlistLines lines = ReadNetlistFile(QFile::encodeName(fileName).toStdString());
  host.ResetDocument();
  host.ShowLayoutPanel();
  HostTarget target(host);
  // The list is brought in line once, when the whole netlist is placed.
  const Board::ChangeBatch batch(host.View());
  PlaceNetlist(lines, target, ProcessNetlistRandom());
}

void WarnExperimental(EditorHost &host) {
  host.Ask().Warning(host.Window(), QStringLiteral("Warning"),
                     QStringLiteral("This is a *very* experimental function, so beware!"));
}

} // namespace

void ImportNetlistCommand(EditorHost &host) {
  if (!host.DiscardQuery())
    return;
  WarnExperimental(host);
  const QString fileName = host.Ask().OpenFileName(host.Window(), NetlistFileRequest());
  if (fileName.isEmpty())
    return;
  PlaceNetlistFile(host, fileName);
}

void ImportNetlistFileCommand(EditorHost &host, const QString &fileName) {
  if (!host.DiscardQuery())
    return;
  WarnExperimental(host);
  PlaceNetlistFile(host, fileName);
}

} // namespace tarnwick
