#include "output/print_job.h"

#include "board/board.h"
#include "document/replacing_file.h"
#include "output/qt_page_canvas.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

namespace tarnwick {
namespace {

// The toolkit's PDF writer does not report a write that failed (a full disk): the job ends as if
// all went well with bytes missing from the file. A complete file ends with "startxref", the
// offset of its cross-reference table, and "%%EOF"; in a file that lost bytes on the way the
// end is missing or the table is not where the offset says.
bool PdfComplete(const std::string &path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
  if (size <= 0)
    return false;
  const std::streamoff tailSize = std::min<std::streamoff>(size, 64);
  std::string tail(static_cast<std::size_t>(tailSize), '\0');
  in.seekg(size - tailSize);
  in.read(tail.data(), tailSize);
  const auto key = tail.rfind("startxref");
  if (!in || key == std::string::npos)
    return false;
  std::istringstream end(tail.substr(key + 9));
  long long offset = -1;
  std::string eof, more;
  if (!(end >> offset >> eof) || eof != "%%EOF" || (end >> more) || offset < 0 || offset > size - 4)
    return false;
  std::string xref(4, '\0');
  in.seekg(offset);
  in.read(xref.data(), 4);
  return in && xref == "xref";
}

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
  void Commit() {
    if (!PdfComplete(file_.TempPath()))
      throw TarnwickError("Stream write error");
    file_.Commit();
  }

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
  // A printer cannot mark the paper outside its printable area; a PDF page could, so the page
  // is held to that area too (the trace lines start above it).
  painter.setClipRect(
      QRect(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size()));
  try {
    QtPageCanvas canvas(painter);
    DrawPrintedPage(canvas, board, options, PrintOriginCm, PrintOriginCm);
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
