#pragma once

#include "document/recovery_store.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>

class QWidget;

namespace tarnwick {

class Prompts;
struct LayoutData;

// What a recovery copy is made of.
class RecoverySource {
public:
  virtual ~RecoverySource() = default;
  // The layout as its file would hold it.
  virtual std::string LayoutText() = 0;
  // The file the layout belongs to; empty while it is untitled.
  virtual QString OriginalFile() = 0;
};

// Keeps a recovery copy of the layout while it has unsaved changes: written in idle time after
// a change (RecoverySchedule), removed once the changes are saved or discarded. At start it
// offers the copies of editors that are no longer running.
class RecoveryKeeper : public QObject {
public:
  using Restorer = std::function<void(const LayoutData &layout, const QString &originalFile)>;

  RecoveryKeeper(const std::string &folder, RecoverySource &source, Prompts &prompts,
                 QWidget *owner);

  void Changed();
  void Settled();
  // Writes the copy now; the timer calls it when a copy is due.
  void WriteNow();

  // Asks about each copy left by an editor that is gone, newest first: "Restore" reads it and
  // hands it to `restore`, then keeps it as this editor's copy (the others are left for a
  // later start); "Discard" deletes it; a box closed without an answer leaves it. True when
  // one was restored.
  bool OfferRestore(const Restorer &restore);

  RecoveryStore &Store() { return store_; }
  bool WritePending() const { return timer_.isActive(); }

private:
  void Arm();
  void OnTimer();

  RecoveryStore store_;
  RecoverySchedule schedule_;
  RecoverySource &source_;
  Prompts &prompts_;
  QWidget *owner_;
  QTimer timer_;
  QElapsedTimer clock_;
  bool warned_ = false;
};

} // namespace tarnwick
