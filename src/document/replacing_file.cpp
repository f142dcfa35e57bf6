#include "document/replacing_file.h"

#include "board/board.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

std::string FolderOf(const std::string &path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos)
    return ".";
  if (slash == 0)
    return "/";
  return path.substr(0, slash);
}

// Follows a chain of symbolic links to the file they finally name (which need not exist).
std::string FollowLinks(const std::string &path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
      return current;
    char buffer[PATH_MAX];
    const ssize_t n = readlink(current.c_str(), buffer, sizeof buffer - 1);
    if (n < 0)
      return current;
    std::string next(buffer, static_cast<std::size_t>(n));
    current = (!next.empty() && next[0] == '/') ? next : FolderOf(current) + "/" + next;
  }
  return current;
}

mode_t CreationMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

} // namespace

ReplacingFile::ReplacingFile(std::string target) : target_(std::move(target)) {
  if (target_.empty() || target_.back() == '/')
    Fail();
  realPath_ = FollowLinks(target_);
  struct stat st {};
  mode_t mode = CreationMode();
  if (stat(realPath_.c_str(), &st) == 0) {
    // A folder (or any other non-file) is never replaced by a file.
    if (!S_ISREG(st.st_mode))
      Fail();
    mode = st.st_mode & 07777;
  }
  const std::string folder = FolderOf(realPath_);
  std::string name = realPath_.substr(realPath_.find_last_of('/') + 1);
  std::string pattern = folder + "/." + name + ".XXXXXX";
  fd_ = mkstemp(pattern.data());
  if (fd_ < 0)
    Fail();
  tempPath_ = pattern;
  if (fchmod(fd_, mode) != 0)
    Fail();
}

ReplacingFile::~ReplacingFile() {
  if (!committed_)
    Discard();
}

void ReplacingFile::Discard() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!tempPath_.empty()) {
    unlink(tempPath_.c_str());
    tempPath_.clear();
  }
}

void ReplacingFile::Fail() {
  Discard();
  throw TarnwickError("Unable to write to " + target_);
}

void ReplacingFile::Write(const void *data, std::size_t size) {
  if (fd_ < 0 || committed_)
    Fail();
  const auto *p = static_cast<const char *>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      Fail();
    p += n;
    size -= static_cast<std::size_t>(n);
  }
}

void ReplacingFile::Commit() {
  if (fd_ < 0 || committed_)
    Fail();
  // The data must be on disk before the name points at it, or a crash right after the rename
  // could leave an empty file where the old one was.
  if (fsync(fd_) != 0)
    Fail();
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0)
    Fail();
  if (rename(tempPath_.c_str(), realPath_.c_str()) != 0)
    Fail();
  tempPath_.clear();
  committed_ = true;
  // Best effort: make the rename itself durable.
  const int dir = open(FolderOf(realPath_).c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
}

void ReplaceFileContent(const std::string &target, std::string_view bytes) {
  ReplacingFile file(target);
  file.Write(bytes);
  file.Commit();
}

} // namespace tarnwick
