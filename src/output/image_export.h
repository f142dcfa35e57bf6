#pragma once

#include "output/png_writer.h"

#include <QImage>
#include <QRect>
#include <QString>

namespace tarnwick {

class BoardView;

// The exported picture of a board: traces * 18 + 3 by pins * 15 + 55 pixels, exactly what the
// view paints (cut to the board's own size) with the caption in the strip below the labels.
QImage RenderBoardImage(BoardView &view, const QString &caption);

// Where the caption goes in an image of the given size: (8, H - 16, W - 4, H - 4).
QRect CaptionBox(QSize image);

// Encodes an image as an 8-bit RGB PNG and puts it in place of fileName (see WriteRgbPng).
void WriteBoardImage(const QImage &image, const QString &fileName,
                     const PngEncoding &encoding = ExportPngEncoding);

} // namespace tarnwick
