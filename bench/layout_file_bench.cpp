// Opening and saving a large layout (100 traces, 100,000 components), next to a plain read
// and write of the same bytes.
#include "board/board.h"
#include "document/layout_file.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace tarnwick;

constexpr int Traces = 100;
constexpr int Components = 100000;

void Populate(Board &board) {
  board.InitBoard(Traces, 40);
  for (int t = 0; t < Traces; ++t)
    board.GetTrace(t).Name = "NET" + std::to_string(t);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> trace(0, Traces - 1), pin(0, 39), kind(0, 8);
  for (int i = 0; i < Components; ++i) {
    auto c = std::make_unique<BoardComponent>();
    c->Name = "R" + std::to_string(i + 1);
    c->Kind = static_cast<std::uint8_t>(kind(rng));
    c->StartTrace = trace(rng);
    c->EndTrace = trace(rng);
    c->StartPin = pin(rng);
    c->CapWidth = c->Is(ComponentKind::ElectrolyticRadial) ? 2 : 0;
    board.AddComponent(std::move(c));
  }
}

// One folder and one large layout file for the whole run.
struct Fixture {
  fs::path dir;
  std::string file;
  std::string bytes;
  Board board;
  Fixture() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-bench-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    file = (dir / "large.twk").string();
    Populate(board);
    bytes = FormatLayout(board, "Large board");
    WriteLayoutFile(file, board, "Large board");
  }
  ~Fixture() { fs::remove_all(dir); }
};

Fixture &Large() {
  static Fixture f;
  return f;
}

void SetBytes(benchmark::State &state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(Large().bytes.size()));
}

void BM_LoadLayout(benchmark::State &state) {
  Fixture &f = Large();
  for (auto _ : state) {
    Board board;
    BuildBoard(ReadLayoutFile(f.file), board);
    benchmark::DoNotOptimize(board.ComponentCount());
  }
  SetBytes(state);
}
BENCHMARK(BM_LoadLayout)->Unit(benchmark::kMillisecond);

void BM_PlainRead(benchmark::State &state) {
  Fixture &f = Large();
  std::string buffer(f.bytes.size(), '\0');
  for (auto _ : state) {
    std::FILE *in = std::fopen(f.file.c_str(), "rb");
    const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
    std::fclose(in);
    benchmark::DoNotOptimize(n);
  }
  SetBytes(state);
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void BM_SaveLayout(benchmark::State &state) {
  Fixture &f = Large();
  const std::string out = (f.dir / "saved.twk").string();
  for (auto _ : state)
    WriteLayoutFile(out, f.board, "Large board");
  SetBytes(state);
}
BENCHMARK(BM_SaveLayout)->Unit(benchmark::kMillisecond);

// The same bytes written straight into the file, without a flush to disk.
void BM_PlainWrite(benchmark::State &state) {
  Fixture &f = Large();
  const std::string out = (f.dir / "plain.twk").string();
  for (auto _ : state) {
    std::FILE *o = std::fopen(out.c_str(), "wb");
    std::fwrite(f.bytes.data(), 1, f.bytes.size(), o);
    std::fclose(o);
  }
  SetBytes(state);
}
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond);

// The same bytes written and flushed to disk, as a safe save must.
void BM_PlainWriteFlushed(benchmark::State &state) {
  Fixture &f = Large();
  const std::string out = (f.dir / "flushed.twk").string();
  for (auto _ : state) {
    std::FILE *o = std::fopen(out.c_str(), "wb");
    std::fwrite(f.bytes.data(), 1, f.bytes.size(), o);
    std::fflush(o);
    fsync(fileno(o));
    std::fclose(o);
  }
  SetBytes(state);
}
BENCHMARK(BM_PlainWriteFlushed)->Unit(benchmark::kMillisecond);

// File > Open in the editor: the board, the name box and 100,000 component list rows.
void BM_OpenInMainWindow(benchmark::State &state) {
  Fixture &f = Large();
  QtPrompts prompts;
  TMainForm form(prompts);
  for (auto _ : state) {
    form.ResetDocument();
    form.LoadLayout(QString::fromStdString(f.file));
    benchmark::DoNotOptimize(form.ListView1->topLevelItemCount());
  }
  SetBytes(state);
}
BENCHMARK(BM_OpenInMainWindow)->Unit(benchmark::kMillisecond);

} // namespace
