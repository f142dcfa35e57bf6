#include "board_fixture.h"
#include "output/printout.h"
#include "recording_page_canvas.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using tarnwick::test::RecordingPageCanvas;
using Op = RecordingPageCanvas::Op;
using tarnwick::test::Put;

namespace {

RecordingPageCanvas Print(const Board &b, bool highlight, float spacing = 2.54f) {
  RecordingPageCanvas page;
  DrawPrintout(page, b, PrintoutOptions{spacing, highlight}, 3, 3);
  return page;
}

bool Transparent(const RecordingPageCanvas::Call &c) { return !c.fill.has_value(); }
bool FilledWith(const RecordingPageCanvas::Call &c, PageColour colour) {
  return c.fill.has_value() && *c.fill == colour;
}

} // namespace

TEST(Printout, WireIsABlackLineWithTwoRoundPads) {
  Board b;
  b.InitBoard(10, 20);
  Put(b, ComponentKind::Wire, 2, 5, 3, "R1");
  const auto page = Print(b, false);

  const auto lines = page.Of(Op::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].a, 351);
  EXPECT_EQ(lines[0].b, -376);
  EXPECT_EQ(lines[0].c, 427);
  EXPECT_EQ(lines[0].d, -376);
  EXPECT_EQ(lines[0].pen, PageBlack);
  EXPECT_EQ(lines[0].penWidth, 1);

  const auto pads = page.Of(Op::Circle);
  ASSERT_EQ(pads.size(), 2u);
  EXPECT_EQ(pads[0].a, 351);
  EXPECT_EQ(pads[1].a, 427);
  for (const auto &p : pads) {
    EXPECT_EQ(p.b, -376);
    EXPECT_EQ(p.c, 5);
    EXPECT_EQ(p.penWidth, 2);
    EXPECT_TRUE(Transparent(p));
  }

  // The name is centred between the ends just below the line: 351 + (76 - 20) / 2.
  const auto texts = page.Of(Op::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "R1");
  EXPECT_EQ(texts[0].a, 379);
  EXPECT_EQ(texts[0].b, -378);
  EXPECT_EQ(texts[0].penWidth, 1);
}

TEST(Printout, NameOffsetTruncatesTowardZeroForReversedParts) {
  Board b;
  b.InitBoard(10, 20);
  // X(6) = round(152.4) + 300 = 452; (351 - 452 - 10) / 2 = -55 (not -56).
  Put(b, ComponentKind::Resistor, 6, 2, 0, "R");
  const auto texts = Print(b, false).Of(Op::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].a, 452 - 55);
  EXPECT_EQ(texts[0].b, -300 - 2);
}

TEST(Printout, TraceLinesMarkOnlyTracesWhereComponentsStartOrEnd) {
  Board b;
  b.InitBoard(10, 20);
  b.GetTrace(4).Name = "GND";
  Put(b, ComponentKind::Resistor, 4, 4, 6);
  auto page = Print(b, true);

  std::vector<RecordingPageCanvas::Call> grey;
  for (const auto &l : page.Of(Op::Line))
    if (l.pen == PageSilver)
      grey.push_back(l);
  ASSERT_EQ(grey.size(), 1u);
  // From oy above the page down to one pitch below the last row: -(508 + 300) - (4 mod 3) * 50.
  EXPECT_EQ(grey[0].a, 402);
  EXPECT_EQ(grey[0].b, 300);
  EXPECT_EQ(grey[0].c, 402);
  EXPECT_EQ(grey[0].d, -858);
  EXPECT_EQ(grey[0].penWidth, 1);

  // The label is centred under the line end, on an opaque white cell.
  const auto texts = page.Of(Op::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "GND");
  EXPECT_EQ(texts[0].a, 402 - 15);
  EXPECT_EQ(texts[0].b, -858);
  EXPECT_TRUE(FilledWith(texts[0], PageWhite));

  // A component merely spanning a trace does not mark it; both its ends do.
  Board span;
  span.InitBoard(10, 20);
  Put(span, ComponentKind::Wire, 1, 7, 0);
  std::vector<int> xs;
  for (const auto &l : Print(span, true).Of(Op::Line))
    if (l.pen == PageSilver)
      xs.push_back(l.a);
  EXPECT_EQ(xs, (std::vector<int>{325, 478})); // round(25.4) + 300, round(177.8) + 300

  // Unticked: no trace line and no trace label at all.
  page = Print(b, false);
  for (const auto &l : page.Of(Op::Line))
    EXPECT_NE(l.pen, PageSilver);
  EXPECT_TRUE(page.Of(Op::Text).empty());
}

TEST(Printout, TraceLineEndsStaggerByTraceModThree) {
  Board b;
  b.InitBoard(6, 10);
  b.GetTrace(0).Name = "A";
  Put(b, ComponentKind::Wire, 0, 1, 0);
  Put(b, ComponentKind::Wire, 2, 3, 1);
  std::vector<int> ends;
  for (const auto &l : Print(b, true).Of(Op::Line))
    if (l.pen == PageSilver)
      ends.push_back(l.d);
  const int bottom = -(254 + 300);
  EXPECT_EQ(ends, (std::vector<int>{bottom, bottom - 50, bottom - 100, bottom}));
}

TEST(Printout, SocketCutAndLabelShapes) {
  Board b;
  b.InitBoard(10, 20);
  Put(b, ComponentKind::Socket, 2, 5, 3);
  auto page = Print(b, false);
  const auto squares = page.Of(Op::Rectangle);
  ASSERT_EQ(squares.size(), 1u);
  EXPECT_EQ(squares[0].a, 351 - 7);
  EXPECT_EQ(squares[0].b, -376 + 7);
  EXPECT_EQ(squares[0].c, 351 + 7);
  EXPECT_EQ(squares[0].d, -376 - 7);
  EXPECT_EQ(squares[0].penWidth, 2);
  EXPECT_TRUE(Transparent(squares[0]));
  EXPECT_TRUE(page.Of(Op::Circle).empty());
  EXPECT_EQ(page.Of(Op::Line).size(), 1u);

  // A cut drawn right to left is a black bar 0.8 mm past both end holes, without pads, and its
  // name is printed.
  Board cut;
  cut.InitBoard(10, 20);
  Put(cut, ComponentKind::TraceCut, 5, 2, 3, "X");
  page = Print(cut, false);
  const auto bars = page.Of(Op::FillRect);
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].a, 351 - 8);
  EXPECT_EQ(bars[0].b, -376 + 4);
  EXPECT_EQ(bars[0].c, 427 + 8);
  EXPECT_EQ(bars[0].d, -376 - 4);
  EXPECT_TRUE(FilledWith(bars[0], PageBlack));
  EXPECT_TRUE(page.Of(Op::Circle).empty());
  EXPECT_TRUE(page.Of(Op::Rectangle).empty());
  EXPECT_TRUE(page.Of(Op::Line).empty());
  ASSERT_EQ(page.Of(Op::Text).size(), 1u);
  EXPECT_TRUE(Transparent(page.Of(Op::Text)[0]));

  Board label;
  label.InitBoard(10, 20);
  Put(label, ComponentKind::Label, 2, 7, 3, "IN");
  page = Print(label, false);
  ASSERT_EQ(page.calls.size(), 1u);
  EXPECT_EQ(page.calls[0].op, Op::Text);
  EXPECT_EQ(page.calls[0].a, 351);
  EXPECT_EQ(page.calls[0].b, -376);
}

TEST(Printout, RadialCapacitorIsACircleWithPolarityMarks) {
  Board b;
  b.InitBoard(10, 20);
  Put(b, ComponentKind::ElectrolyticRadial, 2, 4, 1, "C1", 3);
  const auto page = Print(b, false);
  const auto circles = page.Of(Op::Circle);
  ASSERT_EQ(circles.size(), 3u);
  // round(1.5 * 25.4) + 2 = 40 around the middle of X(2) = 351 and X(4) = 402.
  EXPECT_EQ(circles[0].a, 376);
  EXPECT_EQ(circles[0].b, -325);
  EXPECT_EQ(circles[0].c, 40);
  EXPECT_EQ(circles[0].penWidth, 1);
  EXPECT_EQ(circles[1].c, 5);
  EXPECT_EQ(circles[2].c, 5);
  EXPECT_TRUE(page.Of(Op::Line).empty());
  // The radius rounds to the nearest unit, halves to even.
  struct {
    int capWidth;
    float spacing;
    int radius;
  } const radii[] = {{1, 2.54f, 13 + 2}, {3, 2.5f, 38 + 2}, {1, 2.5f, 12 + 2}, {5, 2.5f, 62 + 2}};
  for (const auto &r : radii) {
    Board one;
    one.InitBoard(10, 20);
    Put(one, ComponentKind::ElectrolyticRadial, 2, 2, 1, "", r.capWidth);
    EXPECT_EQ(Print(one, false, r.spacing).Of(Op::Circle).at(0).c, r.radius)
        << r.capWidth << " at " << r.spacing;
  }

  const auto texts = page.Of(Op::Text);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1].text, "+");
  EXPECT_EQ(texts[1].a, 351);
  EXPECT_EQ(texts[1].b, -325 + 20 + 4);
  EXPECT_EQ(texts[2].text, "-");
  EXPECT_EQ(texts[2].a, 402);
  EXPECT_EQ(texts[2].b, -325 + 24);

  Board axial;
  axial.InitBoard(10, 20);
  Put(axial, ComponentKind::ElectrolyticAxial, 5, 1, 0, "<unnamed>");
  const auto marks = Print(axial, false).Of(Op::Text);
  ASSERT_EQ(marks.size(), 2u); // no name, only the marks: "+" at the start end
  EXPECT_EQ(marks[0].text, "+");
  EXPECT_EQ(marks[0].a, 427);
  EXPECT_EQ(marks[1].a, 325);
}

TEST(Printout, FillStaysWhiteUntilTheFirstComponentThatIsNotALabel) {
  Board b;
  b.InitBoard(10, 20);
  b.GetTrace(0).Name = "VCC";
  b.GetTrace(1).Name = "";
  Put(b, ComponentKind::Label, 0, 0, 0, "first");
  Put(b, ComponentKind::ElectrolyticRadial, 1, 3, 2, "", 4);
  Put(b, ComponentKind::Label, 0, 0, 5, "later");
  Put(b, ComponentKind::ElectrolyticRadial, 1, 3, 8, "", 4);
  Put(b, ComponentKind::TraceCut, 0, 0, 9);
  Put(b, ComponentKind::Label, 0, 0, 10, "after cut");
  Put(b, ComponentKind::Wire, 4, 4, 10, "<unnamed>");
  Put(b, ComponentKind::Label, 0, 0, 11, "");
  const auto page = Print(b, true);

  std::vector<std::string> opaque, clear;
  for (const auto &t : page.Of(Op::Text))
    (FilledWith(t, PageWhite) ? opaque : clear).push_back(t.text);
  // Trace 1 carries component ends but no label: its line has no text.
  EXPECT_EQ(opaque, (std::vector<std::string>{"VCC", "first"}));
  EXPECT_EQ(clear, (std::vector<std::string>{"+", "-", "later", "+", "-", "after cut"}));

  std::vector<bool> bodyFilled;
  for (const auto &c : page.Of(Op::Circle))
    if (c.c != 5)
      bodyFilled.push_back(FilledWith(c, PageWhite));
  EXPECT_EQ(bodyFilled, (std::vector<bool>{true, false}));
}

TEST(Printout, GeometryRoundsHalvesToEvenAndSurvivesAbsurdSpacings) {
  const PrintGeometry quarter(0.25f, 3, 3);
  EXPECT_EQ(quarter.X(1), 302); // round(2.5) = 2
  EXPECT_EQ(quarter.X(3), 308); // round(7.5) = 8
  EXPECT_EQ(quarter.Y(5), -312);

  // Spacing 0 puts every component on the origin.
  Board b;
  b.InitBoard(10, 20);
  Put(b, ComponentKind::Wire, 2, 9, 7);
  auto lines = Print(b, false, 0.0f).Of(Op::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].a, 300);
  EXPECT_EQ(lines[0].c, 300);
  EXPECT_EQ(lines[0].b, -300);

  // Huge and negative spacings keep every coordinate within the page's range.
  for (float s : {3.0e38f, -3.0e38f, -2.54f}) {
    Board big;
    big.InitBoard(100, 40);
    Put(big, ComponentKind::ElectrolyticRadial, 99, 0, 39, "C", 2147483647);
    Put(big, ComponentKind::Wire, 99, 0, 39, "W");
    for (const auto &c : Print(big, true, s).calls)
      for (int v : {c.a, c.b, c.c, c.d})
        EXPECT_LE(std::abs(static_cast<long long>(v)), PrintGeometry::Limit + 1000) << s;
  }
  EXPECT_EQ(PrintGeometry(-2.54f, 3, 3).X(2), 249);
}

TEST(Printout, SpacingTextIsReadWithTheUsersDecimalSeparator) {
  EXPECT_FLOAT_EQ(ParseSpacing("2.54", "."), 2.54f);
  EXPECT_FLOAT_EQ(ParseSpacing("2,54", ","), 2.54f);
  EXPECT_FLOAT_EQ(ParseSpacing("  -1.5 ", "."), -1.5f);
  EXPECT_FLOAT_EQ(ParseSpacing("+3", "."), 3.0f);
  EXPECT_FLOAT_EQ(ParseSpacing("1E2", "."), 100.0f);
  EXPECT_FLOAT_EQ(ParseSpacing(".5", "."), 0.5f);
  EXPECT_FLOAT_EQ(ParseSpacing("5.", "."), 5.0f);
  for (const char *bad : {"", " ", "abc", "2.54mm", "1.2.3", "--1", "1e", ".", "1e999", "0x10",
                          "inf", "nan", "2 54"}) {
    try {
      ParseSpacing(bad, ".");
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const TarnwickError &e) {
      EXPECT_EQ(std::string(e.what()),
                std::string("'") + bad + "' is not a valid floating point value");
    }
  }
  // A point typed where the user's format has a comma is not a number.
  try {
    ParseSpacing("2.54", ",");
    ADD_FAILURE();
  } catch (const TarnwickError &e) {
    EXPECT_STREQ(e.what(), "'2.54' is not a valid floating point value");
  }
}
