#include "document/replacing_file.h"

#include "board/board.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

const char *const WriteError = "Stream write error";

[[noreturn]] void CannotCreate(const std::string &fileName, int error) {
  throw TarnwickError("Cannot create file \"" + FullFileName(fileName) + "\". " +
                      std::strerror(error));
}

fs::path Target(const std::string &fileName) {
  fs::path target(fileName);
  std::error_code ec;
  // Replacing a link would cut it; the file it points to is replaced instead.
  if (fs::is_symlink(target, ec)) {
    fs::path real = fs::weakly_canonical(target, ec);
    if (!ec)
      target = real;
  }
  return target;
}

// The start of the target's name, short enough that the temporary name stays a legal file name,
// cut between whole UTF-8 characters.
std::string TempStem(const fs::path &target) {
  std::string name = target.filename().string();
  std::size_t keep = std::min<std::size_t>(name.size(), 64);
  while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
    --keep;
  return "." + name.substr(0, keep) + ".";
}

// Appends everything left in the file to `bytes`; false, with errno set, on a read error.
bool ReadAll(int fd, std::string &bytes) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return false;
    if (n == 0)
      return true;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

bool SyncAndClose(int fd) {
  const bool synced = ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  return synced && closed;
}

} // namespace

std::string FullFileName(const std::string &fileName) {
  std::error_code ec;
  const fs::path full = fs::absolute(fs::path(fileName), ec);
  if (ec)
    return fileName;
  return full.lexically_normal().string();
}

ReplacingFile::ReplacingFile(const std::string &fileName) : shownName_(fileName) {
  const fs::path target = Target(fileName);
  if (target.filename().empty())
    CannotCreate(fileName, EISDIR);
  target_ = target.string();
  struct stat old {};
  const bool exists = ::stat(target_.c_str(), &old) == 0;
  // Asked of the system, so that whoever may write any file (root) keeps that right.
  if (exists && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
    CannotCreate(shownName_, errno);
  // A file with other names (hard links) would keep its old content under them if a new
  // file were renamed over this name: it is rewritten where it is.
  if (exists && S_ISREG(old.st_mode) && old.st_nlink > 1) {
    OpenInPlace();
    return;
  }
  if (!CreateBeside()) {
    const int error = errno;
    if (!exists || !S_ISREG(old.st_mode) || (error != EACCES && error != EPERM))
      CannotCreate(shownName_, error);
    OpenInPlace();
    return;
  }
  replacesRegular_ = exists && S_ISREG(old.st_mode);
  if (exists && S_ISREG(old.st_mode)) {
    // Only root may give a file away; the group alone may still be kept.
    if (::fchown(fd_, old.st_uid, old.st_gid) != 0)
      (void)::fchown(fd_, static_cast<uid_t>(-1), old.st_gid);
    // After the owner: a change of owner clears the set-id bits.
    (void)::fchmod(fd_, old.st_mode & 07777);
  }
}

// False, with errno set, when no temporary file can be created beside the target.
bool ReplacingFile::CreateBeside() {
  const fs::path target(target_);
  std::random_device seed;
  std::mt19937 rng(seed());
  std::uniform_int_distribution<int> letter(0, 25);
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    std::string name = TempStem(target);
    for (int i = 0; i < 8; ++i)
      name += static_cast<char>('a' + letter(rng));
    tempPath_ = (target.parent_path() / (name + ".tmp")).string();
    fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) {
      tempPath_.clear();
      return false;
    }
  }
  if (fd_ < 0)
    CannotCreate(shownName_, EEXIST);
  return true;
}

void ReplacingFile::OpenInPlace() {
  const int in = ::open(target_.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0)
    CannotCreate(shownName_, errno);
  if (!ReadAll(in, oldBytes_)) {
    const int error = errno;
    ::close(in);
    CannotCreate(shownName_, error);
  }
  ::close(in);
  fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd_ < 0)
    CannotCreate(shownName_, errno);
  inPlace_ = true;
  tempPath_ = target_;
}

// Puts the old bytes back as far as the system lets us; the failure that led here is what the
// user is told about.
void ReplacingFile::RestoreInPlace() noexcept {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  const int fd = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0)
    return;
  const char *p = oldBytes_.data();
  std::size_t left = oldBytes_.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  (void)SyncAndClose(fd);
}

ReplacingFile::~ReplacingFile() {
  if (inPlace_) {
    if (!placed_)
      RestoreInPlace();
    return;
  }
  if (fd_ >= 0)
    ::close(fd_);
  if (!placed_)
    ::unlink(tempPath_.c_str());
}

void ReplacingFile::CloseFd() {
  if (fd_ < 0)
    return;
  const int fd = fd_;
  fd_ = -1;
  if (!SyncAndClose(fd))
    throw TarnwickError(WriteError);
}

void ReplacingFile::Write(const void *data, std::size_t size) {
  if (fd_ < 0 || placed_)
    throw TarnwickError(WriteError);
  const auto *p = static_cast<const char *>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      throw TarnwickError(WriteError);
    p += n;
    size -= static_cast<std::size_t>(n);
    written_ += static_cast<std::uint64_t>(n);
  }
}

void ReplaceFileContent(const std::string &fileName, std::string_view bytes) {
  ReplacingFile file(fileName);
  file.Write(bytes);
  file.Commit();
}

void ReplacingFile::Commit() {
  const bool ownWrites = fd_ >= 0;
  if (ownWrites) {
    CloseFd();
  } else {
    // Written by someone else after CloseFd(): make that durable too.
    const int fd = ::open(tempPath_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || !SyncAndClose(fd))
      throw TarnwickError(WriteError);
  }
  if (inPlace_) {
    // Nothing was renamed: the file on disk must hold exactly what was written.
    struct stat now {};
    if (ownWrites &&
        (::stat(target_.c_str(), &now) != 0 || static_cast<std::uint64_t>(now.st_size) != written_))
      throw TarnwickError(WriteError);
    placed_ = true;
    return;
  }
  if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    // A folder with the sticky bit (/tmp) lets only a file's owner replace it, also when
    // anyone may write it: the new data is then written into the file itself.
    if (!replacesRegular_ || (error != EPERM && error != EACCES))
      CannotCreate(shownName_, error);
    MoveInPlace();
    return;
  }
  placed_ = true;
}

// The finished temporary file's bytes go into the target itself, with the same check and
// restore as a rewrite in place from the start.
void ReplacingFile::MoveInPlace() {
  std::string bytes;
  const int in = ::open(tempPath_.c_str(), O_RDONLY | O_CLOEXEC);
  const bool read = in >= 0 && ReadAll(in, bytes);
  if (in >= 0)
    ::close(in);
  ::unlink(tempPath_.c_str());
  if (!read)
    throw TarnwickError(WriteError);
  OpenInPlace();
  Write(bytes);
  CloseFd();
  struct stat now {};
  if (::stat(target_.c_str(), &now) != 0 || static_cast<std::uint64_t>(now.st_size) != bytes.size())
    throw TarnwickError(WriteError);
  placed_ = true;
}

} // namespace tarnwick
