// The board as a PNG file: BoardView::SaveImage and the pieces it is made of.
#include "output/image_export.h"

#include "board/board_view.h"
#include "output/png_writer.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace tarnwick {
namespace {

// White bold text on black cells, one line, left-aligned and vertically centred in the box,
// clipped to it; an ampersand is an ordinary character.
void DrawCaption(QPainter &p, const QRect &box, const QString &caption) {
  if (caption.isEmpty() || box.isEmpty())
    return;
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSize(10);
  font.setBold(true);
  p.save();
  p.setClipRect(box);
  p.setFont(font);
  const QFontMetrics fm(font, p.device());
  const int y = box.top() + (box.height() - fm.height()) / 2;
  p.fillRect(box.left(), y, fm.horizontalAdvance(caption), fm.height(), Qt::black);
  p.setPen(Qt::white);
  p.drawText(box.left(), y + fm.ascent(), caption);
  p.restore();
}

} // namespace

QRect CaptionBox(QSize image) {
  // (0, H - 20, W, H) shrunk by 4 on every side, its left edge 4 further right.
  return QRect(QPoint(8, image.height() - 16), QPoint(image.width() - 5, image.height() - 5));
}

QImage RenderBoardImage(BoardView &view, const QString &caption) {
  const qint64 w = qint64{view.TraceCount()} * 18 + 3;
  const qint64 h = qint64{view.PinCount()} * 15 + 55;
  QImage image;
  if (w > 0 && h > 0 && w <= 32767 && h <= 32767)
    image = QImage(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB32);
  if (image.isNull())
    throw TarnwickError("Cannot make an image of " + std::to_string(w) + " x " + std::to_string(h) +
                        " pixels");
  QPainter p(&image);
  view.PaintBoard(p, image.size());
  DrawCaption(p, CaptionBox(image.size()), caption);
  return image;
}

void WriteBoardImage(const QImage &image, const QString &fileName, const PngEncoding &encoding) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  const auto width = static_cast<std::uint32_t>(rgb.width());
  WriteRgbPng(
      QFile::encodeName(fileName).toStdString(), width, static_cast<std::uint32_t>(rgb.height()),
      [&](std::uint32_t y, std::uint8_t *row) {
        const auto *src = reinterpret_cast<const QRgb *>(rgb.constScanLine(int(y)));
        for (std::uint32_t x = 0; x < width; ++x) {
          *row++ = static_cast<std::uint8_t>(qRed(src[x]));
          *row++ = static_cast<std::uint8_t>(qGreen(src[x]));
          *row++ = static_cast<std::uint8_t>(qBlue(src[x]));
        }
      },
      encoding);
}

void BoardView::SaveImage(const QString &fileName, const QString &caption) {
  WriteBoardImage(RenderBoardImage(*this, caption), fileName);
}

} // namespace tarnwick
