#include "document/recent_files.h"
#include "ui/handler_guard.h"

#include "document/recent_list.h"
#include "ui/prompts.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace tarnwick {
namespace {

const QString Key = QStringLiteral("RecentLayouts");

std::vector<std::string> ToStd(const QStringList &list) {
  std::vector<std::string> out;
  for (const QString &s : list)
    out.push_back(s.toStdString());
  return out;
}

QStringList FromStd(const std::vector<std::string> &list) {
  QStringList out;
  for (const std::string &s : list)
    out.append(QString::fromStdString(s));
  return out;
}

} // namespace

RecentFiles::RecentFiles(QSettings &settings, QMenu &menu, Prompts &prompts, QWidget *owner,
                         Opener open)
    : settings_(settings), menu_(menu), prompts_(prompts), owner_(owner), open_(std::move(open)) {
  connect(&menu_, &QMenu::aboutToShow, this, Guarded([this] { Rebuild(); }));
  Rebuild();
}

QStringList RecentFiles::Files() const {
  settings_.sync();
  const std::vector<std::string> list = ToStd(settings_.value(Key).toStringList());
  // A list edited by hand may hold more, or the same file twice.
  std::vector<std::string> clean;
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    clean = WithRecent(std::move(clean), *it);
  return FromStd(clean);
}

void RecentFiles::Store(const QStringList &files) {
  settings_.setValue(Key, files);
  settings_.sync();
  Rebuild();
}

void RecentFiles::Add(const QString &fileName) {
  const QString full = QFileInfo(fileName).absoluteFilePath();
  Store(FromStd(WithRecent(ToStd(Files()), full.toStdString())));
}

void RecentFiles::Choose(const QString &fileName) {
  // Checked before the discard question: a gone file could not replace the layout anyway.
  if (!QFileInfo(fileName).isFile()) {
    Store(FromStd(WithoutRecent(ToStd(Files()), fileName.toStdString())));
    prompts_.Warning(
        owner_, QStringLiteral("Recent Layouts"),
        QStringLiteral("The layout %1 no longer exists. It has been removed from the list.")
            .arg(fileName));
    return;
  }
  open_(fileName);
}

void RecentFiles::Clear() { Store({}); }

void RecentFiles::Rebuild() {
  // An entry may be rebuilding the menu from its own click: the old entries go later.
  for (QAction *a : menu_.actions()) {
    menu_.removeAction(a);
    a->deleteLater();
  }
  const QStringList files = Files();
  const QStringList captions = FromStd(RecentCaptions(ToStd(files)));
  for (int i = 0; i < captions.size(); ++i) {
    QAction *a = menu_.addAction(captions[i]);
    a->setData(files[i]);
    a->setStatusTip(files[i]);
    const QString fileName = files[i];
    connect(a, &QAction::triggered, this, Guarded([this, fileName] { Choose(fileName); }));
  }
  menu_.addSeparator();
  QAction *clear = menu_.addAction(QStringLiteral("Clear"));
  connect(clear, &QAction::triggered, this, Guarded([this] { Clear(); }));
}

} // namespace tarnwick
