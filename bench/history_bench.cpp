// Undo and redo of the largest step on the largest board, in the core and in the window with
// its component list, and what the history holds after 10,000 moves.
#include "document/document.h"
#include "editing/edit_operations.h"
#include "largest_board.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace {

using namespace tarnwick;

// The largest step: every one of the 2,000 components and every trace label rewritten.
void RewriteEverything(Document &doc) {
  Board &board = doc.GetBoard();
  doc.Apply("Rewrite", [&] {
    for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
      board.GetComponent(i).Name += "'";
      board.GetComponent(i).StartPin = 99 - board.GetComponent(i).StartPin;
    }
    for (std::int32_t t = 0; t < board.TraceCount(); ++t)
      board.GetTrace(t).Name += "'";
    return true;
  });
}

// One undo and one redo of the largest step per iteration; frame_share is the share of a
// 16 ms frame one playback takes.
void BM_UndoRedoLargestStepCore(benchmark::State &state) {
  BoardView view;
  bench::PopulateLargest(view, 3, "P");
  Document doc(view);
  RewriteEverything(doc);
  for (auto _ : state) {
    doc.Undo();
    doc.Redo();
  }
  state.counters["frame_share"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 2 * 0.016,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UndoRedoLargestStepCore)->Unit(benchmark::kMillisecond);

// The same in the window: the list brought in line and the touched rows selected.
void BM_UndoRedoLargestStepWindow(benchmark::State &state) {
  QtPrompts prompts;
  TMainForm form(prompts);
  bench::PopulateLargest(form.Board(), 3, "P");
  form.Doc().Reset(false);
  RewriteEverything(form.Doc());
  for (auto _ : state) {
    form.Undo1Click();
    form.Redo1Click();
  }
  state.counters["frame_share"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 2 * 0.016,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UndoRedoLargestStepWindow)->Unit(benchmark::kMillisecond);

// 10,000 one-component moves on the largest board: the steps kept and the bytes they hold.
void BM_HistoryAfter10000Moves(benchmark::State &state) {
  for (auto _ : state) {
    state.PauseTiming();
    BoardView view;
    BoardComponent *c = bench::PopulateLargest(view, 5, "M");
    Document doc(view);
    state.ResumeTiming();
    for (int i = 0; i < 10000; ++i)
      doc.Apply("Move", [&] {
        return MoveComponents(view, {c}, i % 2 ? MoveDirection::Down : MoveDirection::Up);
      });
    state.counters["steps"] = static_cast<double>(doc.StepCount());
    state.counters["history_KiB"] = static_cast<double>(doc.HistoryBytes()) / 1024;
  }
}
BENCHMARK(BM_HistoryAfter10000Moves)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
