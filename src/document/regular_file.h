#pragma once

// Opening a file that a reader will read to its end: only a regular file is read, and it is
// opened without waiting, so a pipe with no writer or a device that never ends (/dev/zero)
// cannot hold the program.
#include <cstdint>
#include <string>

namespace tarnwick {

class RegularFile {
public:
  // Opens path; on failure Fd() is -1 and Why() says why ("it is not a regular file", or the
  // system's reason).
  explicit RegularFile(const std::string &path);
  ~RegularFile();
  RegularFile(const RegularFile &) = delete;
  RegularFile &operator=(const RegularFile &) = delete;

  int Fd() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  const std::string &Why() const { return why_; }
  // The file's size when it was opened.
  std::uint64_t Size() const { return size_; }
  // Reads up to n bytes, retrying when interrupted; -1 on an error, 0 at the end.
  std::int64_t Read(char *buffer, std::size_t n);

private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
  std::string why_;
};

} // namespace tarnwick
