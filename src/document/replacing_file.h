#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// A file written beside its target and renamed over it only once it is complete, so a failed
// write never damages the file already there. A target that is a symbolic link is replaced
// through the link (the file it names changes, the link stays); a replaced file keeps its
// permission bits, and its owner and group where the system allows it. A target that exists
// and that the user may not write is refused before anything is written. A target that the
// user may write is rewritten in place when no file can be made beside it, when it has other
// names (hard links, which a rename would cut off) and when the folder refuses the rename (a
// sticky folder such as /tmp, where only a file's owner may replace it): its old bytes are
// kept in memory and put back if the new ones cannot all be written. The temporary
// file is removed (the old bytes restored) unless Commit() put the new data in place.
// Errors: "Cannot create file "<full name>". <reason>" when the file cannot be created or put
// in place, "Stream write error" when its data cannot be made durable.
class ReplacingFile {
public:
  explicit ReplacingFile(const std::string &fileName);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile &) = delete;
  ReplacingFile &operator=(const ReplacingFile &) = delete;

  // Appends bytes to the temporary file; "Stream write error" when they cannot be written.
  void Write(const void *data, std::size_t size);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  // The open temporary file, or -1 after CloseFd().
  int Fd() const { return fd_; }
  // Where the data goes until Commit(); another writer may fill it after CloseFd(). The target
  // itself when it is rewritten in place.
  const std::string &TempPath() const { return tempPath_; }
  // Flushes and closes the temporary file.
  void CloseFd();
  // Makes the data durable and renames it over the target.
  void Commit();

private:
  bool CreateBeside();
  void OpenInPlace();
  void MoveInPlace();
  void RestoreInPlace() noexcept;

  std::string shownName_;
  std::string target_;
  std::string tempPath_;
  int fd_ = -1;
  bool placed_ = false;
  bool inPlace_ = false;
  bool replacesRegular_ = false; // the temporary file is to replace an existing regular file
  std::string oldBytes_;         // the target's content while it is rewritten in place
  std::uint64_t written_ = 0;    // bytes given to Write()
};

// The whole of `bytes` as the new content of `fileName`, through a ReplacingFile.
void ReplaceFileContent(const std::string &fileName, std::string_view bytes);

// The name an error message shows for a file: absolute and normalised.
std::string FullFileName(const std::string &fileName);

} // namespace tarnwick
