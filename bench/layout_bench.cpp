// The automatic layout measured on every example netlist and on the circuits of the tests'
// corpus: the board's size in holes and per part, its links and cut holes, the time, the area
// any board needs at least (the holes the parts' smallest shapes cover), and the board the
// import makes of the same netlist. Prints one table and its summary.
#include "circuit/circuit_reader.h"
#include "layout/auto_layout.h"
#include "layout/layout_cost.h"
#include "layout/layout_parts.h"
#include "netlist/netlist_import.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace tarnwick;
namespace fs = std::filesystem;

std::vector<fs::path> Netlists() {
  std::vector<fs::path> files;
  for (const char *dir :
       {TARNWICK_EXAMPLES, TARNWICK_EXAMPLES "/kicad", TARNWICK_TEST_DATA "/circuits"})
    for (const auto &entry : fs::directory_iterator(dir)) {
      const std::string ext = entry.path().extension().string();
      if (entry.is_regular_file() && (ext == ".net" || ext == ".cir" || ext == ".sp"))
        files.push_back(entry.path());
    }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadAll(const fs::path &file) {
  std::string text;
  if (std::FILE *f = std::fopen(file.string().c_str(), "rb")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
      text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

// The import's board: its strips by its rows, or nothing when it cannot read the netlist.
std::string ImportBoard(const fs::path &file) {
  try {
    if (circuit::FormatOf(ReadAll(file)) != circuit::NetlistFormat::Spice)
      return "(reads SPICE only)";
    Board board;
    NetlistRandom random;
    ImportNetlistFile(file.string(), board, random);
    return std::to_string(board.TraceCount()) + "x" + std::to_string(board.PinCount()) + " = " +
           std::to_string(std::int64_t{board.TraceCount()} * board.PinCount());
  } catch (const std::exception &) {
    return "(not read)";
  }
}

} // namespace

int main() {
  std::printf("%-34s %5s %9s %6s %5s %5s %5s %7s %6s  %s\n", "netlist", "parts", "board", "holes",
              "/part", "links", "cuts", "seconds", "bound", "import board");
  std::vector<double> perPart;
  std::int64_t links = 0, cuts = 0;
  double slowest = 0;
  for (const fs::path &file : Netlists()) {
    const std::string name =
        file.parent_path().filename().string() + "/" + file.filename().string();
    try {
      const circuit::Circuit c = circuit::ReadCircuitFile(file.string());
      const auto start = std::chrono::steady_clock::now();
      const layout::LayoutResult r = layout::LayOut(c, {});
      const double seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      const std::int64_t bound = layout::BoundsOf(layout::MakeProblem(c)).Holes;
      if (!r.Found) {
        std::printf("%-34s %5zu  not laid out: %s\n", name.c_str(), c.Parts.size(), r.Why.c_str());
        continue;
      }
      const double holesPerPart =
          static_cast<double>(r.Cost.Holes()) / static_cast<double>(c.Parts.size());
      perPart.push_back(holesPerPart);
      links += r.Cost.Links;
      cuts += r.Cost.CutHoles;
      slowest = std::max(slowest, seconds);
      const std::string board = std::to_string(r.Cost.Traces) + "x" + std::to_string(r.Cost.Rows);
      std::printf("%-34s %5zu %9s %6lld %5.1f %5lld %5lld %7.2f %6lld  %s\n", name.c_str(),
                  c.Parts.size(), board.c_str(), static_cast<long long>(r.Cost.Holes()),
                  holesPerPart, static_cast<long long>(r.Cost.Links),
                  static_cast<long long>(r.Cost.CutHoles), seconds, static_cast<long long>(bound),
                  ImportBoard(file).c_str());
    } catch (const std::exception &e) {
      std::printf("%-34s  error: %s\n", name.c_str(), e.what());
    }
  }
  if (perPart.empty())
    return 1;
  std::sort(perPart.begin(), perPart.end());
  const std::size_t n = perPart.size();
  const double median = n % 2 ? perPart[n / 2] : (perPart[n / 2 - 1] + perPart[n / 2]) / 2;
  std::printf("\n%zu circuits: holes per part median %.1f, worst %.1f; %lld links, %lld cut "
              "holes in all; slowest %.2f s\n",
              n, median, perPart.back(), static_cast<long long>(links),
              static_cast<long long>(cuts), slowest);
  return 0;
}
