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

QString What(const RecoveryCopy &copy) {
  const QString original = QFile::decodeName(QByteArray::fromStdString(copy.OriginalFile));
  return original.isEmpty() ? QStringLiteral("an untitled layout")
                            : QStringLiteral("the layout %1").arg(QFileInfo(original).fileName());
}

QString When(const RecoveryCopy &copy) {
  return QDateTime::fromSecsSinceEpoch(copy.WrittenAt)
      .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString Question(const RecoveryCopy &copy) {
  const QString what = What(copy);
  const QString when = When(copy);
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

// Several copies are offered in one list; after a Discard the rest are offered again. A box
// closed without an answer (Escape) leaves every copy not yet restored for a later start.
bool RecoveryKeeper::OfferRestore(const Restorer &restore) {
  std::vector<RecoveryCopy> copies = store_.ClaimOrphans();
  bool restored = false;
  while (!copies.empty() && !restored) {
    int chosen = 0;
    const int answer = Ask(copies, chosen);
    if (answer != 0 && answer != 1)
      break;
    const auto at = copies.begin() + std::clamp<std::ptrdiff_t>(
                                         chosen, 0, static_cast<std::ptrdiff_t>(copies.size()) - 1);
    const RecoveryCopy copy = *at;
    copies.erase(at);
    if (answer == 1) {
      store_.Discard(copy);
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
  for (const RecoveryCopy &copy : copies)
    store_.Release(copy);
  return restored;
}

int RecoveryKeeper::Ask(const std::vector<RecoveryCopy> &copies, int &chosen) {
  const QString caption = QStringLiteral("Restore Layout?");
  const QStringList buttons{QStringLiteral("Restore"), QStringLiteral("Discard")};
  chosen = 0;
  if (copies.size() == 1)
    return prompts_.Choose(owner_, caption, Question(copies.front()), buttons);
  QStringList items;
  for (const RecoveryCopy &copy : copies)
    items << QStringLiteral("%1, written %2").arg(What(copy), When(copy));
  return prompts_.ChooseItem(
      owner_, caption,
      QStringLiteral("Tarnwick did not end properly. These recovery copies hold changes that "
                     "were not saved.\n\n"
                     "Restore opens the chosen one as an untitled layout; Discard deletes it. "
                     "Copies not restored are offered again at the next start."),
      items, buttons, chosen);
}

} // namespace tarnwick
