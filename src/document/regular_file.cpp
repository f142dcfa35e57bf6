#include "document/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

RegularFile::RegularFile(const std::string &path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below anyway.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) {
    why_ = std::strerror(errno);
    return;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0)
    why_ = std::strerror(errno);
  else if (!S_ISREG(st.st_mode))
    why_ = "it is not a regular file";
  if (!why_.empty()) {
    ::close(fd_);
    fd_ = -1;
    return;
  }
  size_ = static_cast<std::uint64_t>(st.st_size);
}

RegularFile::~RegularFile() {
  if (fd_ >= 0)
    ::close(fd_);
}

std::int64_t RegularFile::Read(char *buffer, std::size_t n) {
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, n);
    if (got < 0 && errno == EINTR)
      continue;
    return got;
  }
}

} // namespace tarnwick
