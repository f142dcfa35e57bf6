// The layouts shipped in examples/ open cleanly and are kept in the editor's own form; the
// hand-made ones (those not imported from a netlist of the same name) are also sound boards to
// solder: every lead in a hole of its own on copper, and none left alone on its strip.
#include "document/layout_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

const fs::path Examples = fs::path(TARNWICK_TEST_DATA) / ".." / ".." / "examples";

std::vector<fs::path> ExampleLayouts() {
  std::vector<fs::path> files;
  for (const auto &entry : fs::directory_iterator(Examples))
    if (entry.path().extension() == ".twk")
      files.push_back(entry.path());
  return files;
}

std::string FileBytes(const fs::path &file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool IsLead(const BoardComponent &c) {
  return !c.Is(ComponentKind::TraceCut) && !c.Is(ComponentKind::Label);
}

// The holes a component's leads sit in: both ends, or one for a single-hole part.
std::vector<std::pair<int, int>> Leads(const BoardComponent &c) {
  if (c.StartTrace == c.EndTrace)
    return {{c.StartTrace, c.StartPin}};
  return {{c.StartTrace, c.StartPin}, {c.EndTrace, c.StartPin}};
}

bool OnCut(const Board &board, int trace, int pin) {
  for (int i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    if (c.Is(ComponentKind::TraceCut) && c.StartPin == pin &&
        std::min(c.StartTrace, c.EndTrace) <= trace && trace <= std::max(c.StartTrace, c.EndTrace))
      return true;
  }
  return false;
}

// The piece of copper a hole belongs to: its trace, and how many cuts lie above it there.
std::pair<int, int> Segment(const Board &board, int trace, int pin) {
  int cutsAbove = 0;
  for (int p = 0; p < pin; ++p)
    cutsAbove += OnCut(board, trace, p);
  return {trace, cutsAbove};
}

} // namespace

TEST(ExampleLayouts, OpenCleanlyInTheEditorsOwnForm) {
  const auto files = ExampleLayouts();
  EXPECT_GE(files.size(), 3u);
  for (const fs::path &file : files) {
    SCOPED_TRACE(file.string());
    const LayoutData data = ReadLayoutFile(file.string());
    EXPECT_EQ(data.Dropped, 0);
    EXPECT_FALSE(data.Name.empty());
    Board board;
    BuildBoard(data, board);
    ASSERT_EQ(board.ComponentCount(), data.PartCount);
    // Saving it again changes nothing: the file is what the editor writes.
    EXPECT_EQ(FormatLayout(board, data.Name), FileBytes(file));
    for (int i = 0; i < board.ComponentCount(); ++i) {
      const BoardComponent &c = board.GetComponent(i);
      SCOPED_TRACE(c.Name);
      EXPECT_LE(c.Kind, 8);
      for (int end : {c.StartTrace, c.EndTrace}) {
        EXPECT_GE(end, 0);
        EXPECT_LT(end, board.TraceCount());
      }
      EXPECT_GE(c.StartPin, 0);
      EXPECT_LT(c.StartPin, board.PinCount());
      if (c.Is(ComponentKind::ElectrolyticRadial)) {
        EXPECT_GT(c.CapWidth, std::abs(c.StartTrace - c.EndTrace));
      }
    }
  }
}

TEST(ExampleLayouts, HandMadeOnesAreSoundToSolder) {
  int handMade = 0;
  for (const fs::path &file : ExampleLayouts()) {
    // An imported layout is a first placement, left for the user to tidy up.
    if (fs::exists(fs::path(file).replace_extension(".net")))
      continue;
    ++handMade;
    SCOPED_TRACE(file.string());
    Board board;
    BuildBoard(ReadLayoutFile(file.string()), board);
    std::set<std::pair<int, int>> used;
    std::map<std::pair<int, int>, int> leadsOnSegment;
    for (int i = 0; i < board.ComponentCount(); ++i) {
      const BoardComponent &c = board.GetComponent(i);
      if (!IsLead(c))
        continue;
      for (const auto &[trace, pin] : Leads(c)) {
        SCOPED_TRACE(c.Name + " at trace " + std::to_string(trace) + ", pin " +
                     std::to_string(pin));
        EXPECT_TRUE(used.insert({trace, pin}).second) << "two leads in one hole";
        EXPECT_FALSE(OnCut(board, trace, pin)) << "a lead where the copper is cut away";
        ++leadsOnSegment[Segment(board, trace, pin)];
      }
    }
    for (const auto &[segment, count] : leadsOnSegment)
      EXPECT_GE(count, 2) << "a lead alone on trace " << segment.first << " (piece "
                          << segment.second << "), connected to nothing";
  }
  EXPECT_GE(handMade, 2);
}
