#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QMenu;
class QSettings;
class QWidget;

namespace tarnwick {

class Prompts;

// File > "Recent Layouts": the last layouts opened or saved, newest first, kept in the user's
// settings so that every editor of the user shares them. Each entry opens its layout; an entry
// whose file has gone is removed with a message; "Clear" at the bottom empties the list.
class RecentFiles : public QObject {
public:
  using Opener = std::function<void(const QString &fileName)>;

  // The menu is filled now and again each time it is about to show (another editor may have
  // changed the list meanwhile).
  RecentFiles(QSettings &settings, QMenu &menu, Prompts &prompts, QWidget *owner, Opener open);

  QStringList Files() const;
  void Add(const QString &fileName);
  // What choosing an entry does: opens the file, or removes it when it has gone.
  void Choose(const QString &fileName);
  void Clear();

private:
  void Store(const QStringList &files);
  void Rebuild();

  QSettings &settings_;
  QMenu &menu_;
  Prompts &prompts_;
  QWidget *owner_;
  Opener open_;
};

} // namespace tarnwick
