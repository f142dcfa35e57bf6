// A layout read from any bytes and painted as the editor shows it: flow bars on, the last part
// selected. Parts may lie anywhere in the 32-bit range, so this checks that painting them neither
// overflows nor takes time that grows with their distance from the board.
#include "board/board_painter.h"
#include "document/layout_file.h"
#include "fuzz_check.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tarnwick;

namespace {

QGuiApplication &App() {
  static int argc = 1;
  static char name[] = "paint_fuzz";
  static char *argv[] = {name, nullptr};
  static QGuiApplication *app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return new QGuiApplication(argc, argv);
  }();
  return *app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  App();
  static BoardPainter painter;
  LayoutData layout;
  try {
    layout = ParseLayout(std::string_view(reinterpret_cast<const char *>(data), size));
  } catch (const TarnwickError &) {
    return 0;
  }
  // Painting every strip of a huge board only repeats the same work; the parts are what varies.
  if (layout.TraceCount > 400)
    layout.TraceCount = 400;
  layout.TraceNames.resize(static_cast<std::size_t>(std::max(layout.TraceCount, 0)));
  Board board;
  BuildBoard(layout, board);
  board.SetShowFlow(true);
  if (board.ComponentCount() > 0)
    board.SelectedComponent = &board.GetComponent(board.ComponentCount() - 1);

  QImage image(320, 240, QImage::Format_RGB32);
  image.fill(Qt::magenta);
  {
    QPainter p(&image);
    painter.PaintBoard(p, board, QFont(QStringLiteral("Arial"), 8), image.size());
  }
  FUZZ_CHECK(image.pixel(0, 0) != qRgb(255, 0, 255)); // the background was painted
  return 0;
}
