#include "document/recovery.h"
#include "ui/handler_guard.h"

#include "board/board.h"
#include "document/layout_file.h"
#include "ui/prompts.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace tarnwick {
namespace {

QString Question(const RecoveryCopy &copy) {
  const QString original = QFile::decodeName(QByteArray::fromStdString(copy.OriginalFile));
  const QString what = original.isEmpty()
                           ? QStringLiteral("an untitled layout")
                           : QStringLiteral("the layout %1").arg(QFileInfo(original).fileName());
  const QString when =
      QDateTime::fromSecsSinceEpoch(copy.WrittenAt).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  return QStringLiteral("Tarnwick did not end properly. A recovery copy of %1, written %2, "
                        "holds changes that were not saved.\n\n"
                        "Restore opens it as an untitled layout; Discard deletes it.")
      .arg(what, when);
}

} // namespace

RecoveryKeeper::RecoveryKeeper(const std::string &folder, RecoverySource &source, Prompts &prompts,
                               QWidget *owner)
    : store_(folder), source_(source), prompts_(prompts), owner_(owner) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, Guarded([this] { OnTimer(); }));
  clock_.start();
}

void RecoveryKeeper::Changed() {
  schedule_.Changed(clock_.elapsed());
  Arm();
}

void RecoveryKeeper::Settled() {
  schedule_.Cleared();
  timer_.stop();
  store_.Remove();
}

void RecoveryKeeper::Arm() {
  const auto due = schedule_.DueAt();
  if (!due) {
    timer_.stop();
    return;
  }
  timer_.start(static_cast<int>(std::max<std::int64_t>(0, *due - clock_.elapsed())));
}

void RecoveryKeeper::OnTimer() {
  const auto due = schedule_.DueAt();
  if (due && *due > clock_.elapsed())
    Arm();
  else if (due)
    WriteNow();
}

void RecoveryKeeper::WriteNow() {
  schedule_.Written(clock_.elapsed());
  timer_.stop();
  try {
    store_.Write(source_.LayoutText(), QFile::encodeName(source_.OriginalFile()).toStdString());
  } catch (const TarnwickError &e) {
    // Said once a run: the editor goes on, without its safety net.
    if (!warned_) {
      warned_ = true;
      prompts_.Warning(owner_, QStringLiteral("Recovery"),
                       QStringLiteral("%1\nUnsaved changes are not kept for recovery after a "
                                      "crash; save often.")
                           .arg(QString::fromUtf8(e.what())));
    }
  }
}

bool RecoveryKeeper::OfferRestore(const Restorer &restore) {
  const std::vector<RecoveryCopy> copies = store_.ClaimOrphans();
  bool restored = false;
  for (const RecoveryCopy &copy : copies) {
    if (restored) {
      store_.Release(copy);
      continue;
    }
    const int answer = prompts_.Choose(owner_, QStringLiteral("Restore Layout?"), Question(copy),
                                       {QStringLiteral("Restore"), QStringLiteral("Discard")});
    if (answer == 1) {
      store_.Discard(copy);
      continue;
    }
    if (answer != 0) {
      store_.Release(copy);
      continue;
    }
    try {
      const LayoutData layout = ReadLayoutFile(copy.CopyFile);
      restore(layout, QFile::decodeName(QByteArray::fromStdString(copy.OriginalFile)));
      store_.Adopt(copy);
      restored = true;
    } catch (const TarnwickError &e) {
      // An unreadable copy stays where it is, to be offered again or rescued by hand.
      store_.Release(copy);
      prompts_.Error(owner_, QString::fromUtf8(e.what()));
    }
  }
  return restored;
}

} // namespace tarnwick
