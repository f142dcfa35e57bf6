#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The folder for recovery copies: $XDG_STATE_HOME/tarnwick/recovery, or
// $HOME/.local/state/tarnwick/recovery when XDG_STATE_HOME is unset or not an absolute path.
// Empty when neither gives a place.
std::string RecoveryFolder(const char *xdgStateHome, const char *home);

// A recovery copy left by an editor that is no longer running.
struct RecoveryCopy {
  std::string Id;
  std::string CopyFile;       // the layout, in the layout file format
  std::string OriginalFile;   // the file the layout came from; empty when it was untitled
  std::int64_t WrittenAt = 0; // seconds since the epoch
};

// The recovery copies of one running editor, kept in a folder that every editor of the user
// shares. Each editor writes "<id>.twk" (with "<id>.file" naming the original file) and holds
// an exclusive lock on "<id>.lock" from its first write until it ends; the system drops the
// lock when the process dies, however it dies, so a copy whose lock can be taken belongs to an
// editor that is gone. Copies are written beside their target and renamed over it, so a copy
// is always complete.
class RecoveryStore {
public:
  // Nothing is created before the first Write.
  explicit RecoveryStore(std::string folder);
  // Releases the lock. A copy still there stays for the next start to offer.
  ~RecoveryStore();
  RecoveryStore(const RecoveryStore &) = delete;
  RecoveryStore &operator=(const RecoveryStore &) = delete;

  const std::string &Folder() const { return folder_; }
  const std::string &CopyFile() const { return copyFile_; }
  bool HasCopy() const;

  // Replaces this editor's copy; raises TarnwickError when the folder or the file cannot be
  // written (the previous copy then stays as it was).
  void Write(std::string_view layout, const std::string &originalFile);
  // Deletes this editor's copy, if any.
  void Remove();

  // Copies of editors that are no longer running, newest first. Each one returned is held by
  // this store (no other editor offers it) until it is discarded, adopted or released. Lock
  // files of gone editors that left no copy are cleaned away.
  std::vector<RecoveryCopy> ClaimOrphans();
  // Deletes a claimed copy.
  void Discard(const RecoveryCopy &copy);
  // Makes a claimed copy this editor's own: a clean end removes it, a crash leaves it again.
  void Adopt(const RecoveryCopy &copy);
  // Gives a claimed copy back, to be offered again later.
  void Release(const RecoveryCopy &copy);

private:
  std::string PathOf(const std::string &id, const char *suffix) const;
  void EnsureLocked();
  // Holds the lock of another editor's id; -1 while that editor is running.
  int ClaimLock(const std::string &id);
  void DropClaim(const std::string &id, bool deleteLock);

  std::string folder_;
  std::string id_;
  std::string copyFile_;
  std::string writtenOriginal_;
  bool originalWritten_ = false;
  int lockFd_ = -1;
  std::map<std::string, int> claims_;
};

// When the next recovery copy is due, in milliseconds of a steady clock. A copy follows a
// pause of IdleMs after the last change, at least IntervalMs after the previous copy; changes
// that never pause still get a copy MaxDelayMs after the first one not yet written.
class RecoverySchedule {
public:
  static constexpr std::int64_t IdleMs = 1000;
  static constexpr std::int64_t IntervalMs = 2000;
  static constexpr std::int64_t MaxDelayMs = 2000;

  void Changed(std::int64_t now);
  void Written(std::int64_t now);
  // The layout has no unsaved changes any more: nothing is due.
  void Cleared();
  std::optional<std::int64_t> DueAt() const;

private:
  std::optional<std::int64_t> firstUnwritten_;
  std::int64_t lastChange_ = 0;
  std::optional<std::int64_t> lastWrite_;
};

} // namespace tarnwick
