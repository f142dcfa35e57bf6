#include "document/recovery_store.h"

#include "board/board.h"
#include "document/replacing_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

const char *const CopySuffix = ".twk";
const char *const OriginalSuffix = ".file";
const char *const LockSuffix = ".lock";
const char *const LockingSuffix = ".locking";

std::string NewId() {
  std::random_device seed;
  std::mt19937 rng(seed());
  static const char hex[] = "0123456789abcdef";
  std::string id = std::to_string(::getpid()) + "-";
  for (int i = 0; i < 8; ++i)
    id += hex[rng() % 16];
  return id;
}

bool Exists(const std::string &path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// Missing folders are made for the user alone, as the state folder should be.
void MakeFolders(const std::string &folder) {
  fs::path sofar;
  for (const fs::path &part : fs::path(folder)) {
    sofar /= part;
    if (::mkdir(sofar.c_str(), 0700) != 0 && errno != EEXIST)
      throw TarnwickError("Unable to write to " + folder);
  }
}

// An exclusively locked new file; -1 when it cannot be made.
int CreateLocked(const std::string &path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0)
    return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    ::unlink(path.c_str());
    return -1;
  }
  return fd;
}

std::string ReadSmallFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::string text;
  char buffer[4096];
  while (in && text.size() < 65536) {
    in.read(buffer, sizeof buffer);
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  return text;
}

} // namespace

std::string RecoveryFolder(const char *xdgStateHome, const char *home) {
  if (xdgStateHome && xdgStateHome[0] == '/')
    return std::string(xdgStateHome) + "/tarnwick/recovery";
  if (home && home[0] == '/')
    return std::string(home) + "/.local/state/tarnwick/recovery";
  return {};
}

RecoveryStore::RecoveryStore(std::string folder) : folder_(std::move(folder)), id_(NewId()) {
  copyFile_ = PathOf(id_, CopySuffix);
}

RecoveryStore::~RecoveryStore() {
  for (const auto &claim : claims_)
    ::close(claim.second);
  if (lockFd_ < 0)
    return;
  if (!HasCopy()) {
    ::unlink(PathOf(id_, OriginalSuffix).c_str());
    ::unlink(PathOf(id_, LockSuffix).c_str());
  }
  ::close(lockFd_);
}

std::string RecoveryStore::PathOf(const std::string &id, const char *suffix) const {
  return folder_ + "/" + id + suffix;
}

bool RecoveryStore::HasCopy() const { return Exists(copyFile_); }

// The lock file appears under its own name already locked, so no other editor ever finds it
// unlocked while this one runs.
void RecoveryStore::EnsureLocked() {
  if (lockFd_ >= 0)
    return;
  if (folder_.empty())
    throw TarnwickError("Unable to write to the recovery folder: no state folder is known");
  MakeFolders(folder_);
  const std::string locking = PathOf(id_, LockingSuffix);
  const int fd = CreateLocked(locking);
  if (fd < 0)
    throw TarnwickError("Unable to write to " + locking);
  if (::rename(locking.c_str(), PathOf(id_, LockSuffix).c_str()) != 0) {
    ::close(fd);
    ::unlink(locking.c_str());
    throw TarnwickError("Unable to write to " + PathOf(id_, LockSuffix));
  }
  lockFd_ = fd;
}

void RecoveryStore::Write(std::string_view layout, const std::string &originalFile) {
  EnsureLocked();
  if (!originalWritten_ || originalFile != writtenOriginal_) {
    ReplaceFileContent(PathOf(id_, OriginalSuffix), originalFile);
    writtenOriginal_ = originalFile;
    originalWritten_ = true;
  }
  ReplaceFileContent(copyFile_, layout);
}

void RecoveryStore::Remove() {
  ::unlink(copyFile_.c_str());
  ::unlink(PathOf(id_, OriginalSuffix).c_str());
  originalWritten_ = false;
}

int RecoveryStore::ClaimLock(const std::string &id) {
  const std::string lock = PathOf(id, LockSuffix);
  int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    // A copy without a lock file (deleted by hand): make one, locked, unless another editor
    // makes it first.
    const std::string locking = PathOf(id_ + "-" + id, LockingSuffix);
    fd = CreateLocked(locking);
    if (fd < 0)
      return -1;
    const bool linked = ::link(locking.c_str(), lock.c_str()) == 0;
    ::unlink(locking.c_str());
    if (!linked) {
      ::close(fd);
      return -1;
    }
    return fd;
  }
  if (fd < 0)
    return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void RecoveryStore::DropClaim(const std::string &id, bool deleteLock) {
  const auto claim = claims_.find(id);
  if (claim == claims_.end())
    return;
  if (deleteLock)
    ::unlink(PathOf(id, LockSuffix).c_str());
  ::close(claim->second);
  claims_.erase(claim);
}

std::vector<RecoveryCopy> RecoveryStore::ClaimOrphans() {
  std::set<std::string> ids;
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.')
      continue;
    // Only files are copies or locks: a folder named like one is none of this store's.
    if (!it->is_regular_file(ec))
      continue;
    for (const char *suffix : {CopySuffix, LockSuffix}) {
      const std::string_view s(suffix);
      if (name.size() > s.size() && name.compare(name.size() - s.size(), s.size(), s) == 0)
        ids.insert(name.substr(0, name.size() - s.size()));
    }
  }
  std::vector<RecoveryCopy> orphans;
  for (const std::string &id : ids) {
    if (id == id_ || claims_.count(id))
      continue;
    const int fd = ClaimLock(id);
    if (fd < 0)
      continue; // its editor is running, or another editor is offering it
    RecoveryCopy copy;
    copy.Id = id;
    copy.CopyFile = PathOf(id, CopySuffix);
    struct stat st {};
    if (::stat(copy.CopyFile.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      // A gone editor that left no copy.
      ::unlink(PathOf(id, OriginalSuffix).c_str());
      ::unlink(PathOf(id, LockSuffix).c_str());
      ::close(fd);
      continue;
    }
    copy.WrittenAt = static_cast<std::int64_t>(st.st_mtime);
    copy.OriginalFile = ReadSmallFile(PathOf(id, OriginalSuffix));
    claims_[id] = fd;
    orphans.push_back(std::move(copy));
  }
  std::stable_sort(
      orphans.begin(), orphans.end(),
      [](const RecoveryCopy &a, const RecoveryCopy &b) { return a.WrittenAt > b.WrittenAt; });
  return orphans;
}

void RecoveryStore::Discard(const RecoveryCopy &copy) {
  if (!claims_.count(copy.Id))
    return;
  ::unlink(copy.CopyFile.c_str());
  ::unlink(PathOf(copy.Id, OriginalSuffix).c_str());
  DropClaim(copy.Id, true);
}

void RecoveryStore::Adopt(const RecoveryCopy &copy) {
  if (!claims_.count(copy.Id))
    return;
  EnsureLocked();
  if (::rename(copy.CopyFile.c_str(), copyFile_.c_str()) != 0)
    throw TarnwickError("Unable to write to " + copyFile_);
  if (::rename(PathOf(copy.Id, OriginalSuffix).c_str(), PathOf(id_, OriginalSuffix).c_str()) != 0)
    ::unlink(PathOf(id_, OriginalSuffix).c_str());
  writtenOriginal_ = copy.OriginalFile;
  originalWritten_ = true;
  DropClaim(copy.Id, true);
}

void RecoveryStore::Release(const RecoveryCopy &copy) { DropClaim(copy.Id, false); }

void RecoverySchedule::Changed(std::int64_t now) {
  lastChange_ = now;
  if (!firstUnwritten_)
    firstUnwritten_ = now;
}

void RecoverySchedule::Written(std::int64_t now) {
  lastWrite_ = now;
  firstUnwritten_.reset();
}

void RecoverySchedule::Cleared() { firstUnwritten_.reset(); }

std::optional<std::int64_t> RecoverySchedule::DueAt() const {
  if (!firstUnwritten_)
    return std::nullopt;
  const std::int64_t idle = std::min(lastChange_ + IdleMs, *firstUnwritten_ + MaxDelayMs);
  return lastWrite_ ? std::max(idle, *lastWrite_ + IntervalMs) : idle;
}

} // namespace tarnwick
