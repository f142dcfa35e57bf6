// PNG export of the largest board (100 x 100, 2,000 components): the whole export, and its
// two halves, painting the image and encoding it, to show where the time goes.
#include "board/board_view.h"
#include "largest_board.h"
#include "output/image_export.h"
#include "ui/main_form.h"

#include <QDir>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

using tarnwick::BoardView;

void PopulateLargest(BoardView &view) {
  view.setFont(tarnwick::ChooseBoardFont());
  bench::PopulateLargest(view, 7, "P");
}

const QString Caption = QStringLiteral("Largest board");

QString Target() { return QDir::temp().filePath(QStringLiteral("tarnwick-bench-export.png")); }

void BM_ExportLargestBoard(benchmark::State &state) {
  BoardView view;
  PopulateLargest(view);
  for (auto _ : state)
    view.SaveImage(Target(), Caption);
  QFile::remove(Target());
}
BENCHMARK(BM_ExportLargestBoard)->Unit(benchmark::kMillisecond);

void BM_ExportPaintOnly(benchmark::State &state) {
  BoardView view;
  PopulateLargest(view);
  for (auto _ : state) {
    QImage image = tarnwick::RenderBoardImage(view, Caption);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_ExportPaintOnly)->Unit(benchmark::kMillisecond);

void BM_ExportEncodeOnly(benchmark::State &state) {
  BoardView view;
  PopulateLargest(view);
  const QImage image = tarnwick::RenderBoardImage(view, Caption);
  for (auto _ : state)
    tarnwick::WriteBoardImage(image, Target());
  QFile::remove(Target());
}
BENCHMARK(BM_ExportEncodeOnly)->Unit(benchmark::kMillisecond);

} // namespace
