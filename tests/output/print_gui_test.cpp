#include "board_fixture.h"
#include "output/print_job.h"
#include "output/qt_page_canvas.h"
#include "output/u_print.h"
#include "pdf_page.h"
#include "png_file.h"
#include "support/scripted_prompts_output.h"
#include "ui/main_form.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

std::string ErrorOf(const std::function<void()> &f) {
  try {
    f();
  } catch (const TarnwickError &e) {
    return e.what();
  }
  return "no error";
}

// Page objects of a PDF file (the page tree itself is "/Type /Pages").
int PdfPages(const std::string &bytes) {
  const QString text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
  return int(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"))));
}

// Keeps the locale of a test from leaking into the next.
class LocaleScope {
public:
  explicit LocaleScope(const QLocale &l) : old_(QLocale()) { QLocale::setDefault(l); }
  ~LocaleScope() { QLocale::setDefault(old_); }

private:
  QLocale old_;
};

void PrintToPdf(TPrintForm &form, const std::string &file) {
  form.Printer().setOutputFormat(QPrinter::PdfFormat);
  form.Printer().setOutputFileName(QString::fromStdString(file));
}

} // namespace

TEST(PrintDialog, HasTheControlsOfTheFormAndStartsAt254) {
  LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
  OutputScriptedPrompts prompts;
  Board board;
  TPrintForm form(board, prompts);
  EXPECT_EQ(form.objectName(), "PrintForm");
  EXPECT_EQ(form.windowTitle(), "PrintForm");
  // Fixed border; the sizes of the form are kept unless a caption would be cut in the
  // platform's font.
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_EQ(form.height(), 115);
  EXPECT_GE(form.width(), 262);

  auto *label1 = form.findChild<QLabel *>(QStringLiteral("Label1"));
  auto *label2 = form.findChild<QLabel *>(QStringLiteral("Label2"));
  ASSERT_TRUE(label1 && label2);
  EXPECT_EQ(label1->text(), "Pin Spacing:");
  EXPECT_EQ(label1->pos(), QPoint(16, 16));
  EXPECT_EQ(label2->text(), "Millimeter");
  EXPECT_EQ(label2->pos(), QPoint(64, 35));
  auto *edit = form.findChild<QLineEdit *>(QStringLiteral("Edit1"));
  ASSERT_TRUE(edit);
  EXPECT_EQ(edit->text(), "2.54");
  EXPECT_EQ(edit->geometry(), QRect(16, 32, 41, 21));
  auto *check = form.findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
  ASSERT_TRUE(check);
  EXPECT_EQ(check->text(), "Highlight Traces");
  EXPECT_TRUE(check->isChecked());
  EXPECT_EQ(check->pos(), QPoint(16, 58));
  EXPECT_EQ(check->height(), 17);
  EXPECT_GE(check->width(), std::max(97, check->sizeHint().width()));
  auto *copper = form.findChild<QCheckBox *>(QStringLiteral("CheckBox2"));
  ASSERT_TRUE(copper);
  EXPECT_EQ(copper->text(), "Copper Side");
  EXPECT_FALSE(copper->isChecked());
  EXPECT_EQ(copper->pos(), QPoint(16, 80));
  EXPECT_EQ(copper->height(), 17);
  EXPECT_LE(copper->geometry().bottom(), form.height());
  EXPECT_FALSE(form.Options().CopperSide);
  copper->setChecked(true);
  EXPECT_TRUE(form.Options().CopperSide);
  const std::pair<const char *, std::pair<const char *, QRect>> buttons[] = {
      {"Button2", {"Printer Setup", QRect(168, 16, 81, 23)}},
      {"Button1", {"Print", QRect(168, 48, 81, 23)}},
      {"Button3", {"Close", QRect(168, 80, 81, 23)}}};
  for (const auto &[name, expect] : buttons) {
    auto *b = form.findChild<QPushButton *>(QString::fromLatin1(name));
    ASSERT_TRUE(b) << name;
    EXPECT_EQ(b->text(), expect.first);
    EXPECT_EQ(b->pos(), expect.second.topLeft());
    EXPECT_EQ(b->height(), 23);
    EXPECT_GE(b->width(), std::max(81, b->sizeHint().width()));
    EXPECT_LE(b->geometry().right(), form.width() - 13);
    EXPECT_EQ(b->isDefault(), std::string(name) == "Button1");
  }
}

TEST(PrintDialog, SpacingIsWrittenAndReadWithTheUsersDecimalSeparator) {
  LocaleScope german(QLocale(QLocale::German, QLocale::Germany));
  OutputScriptedPrompts prompts;
  Board board;
  TPrintForm form(board, prompts);
  EXPECT_EQ(form.Edit1->text(), "2,54");
  EXPECT_FLOAT_EQ(form.Options().Spacing, 2.54f);
  form.Edit1->setText(QStringLiteral("2.54"));
  EXPECT_EQ(ErrorOf([&] { form.Options(); }), "'2.54' is not a valid floating point value");
}

TEST(PrintDialog, OpensOnlyWithTracesAndKeepsItsValuesBetweenOpenings) {
  OutputScriptedPrompts prompts;
  TMainForm main(prompts);
  main.CreateDialogs();
  main.Print1Click(); // no board yet
  EXPECT_TRUE(prompts.Executed.empty());

  FillSampleBoard(main.Board());
  int round = 0;
  prompts.OnExec = [&](QDialog &d) {
    auto &form = dynamic_cast<TPrintForm &>(d);
    if (round++ == 0) {
      form.Edit1->setText(QStringLiteral("3.5"));
      form.CheckBox1->setChecked(false);
      form.CheckBox2->setChecked(true);
      form.Button3Click();
    } else {
      EXPECT_EQ(form.Edit1->text(), "3.5");
      EXPECT_FALSE(form.CheckBox1->isChecked());
      EXPECT_TRUE(form.CheckBox2->isChecked());
    }
    return d.result();
  };
  main.Print1Click();
  main.Print1Click();
  EXPECT_EQ(round, 2);
  EXPECT_EQ(prompts.Executed, (std::vector<QString>{"PrintForm", "PrintForm"}));
  EXPECT_EQ(main.findChildren<TPrintForm *>().size(), 1);
}

TEST(PrintDialog, PrinterSetupRunsThePrintDialogOnTheFormsPrinter) {
  OutputScriptedPrompts prompts;
  Board board;
  TPrintForm form(board, prompts);
  QPrinter *seen = nullptr;
  prompts.OnExec = [&](QDialog &d) {
    auto *setup = qobject_cast<QPrintDialog *>(&d);
    EXPECT_TRUE(setup);
    if (setup)
      seen = setup->printer();
    return int(QDialog::Rejected);
  };
  form.Button2Click();
  EXPECT_EQ(seen, &form.Printer());
  EXPECT_EQ(prompts.Executed.size(), 1u);
}

TEST(PrintDialog, PrintsOnePdfPageAndCloses) {
  TempFolder dir;
  OutputScriptedPrompts prompts;
  Board board;
  FillSampleBoard(board);
  TPrintForm form(board, prompts);
  const std::string pdf = dir / "board.pdf";
  WriteAll(pdf, "an older print");
  PrintToPdf(form, pdf);
  form.setResult(-1);
  form.Button1Click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  const std::string bytes = ReadAll(pdf);
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_EQ(PdfPages(bytes), 1);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"board.pdf"});
  EXPECT_EQ(form.Printer().outputFileName(), QString::fromStdString(pdf));

  // The same through the function the command line uses.
  const std::string direct = dir / "direct.pdf";
  PrintBoardToPdf(board, PrintoutOptions{}, QString::fromStdString(direct));
  EXPECT_EQ(PdfPages(ReadAll(direct)), 1);
}

TEST(PrintDialog, FailuresPrintNothingAndStillCloseTheDialog) {
  TempFolder dir;
  OutputScriptedPrompts prompts;
  Board board;
  FillSampleBoard(board);
  TPrintForm form(board, prompts);
  const std::string pdf = dir / "board.pdf";
  WriteAll(pdf, "an older print");
  PrintToPdf(form, pdf);

  form.Edit1->setText(QStringLiteral("abc"));
  form.setResult(-1);
  EXPECT_EQ(ErrorOf([&] { form.Button1Click(); }), "'abc' is not a valid floating point value");
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(ReadAll(pdf), "an older print");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"board.pdf"});

  form.Edit1->setText(QStringLiteral("2.54"));
  const std::string missing = dir / "gone/board.pdf";
  PrintToPdf(form, missing);
  EXPECT_EQ(ErrorOf([&] { form.Button1Click(); }),
            "Cannot create file \"" + missing + "\". No such file or directory");

  // Nowhere to print to.
  form.Printer().setOutputFileName(QString());
  form.Printer().setOutputFormat(QPrinter::PdfFormat);
  EXPECT_EQ(ErrorOf([&] { form.Button1Click(); }),
            "There is no default printer currently selected");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"board.pdf"});
}

TEST(PrintPage, TextIsSixPointsTrueSizeAtAnyResolution) {
  std::vector<int> heights;
  for (int dpi : {300, 600, 1200}) {
    QImage page(64, 64, QImage::Format_RGB32);
    page.setDotsPerMeterX(qRound(dpi / 0.0254));
    page.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter p(&page);
    QtPageCanvas canvas(p);
    EXPECT_NEAR(canvas.ScaleY(), dpi / 254.0, 0.01);
    heights.push_back(canvas.TextHeight("+"));
  }
  // 6 points are 21 units of 0.1 mm; the cell adds the font's leading.
  for (int h : heights) {
    EXPECT_GE(h, 21);
    EXPECT_LE(h, 28);
    EXPECT_LE(std::abs(h - heights[0]), 1);
  }
}

TEST(PrintPage, AdapterPutsPageUnitsOnTheDevice) {
  // 254 dpi: one device pixel per 0.1 mm, so device (x, -y) is page (x, y).
  QImage page(600, 600, QImage::Format_RGB32);
  page.setDotsPerMeterX(10000);
  page.setDotsPerMeterY(10000);
  page.fill(Qt::white);
  Board board;
  board.InitBoard(10, 20);
  Put(board, ComponentKind::Wire, 2, 5, 3);
  Put(board, ComponentKind::TraceCut, 2, 3, 8);
  {
    QPainter p(&page);
    QtPageCanvas canvas(p);
    DrawPrintout(canvas, board, PrintoutOptions{2.54f, false}, 3, 3);
  }
  auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
  EXPECT_TRUE(dark(390, 376));     // the wire
  EXPECT_FALSE(dark(390, 370));    // nothing just above it
  EXPECT_TRUE(dark(351 + 5, 376)); // the rim of a pad
  EXPECT_FALSE(dark(351, 382));
  // The cut's bar: 8 units past X(2) = 351 and X(3) = 376, 4 above and below Y(8) = -503.
  EXPECT_TRUE(dark(345, 503));
  EXPECT_TRUE(dark(382, 506));
  EXPECT_FALSE(dark(340, 503));
  EXPECT_FALSE(dark(360, 510));
  // Nothing from trace lines: the highlight is off.
  EXPECT_FALSE(dark(351, 100));
}

namespace {

// A board printed onto an A4 PDF with 15 mm margins, read back as a page image; origin is where
// the printable area starts on that image (one pixel per page unit).
struct PrintedPage {
  QImage image;
  QPoint origin;
};

PrintedPage PrintPdfPage(const Board &board) {
  TempFolder dir;
  const std::string pdf = dir / "page.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  PrintBoard(printer, board, PrintoutOptions{2.54f, true});
  const QPointF mm = printer.pageLayout().paintRect(QPageLayout::Millimeter).topLeft();
  return {PdfPageAt254Dpi(pdf), QPoint(qRound(mm.x() * 10), qRound(mm.y() * 10))};
}

bool Silver(QRgb c) {
  return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && std::abs(qRed(c) - 192) <= 3;
}

// Silver pixels from row y0 to row y1, both inclusive, in the columns where a line of page
// x = unitsX can fall (the renderer may place it a pixel to either side).
int SilverAt(const QImage &img, int unitsX, int y0, int y1) {
  int n = 0;
  for (int x = std::max(unitsX - 1, 0); x <= unitsX + 2 && x < img.width(); ++x)
    for (int y = std::max(y0, 0); y <= y1 && y < img.height(); ++y)
      n += Silver(img.pixel(x, y));
  return n;
}

} // namespace

// The trace lines start 30 mm above the printable area; as on a printer, the page shows them
// only from its top edge on.
TEST(PrintPage, PdfPageIsClippedToThePrintableArea) {
  Board board;
  board.InitBoard(10, 20);
  Put(board, ComponentKind::Wire, 2, 5, 3);
  const PrintedPage page = PrintPdfPage(board);
  ASSERT_FALSE(page.image.isNull());
  ASSERT_EQ(page.origin, QPoint(150, 150));
  int inMargin = 0;
  for (int x = 0; x < page.image.width(); x += 4)
    inMargin += SilverAt(page.image, x, 0, page.origin.y() - 2);
  EXPECT_EQ(inMargin, 0);
  // Trace 2's line at X(2) = 351 runs from the top of the printable area.
  EXPECT_GE(SilverAt(page.image, page.origin.x() + 351, page.origin.y(), page.origin.y() + 40), 40);
}

// Text written while the fill is still white, before the first component that is not a Label,
// covers what lies under its cell; later text does not.
TEST(PrintPage, EarlyLabelsSitOnOpaqueWhiteCellsOnThePdfPage) {
  Board board;
  board.InitBoard(10, 20);
  Put(board, ComponentKind::Label, 2, 2, 5, "WWWWWWWWWW");
  Put(board, ComponentKind::Wire, 3, 4, 19);
  Put(board, ComponentKind::Label, 2, 2, 10, "WWWWWWWWWW");
  const PrintedPage page = PrintPdfPage(board);
  ASSERT_FALSE(page.image.isNull());
  // The cells from Y(5) = -427 and Y(10) = -554 down, a little inside (the page image may be
  // a pixel off), no deeper than the text is high.
  const int h = 20;
  const int top = page.origin.y();
  for (int unitsX : {376, 402}) { // X(3), X(4)
    SCOPED_TRACE(unitsX);
    auto silver = [&](int y0, int y1) {
      return SilverAt(page.image, page.origin.x() + unitsX, y0, y1);
    };
    // The line is there above the cell, and under the first label's cell it is covered.
    EXPECT_GT(silver(top + 390, top + 420), 20);
    EXPECT_EQ(silver(top + 430, top + 427 + h), 0);
    // The label after the wire is transparent: the line shows between its letters.
    EXPECT_GT(silver(top + 557, top + 554 + h), 0);
  }
}
