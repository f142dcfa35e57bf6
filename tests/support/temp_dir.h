// A scratch folder for the files of one core test, named after the test and removed after it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tarnwick::test {

class TempDir {
public:
  TempDir() {
    namespace fs = std::filesystem;
    path_ = fs::temp_directory_path() /
            ("tarnwick_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;
  std::string Write(const std::string &name, const std::string &bytes) const {
    const std::filesystem::path p = path_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }
  std::filesystem::path Path() const { return path_; }

private:
  std::filesystem::path path_;
};

} // namespace tarnwick::test
