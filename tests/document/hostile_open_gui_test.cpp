// Hostile layout files opened in the editor: File > Open either shows the layout (board, list and
// a picture of the board, however far off the board its parts lie) or reports the file and leaves
// the layout that was open before.
#include "board/board_view.h"
#include "support/hostile_inputs.h"
#include "support/scripted_prompts.h"
#include "ui/main_form.h"

#include <QImage>
#include <QPainter>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdlib.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  fs::path path;
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-hostile-open-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path); }
};

// What the window shows: the board as painted, with the list beside it.
QImage Picture(TMainForm &form) {
  QImage image(900, 700, QImage::Format_RGB32);
  image.fill(Qt::magenta);
  QPainter p(&image);
  form.Board().PaintBoard(p, image.size());
  return image;
}

TEST(HostileOpen, EveryFileIsShownOrReportedWithThePreviousLayoutKept) {
  TempDir dir;
  const std::string good = (dir.path / "good.twk").string();
  std::ofstream(good, std::ios::binary)
      << "[Schematic]\r\nPartCount=1\r\nTraceCount=3\r\nPinCount=12\r\nName=good\r\n"
         "Komp1.Name=R1\r\nKomp1.StartTrace=0\r\nKomp1.EndTrace=2\r\nKomp1.StartPin=1\r\n"
         "Komp1.KompTyp=1\r\n";
  ScriptedPrompts prompts;
  TMainForm form(prompts);
  form.CreateDialogs();
  for (const test::HostileInput &input : test::HostileLayouts()) {
    SCOPED_TRACE(input.Name);
    const std::string path = (dir.path / input.Name).string();
    std::ofstream(path, std::ios::binary) << input.Bytes;
    prompts.OpenNames = {QString::fromStdString(good)};
    form.Open1Click();
    ASSERT_EQ(form.Board().ComponentCount(), 1);

    prompts.OpenNames = {QString::fromStdString(path)};
    const QString error = RunReportingError([&] { form.Open1Click(); });
    if (error.isEmpty()) {
      EXPECT_EQ(form.CurrentFileName().toStdString(), path);
      EXPECT_EQ(form.ListView1->topLevelItemCount(), form.Board().ComponentCount());
    } else {
      EXPECT_TRUE(error.startsWith(QString::fromStdString("Unable to open " + path)) ||
                  error == QString::fromStdString(path + " is not a Tarnwick layout: it has no "
                                                         "[Schematic] section"))
          << error.toStdString();
      EXPECT_EQ(form.CurrentFileName().toStdString(), good);
      EXPECT_EQ(form.Board().ComponentCount(), 1);
      EXPECT_EQ(form.Board().TraceCount(), 3);
    }
    // The board is painted, with the last part selected, the parts far away included (their
    // pixels are checked with tests/data/far_parts.twk).
    if (form.Board().ComponentCount() > 0)
      form.Board().SelectedComponent =
          &form.Board().GetComponent(form.Board().ComponentCount() - 1);
    const QImage picture = Picture(form);
    EXPECT_NE(picture.pixel(0, 0), qRgb(255, 0, 255));
  }
}

} // namespace
} // namespace tarnwick
