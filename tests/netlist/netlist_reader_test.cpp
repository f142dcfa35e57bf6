#include "netlist/netlist_import.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

using test::TempDir;

std::vector<std::string> Texts(const NetlistLines &lines) {
  std::vector<std::string> out;
  for (const auto &l : lines)
    out.push_back(l.Text);
  return out;
}

std::vector<std::int64_t> Numbers(const NetlistLines &lines) {
  std::vector<std::int64_t> out;
  for (const auto &l : lines)
    out.push_back(l.Number);
  return out;
}

using Strings = std::vector<std::string>;

} // namespace

TEST(NetlistReader, KeepsElementLinesLowerCasedInFileOrder) {
  const NetlistLines lines = ReadNetlistText("* Title\r\n"
                                             "Q1 OUT IN 0 BC547\r\n"
                                             ".model BC547 NPN\n"
                                             "\n"
                                             " R9 indented 0 1k\n"
                                             "\tr8 tabbed 0 1k\n"
                                             "V1 vcc 0 9\n"
                                             "C1 a b 1U\n"
                                             "d1 a b 1n4148\n"
                                             "J1 d g s 2N3819\n"
                                             "x1 a b c opamp\n"
                                             "rLast a b 1K",
                                             "t.net");
  EXPECT_EQ(Texts(lines), (Strings{"q1 out in 0 bc547", "c1 a b 1u", "d1 a b 1n4148",
                                   "j1 d g s 2n3819", "rlast a b 1k"}));
  EXPECT_EQ(Numbers(lines), (std::vector<std::int64_t>{2, 8, 9, 10, 12}));
}

TEST(NetlistReader, CarriageReturnsAreDroppedAnywhere) {
  const NetlistLines lines = ReadNetlistText("\rr1 a\r b 1k\r\r\n\r\n\r\rc1 x y 1n\r", "t.net");
  EXPECT_EQ(Texts(lines), (Strings{"r1 a b 1k", "c1 x y 1n"}));
  EXPECT_EQ(Numbers(lines), (std::vector<std::int64_t>{1, 3}));
  // Old Mac line ends alone do not end lines: the whole text is one line.
  EXPECT_EQ(Texts(ReadNetlistText("r1 a b 1k\rr2 a b 2k\r", "t.net")),
            (Strings{"r1 a b 1kr2 a b 2k"}));
  // Only ASCII letters are lowered; other bytes pass unchanged.
  EXPECT_EQ(Texts(ReadNetlistText("R1 \xc3\x84 B 10\xc2\xb5\n", "t.net")),
            (Strings{"r1 \xc3\x84 b 10\xc2\xb5"}));
}

TEST(NetlistReader, BoundsOnElementLinesOnly) {
  // Ignored lines may be of any length and number.
  std::string text = "*" + std::string(3'000'000, 'x') + "\n";
  for (int i = 0; i < 50'000; ++i)
    text += "v" + std::to_string(i) + " a 0 1\n";
  text += "r1 a b 1k\n";
  EXPECT_EQ(Texts(ReadNetlistText(text, "t.net")), (Strings{"r1 a b 1k"}));

  // An element line up to the bound is kept; one character more is refused, naming the line.
  const std::string longest = "r1 a b " + std::string(MaxNetlistLineLength - 7, 'k');
  ASSERT_EQ(longest.size(), MaxNetlistLineLength);
  EXPECT_EQ(ReadNetlistText("* x\n" + longest + "\r\n", "t.net").at(0).Text.size(),
            MaxNetlistLineLength);
  try {
    ReadNetlistText("* x\n" + longest + "k\n", "big.net");
    ADD_FAILURE() << "no error for a line over the bound";
  } catch (const TarnwickError &e) {
    EXPECT_EQ(std::string(e.what()), "Line 2 of big.net is longer than " +
                                         std::to_string(MaxNetlistLineLength) +
                                         " characters; nothing was imported.");
  }

  std::string many;
  for (std::size_t i = 0; i < MaxNetlistParts; ++i)
    many += "r" + std::to_string(i) + " a b 1k\n";
  EXPECT_EQ(ReadNetlistText(many, "t.net").size(), MaxNetlistParts);
  try {
    ReadNetlistText(many + "* the end\nc1 a b 1n", "many.net");
    ADD_FAILURE() << "no error for too many parts";
  } catch (const TarnwickError &e) {
    EXPECT_EQ(std::string(e.what()), "many.net has more than " + std::to_string(MaxNetlistParts) +
                                         " parts; nothing was imported.");
  }
}

TEST(NetlistReader, FilesAreReadWholeOrNotAtAll) {
  TempDir dir;
  // Lines crossing the reader's piece boundaries come out whole.
  std::string text;
  for (int i = 0; i < 5000; ++i)
    text += "* comment " + std::to_string(i) + "\r\nR" + std::to_string(i) + " N" +
            std::to_string(i % 40) + " 0 " + std::to_string(i) + "K\r\n";
  const std::string path = dir.Write("big.net", text);
  const NetlistLines lines = ReadNetlistFile(path);
  ASSERT_EQ(lines.size(), 5000u);
  EXPECT_EQ(lines[4321].Text, "r4321 n1 0 4321k");
  EXPECT_EQ(lines[4321].Number, 2 * 4321 + 2);
  EXPECT_EQ(Texts(ReadNetlistText(text, "x")), Texts(lines));

  // Binary bytes, NUL included, are carried as they are.
  static const char bytes[] = "q\0\xff\n\x89PNG\r\n\x1a\nr\0 a b\n";
  const std::string binary(bytes, sizeof bytes - 1);
  EXPECT_EQ(Texts(ReadNetlistFile(dir.Write("bin.net", binary))),
            (Strings{std::string("q\0\xff", 3), std::string("r\0 a b", 6)}));

  // Missing files and folders give no lines and no error.
  EXPECT_TRUE(ReadNetlistFile((dir.Path() / "missing.net").string()).empty());
  EXPECT_TRUE(ReadNetlistFile(dir.Path().string()).empty());
  EXPECT_TRUE(ReadNetlistFile("").empty());
  EXPECT_TRUE(ReadNetlistFile(dir.Write("empty.net", "")).empty());
  // So do files that are not regular: a device that never ends, a pipe that has no writer.
  const std::string fifo = (dir.Path() / "pipe.net").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_TRUE(ReadNetlistFile("/dev/zero").empty());
  EXPECT_TRUE(ReadNetlistFile(fifo).empty());

  // Bounds apply to files as well, named by their path.
  try {
    ReadNetlistFile(dir.Write("long.net", "r1 a b " + std::string(10'000'000, '1')));
    ADD_FAILURE() << "no error for a 10 MB element line";
  } catch (const TarnwickError &e) {
    EXPECT_NE(std::string(e.what()).find("long.net is longer than"), std::string::npos);
  }
}

TEST(NetlistReader, ImportFileBuildsOnAPlainBoard) {
  TempDir dir;
  Board board;
  NetlistRandom random;
  ImportNetlistFile(dir.Write("amp.net", "Q1 out in 0 BC547\nR1 vcc out 10k\n"), board, random);
  EXPECT_EQ(board.TraceCount(), 60);
  EXPECT_EQ(board.ComponentCount(), 5);
  EXPECT_EQ(board.GetTrace(1).Name, "vcc");
  EXPECT_EQ(board.GetComponent(4).Name, "10k");

  // A file that cannot be read gives the empty 60-trace board.
  Board empty;
  ImportNetlistFile((dir.Path() / "nothing.net").string(), empty, random);
  EXPECT_EQ(empty.TraceCount(), 60);
  EXPECT_EQ(empty.ComponentCount(), 0);

  // A file beyond the bounds leaves the board as it was.
  Board untouched;
  EXPECT_THROW(
      ImportNetlistFile(dir.Write("huge.net", "r" + std::string(5000, 'x')), untouched, random),
      TarnwickError);
  EXPECT_EQ(untouched.TraceCount(), 0);

  // The in-memory target reports the modified flag as the editor would keep it.
  Board b;
  BoardTarget target(b);
  PlaceNetlist({}, target, random);
  EXPECT_FALSE(target.Modified());
  PlaceNetlist(ReadNetlistText("r1 a b 1k", "x"), target, random);
  EXPECT_TRUE(target.Modified());
}
