#pragma once

#include "document/recovery_store.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

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

  // Offers the copies left by editors that are gone, newest first, several in one list:
  // "Restore" reads the chosen one and hands it to `restore`, then keeps it as this editor's
  // copy (the others are left for a later start); "Discard" deletes it and offers the rest; a
  // box closed without an answer (Escape) leaves them all. True when one was restored.
  bool OfferRestore(const Restorer &restore);

  RecoveryStore &Store() { return store_; }
  bool WritePending() const { return timer_.isActive(); }

private:
  // Asks about the copies; returns the button pressed (-1: none) and the copy chosen.
  int Ask(const std::vector<RecoveryCopy> &copies, int &chosen);
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
