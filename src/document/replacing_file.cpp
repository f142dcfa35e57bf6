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
  std::random_device seed;
  std::mt19937 rng(seed());
  std::uniform_int_distribution<int> letter(0, 25);
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    std::string name = TempStem(target);
    for (int i = 0; i < 8; ++i)
      name += static_cast<char>('a' + letter(rng));
    tempPath_ = (target.parent_path() / (name + ".tmp")).string();
    fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST)
      CannotCreate(shownName_, errno);
  }
  if (fd_ < 0)
    CannotCreate(shownName_, EEXIST);
  // A replaced file keeps its permissions.
  struct stat old {};
  if (::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode))
    (void)::fchmod(fd_, old.st_mode & 07777);
}

ReplacingFile::~ReplacingFile() {
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
  }
}

void ReplaceFileContent(const std::string &fileName, std::string_view bytes) {
  ReplacingFile file(fileName);
  file.Write(bytes);
  file.Commit();
}

void ReplacingFile::Commit() {
  if (fd_ >= 0) {
    CloseFd();
  } else {
    // Written by someone else after CloseFd(): make that durable too.
    const int fd = ::open(tempPath_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || !SyncAndClose(fd))
      throw TarnwickError(WriteError);
  }
  if (::rename(tempPath_.c_str(), target_.c_str()) != 0)
    CannotCreate(shownName_, errno);
  placed_ = true;
}

} // namespace tarnwick
