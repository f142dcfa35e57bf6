// How long the readers take over hostile files (the inputs of the hostile-input tests): each
// layout read from its file, then opened in the main window and painted; each netlist read and
// imported; each hostile board listed as tarnwick-cli cuts, parts and nets list it. Refused files
// count the time until the refusal.
#include "board/board_view.h"
#include "document/layout_file.h"
#include "netlist/netlist_import.h"
#include "nets/net_listing.h"
#include "output/cut_list.h"
#include "output/parts_list.h"
#include "support/hostile_inputs.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QCoreApplication>
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
  std::vector<std::pair<std::string, std::string>> layouts, netlists, boards; // name, path
  Files() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-bench-hostile-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    for (const auto &in : test::HostileLayouts())
      layouts.emplace_back(in.Name, Write(in));
    for (const auto &in : test::HostileNetlists())
      netlists.emplace_back(in.Name, Write(in));
    for (const auto &in : test::HostileBoards())
      boards.emplace_back(in.Name, Write(in));
    if (boards.size() != test::HostileBoardCount)
      std::abort();
    layouts.insert(layouts.end(), boards.begin(), boards.end());
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

// File > Open in the shown window, until the window has painted the new layout: the list's
// rows and the view laid out, as the user waits for them.
void BM_OpenHostileBoardInTheWindow(benchmark::State &state) {
  const auto &[name, path] = Hostile().boards[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(name);
  QtPrompts prompts;
  TMainForm form(prompts);
  form.CreateDialogs();
  form.resize(1000, 700);
  form.show();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    form.ResetDocument();
    QCoreApplication::processEvents();
    try {
      form.OpenLayoutFile(QString::fromStdString(path));
    } catch (const TarnwickError &) {
    }
    QCoreApplication::processEvents();
  }
}

// tarnwick-cli cuts, parts and nets on a board read from its file (state.range(1): which).
void BM_ListHostileBoard(benchmark::State &state) {
  const auto &[name, path] = Hostile().boards[static_cast<std::size_t>(state.range(0))];
  static const char *const lists[] = {"cuts", "parts", "nets"};
  const char *list = lists[state.range(1)];
  state.SetLabel(name + " " + list);
  Board board;
  BuildBoard(ReadLayoutFile(path), board);
  for (auto _ : state) {
    try {
      if (state.range(1) == 0)
        benchmark::DoNotOptimize(FormatCutList(board, "x", BoardSide::Component).size());
      else if (state.range(1) == 1)
        benchmark::DoNotOptimize(FormatPartsList(board).size());
      else
        benchmark::DoNotOptimize(NetListing(board).size());
    } catch (const TarnwickError &) {
    }
  }
}

BENCHMARK(BM_ReadHostileLayout)
    ->DenseRange(0, static_cast<int>(test::HostileLayouts().size() + test::HostileBoardCount) - 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndPaintHostileLayout)
    ->DenseRange(0, static_cast<int>(test::HostileLayouts().size() + test::HostileBoardCount) - 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListHostileBoard)
    ->ArgsProduct({benchmark::CreateDenseRange(0, static_cast<int>(test::HostileBoardCount) - 1, 1),
                   {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenHostileBoardInTheWindow)
    ->DenseRange(0, static_cast<int>(test::HostileBoardCount) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_ImportHostileNetlist)
    ->DenseRange(0, static_cast<int>(test::HostileNetlists().size()) - 1)
    ->Unit(benchmark::kMillisecond);

} // namespace
