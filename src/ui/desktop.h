#pragma once

#include "document/document_hooks.h"
#include "document/recovery.h"

#include <QObject>
#include <QString>
#include <memory>
#include <string>

class QMenu;
class QMimeData;
class QSettings;

namespace tarnwick {

class RecentFiles;
class TMainForm;

// The editor as a desktop program: the file it is started with, files dropped onto the
// window, File > "Recent Layouts" and the recovery copy. Attached to the main window by the
// program; the window's tests run without it.
class DesktopShell : public QObject, public DocumentHooks, public RecoverySource {
public:
  DesktopShell(TMainForm &form, QSettings &settings, const std::string &recoveryFolder);
  ~DesktopShell() override;

  // At start: offers the copies of editors that are gone, then opens `fileName` (if any).
  void Start(const QString &fileName);
  // A layout opens, a netlist (".net") is imported, each after the discard question. An
  // error is shown as the File menu's commands show theirs.
  void OpenGiven(const QString &fileName);

  RecentFiles &Recent() { return *recent_; }
  RecoveryKeeper &Recovery() { return *recovery_; }
  QMenu &RecentMenu() { return *recentMenu_; }

  void LayoutChanged() override;
  void LayoutFiled(const QString &fileName) override;
  void LayoutDiscarded() override;
  std::string LayoutText() override;
  QString OriginalFile() override;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void Restore(const LayoutData &layout, const QString &originalFile);
  void InstallRecentMenu(QSettings &settings);

  TMainForm &form_;
  QMenu *recentMenu_ = nullptr;
  std::unique_ptr<RecentFiles> recent_;
  std::unique_ptr<RecoveryKeeper> recovery_;
  // While a restored layout is untitled, the file it came from names its next copies.
  QString recoveredFrom_;
};

// The dropped file the editor takes: the first local ".twk" or ".net" file; empty if none.
QString DroppedFile(const QMimeData &data);

} // namespace tarnwick
