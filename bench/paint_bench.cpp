// A full repaint of the largest board the dialogs allow, next to a plain fill of the same image.
#include "board/board_view.h"
#include "largest_board.h"
#include "ui/application.h"
#include "ui/main_form.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using tarnwick::BoardView;

void Populate(BoardView &view) { view.SelectedComponent = bench::PopulateLargest(view, 42, "C"); }

QSize Surface() { return {100 * 18 + 3, 100 * 15 + 55}; }

void BM_PaintLargestBoard(benchmark::State &state) {
  BoardView view;
  view.setFont(tarnwick::ChooseBoardFont());
  Populate(view);
  QImage image(Surface(), QImage::Format_RGB32);
  // Repaints are measured; the first one, which prepares the board's pictures, is measured by
  // BM_FirstPaintLargestBoard.
  {
    QPainter p(&image);
    view.PaintBoard(p, image.size());
  }
  for (auto _ : state) {
    QPainter p(&image);
    view.PaintBoard(p, image.size());
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_PaintLargestBoard)->Unit(benchmark::kMillisecond);

// The first repaint of a freshly opened board, before any of its pictures are prepared: every
// name is drawn once into its sprite.
void BM_FirstPaintLargestBoard(benchmark::State &state) {
  QImage image(Surface(), QImage::Format_RGB32);
  for (auto _ : state) {
    state.PauseTiming();
    auto view = std::make_unique<BoardView>();
    view->setFont(tarnwick::ChooseBoardFont());
    Populate(*view);
    state.ResumeTiming();
    {
      QPainter p(&image);
      view->PaintBoard(p, image.size());
    }
    benchmark::DoNotOptimize(image.constBits());
    state.PauseTiming();
    view.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstPaintLargestBoard)->Unit(benchmark::kMillisecond);

// A repaint of the view as the window shows it, a 1600 x 1000 view of the largest board, at the
// zoom given, scrolled to the board's middle when zoomed: the board drawing plus, zoomed, its
// scaling into blocks.
void BM_ViewRepaint(benchmark::State &state) {
  BoardView view;
  view.setFont(tarnwick::ChooseBoardFont());
  view.resize(1600, 1000);
  Populate(view);
  const int zoom = static_cast<int>(state.range(0));
  view.ZoomAbout(zoom, QPointF(0, 0));
  view.SetScrollPos(view.ScrollLimit() / 2);
  QImage image(view.size(), QImage::Format_RGB32);
  view.render(&image); // prepares the board's pictures
  for (auto _ : state) {
    view.render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_ViewRepaint)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_FillSameImage(benchmark::State &state) {
  QImage image(Surface(), QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&image);
    p.fillRect(image.rect(), QColor(16, 16, 16));
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_FillSameImage)->Unit(benchmark::kMillisecond);

// The usual console report, followed by the ratio of a repaint to the plain fill, both from this
// run: the machine is shared, so only figures of one run compare.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run> &runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
      const std::string name = run.benchmark_name();
      if (run.run_type != Run::RT_Iteration)
        continue;
      if (name.rfind("BM_PaintLargestBoard", 0) == 0)
        paint_ = run.GetAdjustedCPUTime();
      else if (name.rfind("BM_FillSameImage", 0) == 0)
        fill_ = run.GetAdjustedCPUTime();
      else if (name == "BM_ViewRepaint/1")
        view1_ = run.GetAdjustedCPUTime();
      else if (name == "BM_ViewRepaint/4")
        view4_ = run.GetAdjustedCPUTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (paint_ > 0 && fill_ > 0)
      GetOutputStream() << "repaint / fill (CPU time, this run): " << paint_ / fill_ << "\n";
    if (view1_ > 0 && view4_ > 0)
      GetOutputStream() << "view repaint at 4x / at 1x (CPU time, this run): " << view4_ / view1_
                        << "\n";
  }

private:
  double paint_ = 0, fill_ = 0, view1_ = 0, view4_ = 0;
};

} // namespace

int main(int argc, char **argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  tarnwick::TApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
