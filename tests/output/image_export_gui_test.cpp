#include "board/board_view.h"
#include "board_fixture.h"
#include "document/layout_file.h"
#include "output/image_export.h"
#include "png_file.h"
#include "support/scripted_prompts_output.h"
#include "ui/main_form.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <gtest/gtest.h>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

QRgb Rgb(const PngFile &png, int x, int y) {
  const std::uint8_t *p = png.Pixel(std::uint32_t(x), std::uint32_t(y));
  return qRgb(p[0], p[1], p[2]);
}

QImage Painted(BoardView &view, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  QPainter p(&image);
  view.PaintBoard(p, size);
  return image;
}

// Pixels of the written file that differ from the image, optionally outside a box only.
int Differences(const PngFile &png, const QImage &expected, QRect skip = {}) {
  int n = 0;
  for (int y = 0; y < expected.height(); ++y)
    for (int x = 0; x < expected.width(); ++x)
      if (!skip.contains(x, y) && Rgb(png, x, y) != (expected.pixel(x, y) | 0xff000000u))
        ++n;
  return n;
}

// The columns of a box that hold anything but the background colour.
std::pair<int, int> InkColumns(const PngFile &png, QRect box) {
  int lo = INT_MAX, hi = -1;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if (Rgb(png, x, y) != qRgb(16, 16, 16)) {
        lo = std::min(lo, x);
        hi = std::max(hi, x);
      }
  return {lo, hi};
}

std::string ErrorOf(const std::function<void()> &f) {
  try {
    f();
  } catch (const TarnwickError &e) {
    return e.what();
  }
  return "no error";
}

class ImageExport : public ::testing::Test {
protected:
  ImageExport() {
    view.setFont(ChooseBoardFont());
    selected = FillSampleBoard(view);
    // Smaller than the board: the export is cut to the board, not to the window.
    view.resize(40, 30);
  }
  PngFile Export(const QString &caption, const std::string &name = "board.png") {
    view.SaveImage(QString::fromStdString(dir / name), caption);
    return PngFile::Read(dir / name);
  }

  TempFolder dir;
  BoardView view;
  BoardComponent *selected = nullptr;
};

} // namespace

TEST_F(ImageExport, IsTheBoardAsPaintedAsEightBitRgb) {
  const PngFile png = Export("");
  EXPECT_EQ(png.Width, 183u);
  EXPECT_EQ(png.Height, 355u);
  EXPECT_EQ(png.ColourType, 2);
  EXPECT_EQ(png.BitDepth, 8);
  EXPECT_EQ(png.Interlace, 0);
  for (const auto &chunk : png.Chunks) {
    EXPECT_NE(chunk, "PLTE");
    EXPECT_NE(chunk, "tRNS");
  }

  // Every pixel is what PaintBoard draws, and an empty caption adds nothing.
  const QImage expected = Painted(view, {183, 355});
  EXPECT_EQ(Differences(png, expected), 0);

  // Spot checks that the state really is in the picture: the red strip of trace 3, the blue
  // hole of row 19 on trace 5, a purple flow bar on trace 1 between rows 3 and 17, background
  // at the far corner.
  EXPECT_EQ(Rgb(png, 18 * 3 + 5, 40), qRgb(255, 0, 0));
  EXPECT_EQ(Rgb(png, TraceX(5), PinY(19)), qRgb(0, 0, 255));
  EXPECT_EQ(Rgb(png, TraceX(1), PinY(10)), qRgb(128, 0, 128));
  EXPECT_EQ(Rgb(png, 182, 354), qRgb(16, 16, 16));

  // The selection frame: without it the resistor's row differs exactly on the frame's line.
  view.SelectedComponent = nullptr;
  const QImage unselected = Painted(view, {183, 355});
  const int frameTop = PinY(3) - 8;
  int onFrame = 0;
  for (int x = 0; x < 183; ++x)
    onFrame += Rgb(png, x, frameTop) != (unselected.pixel(x, frameTop) | 0xff000000u);
  EXPECT_GT(onFrame, 20);
  view.SelectedComponent = selected;

  // Exporting changes nothing the view shows.
  EXPECT_EQ(Painted(view, {183, 355}), expected);
  EXPECT_EQ(view.font(), ChooseBoardFont());
}

TEST_F(ImageExport, CaptionIsWhiteOnBlackInItsBoxAndTakenLiterally) {
  const PngFile bare = Export("", "bare.png");
  const PngFile named = Export("Amplifier", "named.png");
  const QRect box = CaptionBox({183, 355});
  EXPECT_EQ(box, QRect(QPoint(8, 339), QPoint(178, 350)));
  const QImage painted = Painted(view, {183, 355});
  EXPECT_EQ(Differences(named, painted, box), 0);
  int white = 0, black = 0;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x) {
      white += Rgb(named, x, y) == qRgb(255, 255, 255);
      black += Rgb(named, x, y) == qRgb(0, 0, 0);
    }
  EXPECT_GT(white, 20);
  EXPECT_GT(black, 100);
  EXPECT_EQ(InkColumns(named, box).first, 8);

  // An ampersand is drawn, not taken as an accelerator mark.
  const PngFile amp = Export("&", "amp.png");
  EXPECT_GE(InkColumns(amp, box).second, 8);
  const PngFile ab = Export("AB", "ab.png");
  const PngFile aAmpB = Export("A&B", "a_amp_b.png");
  EXPECT_GT(InkColumns(aAmpB, box).second, InkColumns(ab, box).second + 3);

  // Tahoma 10 bold: the black cell is as wide as the caption in that font, and the line is
  // centred in the box, so a capital's foot stands on the centred cell's baseline.
  QImage device(1, 1, QImage::Format_RGB32);
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSize(10);
  font.setBold(true);
  const QFontMetrics bold(font, &device);
  font.setBold(false);
  ASSERT_NE(bold.horizontalAdvance("Amplifier"),
            QFontMetrics(font, &device).horizontalAdvance("Amplifier"));
  int lastBlack = -1;
  for (int x = box.left(); x <= box.right(); ++x)
    if (Rgb(named, x, box.top()) == qRgb(0, 0, 0))
      lastBlack = x;
  EXPECT_EQ(lastBlack, box.left() + bold.horizontalAdvance("Amplifier") - 1);
  const PngFile capital = Export("H", "h.png");
  int foot = -1;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if (qGray(Rgb(capital, x, y)) > 128)
        foot = y;
  EXPECT_EQ(foot, box.top() + (box.height() - bold.height()) / 2 + bold.ascent() - 1);

  // A caption too long for the image stops 4 pixels from the right edge.
  const PngFile longName = Export(QString(80, QLatin1Char('W')), "long.png");
  EXPECT_EQ(InkColumns(longName, box).second, 178);
  EXPECT_EQ(Differences(longName, painted, box), 0);
  (void)bare;
}

TEST_F(ImageExport, UnwritablePathReportsAndLeavesNoFile) {
  const std::string target = dir / "missing/board.png";
  EXPECT_EQ(ErrorOf([&] { view.SaveImage(QString::fromStdString(target), "x"); }),
            "Cannot create file \"" + target + "\". No such file or directory");
  EXPECT_TRUE(dir.Entries().empty());

  // An existing export stays as it was when the new one cannot be put in place.
  const std::string folder = dir / "taken";
  std::filesystem::create_directory(folder);
  EXPECT_NE(ErrorOf([&] { view.SaveImage(QString::fromStdString(folder), "x"); }), "no error");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"taken"});
}

TEST(ExportCommand, AsksForAPngNameAndCaptionsWithTheLayoutName) {
  OutputScriptedPrompts prompts;
  TMainForm form(prompts);
  TempFolder dir;

  form.ExportBitmap1Click(); // no traces: no dialog
  EXPECT_TRUE(prompts.SaveAsked.empty());

  FillSampleBoard(form.Board());
  form.ExportBitmap1Click(); // cancelled
  ASSERT_EQ(prompts.SaveAsked.size(), 1u);
  const FileRequest &request = prompts.SaveAsked[0];
  EXPECT_EQ(request.Filter, "PNG Files (*.png)");
  EXPECT_EQ(request.DefaultSuffix, "png");
  EXPECT_TRUE(request.ConfirmOverwrite);
  EXPECT_FALSE(request.MustExist);
  EXPECT_TRUE(dir.Entries().empty());

  form.Edit3->setText(QStringLiteral("Fuzz & Co"));
  prompts.SaveAnswers.push_back(QString::fromStdString(dir / "cmd.png"));
  form.ExportBitmap1Click();
  form.Board().SaveImage(QString::fromStdString(dir / "direct.png"), QStringLiteral("Fuzz & Co"));
  const PngFile viaCommand = PngFile::Read(dir / "cmd.png");
  EXPECT_EQ(viaCommand.Width, 183u);
  EXPECT_EQ(viaCommand.Rgb, PngFile::Read(dir / "direct.png").Rgb);
  form.Board().SaveImage(QString::fromStdString(dir / "plain.png"), QString());
  EXPECT_NE(viaCommand.Rgb, PngFile::Read(dir / "plain.png").Rgb);
}

// The export's encoder settings against libpng's adaptive filters, used before: for every
// example layout the same pixels in the same format, in a file no larger.
TEST(ImageEncoding, ExamplesKeepTheirPixelsInNoLargerFiles) {
  TempFolder dir;
  const std::string examples = TARNWICK_TEST_DATA "/../../examples/";
  for (const char *name : {"led_flasher_555", "regulator_5v", "amplifier_stage"}) {
    SCOPED_TRACE(name);
    const LayoutData data = ReadLayoutFile(examples + name + ".twk");
    BoardView view;
    view.setFont(ChooseBoardFont());
    BuildBoard(data, view);
    const QImage image = RenderBoardImage(view, QString::fromStdString(data.Name));
    const std::string before = dir / "before.png", now = dir / "now.png";
    WriteBoardImage(image, QString::fromStdString(before), AdaptivePngEncoding);
    view.SaveImage(QString::fromStdString(now), QString::fromStdString(data.Name));
    const PngFile a = PngFile::Read(before), b = PngFile::Read(now);
    EXPECT_EQ(b.Width, a.Width);
    EXPECT_EQ(b.Height, a.Height);
    EXPECT_EQ(b.BitDepth, 8);
    EXPECT_EQ(b.ColourType, 2);
    EXPECT_EQ(b.Interlace, 0);
    EXPECT_EQ(b.Chunks, a.Chunks);
    EXPECT_TRUE(b.Rgb == a.Rgb);
    EXPECT_EQ(Differences(b, image), 0);
    EXPECT_LE(ReadAll(now).size(), ReadAll(before).size());
    // Not the same bytes: the export does use other settings.
    EXPECT_NE(ReadAll(now), ReadAll(before));
  }
}
