// File > Import Netlist.
#include "netlist/import_command.h"
#include "netlist/netlist_import.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QFile>
#include <QWidget>

namespace tarnwick {
namespace {

// The main window as the import's target: every component gets its list row and sets the
// modified flag on its way to the board.
class MainFormTarget : public NetlistTarget {
public:
  explicit MainFormTarget(TMainForm &form) : form_(form) {}
  Board &TargetBoard() override { return form_.Board(); }
  void AddComponentToLayout(std::unique_ptr<BoardComponent> c) override {
    form_.AddComponentToLayout(std::move(c));
  }

private:
  TMainForm &form_;
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

void TMainForm::ImportNetlist1Click() {
  if (!DiscardQuery())
    return;
  prompts_.Warning(this, QStringLiteral("Warning"),
                   QStringLiteral("This is a *very* experimental function, so beware!"));
  const QString fileName = prompts_.OpenFileName(this, NetlistFileRequest());
  if (fileName.isEmpty())
    return;
  PlaceNetlistFile(fileName);
}

void TMainForm::ImportNetlistFile(const QString &fileName) {
  if (!DiscardQuery())
    return;
  prompts_.Warning(this, QStringLiteral("Warning"),
                   QStringLiteral("This is a *very* experimental function, so beware!"));
  PlaceNetlistFile(fileName);
}

void TMainForm::PlaceNetlistFile(const QString &fileName) {
  // Read before anything is reset, so a file beyond the reader's bounds leaves the current
  // layout as it was.
  const NetlistLines lines = ReadNetlistFile(QFile::encodeName(fileName).toStdString());
  ResetDocument();
  Panel1->show();
  MainFormTarget target(*this);
  PlaceNetlist(lines, target, ProcessNetlistRandom());
}

} // namespace tarnwick
