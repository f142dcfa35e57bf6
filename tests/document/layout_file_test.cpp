#include "document/layout_file.h"
#include "document/layout_text.h"
#include "document/replacing_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

const char *const WorkedExample = "[Schematic]\r\n"
                                  "Version=1\r\n"
                                  "PartCount=3\r\n"
                                  "TraceCount=4\r\n"
                                  "PinCount=12\r\n"
                                  "Name=Test board\r\n"
                                  "Trace1.Name=VCC\r\n"
                                  "Trace2.Name=\r\n"
                                  "Trace3.Name=OUT\r\n"
                                  "Trace4.Name=GND\r\n"
                                  "Komp1.Name=10k\r\n"
                                  "Komp1.StartTrace=0\r\n"
                                  "Komp1.EndTrace=2\r\n"
                                  "Komp1.StartPin=3\r\n"
                                  "Komp1.KompTyp=1\r\n"
                                  "Komp2.Name=100u\r\n"
                                  "Komp2.StartTrace=2\r\n"
                                  "Komp2.EndTrace=3\r\n"
                                  "Komp2.StartPin=5\r\n"
                                  "Komp2.KompTyp=7\r\n"
                                  "Komp2.CapWidth=2\r\n"
                                  "Komp3.Name=<unnamed>\r\n"
                                  "Komp3.StartTrace=1\r\n"
                                  "Komp3.EndTrace=3\r\n"
                                  "Komp3.StartPin=8\r\n"
                                  "Komp3.KompTyp=0\r\n";

void Add(Board &b, const char *name, ComponentKind kind, int start, int end, int pin,
         int capWidth = 0) {
  auto c = std::make_unique<BoardComponent>();
  c->Name = name;
  c->Kind = static_cast<std::uint8_t>(kind);
  c->StartTrace = start;
  c->EndTrace = end;
  c->StartPin = pin;
  c->CapWidth = capWidth;
  b.AddComponent(std::move(c));
}

void BuildWorkedExample(Board &b) {
  b.InitBoard(4, 12);
  b.GetTrace(0).Name = "VCC";
  b.GetTrace(2).Name = "OUT";
  b.GetTrace(3).Name = "GND";
  Add(b, "10k", ComponentKind::Resistor, 0, 2, 3);
  Add(b, "100u", ComponentKind::ElectrolyticRadial, 2, 3, 5, 2);
  Add(b, "<unnamed>", ComponentKind::Wire, 1, 3, 8);
}

std::string Slurp(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Spit(const fs::path &p, const std::string &bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

struct TempDir {
  fs::path path;
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-layout-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(path))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// A component as a comparable tuple.
auto Fields(const BoardComponent &c) {
  return std::make_tuple(c.Name, int(c.Kind), c.StartTrace, c.EndTrace, c.StartPin, c.CapWidth);
}

TEST(DocsLayoutFile, WorkedExampleIsWrittenByteForByteAndReadBack) {
  Board board;
  BuildWorkedExample(board);
  EXPECT_EQ(FormatLayout(board, "Test board"), WorkedExample);

  TempDir dir;
  const std::string file = (dir.path / "example.twk").string();
  WriteLayoutFile(file, board, "Test board");
  EXPECT_EQ(Slurp(file), WorkedExample);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"example.twk"});

  const LayoutData data = ReadLayoutFile(file);
  EXPECT_EQ(data.Name, "Test board");
  EXPECT_EQ(data.PartCount, 3);
  EXPECT_EQ(data.Dropped, 0);
  Board back;
  BuildBoard(data, back);
  ASSERT_EQ(back.TraceCount(), 4);
  EXPECT_EQ(back.PinCount(), 12);
  for (int t = 0; t < 4; ++t)
    EXPECT_EQ(back.GetTrace(t).Name, board.GetTrace(t).Name);
  ASSERT_EQ(back.ComponentCount(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(Fields(back.GetComponent(i)), Fields(board.GetComponent(i)));
  // Read again and written again, the file does not change.
  EXPECT_EQ(FormatLayout(back, data.Name), WorkedExample);

  // The variations the example names: CapWidth 1 reads as 2; no Komp3.StartPin drops the
  // wire.
  std::string text = WorkedExample;
  text.replace(text.find("CapWidth=2"), 10, "CapWidth=1");
  text.erase(text.find("Komp3.StartPin=8\r\n"), 18);
  const LayoutData varied = ParseLayout(text);
  ASSERT_EQ(varied.Components.size(), 2u);
  EXPECT_EQ(varied.Components[1].CapWidth, 2);
  EXPECT_EQ(varied.Dropped, 1);
}

TEST(DocsLayoutFile, ReadingRules) {
  // Defaults: a section without keys, or with its keys in another section.
  for (const char *text : {"[Schematic]", "[Other]\r\nTraceCount=3\r\n[ schematic ]\r\n",
                           "[Schematic]\r\n[Other]\r\nPartCount=3\r\nName=x\r\n"}) {
    const LayoutData d = ParseLayout(text);
    EXPECT_EQ(d.TraceCount, 40);
    EXPECT_EQ(d.PinCount, 20);
    EXPECT_EQ(d.PartCount, 0);
    EXPECT_EQ(d.Name, "");
    EXPECT_EQ(d.TraceNames.size(), 40u);
    EXPECT_TRUE(d.Components.empty());
  }

  // Case of section and keys, hexadecimal values, blanks around values, LF-only lines.
  const LayoutData c =
      ParseLayout("[schematic]\n"
                  "partcount = $2 \n"
                  "TRACECOUNT=0x3\r\n"
                  "PinCount=  0X1e\t\r\n"
                  "nAmE=   My board  \r\n"
                  "TRACE1.NAME=  lead \r\n"
                  "trace3.name=tail\r\n"
                  "KOMP1.STARTTRACE=1\r\nkomp1.endtrace=-$0\r\nKomp1.StartPin=2\r\n"
                  "Komp2.Name=\r\nKomp2.StartTrace=0\r\nKomp2.EndTrace=2\r\n"
                  "Komp2.StartPin=3\r\nKomp2.KompTyp=263\r\nKomp2.CapWidth=1\r\n");
  EXPECT_EQ(c.PartCount, 2);
  EXPECT_EQ(c.TraceCount, 3);
  EXPECT_EQ(c.PinCount, 30);
  EXPECT_EQ(c.Name, "My board");
  EXPECT_EQ(c.TraceNames, (std::vector<std::string>{"lead", "", "tail"}));
  ASSERT_EQ(c.Components.size(), 2u);
  EXPECT_EQ(Fields(c.Components[0]), std::make_tuple(std::string("<unnamed>"), 0, 1, 0, 2, 0));
  // KompTyp 263 is kind 7; CapWidth 1 below the span 2 grows by one. An empty name stays
  // empty.
  EXPECT_EQ(Fields(c.Components[1]), std::make_tuple(std::string(""), 7, 0, 2, 3, 2));

  // Unparsable or out-of-range integers take the key's default.
  for (const char *bad : {"", "12a", "1 2", "2147483648", "-2147483649", "$", "0x", "$1G",
                          "0x100000000", "- 1", "1.5"}) {
    const LayoutData d = ParseLayout(std::string("[Schematic]\r\nTraceCount=") + bad +
                                     "\r\nPinCount=" + bad + "\r\nPartCount=" + bad + "\r\n");
    EXPECT_EQ(d.TraceCount, 40) << bad;
    EXPECT_EQ(d.PinCount, 20) << bad;
    EXPECT_EQ(d.PartCount, 0) << bad;
  }

  // CapWidth: equal to the span grows once, larger stays, missing becomes 1; other kinds
  // read none.
  const LayoutData w = ParseLayout("[Schematic]\r\nPartCount=4\r\n"
                                   "Komp1.StartTrace=1\r\nKomp1.EndTrace=4\r\nKomp1.StartPin=0\r\n"
                                   "Komp1.KompTyp=7\r\nKomp1.CapWidth=3\r\n"
                                   "Komp2.StartTrace=4\r\nKomp2.EndTrace=1\r\nKomp2.StartPin=0\r\n"
                                   "Komp2.KompTyp=7\r\nKomp2.CapWidth=5\r\n"
                                   "Komp3.StartTrace=1\r\nKomp3.EndTrace=1\r\nKomp3.StartPin=0\r\n"
                                   "Komp3.KompTyp=7\r\n"
                                   "Komp4.StartTrace=1\r\nKomp4.EndTrace=2\r\nKomp4.StartPin=0\r\n"
                                   "Komp4.KompTyp=1\r\nKomp4.CapWidth=9\r\n");
  ASSERT_EQ(w.Components.size(), 4u);
  EXPECT_EQ(w.Components[0].CapWidth, 4);
  EXPECT_EQ(w.Components[1].CapWidth, 5);
  EXPECT_EQ(w.Components[2].CapWidth, 1);
  EXPECT_EQ(w.Components[3].CapWidth, 0);

  // Dropped entries: a missing or explicit -1 position; the others keep their order, and
  // entries beyond PartCount are ignored like labels beyond TraceCount.
  const LayoutData d = ParseLayout("[Schematic]\r\nPartCount=3\r\nTraceCount=1\r\n"
                                   "Trace1.Name=a\r\nTrace2.Name=b\r\n"
                                   "Komp1.Name=A\r\nKomp1.StartTrace=-1\r\nKomp1.EndTrace=1\r\n"
                                   "Komp1.StartPin=1\r\n"
                                   "Komp2.Name=B\r\nKomp2.StartTrace=9\r\nKomp2.EndTrace=-5\r\n"
                                   "Komp2.StartPin=99\r\nKomp2.KompTyp=200\r\n"
                                   "Komp3.Name=C\r\nKomp3.StartTrace=1\r\nKomp3.EndTrace=1\r\n"
                                   "Komp4.Name=D\r\nKomp4.StartTrace=1\r\nKomp4.EndTrace=1\r\n"
                                   "Komp4.StartPin=1\r\n");
  EXPECT_EQ(d.TraceNames, std::vector<std::string>{"a"});
  ASSERT_EQ(d.Components.size(), 1u);
  // Positions off the board and unknown kinds are taken as stored.
  EXPECT_EQ(Fields(d.Components[0]), std::make_tuple(std::string("B"), 200, 9, -5, 99, 0));
  EXPECT_EQ(d.Dropped, 2);

  // TraceCount 0 with components: no traces, components still read; PinCount as stored,
  // clamped by the board.
  const LayoutData z = ParseLayout("[Schematic]\r\nTraceCount=0\r\nPinCount=55\r\nPartCount=1\r\n"
                                   "Trace1.Name=x\r\nKomp1.StartTrace=2\r\nKomp1.EndTrace=3\r\n"
                                   "Komp1.StartPin=50\r\n");
  EXPECT_TRUE(z.TraceNames.empty());
  EXPECT_EQ(z.PinCount, 55);
  Board zb;
  BuildBoard(z, zb);
  EXPECT_EQ(zb.TraceCount(), 0);
  EXPECT_EQ(zb.PinCount(), 40);
  ASSERT_EQ(zb.ComponentCount(), 1);
  EXPECT_EQ(zb.GetComponent(0).StartPin, 50);
  Board small;
  BuildBoard(ParseLayout("[Schematic]\r\nPinCount=5\r\nTraceCount=-3\r\n"), small);
  EXPECT_EQ(small.PinCount(), 10);
  EXPECT_EQ(small.TraceCount(), 0);

  // The first of repeated keys counts; keys in other sections and other lines are ignored.
  const LayoutData r = ParseLayout("[Schematic]\r\nName=first\r\nName=second\r\n"
                                   "; comment=x\r\nnot a key line\r\n[Extra]\r\nTraceCount=2\r\n"
                                   "[ Schematic ]\r\nTraceCount=3\r\nTrace01.Name=zero\r\n"
                                   "Trace1.Name=one\r\n");
  EXPECT_EQ(r.Name, "first");
  EXPECT_EQ(r.TraceCount, 3);
  EXPECT_EQ(r.TraceNames, (std::vector<std::string>{"one", "", ""}));
}

TEST(DocsLayoutFile, TextsAreCutDecodedAndKeptOnOneLine) {
  // 2047 characters are kept, counted as characters, not bytes.
  std::string longName;
  for (int i = 0; i < 3000; ++i)
    longName += "\xC3\xA4"; // a-umlaut, two bytes
  const LayoutData d = ParseLayout("\xEF\xBB\xBF[Schematic]\r\nName=" + longName +
                                   "   \r\nTraceCount=1\r\n"
                                   "Trace1.Name=caf\xE9 \xE2\x82\xAC \xFF\r\n");
  EXPECT_EQ(d.Name.size(), 2047u * 2);
  EXPECT_EQ(d.Name, longName.substr(0, 2047 * 2));
  // Valid UTF-8 stays, stray bytes are Windows-1252.
  EXPECT_EQ(d.TraceNames[0], "caf\xC3\xA9 \xE2\x82\xAC \xC3\xBF");

  // A line break inside a text cannot start a key of its own when the file is written.
  Board b;
  b.InitBoard(1, 10);
  b.GetTrace(0).Name = "a\r\nPartCount=5";
  const std::string text = FormatLayout(b, "n\nTraceCount=9");
  EXPECT_NE(text.find("Trace1.Name=a  PartCount=5\r\n"), std::string::npos);
  const LayoutData back = ParseLayout(text);
  EXPECT_EQ(back.PartCount, 0);
  EXPECT_EQ(back.TraceCount, 1);
  EXPECT_EQ(back.Name, "n TraceCount=9");

  // Blanks around a name are written and read back without.
  b.GetTrace(0).Name = "  padded  ";
  EXPECT_EQ(ParseLayout(FormatLayout(b, " x ")).TraceNames[0], "padded");
}

// Older files hold 8-bit text (Windows-1252). Opening and saving such a file keeps its bytes.
TEST(DocsLayoutFile, EightBitTextIsReadAsWindows1252AndWrittenBackAsIs) {
  const LayoutData mixed = ParseLayout("[Schematic]\r\nName=10\xB5"
                                       "F \x80 \x9F \x81\x8D\x8F\x90\x9D\r\n");
  EXPECT_TRUE(mixed.EightBit);
  EXPECT_EQ(mixed.Name, "10\xC2\xB5"
                        "F \xE2\x82\xAC \xC5\xB8 "
                        "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
  EXPECT_FALSE(ParseLayout("[Schematic]\r\nName=10\xC2\xB5"
                           "F\r\n")
                   .EightBit);

  // Every byte above 127 has its own character, so all of them come back.
  std::string high;
  for (int b = 0x80; b <= 0xFF; ++b)
    high.push_back(static_cast<char>(b));
  std::string text = WorkedExample;
  text.replace(text.find("Test board"), 10,
               "10\xB5"
               "F \x80");
  text.replace(text.find("Trace2.Name="), 12, "Trace2.Name=" + high);
  text.replace(text.find("Komp1.Name=10k"), 14, "Komp1.Name=\xD6l\xE9");
  TempDir dir;
  const fs::path in = dir.path / "old.twk", out = dir.path / "saved.twk";
  Spit(in, text);
  const LayoutData data = ReadLayoutFile(in.string());
  ASSERT_TRUE(data.EightBit);
  Board board;
  BuildBoard(data, board);
  WriteLayoutFile(out.string(), board, data.Name, data.EightBit);
  EXPECT_EQ(Slurp(out), text);

  // A character that 8-bit text cannot hold makes the whole file UTF-8.
  board.GetTrace(0).Name = "\xCE\xA9"; // Omega
  const std::string utf8 = FormatLayout(board, data.Name, data.EightBit);
  EXPECT_NE(utf8.find("Name=10\xC2\xB5"
                      "F \xE2\x82\xAC\r\n"),
            std::string::npos);
  EXPECT_NE(utf8.find("Trace1.Name=\xCE\xA9\r\n"), std::string::npos);
  EXPECT_FALSE(ParseLayout(utf8).EightBit);
  // A layout not read as 8-bit text is written as UTF-8.
  EXPECT_EQ(FormatLayout(board, "\xC2\xB5"), FormatLayout(board, "\xC2\xB5", false));
  EXPECT_NE(FormatLayout(board, "\xC2\xB5").find("Name=\xC2\xB5\r\n"), std::string::npos);
  EXPECT_EQ(EncodeEightBitText("\xE2\x82\xAC\xC2\x81 \xC3\xBF"), "\x80\x81 \xFF");
  EXPECT_EQ(EncodeEightBitText("\xC2\x80"), std::nullopt); // a C1 control byte 0x80 is the euro
}

TEST(DocsLayoutFile, ValueHelpers) {
  EXPECT_EQ(ParseLayoutInteger("0"), 0);
  EXPECT_EQ(ParseLayoutInteger("-17"), -17);
  EXPECT_EQ(ParseLayoutInteger("+17"), 17);
  EXPECT_EQ(ParseLayoutInteger("007"), 7);
  EXPECT_EQ(ParseLayoutInteger("$ff"), 255);
  EXPECT_EQ(ParseLayoutInteger("0x7FFFFFFF"), 2147483647);
  EXPECT_EQ(ParseLayoutInteger("-0x80000000"), -2147483647 - 1);
  EXPECT_EQ(ParseLayoutInteger("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(ParseLayoutInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseLayoutInteger("$80000000"), std::nullopt);
  EXPECT_EQ(ParseLayoutInteger("99999999999999999999999"), std::nullopt);
  EXPECT_EQ(ParseLayoutInteger("x12"), std::nullopt);

  EXPECT_EQ(DecodeLayoutText("plain", 2047), "plain");
  EXPECT_EQ(DecodeLayoutText("abcdef", 3), "abc");
  // Overlong forms, surrogates and truncated sequences are not UTF-8.
  EXPECT_EQ(DecodeLayoutText("\xC0\xAF", 10), "\xC3\x80\xC2\xAF");
  EXPECT_EQ(DecodeLayoutText("\xED\xA0\x80", 10), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");
  EXPECT_EQ(DecodeLayoutText("\xE2\x82", 10), "\xC3\xA2\xE2\x80\x9A");
  EXPECT_EQ(DecodeLayoutText("\xF0\x9F\x98\x80!", 10), "\xF0\x9F\x98\x80!");
}

TEST(DocsLayoutFile, CountsBeyondTheLimitsAreRefused) {
  try {
    ParseLayout("[Schematic]\r\nTraceCount=10001\r\n", "/tmp/big.twk");
    ADD_FAILURE() << "no error";
  } catch (const TarnwickError &e) {
    EXPECT_STREQ(e.what(), "Unable to open /tmp/big.twk: TraceCount 10001 is above the limit "
                           "of 10000");
  }
  try {
    ParseLayout("[Schematic]\r\nPartCount=$7FFFFFFF\r\n", "p.twk");
    ADD_FAILURE() << "no error";
  } catch (const TarnwickError &e) {
    EXPECT_STREQ(e.what(), "Unable to open p.twk: PartCount 2147483647 is above the limit of "
                           "1000000");
  }
  // At the limits every value is taken as stored; missing entries are dropped.
  const LayoutData d = ParseLayout("[Schematic]\r\nTraceCount=10000\r\nPartCount=1000000\r\n"
                                   "Trace10000.Name=last\r\nKomp1000000.StartTrace=1\r\n"
                                   "Komp1000000.EndTrace=2\r\nKomp1000000.StartPin=3\r\n"
                                   "Komp1000001.StartTrace=1\r\n");
  EXPECT_EQ(d.TraceNames.size(), 10000u);
  EXPECT_EQ(d.TraceNames.back(), "last");
  ASSERT_EQ(d.Components.size(), 1u);
  EXPECT_EQ(d.Dropped, 999999);
  // A refused count in another section does not count.
  EXPECT_EQ(ParseLayout("[Other]\r\nTraceCount=99999\r\n[Schematic]\r\n").TraceCount, 40);
}

TEST(DocsLayoutFile, HostileInputStaysBounded) {
  // A 20 MB line, a 20 MB value, a very long key and entry numbers far beyond any count.
  std::string text = "[Schematic]\r\n";
  text += std::string(20'000'000, 'k') + "=1\r\n";
  text += "Name=" + std::string(20'000'000, 'v') + "\r\n";
  text += "PartCount=1\r\nKomp99999999999.StartTrace=1\r\nKomp1.StartTrace=1\r\n";
  text += "Komp1.EndTrace=    " + std::string(10'000, ' ') + "4" + std::string(10'000, ' ') +
          "\r\nKomp1.StartPin=1\r\n";
  text += "TraceCount=2";
  const LayoutData d = ParseLayout(text);
  EXPECT_EQ(d.Name, std::string(2047, 'v'));
  EXPECT_EQ(d.TraceCount, 2); // the last line has no line end
  ASSERT_EQ(d.Components.size(), 1u);
  EXPECT_EQ(d.Components[0].EndTrace, 4);

  // Lines split across pieces read the same as lines read whole.
  LayoutReader pieces("x");
  for (std::size_t at = 0; at < text.size(); at += 4093)
    pieces.Feed(std::string_view(text).substr(at, 4093));
  const LayoutData split = pieces.Finish();
  EXPECT_EQ(split.Name, d.Name);
  EXPECT_EQ(split.TraceCount, 2);
  ASSERT_EQ(split.Components.size(), 1u);
  EXPECT_EQ(split.Components[0].EndTrace, 4);

  // Pieces of any size give the same result as the whole.
  LayoutReader bytewise("x");
  for (char ch : std::string(WorkedExample))
    bytewise.Feed(std::string_view(&ch, 1));
  const LayoutData one = bytewise.Finish();
  const LayoutData whole = ParseLayout(WorkedExample);
  EXPECT_EQ(one.Name, whole.Name);
  EXPECT_EQ(one.TraceNames, whole.TraceNames);
  ASSERT_EQ(one.Components.size(), 3u);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(Fields(one.Components[i]), Fields(whole.Components[i]));
}

TEST(DocsLayoutFile, FailedWritesLeaveTheOldFileAndNoTemporaryFile) {
  TempDir dir;
  Board board;
  BuildWorkedExample(board);
  const fs::path old = dir.path / "old.twk";
  Spit(old, "old content");
  fs::permissions(old, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  // A target in a missing folder, and a target that is a folder.
  fs::create_directory(dir.path / "sub.twk");
  for (const fs::path &target : {dir.path / "missing" / "x.twk", dir.path / "sub.twk"}) {
    try {
      WriteLayoutFile(target.string(), board, "n");
      ADD_FAILURE() << "no error for " << target;
    } catch (const TarnwickError &e) {
      EXPECT_EQ(e.what(), "Unable to write to " + target.string());
    }
  }
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"old.twk", "sub.twk"}));
  EXPECT_TRUE(fs::is_empty(dir.path / "sub.twk"));

  // A write that fails half-way (the writer raises before Commit) keeps the old content.
  try {
    ReplacingFile f(old.string());
    f.Write("partial");
    throw TarnwickError("stopped");
  } catch (const TarnwickError &) {
  }
  EXPECT_EQ(Slurp(old), "old content");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"old.twk", "sub.twk"}));

  // A successful save replaces the file and keeps its permission bits.
  WriteLayoutFile(old.string(), board, "Test board");
  EXPECT_EQ(Slurp(old), WorkedExample);
  EXPECT_EQ(fs::status(old).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  // Through a symbolic link the file it names is replaced and the link stays.
  const fs::path link = dir.path / "link.twk";
  fs::create_symlink("old.twk", link);
  WriteLayoutFile(link.string(), board, "via link");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ParseLayout(Slurp(old)).Name, "via link");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"link.twk", "old.twk", "sub.twk"}));

  // Reading a file that cannot be read is an error, not an empty board.
  try {
    ReadLayoutFile((dir.path / "none.twk").string());
    ADD_FAILURE() << "no error";
  } catch (const TarnwickError &e) {
    EXPECT_EQ(e.what(), "Unable to read " + (dir.path / "none.twk").string());
  }
}

// Only a layout opens as one: a file without a [Schematic] section (every layout this program
// writes has one) and anything that is not a regular file, or too large to be a layout, is
// refused with a message before a board is built.
TEST(DocsLayoutFile, FilesThatAreNotLayoutsAreRefused) {
  TempDir dir;
  const auto write = [&](const char *name, const std::string &bytes) {
    const fs::path p = dir.path / name;
    Spit(p, bytes);
    return p.string();
  };
  const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + "[x]\r\nName=y";
  std::string noise(4096, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i)
    noise[i] = static_cast<char>((i * 7919 + 13) % 251);
  const std::string notLayout = " is not a Tarnwick layout: it has no [Schematic] section";
  const std::string fifo = (dir.path / "pipe.twk").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Sparse: one byte beyond the limit costs no disk.
  const std::string huge = write("huge.twk", "[Schematic]\r\n");
  fs::resize_file(huge, MaxLayoutFileBytes + 1);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {write("photo.twk", png), notLayout},
      {write("notes.txt", "Name=notes\r\nPartCount=3\r\nTraceCount=5\r\n"), notLayout},
      {write("noise.twk", noise), notLayout},
      {write("empty.twk", ""), notLayout},
      {write("other.twk", "[Other]\r\nTraceCount=3\r\n[Schematic\r\n"), notLayout},
      {"/dev/zero", ": it is not a regular file"},
      {fifo, ": it is not a regular file"},
      {dir.path.string(), ": it is not a regular file"},
      {huge, ": the file is larger than 256 MB"},
  };
  for (const auto &[path, message] : cases) {
    SCOPED_TRACE(path);
    try {
      ReadLayoutFile(path);
      ADD_FAILURE() << "read as a layout";
    } catch (const TarnwickError &e) {
      const std::string expected =
          message == notLayout ? path + message : "Unable to open " + path + message;
      EXPECT_EQ(e.what(), expected);
    }
  }
  // A section without a single key is a layout: every value has its default.
  EXPECT_EQ(ReadLayoutFile(write("bare.twk", "\xEF\xBB\xBF[Schematic]\n")).TraceCount, 40);
}

} // namespace
} // namespace tarnwick
