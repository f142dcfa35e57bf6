// Every example netlist and every circuit of the tests' corpus, read by the circuit readers and
// laid out; each board obeys every rule, as the reference checker states them.
#include "circuit/circuit_reader.h"
#include "layout/auto_layout.h"
#include "layout/layout_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tarnwick::layout_test {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusNetlists() {
  std::vector<fs::path> files;
  const std::string data = TARNWICK_TEST_DATA;
  for (const std::string &dir :
       {data + "/circuits", data + "/../../examples", data + "/../../examples/kicad"})
    for (const auto &entry : fs::directory_iterator(dir)) {
      const std::string ext = entry.path().extension().string();
      if (ext == ".net" || ext == ".cir")
        files.push_back(entry.path());
    }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(LayoutCorpus, EveryCircuitIsLaidOutByEveryRuleOnAFewHolesAPart) {
  const std::vector<fs::path> files = CorpusNetlists();
  ASSERT_GE(files.size(), 18u);
  std::vector<double> perPart;
  for (const fs::path &file : files) {
    SCOPED_TRACE(file.filename().string());
    const circuit::Circuit c = circuit::ReadCircuitFile(file.string());
    const layout::LayoutResult r = layout::LayOut(c, {});
    ASSERT_TRUE(r.Found) << r.Why;
    EXPECT_EQ(ReferenceFault(c, r.Layout), "");
    EXPECT_EQ(CheckFault(c, r.Layout), "");
    // The cost is that of the board: its strips, and its rows unless it has fewer than ten.
    EXPECT_EQ(r.Cost.Traces, r.Layout.TraceCount);
    EXPECT_EQ(std::max(r.Cost.Rows, 10), r.Layout.PinCount);
    perPart.push_back(static_cast<double>(r.Cost.Holes()) / static_cast<double>(c.Parts.size()));
  }
  std::sort(perPart.begin(), perPart.end());
  const std::size_t n = perPart.size();
  EXPECT_LE((perPart[(n - 1) / 2] + perPart[n / 2]) / 2, 10.0); // the median
}

// The same circuit, seed and budget give the same board byte for byte; the seconds only cap.
TEST(LayoutCorpus, TheSameSeedGivesTheSameBoard) {
  const circuit::Circuit c =
      circuit::ReadCircuitFile(TARNWICK_TEST_DATA "/circuits/preamp_tl072.cir");
  const auto text = [&](std::uint64_t seed, double seconds) {
    layout::LayoutOptions options;
    options.Seed = seed;
    options.Seconds = seconds;
    const layout::LayoutResult r = layout::LayOut(c, options);
    Board board;
    BuildBoard(r.Layout, board);
    return FormatLayout(board, "preamp");
  };
  const std::string first = text(5, 60);
  EXPECT_EQ(text(5, 600), first);
  EXPECT_NE(text(6, 60), first);
}

} // namespace
} // namespace tarnwick::layout_test
