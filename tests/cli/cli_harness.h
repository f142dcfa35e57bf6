// Running tarnwick-cli in the test process or as the real program, and a scratch folder for
// its files.
#pragma once

#include "cli/cli.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace tarnwick::cli::test {

namespace fs = std::filesystem;

struct CliTempDir {
  fs::path path;
  CliTempDir() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-cli-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~CliTempDir() { fs::remove_all(path); }
  CliTempDir(const CliTempDir &) = delete;
  CliTempDir &operator=(const CliTempDir &) = delete;
  std::string File(const std::string &name) const { return (path / name).string(); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(path))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

inline std::string ReadBytes(const std::string &p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const std::string &p, const std::string &bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

struct CliOutcome {
  int status;
  std::string out, err;
};

// One command line run in this process.
inline CliOutcome RunInProcess(const std::vector<std::string> &args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

// The real program, with no display and no session around it, as on a build server.
inline CliOutcome RunProgram(const std::vector<std::string> &args) {
  QStringList list;
  for (const std::string &a : args)
    list << QString::fromStdString(a);
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"})
    env.remove(QString::fromLatin1(name));
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(TARNWICK_CLI_PROGRAM), list);
  EXPECT_TRUE(p.waitForFinished(60000));
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

} // namespace tarnwick::cli::test
