#include "output/png_writer.h"

#include "board/board.h"
#include "png_file.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tarnwick;
using tarnwick::test::PngFile;
using tarnwick::test::TempFolder;

namespace {

// A gradient that no filter or compression can hide a wrong byte in.
void Gradient(std::uint32_t width, std::uint32_t y, std::uint8_t *row) {
  for (std::uint32_t x = 0; x < width; ++x) {
    *row++ = static_cast<std::uint8_t>(x * 7 + y);
    *row++ = static_cast<std::uint8_t>(y * 3);
    *row++ = static_cast<std::uint8_t>((x ^ y) * 13);
  }
}

RgbRowSource GradientRows(std::uint32_t width) {
  return [width](std::uint32_t y, std::uint8_t *row) { Gradient(width, y, row); };
}

std::string ErrorOf(const std::function<void()> &f) {
  try {
    f();
  } catch (const TarnwickError &e) {
    return e.what();
  }
  return "no error";
}

} // namespace

TEST(PngWriter, WritesEightBitRgbWithoutPaletteOrTransparency) {
  TempFolder dir;
  const std::string name = dir / "picture.png";
  WriteRgbPng(name, 183, 355, GradientRows(183));

  const PngFile png = PngFile::Read(name);
  EXPECT_EQ(png.Width, 183u);
  EXPECT_EQ(png.Height, 355u);
  EXPECT_EQ(png.BitDepth, 8);
  EXPECT_EQ(png.ColourType, 2);
  EXPECT_EQ(png.Interlace, 0);
  EXPECT_EQ(png.Chunks.front(), "IHDR");
  EXPECT_EQ(png.Chunks.back(), "IEND");
  for (const auto &chunk : png.Chunks) {
    EXPECT_NE(chunk, "PLTE");
    EXPECT_NE(chunk, "tRNS");
  }
  std::vector<std::uint8_t> expected(183 * 3);
  for (std::uint32_t y = 0; y < 355; ++y) {
    Gradient(183, y, expected.data());
    ASSERT_EQ(0, std::memcmp(expected.data(), png.Pixel(0, y), expected.size())) << "row " << y;
  }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"picture.png"});
}

TEST(PngWriter, ReplacesAnExistingFileKeepingItsPermissionsAndLinks) {
  TempFolder dir;
  const std::string name = dir / "old.png";
  test::WriteAll(name, "previous contents");
  ASSERT_EQ(::chmod(name.c_str(), 0640), 0);
  WriteRgbPng(name, 4, 3, GradientRows(4));
  EXPECT_EQ(PngFile::Read(name).Width, 4u);
  struct stat st {};
  ASSERT_EQ(::stat(name.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  // Through a link the linked file is replaced and the link stays a link.
  const std::string link = dir / "link.png";
  std::filesystem::create_symlink(name, link);
  WriteRgbPng(link, 9, 2, GradientRows(9));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(PngFile::Read(name).Width, 9u);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"link.png", "old.png"}));

  // A name at the file system's length limit still gets a temporary companion.
  std::string longest(250, 'x');
  longest += ".png";
  WriteRgbPng(dir / longest, 2, 2, GradientRows(2));
  EXPECT_EQ(PngFile::Read(dir / longest).Width, 2u);
}

TEST(PngWriter, AFileThatCannotBeCreatedIsReportedAndNothingIsLeft) {
  TempFolder dir;
  const std::string missing = dir / "no such folder/out.png";
  EXPECT_EQ(ErrorOf([&] { WriteRgbPng(missing, 4, 4, GradientRows(4)); }),
            "Cannot create file \"" + missing + "\". No such file or directory");

  // The message names the file in full, also for a relative name.
  const auto here = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  const std::string relative =
      ErrorOf([&] { WriteRgbPng("sub/../gone/x.png", 4, 4, GradientRows(4)); });
  std::filesystem::current_path(here);
  EXPECT_EQ(relative,
            "Cannot create file \"" + (dir / "gone/x.png") + "\". No such file or directory");

  // A folder in the way is left alone.
  const std::string folder = dir / "taken.png";
  std::filesystem::create_directory(folder);
  test::WriteAll(folder + "/inside", "x");
  EXPECT_EQ(ErrorOf([&] { WriteRgbPng(folder, 4, 4, GradientRows(4)); }),
            "Cannot create file \"" + folder + "\". Is a directory");
  EXPECT_EQ(test::ReadAll(folder + "/inside"), "x");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"taken.png"});
}

TEST(PngWriter, AWriteErrorKeepsTheOldFileAndLeavesNoTemporaryFile) {
  TempFolder dir;
  const std::string name = dir / "board.png";
  test::WriteAll(name, "the export of yesterday");

  // Files may grow to 4 KiB only; writing past that fails with EFBIG instead of a signal.
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string error = ErrorOf([&] { WriteRgbPng(name, 400, 400, GradientRows(400)); });
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(error, "Stream write error");
  EXPECT_EQ(test::ReadAll(name), "the export of yesterday");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"board.png"});
}

TEST(PngWriter, EncoderErrorsAndThrowingRowSourcesCleanUp) {
  TempFolder dir;
  const std::string name = dir / "x.png";
  // libpng refuses a zero width through its error callback.
  const std::string error = ErrorOf([&] { WriteRgbPng(name, 0, 5, GradientRows(0)); });
  EXPECT_NE(error.find("PNG encoder: "), std::string::npos) << error;
  EXPECT_TRUE(dir.Entries().empty());

  int rows = 0;
  EXPECT_THROW(WriteRgbPng(name, 8, 8,
                           [&](std::uint32_t y, std::uint8_t *row) {
                             if (y == 5)
                               throw TarnwickError("stop");
                             ++rows;
                             Gradient(8, y, row);
                           }),
               TarnwickError);
  EXPECT_EQ(rows, 5);
  EXPECT_TRUE(dir.Entries().empty());
}
