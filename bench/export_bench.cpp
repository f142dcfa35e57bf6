// PNG export of the largest board (100 x 100, 2,000 components): the whole export, and its
// two halves, painting the image and encoding it, to show where the time goes; then the
// encoder's settings side by side, with the file each one writes ("bytes"), which is how the
// export's settings were chosen.
#include "board/board_view.h"
#include "document/layout_file.h"
#include "largest_board.h"
#include "output/image_export.h"
#include "ui/main_form.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

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

using tarnwick::PngEncoding;
using tarnwick::PngFilter;
using tarnwick::PngStrategy;

// The whole export as it was (libpng's adaptive filters) against the export now.
void BM_ExportLargestBoardWith(benchmark::State &state, PngEncoding encoding) {
  BoardView view;
  PopulateLargest(view);
  for (auto _ : state)
    tarnwick::WriteBoardImage(tarnwick::RenderBoardImage(view, Caption), Target(), encoding);
  state.counters["bytes"] = double(QFileInfo(Target()).size());
  QFile::remove(Target());
}
BENCHMARK_CAPTURE(BM_ExportLargestBoardWith, before_adaptive, tarnwick::AdaptivePngEncoding)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportLargestBoardWith, now, tarnwick::ExportPngEncoding)
    ->Unit(benchmark::kMillisecond);

// The example layouts' images, which the export must never make larger than before.
std::vector<QImage> ExampleImages() {
  std::vector<QImage> images;
  for (const char *name : {"led_flasher_555", "regulator_5v", "amplifier_stage"}) {
    const tarnwick::LayoutData data =
        tarnwick::ReadLayoutFile(std::string(TARNWICK_EXAMPLES) + "/" + name + ".twk");
    BoardView view;
    view.setFont(tarnwick::ChooseBoardFont());
    tarnwick::BuildBoard(data, view);
    images.push_back(tarnwick::RenderBoardImage(view, QString::fromStdString(data.Name)));
  }
  return images;
}

double FileSize(const QImage &image, const PngEncoding &encoding) {
  tarnwick::WriteBoardImage(image, Target(), encoding);
  return double(QFileInfo(Target()).size());
}

// Encoding alone under the candidate settings: "bytes" for the largest board, and
// "examples_max" the largest ratio of an example's file to its file with adaptive filters
// (above 1: some example grows, and the setting is out).
void BM_EncodeWith(benchmark::State &state, PngEncoding encoding) {
  BoardView view;
  PopulateLargest(view);
  const QImage image = tarnwick::RenderBoardImage(view, Caption);
  for (auto _ : state)
    tarnwick::WriteBoardImage(image, Target(), encoding);
  state.counters["bytes"] = double(QFileInfo(Target()).size());
  double worst = 0;
  for (const QImage &example : ExampleImages())
    worst = std::max(worst, FileSize(example, encoding) /
                                FileSize(example, tarnwick::AdaptivePngEncoding));
  state.counters["examples_max"] = worst;
  QFile::remove(Target());
}
#define ENCODE_WITH(name, filter, level, strategy)                                                 \
  BENCHMARK_CAPTURE(BM_EncodeWith, name, PngEncoding{PngFilter::filter, level, strategy})          \
      ->Unit(benchmark::kMillisecond)
ENCODE_WITH(adaptive, Adaptive, -1, PngStrategy::Library);
ENCODE_WITH(none, None, -1, PngStrategy::Library);
ENCODE_WITH(sub, Sub, -1, PngStrategy::Library);
ENCODE_WITH(up, Up, -1, PngStrategy::Library);
ENCODE_WITH(average, Average, -1, PngStrategy::Library);
ENCODE_WITH(paeth, Paeth, -1, PngStrategy::Library);
ENCODE_WITH(up_default_strategy, Up, -1, PngStrategy::Default);
ENCODE_WITH(up_rle, Up, -1, PngStrategy::Rle);
ENCODE_WITH(up_level3, Up, 3, PngStrategy::Library);
ENCODE_WITH(up_level7, Up, 7, PngStrategy::Library);
ENCODE_WITH(up_level8, Up, 8, PngStrategy::Library);
ENCODE_WITH(up_level9, Up, 9, PngStrategy::Library);
ENCODE_WITH(up_default_strategy_level8, Up, 8, PngStrategy::Default);
ENCODE_WITH(paeth_level8, Paeth, 8, PngStrategy::Library);
ENCODE_WITH(adaptive_level3, Adaptive, 3, PngStrategy::Library);
#undef ENCODE_WITH

} // namespace
