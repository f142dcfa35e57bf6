#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <png.h>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick::test {

// A PNG file as written: its header fields and chunk names read from the bytes, its pixels
// decoded by libpng as 8-bit RGB.
struct PngFile {
  std::uint32_t Width = 0, Height = 0;
  int BitDepth = 0, ColourType = 0, Interlace = 0;
  std::vector<std::string> Chunks;
  std::vector<std::uint8_t> Rgb;

  const std::uint8_t *Pixel(std::uint32_t x, std::uint32_t y) const {
    return &Rgb[(std::size_t{y} * Width + x) * 3];
  }

  static PngFile Read(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    static const std::uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (bytes.size() < 33 || !std::equal(signature, signature + 8, bytes.begin()))
      throw std::runtime_error("not a PNG file: " + path);
    auto be32 = [&](std::size_t at) {
      return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
             std::uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
    };
    PngFile f;
    for (std::size_t at = 8; at + 8 <= bytes.size();) {
      const std::uint32_t length = be32(at);
      f.Chunks.emplace_back(bytes.begin() + long(at) + 4, bytes.begin() + long(at) + 8);
      at += 12 + length;
    }
    f.Width = be32(16);
    f.Height = be32(20);
    f.BitDepth = bytes[24];
    f.ColourType = bytes[25];
    f.Interlace = bytes[28];

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
      throw std::runtime_error(image.message);
    image.format = PNG_FORMAT_RGB;
    f.Rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, f.Rgb.data(), 0, nullptr))
      throw std::runtime_error(image.message);
    return f;
  }
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
  TempFolder() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("tarnwick-output-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;

  std::string operator/(const std::string &name) const { return (path_ / name).string(); }
  const std::filesystem::path &Path() const { return path_; }
  // Names of everything in the folder.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(path_))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

private:
  std::filesystem::path path_;
};

inline std::string ReadAll(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteAll(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

} // namespace tarnwick::test
