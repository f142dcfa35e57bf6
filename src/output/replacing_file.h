#pragma once

#include <string>

namespace tarnwick {

// A file written beside its target and renamed over it only once it is complete, so a failed
// write never damages the file already there. The temporary file is removed unless Commit()
// put it in place. Errors: "Cannot create file "<full name>". <reason>" when the file cannot be
// created or put in place, "Stream write error" when its data cannot be made durable.
class ReplacingFile {
public:
  explicit ReplacingFile(const std::string &fileName);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile &) = delete;
  ReplacingFile &operator=(const ReplacingFile &) = delete;

  // The open temporary file, or -1 after CloseFd().
  int Fd() const { return fd_; }
  // Where the data goes until Commit(); another writer may fill it after CloseFd().
  const std::string &TempPath() const { return tempPath_; }
  // Flushes and closes the temporary file.
  void CloseFd();
  // Makes the data durable and renames it over the target.
  void Commit();

private:
  std::string shownName_;
  std::string target_;
  std::string tempPath_;
  int fd_ = -1;
  bool placed_ = false;
};

// The name an error message shows for a file: absolute and normalised.
std::string FullFileName(const std::string &fileName);

} // namespace tarnwick
