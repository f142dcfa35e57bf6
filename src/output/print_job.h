#pragma once

#include "output/printout.h"

#include <QString>

class QPrinter;

namespace tarnwick {

class Board;

// The board is drawn 3 cm right of and below the top-left corner of the printable area.
inline constexpr int PrintOriginCm = 3;

// Fails with "There is no default printer currently selected" when the printer has nowhere to
// print to: no printer chosen, or file output without a file name.
void CheckPrinterReady(const QPrinter &printer);

// Prints the board on one page. The job is only started once the printer is known to be there;
// any failure while drawing aborts it and is passed on. PDF output goes to a temporary file
// that replaces the named file only when the page is complete.
void PrintBoard(QPrinter &printer, const Board &board, const PrintoutOptions &options);

// One page of the board as a PDF file, on the toolkit's default paper size.
void PrintBoardToPdf(const Board &board, const PrintoutOptions &options, const QString &fileName);

} // namespace tarnwick
