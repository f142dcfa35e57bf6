// How long the readers take over hostile files (the inputs of the hostile-input tests): each
// layout read from its file, then opened in the main window and painted; each netlist read and
// imported. Refused files count the time until the refusal.
#include "board/board_view.h"
#include "document/layout_file.h"
#include "netlist/netlist_import.h"
#include "support/hostile_inputs.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QImage>
#include <QPainter>
#include <QString>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <stdlib.h>

namespace {

namespace fs = std::filesystem;
using namespace tarnwick;

struct Files {
  fs::path dir;
  std::vector<std::pair<std::string, std::string>> layouts, netlists; // name, path
  Files() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-bench-hostile-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    for (const auto &in : test::HostileLayouts())
      layouts.emplace_back(in.Name, Write(in));
    for (const auto &in : test::HostileNetlists())
      netlists.emplace_back(in.Name, Write(in));
  }
  ~Files() { fs::remove_all(dir); }
  std::string Write(const test::HostileInput &in) const {
    const std::string path = (dir / in.Name).string();
    std::ofstream(path, std::ios::binary) << in.Bytes;
    return path;
  }
};

Files &Hostile() {
  static Files f;
  return f;
}

void BM_ReadHostileLayout(benchmark::State &state) {
  const auto &[name, path] = Hostile().layouts[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(name);
  for (auto _ : state) {
    try {
      benchmark::DoNotOptimize(ReadLayoutFile(path).Components.size());
    } catch (const TarnwickError &) {
    }
  }
}

// File > Open as the editor does it, then one paint of an 800 x 600 view.
void BM_OpenAndPaintHostileLayout(benchmark::State &state) {
  const auto &[name, path] = Hostile().layouts[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(name);
  QtPrompts prompts;
  TMainForm form(prompts);
  QImage image(800, 600, QImage::Format_RGB32);
  for (auto _ : state) {
    form.ResetDocument();
    try {
      form.LoadLayout(QString::fromStdString(path));
    } catch (const TarnwickError &) {
    }
    if (form.Board().ComponentCount() > 0)
      form.Board().SelectedComponent =
          &form.Board().GetComponent(form.Board().ComponentCount() - 1);
    QPainter p(&image);
    form.Board().PaintBoard(p, image.size());
  }
}

void BM_ImportHostileNetlist(benchmark::State &state) {
  const auto &[name, path] = Hostile().netlists[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(name);
  for (auto _ : state) {
    Board board;
    NetlistRandom random;
    try {
      ImportNetlistFile(path, board, random);
    } catch (const TarnwickError &) {
    }
    benchmark::DoNotOptimize(board.ComponentCount());
  }
}

BENCHMARK(BM_ReadHostileLayout)
    ->DenseRange(0, static_cast<int>(test::HostileLayouts().size()) - 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndPaintHostileLayout)
    ->DenseRange(0, static_cast<int>(test::HostileLayouts().size()) - 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportHostileNetlist)
    ->DenseRange(0, static_cast<int>(test::HostileNetlists().size()) - 1)
    ->Unit(benchmark::kMillisecond);

} // namespace
