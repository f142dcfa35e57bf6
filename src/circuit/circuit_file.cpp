// Which reader a netlist goes to, and reading a netlist file within bounds.
#include "circuit/circuit_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::circuit {
namespace {

class Fd {
public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  Fd(const Fd &) = delete;
  Fd &operator=(const Fd &) = delete;
  int Get() const { return fd_; }

private:
  int fd_;
};

[[noreturn]] void CannotRead(const std::string &path, const std::string &why) {
  throw TarnwickError("Unable to read " + path + ": " + why);
}

// The whole file, refused when it is not a regular file (a folder, a device that never ends,
// a pipe that may never deliver) or larger than any netlist.
std::string ReadWhole(const std::string &path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below anyway.
  const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.Get() < 0)
    CannotRead(path, std::strerror(errno));
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0)
    CannotRead(path, std::strerror(errno));
  if (!S_ISREG(st.st_mode))
    CannotRead(path, "it is not a regular file");
  const std::string tooLarge = "it is larger than " + std::to_string(MaxCircuitFileBytes >> 20) +
                               " MB, more than any netlist";
  if (static_cast<std::uint64_t>(st.st_size) > MaxCircuitFileBytes)
    CannotRead(path, tooLarge);
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) {
      // The file grew while it was read; read on up to the limit.
      if (bytes.size() > MaxCircuitFileBytes)
        CannotRead(path, tooLarge);
      bytes.resize(std::min(bytes.size() * 2, MaxCircuitFileBytes + 1));
    }
    const ssize_t n = ::read(fd.Get(), bytes.data() + have, bytes.size() - have);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      CannotRead(path, std::strerror(errno));
    if (n == 0)
      break;
    have += static_cast<std::size_t>(n);
  }
  bytes.resize(have);
  if (have > MaxCircuitFileBytes)
    CannotRead(path, tooLarge);
  return bytes;
}

} // namespace

NetlistFormat FormatOf(std::string_view text) {
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v')
      continue;
    return c == '(' ? NetlistFormat::Kicad : NetlistFormat::Spice;
  }
  return NetlistFormat::Spice;
}

Circuit ReadCircuitText(std::string_view text, const std::string &fileName) {
  return FormatOf(text) == NetlistFormat::Kicad ? ReadKicadText(text, fileName)
                                                : ReadSpiceText(text, fileName);
}

Circuit ReadCircuitFile(const std::string &path) {
  Circuit circuit = ReadCircuitText(ReadWhole(path), path);
  if (circuit.Parts.empty())
    throw TarnwickError(path + " names no part of a board (no resistor, capacitor, diode, "
                               "transistor, integrated circuit or other part).");
  return circuit;
}

} // namespace tarnwick::circuit
