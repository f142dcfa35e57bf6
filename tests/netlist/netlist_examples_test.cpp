// The netlists shipped in examples/ import cleanly, and the example layout is what the first
// import of its netlist builds.
#include "netlist/netlist_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

const fs::path Examples = fs::path(TARNWICK_TEST_DATA) / ".." / ".." / "examples";

// The key=value lines of a layout file (keys as written, CR LF line ends).
std::map<std::string, std::string> LayoutKeys(const fs::path &file) {
  std::ifstream in(file, std::ios::binary);
  std::map<std::string, std::string> keys;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    const auto eq = line.find('=');
    if (eq != std::string::npos)
      keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return keys;
}

} // namespace

TEST(NetlistExamples, EveryExampleImportsCleanly) {
  int count = 0;
  for (const auto &entry : fs::directory_iterator(Examples)) {
    if (entry.path().extension() != ".net")
      continue;
    ++count;
    Board board;
    NetlistRandom random;
    EXPECT_NO_THROW(ImportNetlistFile(entry.path().string(), board, random)) << entry.path();
    EXPECT_GE(board.ComponentCount(), 5) << entry.path();
  }
  EXPECT_GE(count, 3);
}

TEST(NetlistExamples, ExampleLayoutIsTheFirstImportOfItsNetlist) {
  Board board;
  NetlistRandom random;
  ImportNetlistFile((Examples / "amplifier_stage.net").string(), board, random);
  auto keys = LayoutKeys(Examples / "amplifier_stage.twk");
  EXPECT_EQ(keys["TraceCount"], "60");
  EXPECT_EQ(keys["PinCount"], "30");
  ASSERT_EQ(keys["PartCount"], std::to_string(board.ComponentCount()));
  for (int t = 0; t < board.TraceCount(); ++t)
    EXPECT_EQ(keys["Trace" + std::to_string(t + 1) + ".Name"], board.GetTrace(t).Name) << t;
  for (int i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    const std::string k = "Komp" + std::to_string(i + 1) + ".";
    EXPECT_EQ(keys[k + "Name"], c.Name);
    EXPECT_EQ(keys[k + "StartTrace"], std::to_string(c.StartTrace));
    EXPECT_EQ(keys[k + "EndTrace"], std::to_string(c.EndTrace));
    EXPECT_EQ(keys[k + "StartPin"], std::to_string(c.StartPin));
    EXPECT_EQ(keys[k + "KompTyp"], std::to_string(c.Kind));
  }
}
