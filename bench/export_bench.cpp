// PNG export of the largest board (100 x 100, 2,000 components): the whole export, and its
// two halves, painting the image and encoding it, to show where the time goes.
#include "board/board_view.h"
#include "output/image_export.h"
#include "ui/main_form.h"

#include <QDir>
#include <QImage>
#include <benchmark/benchmark.h>
#include <random>

namespace {

using tarnwick::BoardComponent;
using tarnwick::BoardView;

void PopulateLargest(BoardView &view) {
  view.setFont(tarnwick::ChooseBoardFont());
  view.InitBoard(100, 40);
  view.Resize(100, 100);
  for (int t = 0; t < view.TraceCount(); ++t)
    view.GetTrace(t).Name = "N" + std::to_string(t);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> trace(0, 99), pin(0, 99), len(0, 5);
  for (int i = 0; i < 2000; ++i) {
    auto c = std::make_unique<BoardComponent>();
    c->Kind = static_cast<std::uint8_t>(i % 9);
    c->StartTrace = trace(rng);
    c->EndTrace = std::min(99, c->StartTrace + len(rng));
    c->StartPin = pin(rng);
    c->CapWidth = std::abs(c->EndTrace - c->StartTrace) + 1;
    c->Name = "P" + std::to_string(i);
    view.AddComponent(std::move(c));
  }
  view.HighlightTrace = 10;
  view.HighlightEndTrace = 30;
  view.HighlightPin = 50;
  view.SetShowFlow(true);
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
