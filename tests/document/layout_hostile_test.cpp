// Hostile layout files read through the real file reader: each opens with what it says or is
// refused with a message naming it, and the reader never holds more than a bounded amount of
// memory, however long its lines or however many its keys.
#include "document/layout_file.h"
#include "support/heap_meter.h"
#include "support/hostile_inputs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <stdlib.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using test::HostileLayouts;

struct TempDir {
  fs::path path;
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-hostile-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path); }
};

struct Outcome {
  std::optional<LayoutData> Data;
  std::string Error;
  std::size_t PeakHeap = 0;
};

Outcome Open(const std::string &path) {
  Outcome o;
  o.PeakHeap = test::PeakHeapDuring([&] {
    try {
      o.Data = ReadLayoutFile(path);
    } catch (const TarnwickError &e) {
      o.Error = e.what();
    }
  });
  return o;
}

std::string Times(const std::string &piece, std::size_t n) { return test::Repeat(piece, n); }

constexpr std::size_t MB = 1'000'000;

// What each file must give, and the most heap its reading may take. The bounds are the reader's
// fixed buffer and per-line limits plus what the file lawfully holds, with room to spare; a
// reader that kept whole lines would need 10 MB and more.
struct Expectation {
  std::size_t MaxHeap;
  std::function<void(const Outcome &, const std::string &path)> Check;
};

void Refused(const Outcome &o, const std::string &expected) {
  EXPECT_FALSE(o.Data.has_value());
  EXPECT_EQ(o.Error, expected);
}

const LayoutData &Opened(const Outcome &o) {
  EXPECT_EQ(o.Error, "");
  static const LayoutData none;
  return o.Data ? *o.Data : none;
}

// Files of odd bytes, long lines and repeated keys.
void ExpectBytes(std::map<std::string, Expectation> &e) {
  // Without a [Schematic] section the file is not a layout.
  e["garbage.twk"] = {MB, [](const Outcome &o, const std::string &path) {
                        Refused(o, path + " is not a Tarnwick layout: it has no [Schematic] "
                                          "section");
                      }};
  e["garbage_in_section.twk"] = {MB, [](const Outcome &o, const std::string &path) {
                                   if (!o.Data) {
                                     EXPECT_EQ(o.Error.rfind("Unable to open " + path, 0), 0u);
                                   }
                                 }};
  // A NUL is an ordinary byte: kept in a text, not a digit, not part of a known key.
  e["nul_bytes.twk"] = {MB, [](const Outcome &o, const std::string &) {
                          const LayoutData &d = Opened(o);
                          EXPECT_EQ(d.Name, std::string("ab\0cd", 5));
                          EXPECT_EQ(d.TraceCount, 40);
                          EXPECT_EQ(d.PinCount, 12);
                        }};
  e["huge_lines.twk"] = {MB, [](const Outcome &o, const std::string &) {
                           const LayoutData &d = Opened(o);
                           EXPECT_EQ(d.Name, std::string(MaxLayoutTextLength, 'v'));
                           EXPECT_EQ(d.TraceCount, 7);
                           EXPECT_EQ(d.PinCount, 20);
                         }};
  // The first of repeated keys counts, also when a later one would be refused.
  e["duplicate_keys.twk"] = {MB, [](const Outcome &o, const std::string &) {
                               const LayoutData &d = Opened(o);
                               EXPECT_EQ(d.TraceCount, 3);
                               EXPECT_EQ(d.Name, "again");
                               ASSERT_EQ(d.Components.size(), 1u);
                               EXPECT_EQ(d.Components[0].StartTrace, 2);
                             }};
  // Texts are cut to their first 2047 characters (bytes that are not UTF-8 read as Latin-1); a
  // number longer than any number is unparsable, so the entry without a row is dropped.
  e["long_values.twk"] = {MB, [](const Outcome &o, const std::string &) {
                            const LayoutData &d = Opened(o);
                            EXPECT_EQ(d.Name, Times("\xC3\xA4", MaxLayoutTextLength));
                            EXPECT_EQ(d.TraceNames.at(0), std::string(MaxLayoutTextLength, 'n'));
                            EXPECT_EQ(d.PinCount, 20);
                            EXPECT_TRUE(d.Components.empty());
                            EXPECT_EQ(d.Dropped, 1);
                          }};
}

// Files of many keys and of counts and positions at and beyond the limits.
void ExpectCounts(std::map<std::string, Expectation> &e) {
  // 100,000 entries of each kind: every component is kept (they are within PartCount), the
  // labels beyond TraceCount and the unknown keys are not.
  e["many_keys.twk"] = {40 * MB, [](const Outcome &o, const std::string &) {
                          const LayoutData &d = Opened(o);
                          EXPECT_EQ(d.TraceNames.size(), 10u);
                          EXPECT_EQ(d.TraceNames.back(), "t10");
                          ASSERT_EQ(d.Components.size(), 100'000u);
                          EXPECT_EQ(d.Components.back().StartPin, 0);
                          EXPECT_EQ(d.Dropped, 0);
                        }};
  e["negative_counts.twk"] = {MB, [](const Outcome &o, const std::string &) {
                                const LayoutData &d = Opened(o);
                                EXPECT_TRUE(d.TraceNames.empty());
                                EXPECT_TRUE(d.Components.empty());
                                EXPECT_EQ(d.Dropped, 0);
                                Board board;
                                BuildBoard(d, board);
                                EXPECT_EQ(board.TraceCount(), 0);
                                EXPECT_EQ(board.PinCount(), 10);
                              }};
  // Positions are taken as stored, however far off the board; the board's own size is clamped.
  e["huge_pin_count.twk"] = {MB, [](const Outcome &o, const std::string &) {
                               const LayoutData &d = Opened(o);
                               EXPECT_EQ(d.TraceCount, 40);
                               EXPECT_EQ(d.PinCount, 2147483647);
                               ASSERT_EQ(d.Components.size(), 4u);
                               EXPECT_EQ(d.Components[0].StartTrace, 2147483647);
                               EXPECT_EQ(d.Components[1].CapWidth, 2147483647);
                               EXPECT_EQ(d.Components[2].EndTrace, 2000000000);
                               Board board;
                               BuildBoard(d, board);
                               EXPECT_EQ(board.PinCount(), 40);
                             }};
  // The reader keeps a slot for every entry number up to the highest seen (within the limits),
  // so this tiny file costs the most memory of all; the limits keep it bounded.
  e["far_entries.twk"] = {100 * MB, [](const Outcome &o, const std::string &) {
                            const LayoutData &d = Opened(o);
                            EXPECT_EQ(d.TraceNames.size(), 40u);
                            EXPECT_TRUE(d.Components.empty());
                          }};
  e["huge_trace_count.twk"] = {MB, [](const Outcome &o, const std::string &path) {
                                 Refused(o, "Unable to open " + path +
                                                ": TraceCount 2147483647 is above the limit of "
                                                "10000");
                               }};
  e["huge_part_count.twk"] = {MB, [](const Outcome &o, const std::string &path) {
                                Refused(o, "Unable to open " + path +
                                               ": PartCount 2147483647 is above the limit of "
                                               "1000000");
                              }};
}

std::map<std::string, Expectation> Expectations() {
  std::map<std::string, Expectation> e;
  ExpectBytes(e);
  ExpectCounts(e);
  return e;
}

TEST(LayoutHostile, EveryFileOpensOrIsRefusedInBoundedMemory) {
  TempDir dir;
  const auto expectations = Expectations();
  std::size_t checked = 0;
  for (const test::HostileInput &input : HostileLayouts()) {
    SCOPED_TRACE(input.Name);
    const std::string path = (dir.path / input.Name).string();
    std::ofstream(path, std::ios::binary) << input.Bytes;
    const Outcome o = Open(path);
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
