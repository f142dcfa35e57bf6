#include "ui/desktop.h"

#include "document/layout_file.h"
#include "document/recent_files.h"
#include "ui/command_line.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QAction>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

namespace tarnwick {

QString DroppedFile(const QMimeData &data) {
  for (const QUrl &url : data.urls()) {
    if (!url.isLocalFile())
      continue;
    const QString file = url.toLocalFile();
    if (file.endsWith(QStringLiteral(".twk"), Qt::CaseInsensitive) ||
        IsNetlistFileName(QFile::encodeName(file).toStdString()))
      return file;
  }
  return {};
}

DesktopShell::DesktopShell(TMainForm &form, QSettings &settings, const std::string &recoveryFolder)
    : form_(form) {
  recovery_ = std::make_unique<RecoveryKeeper>(recoveryFolder, *this, form_.Ask(), &form_);
  InstallRecentMenu(settings);
  form_.setAcceptDrops(true);
  form_.installEventFilter(this);
  form_.SetDocumentHooks(this);
}

DesktopShell::~DesktopShell() {
  form_.SetDocumentHooks(nullptr);
  form_.removeEventFilter(this);
}

// "Recent Layouts" goes above "Exit", in a group of its own.
void DesktopShell::InstallRecentMenu(QSettings &settings) {
  QAction *exit = form_.findChild<QAction *>(QStringLiteral("Exit1"));
  QMenu *file = exit ? qobject_cast<QMenu *>(exit->parent()) : nullptr;
  recentMenu_ =
      new QMenu(QStringLiteral("Recent Layouts"), file ? static_cast<QWidget *>(file) : &form_);
  recentMenu_->setObjectName(QStringLiteral("RecentLayouts1"));
  if (file) {
    file->insertMenu(exit, recentMenu_);
    file->insertSeparator(exit);
  }
  recent_ = std::make_unique<RecentFiles>(settings, *recentMenu_, form_.Ask(), &form_,
                                          [this](const QString &f) { OpenGiven(f); });
}

// A restored layout has no file yet: opening the given one over it would leave the restored
// work to the discard question, where a single Enter loses it. It stays open instead, and the
// message says why the given file is not.
void DesktopShell::Start(const QString &fileName) {
  const bool restored = recovery_->OfferRestore(
      [this](const LayoutData &layout, const QString &original) { Restore(layout, original); });
  if (fileName.isEmpty())
    return;
  const QString file = QFileInfo(fileName).absoluteFilePath();
  if (!restored) {
    OpenGiven(file);
    return;
  }
  form_.Ask().Information(&form_, QStringLiteral("Restore Layout?"),
                          QStringLiteral("%1 was not opened, so that the recovered layout is not "
                                         "lost. Save the recovered layout, then open %1.")
                              .arg(QFileInfo(file).fileName()));
}

void DesktopShell::OpenGiven(const QString &fileName) {
  try {
    if (IsNetlistFileName(QFile::encodeName(fileName).toStdString()))
      form_.ImportNetlistFile(fileName);
    else
      form_.OpenLayoutFile(fileName);
  } catch (const std::exception &e) {
    form_.Ask().Error(&form_, QString::fromUtf8(e.what()));
  }
}

// An untitled, modified layout: saving it asks for a name, and leaving it asks first.
void DesktopShell::Restore(const LayoutData &layout, const QString &originalFile) {
  form_.ResetDocument();
  form_.ApplyLayout(layout);
  form_.Edit3->setEnabled(true);
  form_.Panel1->show();
  recoveredFrom_ = originalFile;
  form_.SetModified();
  const QString name =
      originalFile.isEmpty() ? QStringLiteral("untitled") : QFileInfo(originalFile).fileName();
  form_.setWindowTitle(QStringLiteral("Tarnwick [%1 (recovered)]").arg(name));
  form_.Board().Repaint();
}

void DesktopShell::LayoutChanged() { recovery_->Changed(); }

void DesktopShell::LayoutFiled(const QString &fileName) {
  recoveredFrom_.clear();
  recovery_->Settled();
  recent_->Add(fileName);
}

void DesktopShell::LayoutDiscarded() {
  recoveredFrom_.clear();
  recovery_->Settled();
}

std::string DesktopShell::LayoutText() {
  return FormatLayout(form_.Board(), form_.Edit3->text().toStdString());
}

QString DesktopShell::OriginalFile() {
  return form_.CurrentFileName().isEmpty() ? recoveredFrom_ : form_.CurrentFileName();
}

bool DesktopShell::eventFilter(QObject *watched, QEvent *event) {
  if (watched != &form_)
    return false;
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
    auto *drag = static_cast<QDragMoveEvent *>(event);
    if (drag->mimeData() && !DroppedFile(*drag->mimeData()).isEmpty()) {
      drag->acceptProposedAction();
      return true;
    }
    return false;
  }
  if (event->type() == QEvent::Drop) {
    auto *drop = static_cast<QDropEvent *>(event);
    const QString file = drop->mimeData() ? DroppedFile(*drop->mimeData()) : QString();
    if (file.isEmpty())
      return false;
    drop->acceptProposedAction();
    // Opened once the drop has ended, so the program the file came from is not kept waiting
    // while the discard question is open.
    QMetaObject::invokeMethod(
        this, [this, file] { OpenGiven(file); }, Qt::QueuedConnection);
    return true;
  }
  return false;
}

} // namespace tarnwick
