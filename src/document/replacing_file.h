#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

// Writes a file so that no reader ever sees it half written: the bytes go into a temporary
// file beside the target (same folder, so the final rename stays on one file system), which
// is flushed to disk and then renamed over the target. Until Commit() the target is left
// exactly as it was; a ReplacingFile destroyed without a successful Commit() removes its
// temporary file. Every failure raises TarnwickError("Unable to write to " + target).
//
// A target that is a symbolic link is replaced through the link (the file it points to
// changes, the link stays). A new file gets the usual permissions of a created file; a
// replaced one keeps its permission bits.
class ReplacingFile {
public:
  explicit ReplacingFile(std::string target);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile &) = delete;
  ReplacingFile &operator=(const ReplacingFile &) = delete;

  void Write(const void *data, std::size_t size);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  // Flushes the temporary file and renames it over the target.
  void Commit();

  const std::string &Target() const { return target_; }

private:
  [[noreturn]] void Fail();
  void Discard();

  std::string target_;   // as the caller named it, for the message
  std::string realPath_; // the file actually replaced
  std::string tempPath_;
  int fd_ = -1;
  bool committed_ = false;
};

// The whole of `bytes` as the new content of `target`, through a ReplacingFile.
void ReplaceFileContent(const std::string &target, std::string_view bytes);

} // namespace tarnwick
