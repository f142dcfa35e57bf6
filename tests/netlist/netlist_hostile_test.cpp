// Hostile netlists read from real files and imported onto a board: each builds its layout or
// stops with a message, and the import never holds more than a bounded amount of memory.
#include "netlist/netlist_import.h"
#include "support/heap_meter.h"
#include "support/hostile_inputs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <stdlib.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  fs::path path;
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-hostile-net-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path); }
};

struct Outcome {
  std::string Error;
  std::size_t PeakHeap = 0;
  int Placed = 0;
  int Sockets = 0;
  std::string Label1; // the label of trace 1, the first node's trace
};

Outcome Import(const std::string &path) {
  Outcome o;
  Board board;
  NetlistRandom random;
  o.PeakHeap = test::PeakHeapDuring([&] {
    try {
      ImportNetlistFile(path, board, random);
    } catch (const TarnwickError &e) {
      o.Error = e.what();
    }
  });
  o.Placed = board.ComponentCount();
  for (int i = 0; i < board.ComponentCount(); ++i)
    o.Sockets += board.GetComponent(i).Is(ComponentKind::Socket);
  if (board.TraceCount() > 1)
    o.Label1 = board.GetTrace(1).Name;
  return o;
}

constexpr std::size_t MB = 1'000'000;

struct Expectation {
  std::size_t MaxHeap;
  std::function<void(const Outcome &, const std::string &path)> Check;
};

std::map<std::string, Expectation> Expectations() {
  std::map<std::string, Expectation> e;
  // Random bytes hold lines that start like a part; the first that is too short to be one stops
  // the import, with the line shown in printable characters.
  e["garbage.net"] = {MB, [](const Outcome &o, const std::string &) {
                        EXPECT_EQ(o.Error.rfind("Assertion failure: line ", 0), 0u) << o.Error;
                        for (char c : o.Error)
                          EXPECT_FALSE(c >= 0 && c < 0x20);
                      }};
  // NUL is an ordinary character of a node name; lines starting with one are not parts.
  e["nul_bytes.net"] = {MB, [](const Outcome &o, const std::string &) {
                          EXPECT_EQ(o.Error, "");
                          EXPECT_EQ(o.Sockets, 3);
                          EXPECT_EQ(o.Label1, std::string("a\0", 2));
                        }};
  e["huge_comment.net"] = {MB, [](const Outcome &o, const std::string &) {
                             EXPECT_EQ(o.Error, "");
                             EXPECT_EQ(o.Placed, 1);
                             EXPECT_EQ(o.Label1, "a");
                           }};
  // Refused while reading: the board is not even set up.
  e["huge_element_line.net"] = {MB, [](const Outcome &o, const std::string &path) {
                                  EXPECT_EQ(o.Error, "Line 1 of " + path +
                                                         " is longer than 4096 characters; "
                                                         "nothing was imported.");
                                  EXPECT_EQ(o.Placed, 0);
                                }};
  e["lines_100000_parts.net"] = {4 * MB, [](const Outcome &o, const std::string &path) {
                                   EXPECT_EQ(o.Error, path + " has more than 10000 parts; "
                                                             "nothing was imported.");
                                   EXPECT_EQ(o.Placed, 0);
                                 }};
  e["lines_100000_comments.net"] = {MB, [](const Outcome &o, const std::string &) {
                                      EXPECT_EQ(o.Error, "");
                                      EXPECT_EQ(o.Placed, 6); // and a wire between grounds
                                      EXPECT_EQ(o.Sockets, 3);
                                    }};
  // A reference may come again: every line is a part of its own.
  e["duplicate_parts.net"] = {8 * MB, [](const Outcome &o, const std::string &) {
                                EXPECT_EQ(o.Error, "");
                                EXPECT_EQ(o.Sockets, 9);
                                EXPECT_GE(o.Placed, 9 + 9003);
                              }};
  e["long_values.net"] = {MB, [](const Outcome &o, const std::string &path) {
                            EXPECT_EQ(o.Error, "Line 1 of " + path +
                                                   " is longer than 4096 characters; nothing "
                                                   "was imported.");
                          }};
  e["long_node_names.net"] = {MB, [](const Outcome &o, const std::string &) {
                                EXPECT_EQ(o.Error, "");
                                EXPECT_EQ(o.Placed, 1);
                                EXPECT_EQ(o.Label1, std::string(2000, 'a'));
                              }};
  return e;
}

TEST(NetlistHostile, EveryFileImportsOrIsRefusedInBoundedMemory) {
  TempDir dir;
  const auto expectations = Expectations();
  std::size_t checked = 0;
  for (const test::HostileInput &input : test::HostileNetlists()) {
    SCOPED_TRACE(input.Name);
    const std::string path = (dir.path / input.Name).string();
    std::ofstream(path, std::ios::binary) << input.Bytes;
    const Outcome o = Import(path);
    const auto it = expectations.find(input.Name);
    ASSERT_NE(it, expectations.end()) << "no expectation";
    it->second.Check(o, path);
    EXPECT_LE(o.PeakHeap, it->second.MaxHeap);
    ++checked;
  }
  EXPECT_EQ(checked, expectations.size());
}

} // namespace
} // namespace tarnwick
