#include "output/print_job.h"

#include "board/board.h"
#include "output/qt_page_canvas.h"
#include "document/replacing_file.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <memory>

namespace tarnwick {
namespace {

// While a PDF is being written the printer points at a temporary file beside the target.
class PdfRedirect {
public:
  explicit PdfRedirect(QPrinter &printer)
      : printer_(printer), target_(printer.outputFileName()),
        file_(QFile::encodeName(target_).toStdString()) {
    file_.CloseFd();
    printer_.setOutputFileName(QFile::decodeName(file_.TempPath().c_str()));
  }
  PdfRedirect(const PdfRedirect &) = delete;
  PdfRedirect &operator=(const PdfRedirect &) = delete;
  ~PdfRedirect() { printer_.setOutputFileName(target_); }

  [[noreturn]] void CannotWrite() const {
    throw TarnwickError("Cannot create file \"" +
                        FullFileName(QFile::encodeName(target_).toStdString()) + "\".");
  }
  void Commit() { file_.Commit(); }

private:
  QPrinter &printer_;
  QString target_;
  ReplacingFile file_;
};

} // namespace

void CheckPrinterReady(const QPrinter &printer) {
  const bool ready = printer.outputFormat() == QPrinter::PdfFormat
                         ? !printer.outputFileName().isEmpty()
                         : !printer.printerName().isEmpty() && printer.isValid();
  if (!ready)
    throw TarnwickError("There is no default printer currently selected");
}

void PrintBoard(QPrinter &printer, const Board &board, const PrintoutOptions &options) {
  CheckPrinterReady(printer);
  std::unique_ptr<PdfRedirect> pdf;
  if (printer.outputFormat() == QPrinter::PdfFormat)
    pdf = std::make_unique<PdfRedirect>(printer);
  QPainter painter;
  if (!painter.begin(&printer)) {
    if (pdf)
      pdf->CannotWrite();
    throw TarnwickError("The printer could not start the print job");
  }
  try {
    QtPageCanvas canvas(painter);
    DrawPrintout(canvas, board, options, PrintOriginCm, PrintOriginCm);
  } catch (...) {
    printer.abort();
    painter.end();
    throw;
  }
  if (!painter.end() || printer.printerState() == QPrinter::Error)
    throw TarnwickError("The print job failed");
  if (pdf)
    pdf->Commit();
}

void PrintBoardToPdf(const Board &board, const PrintoutOptions &options, const QString &fileName) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(fileName);
  PrintBoard(printer, board, options);
}

} // namespace tarnwick
