// tarnwick-cli render and print: File > Export Image and File > Print on a layout file.
#include "cli_harness.h"
#include "document/layout_file.h"
#include "output/pdf_page.h"
#include "output/png_file.h"
#include "output/u_print.h"
#include "support/scripted_prompts.h"
#include "ui/main_form.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <gtest/gtest.h>

namespace tarnwick::cli::test {
namespace {

using tarnwick::test::PngFile;
using tarnwick::test::Poppler;

const std::string Amp = TARNWICK_TEST_DATA "/amp.twk"; // 4 traces, 12 pins, "Test board"

std::string PdfInfo(const std::string &pdf) {
  return Poppler("pdfinfo", {QString::fromStdString(pdf)});
}

// Every word printed on the pages with its box, without the file's dates.
std::string PdfWords(const std::string &pdf) {
  const std::string all =
      Poppler("pdftotext", {QStringLiteral("-bbox"), QString::fromStdString(pdf), "-"});
  const auto doc = all.find("<doc>");
  return doc == std::string::npos ? std::string() : all.substr(doc);
}

// The left edge of the first printed word equal to text, or -1.
double WordLeft(const std::string &words, const std::string &text) {
  const auto at = words.find(">" + text + "</word>");
  if (at == std::string::npos)
    return -1;
  const auto x = words.rfind("xMin=\"", at);
  return std::stod(words.substr(x + 6));
}

bool IsRgb(const std::uint8_t *p, int r, int g, int b) {
  return p[0] == r && p[1] == g && p[2] == b;
}

// Whether the image has a pixel of the colour in the caption strip (x 8 on, the lowest 16 rows
// above the last four).
bool CaptionHas(const PngFile &png, int r, int g, int b) {
  for (std::uint32_t y = png.Height - 16; y < png.Height - 4; ++y)
    for (std::uint32_t x = 8; x < png.Width - 4; ++x)
      if (IsRgb(png.Pixel(x, y), r, g, b))
        return true;
  return false;
}

// The editor with a layout opened, as File > Open leaves it.
struct Editor {
  ScriptedPrompts prompts;
  TMainForm form{prompts};
  explicit Editor(const std::string &layout) {
    form.CreateDialogs();
    form.LoadLayout(QString::fromStdString(layout));
  }
  std::string ExportImage(const std::string &png) {
    prompts.SaveNames = {QString::fromStdString(png)};
    form.ExportBitmap1Click();
    return ReadBytes(png);
  }
};

TEST(OutputCli, RenderExportsTheImageTheEditorExports) {
  CliTempDir dir;
  const std::string png = dir.File("amp.png");
  const CliOutcome r = RunInProcess({"render", Amp, png});
  EXPECT_EQ(r.status, ExitOk) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  const PngFile image = PngFile::Read(png);
  EXPECT_EQ(image.Width, 4u * 18 + 3);
  EXPECT_EQ(image.Height, 12u * 15 + 55);
  EXPECT_EQ(image.ColourType, 2);
  EXPECT_EQ(image.BitDepth, 8);
  EXPECT_TRUE(IsRgb(image.Pixel(1, 1), 16, 16, 16));    // background
  EXPECT_TRUE(IsRgb(image.Pixel(5, 6), 144, 128, 80));  // trace 1, labelled "VCC"
  EXPECT_TRUE(IsRgb(image.Pixel(23, 6), 128, 112, 64)); // trace 2, no label
  EXPECT_TRUE(IsRgb(image.Pixel(46, 77), 144, 128, 80));
  // The layout name in white on black in the caption strip.
  EXPECT_TRUE(CaptionHas(image, 255, 255, 255));
  EXPECT_TRUE(CaptionHas(image, 0, 0, 0));

  // Byte for byte the editor's File > Export Image after File > Open, with the View menu as at
  // start, then with both of its switches turned.
  Editor editor(Amp);
  EXPECT_EQ(ReadBytes(png), editor.ExportImage(dir.File("editor.png")));
  editor.form.ShowFlow1Click();
  editor.form.ShowLabels1Click();
  ASSERT_EQ(RunInProcess({"render", "--flow", Amp, dir.File("both.png"), "--no-labels"}).status,
            ExitOk);
  EXPECT_EQ(ReadBytes(dir.File("both.png")), editor.ExportImage(dir.File("editor-both.png")));

  // --flow draws the purple bar on trace 3 between the parts at rows 3 and 5.
  ASSERT_EQ(RunInProcess({"render", Amp, dir.File("flow.png"), "--flow"}).status, ExitOk);
  const PngFile flow = PngFile::Read(dir.File("flow.png"));
  EXPECT_TRUE(IsRgb(flow.Pixel(46, 77), 128, 0, 128));
  // --no-labels only takes away the components' white names.
  ASSERT_EQ(RunInProcess({"render", Amp, dir.File("bare.png"), "--no-labels"}).status, ExitOk);
  const PngFile bare = PngFile::Read(dir.File("bare.png"));
  ASSERT_EQ(bare.Rgb.size(), image.Rgb.size());
  int changed = 0;
  for (std::size_t i = 0; i < image.Rgb.size(); ++i) {
    changed += image.Rgb[i] != bare.Rgb[i];
    EXPECT_GE(image.Rgb[i], bare.Rgb[i]) << i;
  }
  EXPECT_GT(changed, 20);
  EXPECT_TRUE(CaptionHas(bare, 255, 255, 255));

  // A layout without a name (as an import saves it) has no caption.
  ASSERT_EQ(RunInProcess({"import", TARNWICK_TEST_DATA "/netlist/worked_example.net",
                          dir.File("imported.twk")})
                .status,
            ExitOk);
  ASSERT_EQ(RunInProcess({"render", dir.File("imported.twk"), png}).status, ExitOk);
  const PngFile unnamed = PngFile::Read(png);
  EXPECT_EQ(unnamed.Width, 60u * 18 + 3);
  EXPECT_EQ(unnamed.Height, 30u * 15 + 55);
  EXPECT_FALSE(CaptionHas(unnamed, 255, 255, 255));
  EXPECT_FALSE(CaptionHas(unnamed, 0, 0, 0));
}

// A layout file of the given size and name.
std::string WriteLayout(const CliTempDir &dir, const std::string &file, int traces, int pins) {
  Board b;
  b.InitBoard(traces, pins);
  WriteLayoutFile(dir.File(file), b, "sized");
  return dir.File(file);
}

TEST(OutputCli, RenderFailuresLeaveNoImage) {
  CliTempDir dir;
  const std::string old = dir.File("old.png");
  WriteBytes(old, "an older image");
  fs::create_directory(dir.path / "folder.png");
  const std::string none = WriteLayout(dir, "none.twk", 0, 10);
  const std::string wide = WriteLayout(dir, "wide.twk", 2000, 10);

  const std::vector<std::pair<std::vector<std::string>, std::string>> failing = {
      {{"render", dir.File("missing.twk"), old}, "Unable to read " + dir.File("missing.twk")},
      {{"render", none, old}, none + " has no traces; there is nothing to export"},
      {{"render", wide, old}, "Cannot make an image of 36003 x 205 pixels"},
      {{"render", Amp, dir.File("no/such/a.png")},
       "Cannot create file \"" + dir.File("no/such/a.png") + "\". No such file or directory"},
  };
  for (const auto &[args, message] : failing) {
    const CliOutcome r = RunInProcess(args);
    EXPECT_EQ(r.status, ExitError) << args[1];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tarnwick-cli: " + message + "\n");
    EXPECT_EQ(ReadBytes(old), "an older image");
  }
  const CliOutcome folder = RunInProcess({"render", Amp, dir.File("folder.png")});
  EXPECT_EQ(folder.status, ExitError);
  EXPECT_EQ(folder.err.rfind("tarnwick-cli: Cannot create file \"" + dir.File("folder.png"), 0), 0u)
      << folder.err;
  EXPECT_TRUE(fs::is_empty(dir.path / "folder.png"));
  EXPECT_EQ(dir.Entries(),
            (std::vector<std::string>{"folder.png", "none.twk", "old.png", "wide.twk"}));

  for (const std::vector<std::string> &bad : std::vector<std::vector<std::string>>{
           {"render", Amp}, {"render", Amp, old, "--spacing", "2"}, {"render", Amp, old, "x"}}) {
    const CliOutcome r = RunInProcess(bad);
    EXPECT_EQ(r.status, ExitUsage);
    EXPECT_NE(r.err.find(Usage()), std::string::npos);
  }
  EXPECT_EQ(ReadBytes(old), "an older image");
  EXPECT_NE(Usage().find("render LAYOUT IMAGE.png [--flow] [--no-labels]"), std::string::npos);
}

// The editor's File > Print to a PDF file on A4 portrait with the dialog set as given.
std::string EditorPrint(const std::string &layout, const std::string &pdf, const QString &spacing,
                        bool highlight, bool copperSide = false) {
  Editor editor(layout);
  editor.prompts.OnExec = [&](QDialog &d) {
    auto &form = dynamic_cast<TPrintForm &>(d);
    form.Printer().setOutputFormat(QPrinter::PdfFormat);
    form.Printer().setPageSize(QPageSize(QPageSize::A4));
    form.Printer().setPageOrientation(QPageLayout::Portrait);
    form.Printer().setOutputFileName(QString::fromStdString(pdf));
    form.Edit1->setText(spacing);
    form.CheckBox1->setChecked(highlight);
    form.CheckBox2->setChecked(copperSide);
    form.Button1Click();
    return QDialog::Accepted;
  };
  editor.form.Print1Click();
  return PdfWords(pdf);
}

TEST(OutputCli, PrintMakesOneA4PageAsTheEditorPrintsIt) {
  CliTempDir dir;
  const std::string pdf = dir.File("amp.pdf");
  const CliOutcome r = RunInProcess({"print", Amp, pdf});
  EXPECT_EQ(r.status, ExitOk) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadBytes(pdf).substr(0, 5), "%PDF-");
  const std::string info = PdfInfo(pdf);
  EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Page size:       595 x 842 pts (A4)"), std::string::npos) << info;
  EXPECT_NE(info.find("Page rot:        0"), std::string::npos) << info;

  // The words and their places are those of the editor's print with the dialog as it opens.
  const std::string words = PdfWords(pdf);
  EXPECT_EQ(words, EditorPrint(Amp, dir.File("editor.pdf"), QStringLiteral("2.54"), true));
  // Highlighted traces carry their labels; the parts their names.
  for (const char *word : {"VCC", "OUT", "GND", "10k", "100u"})
    EXPECT_GE(WordLeft(words, word), 0) << word;

  // Without highlighting the trace labels go; a wider spacing moves the parts to the right.
  ASSERT_EQ(
      RunInProcess({"print", "--no-highlight", Amp, dir.File("wide.pdf"), "--spacing", "5.08"})
          .status,
      ExitOk);
  const std::string wide = PdfWords(dir.File("wide.pdf"));
  EXPECT_EQ(wide, EditorPrint(Amp, dir.File("editor-wide.pdf"), QStringLiteral("5.08"), false));
  EXPECT_LT(WordLeft(wide, "VCC"), 0);
  EXPECT_GT(WordLeft(wide, "10k"), WordLeft(words, "10k") + 5);
  EXPECT_NE(PdfInfo(dir.File("wide.pdf")).find("Pages:           1\n"), std::string::npos);

  // Every printout carries the scale bar's caption below the board, left-aligned with it.
  EXPECT_GE(WordLeft(words, "ruler"), 0);
  EXPECT_GT(WordLeft(wide, "ruler"), 0);

  // For the copper side the parts swap sides about the board's middle (amp.twk: 4 traces, the
  // 10k resistor from trace 0 to 2); the scale bar stays where it was.
  ASSERT_EQ(RunInProcess({"print", Amp, dir.File("copper.pdf"), "--copper-side"}).status, ExitOk);
  const std::string copper = PdfWords(dir.File("copper.pdf"));
  EXPECT_EQ(copper,
            EditorPrint(Amp, dir.File("editor-copper.pdf"), QStringLiteral("2.54"), true, true));
  EXPECT_NE(copper, words);
  EXPECT_GT(WordLeft(copper, "10k"), WordLeft(words, "10k") + 2);
  EXPECT_EQ(WordLeft(copper, "ruler"), WordLeft(words, "ruler"));
}

TEST(OutputCli, PrintFailuresLeaveNoPdf) {
  CliTempDir dir;
  const std::string old = dir.File("old.pdf");
  WriteBytes(old, "an older print");
  fs::create_directory(dir.path / "folder.pdf");
  const std::string none = WriteLayout(dir, "none.twk", 0, 10);

  const std::vector<std::pair<std::vector<std::string>, std::string>> failing = {
      {{"print", Amp, old, "--spacing", "abc"}, "'abc' is not a valid floating point value"},
      // A point is the decimal separator here, whatever the locale.
      {{"print", Amp, old, "--spacing", "2,54"}, "'2,54' is not a valid floating point value"},
      {{"print", Amp, old, "--spacing", ""}, "'' is not a valid floating point value"},
      {{"print", dir.File("missing.twk"), old}, "Unable to read " + dir.File("missing.twk")},
      {{"print", none, old}, none + " has no traces; there is nothing to print"},
      {{"print", Amp, dir.File("no/such/a.pdf")},
       "Cannot create file \"" + dir.File("no/such/a.pdf") + "\". No such file or directory"},
  };
  for (const auto &[args, message] : failing) {
    const CliOutcome r = RunInProcess(args);
    EXPECT_EQ(r.status, ExitError) << args[1];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tarnwick-cli: " + message + "\n");
    EXPECT_EQ(ReadBytes(old), "an older print");
  }
  const CliOutcome folder = RunInProcess({"print", Amp, dir.File("folder.pdf")});
  EXPECT_EQ(folder.status, ExitError);
  EXPECT_EQ(folder.err.rfind("tarnwick-cli: Cannot create file \"" + dir.File("folder.pdf"), 0), 0u)
      << folder.err;
  EXPECT_TRUE(fs::is_empty(dir.path / "folder.pdf"));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"folder.pdf", "none.twk", "old.pdf"}));

  for (const std::vector<std::string> &bad :
       std::vector<std::vector<std::string>>{{"print", Amp},
                                             {"print", Amp, old, "--spacing"},
                                             {"print", Amp, old, "--flow"},
                                             {"print", Amp, old, "extra"}}) {
    const CliOutcome r = RunInProcess(bad);
    EXPECT_EQ(r.status, ExitUsage);
    EXPECT_NE(r.err.find(Usage()), std::string::npos);
  }
  EXPECT_EQ(ReadBytes(old), "an older print");
  EXPECT_NE(Usage().find("print LAYOUT OUT.pdf [--spacing MM] [--no-highlight] [--copper-side]"),
            std::string::npos);
}

// The real program draws without a display or a session, and says only what the command says.
TEST(OutputCli, TheProgramDrawsWithoutADisplay) {
  CliTempDir dir;
  const CliOutcome render = RunProgram({"render", Amp, dir.File("a.png")});
  EXPECT_EQ(render.status, 0);
  EXPECT_EQ(render.out, "");
  EXPECT_EQ(render.err, "");
  EXPECT_EQ(PngFile::Read(dir.File("a.png")).Width, 75u);
  const CliOutcome print = RunProgram({"print", Amp, dir.File("a.pdf"), "--spacing", "3"});
  EXPECT_EQ(print.status, 0);
  EXPECT_EQ(print.err, "");
  EXPECT_NE(PdfInfo(dir.File("a.pdf")).find("(A4)"), std::string::npos);
  const CliOutcome bad = RunProgram({"print", Amp, dir.File("b.pdf"), "--spacing", "abc"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "tarnwick-cli: 'abc' is not a valid floating point value\n");
  const CliOutcome imported =
      RunProgram({"import", TARNWICK_TEST_DATA "/netlist/worked_example.net", dir.File("w.twk")});
  EXPECT_EQ(imported.status, 0);
  EXPECT_EQ(imported.err, "");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.pdf", "a.png", "w.twk"}));
}

} // namespace
} // namespace tarnwick::cli::test
