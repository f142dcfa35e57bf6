// The recovery copy of the largest board the dialogs allow, as the editor writes it in idle
// time: the layout text, then the file written beside its target, flushed and renamed. Compare
// with BM_PaintLargestBoard, one full repaint of the same board, in the same run.
#include "board/board_view.h"
#include "document/layout_file.h"
#include "document/recovery_store.h"
#include "largest_board.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Folder {
  fs::path path;
  Folder() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-bench-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~Folder() { fs::remove_all(path); }
};

void BM_RecoveryTextLargestBoard(benchmark::State &state) {
  tarnwick::BoardView view;
  bench::PopulateLargest(view, 42, "C");
  for (auto _ : state)
    benchmark::DoNotOptimize(tarnwick::FormatLayout(view, "Largest board"));
}
BENCHMARK(BM_RecoveryTextLargestBoard)->Unit(benchmark::kMillisecond);

void BM_RecoveryCopyLargestBoard(benchmark::State &state) {
  tarnwick::BoardView view;
  bench::PopulateLargest(view, 42, "C");
  Folder folder;
  tarnwick::RecoveryStore store((folder.path / "recovery").string());
  for (auto _ : state)
    store.Write(tarnwick::FormatLayout(view, "Largest board"), "/home/user/largest.twk");
  store.Remove();
}
BENCHMARK(BM_RecoveryCopyLargestBoard)->Unit(benchmark::kMillisecond);

} // namespace
