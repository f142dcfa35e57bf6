#include "netlist/tools.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarnwick;

namespace {

// Walks the text with the two-call protocol and records every field and every answer of
// MoveToNextToken, the way the netlist import uses the tokenizer.
struct Walk {
  std::vector<std::string> fields;
  std::vector<bool> moves;
};

Walk WalkAll(TTokenizer &t) {
  Walk w;
  std::string token;
  t.NextToken(token);
  w.fields.push_back(token);
  for (int guard = 0; guard < 100; ++guard) {
    const bool more = t.MoveToNextToken();
    w.moves.push_back(more);
    if (!more)
      break;
    t.NextToken(token);
    w.fields.push_back(token);
  }
  return w;
}

using Fields = std::vector<std::string>;
using Moves = std::vector<bool>;

} // namespace

TEST(Tokenizer, ConstructionDefaults) {
  TTokenizer empty;
  EXPECT_EQ(empty.Separator, ' ');
  EXPECT_FALSE(empty.CountEmptyTokens);
  EXPECT_EQ(empty.ScanPosition(), 1);
  EXPECT_EQ(empty.TextLength(), 0);
  EXPECT_EQ(empty.SourceText(), "");

  TTokenizer withText("r1 vin");
  EXPECT_EQ(withText.Separator, ' ');
  EXPECT_FALSE(withText.CountEmptyTokens);
  EXPECT_EQ(withText.TextLength(), 6);
  EXPECT_EQ(withText.SourceText(), "r1 vin");

  // The tokenizer keeps its own copy of the text.
  std::string source = "a b";
  TTokenizer copy(source);
  source = "changed";
  std::string token;
  copy.NextToken(token);
  EXPECT_EQ(token, "a");
  EXPECT_EQ(copy.SourceText(), "a b");
}

TEST(Tokenizer, BlankSeparatedFieldsStepOneByOne) {
  TTokenizer t("r1 vin out 10k");
  std::string token;
  t.NextToken(token);
  EXPECT_EQ(token, "r1");
  EXPECT_EQ(t.ScanPosition(), 3); // on the blank that ended the field
  EXPECT_TRUE(t.MoveToNextToken());
  EXPECT_EQ(t.ScanPosition(), 4);
  t.NextToken(token);
  EXPECT_EQ(token, "vin");
  EXPECT_TRUE(t.MoveToNextToken());
  t.NextToken(token);
  EXPECT_EQ(token, "out");
  EXPECT_TRUE(t.MoveToNextToken());
  t.NextToken(token);
  EXPECT_EQ(token, "10k");
  EXPECT_EQ(t.ScanPosition(), 14);
  EXPECT_FALSE(t.MoveToNextToken());
  EXPECT_EQ(t.ScanPosition(), 14);
  // Once used up, the position stays on the last character, which NextToken takes as the
  // start of a field.
  t.NextToken(token);
  EXPECT_EQ(token, "k");
  EXPECT_FALSE(t.MoveToNextToken());
}

TEST(Tokenizer, RunsOfBlanksAndTrailingBlanks) {
  TTokenizer t("a  b");
  Walk w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"a", "b"}));
  EXPECT_EQ(w.moves, (Moves{true, false}));

  // Trailing blanks give no field: the position has reached the last character.
  t.SetText("ab ");
  w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"ab"}));
  EXPECT_EQ(w.moves, (Moves{false}));
  EXPECT_EQ(t.ScanPosition(), 3);

  // Several trailing blanks: the scan finds only separators and leaves the position alone.
  t.SetText("ab   ");
  std::string token;
  t.NextToken(token);
  EXPECT_EQ(token, "ab");
  EXPECT_FALSE(t.MoveToNextToken());
  EXPECT_EQ(t.ScanPosition(), 3);
}

TEST(Tokenizer, LeadingBlankGivesAnEmptyFirstField) {
  TTokenizer t(" a");
  std::string token = "stale";
  t.NextToken(token);
  EXPECT_EQ(token, "");
  EXPECT_EQ(t.ScanPosition(), 1);
  EXPECT_TRUE(t.MoveToNextToken());
  EXPECT_EQ(t.ScanPosition(), 2);
  t.NextToken(token);
  EXPECT_EQ(token, "a");
  EXPECT_FALSE(t.MoveToNextToken());
}

TEST(Tokenizer, ShortAndEmptyTexts) {
  TTokenizer t("x");
  Walk w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"x"}));
  EXPECT_EQ(w.moves, (Moves{false}));

  t.SetText("");
  w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{""}));
  EXPECT_EQ(w.moves, (Moves{false}));
  EXPECT_EQ(t.ScanPosition(), 1);

  // A text that is one separator: an empty field, then nothing.
  t.SetText(" ");
  w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{""}));
  EXPECT_EQ(w.moves, (Moves{false}));
}

TEST(Tokenizer, FieldEndingAtTheLastCharacterIsWhole) {
  TTokenizer t("a b");
  Walk w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"a", "b"}));
  t.SetText("a bcd");
  w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"a", "bcd"}));
}

TEST(Tokenizer, NextTokenDoesNotStepOverTheSeparator) {
  TTokenizer t("ab cd");
  std::string token;
  t.NextToken(token);
  EXPECT_EQ(token, "ab");
  t.NextToken(token);
  EXPECT_EQ(token, "");
  EXPECT_EQ(t.ScanPosition(), 3);

  // MoveToNextToken right after SetText stays on a first character that starts a field.
  t.SetText("ab cd");
  EXPECT_TRUE(t.MoveToNextToken());
  EXPECT_EQ(t.ScanPosition(), 1);
}

TEST(Tokenizer, SetTextStartsOver) {
  TTokenizer t("one two");
  std::string token;
  t.NextToken(token);
  ASSERT_TRUE(t.MoveToNextToken());
  t.SetText("three four");
  EXPECT_EQ(t.ScanPosition(), 1);
  EXPECT_EQ(t.TextLength(), 10);
  Walk w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"three", "four"}));
}

TEST(Tokenizer, CommaSeparatorCountingEmptyFields) {
  TTokenizer t("a,,b");
  t.Separator = ',';
  t.CountEmptyTokens = true;
  Walk w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"a", "", "b"}));
  EXPECT_EQ(w.moves, (Moves{true, true, false}));

  // No empty field after a trailing separator.
  t.SetText("a,");
  w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"a"}));
  EXPECT_EQ(w.moves, (Moves{false}));

  // A leading separator gives an empty first field; each further one another empty field.
  t.SetText(",,x");
  w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"", "", "x"}));

  // Without counting empty fields, a run of commas is one separator.
  t.SetText("a,,b");
  t.CountEmptyTokens = false;
  w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"a", "b"}));
  EXPECT_EQ(w.moves, (Moves{true, false}));
}

TEST(Tokenizer, OnlyTheSeparatorSplitsAndEveryByteIsKept) {
  // A tab is no separator for the blank: the whole text is one field.
  TTokenizer t("r1\ta\tb\t10k");
  Walk w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"r1\ta\tb\t10k"}));
  EXPECT_EQ(w.moves, (Moves{false}));

  // NUL and high bytes are ordinary characters; the separator may be any byte.
  const std::string binary("a\0b \xff\xfe", 6);
  t.SetText(binary);
  w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{std::string("a\0b", 3), "\xff\xfe"}));

  t.SetText(std::string("x\0y\0z", 5));
  t.Separator = '\0';
  w = WalkAll(t);
  EXPECT_EQ(w.fields, (Fields{"x", "y", "z"}));
}

TEST(Tokenizer, LongTextIsSplitCompletely) {
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "f" + std::to_string(i) + "   ";
  TTokenizer t(text);
  std::string token;
  t.NextToken(token);
  int count = 1;
  std::string last = token;
  while (t.MoveToNextToken()) {
    t.NextToken(token);
    last = token;
    ++count;
  }
  EXPECT_EQ(count, 20000);
  EXPECT_EQ(last, "f19999");
}
