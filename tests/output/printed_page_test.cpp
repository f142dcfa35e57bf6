// The copper-side printout and the scale bar under every printed board.
#include "board_fixture.h"
#include "output/printout.h"
#include "recording_page_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tarnwick;
using tarnwick::test::Put;
using tarnwick::test::RecordingPageCanvas;
using Op = RecordingPageCanvas::Op;

namespace {

RecordingPageCanvas Page(const Board &b, PrintoutOptions o, bool withScaleBar) {
  RecordingPageCanvas page;
  if (withScaleBar)
    DrawPrintedPage(page, b, o, 3, 3);
  else
    DrawPrintout(page, b, o, 3, 3);
  return page;
}

// The lowest y a recorded call reaches (texts hang 20 units down from their y).
int Lowest(const RecordingPageCanvas::Call &c) {
  switch (c.op) {
  case Op::Circle:
    return c.b - c.c;
  case Op::Text:
    return c.b - 20;
  default:
    return std::min(c.b, c.d);
  }
}

} // namespace

TEST(CopperSide, MirrorsTheBoardAboutItsMiddleAndKeepsTextReadable) {
  Board b;
  b.InitBoard(10, 20);
  Put(b, ComponentKind::Wire, 2, 5, 3, "R1");
  // X(0) = 300 and X(9) = round(228.6) + 300 = 529: x turns into 829 - x, so the wire from
  // trace 2 (351) to trace 5 (427) lands on traces 7 (478) and 4 (402), at the same y.
  const auto page = Page(b, PrintoutOptions{2.54f, false, true}, false);
  const auto lines = page.Of(Op::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(std::vector<int>({lines[0].a, lines[0].b, lines[0].c, lines[0].d}),
            std::vector<int>({478, -376, 402, -376}));
  const auto pads = page.Of(Op::Circle);
  ASSERT_EQ(pads.size(), 2u);
  EXPECT_EQ(pads[0].a, 478);
  EXPECT_EQ(pads[1].a, 402);
  // The name's cell is turned as a whole: it spans 379..399 unmirrored, 430..450 here.
  const auto texts = page.Of(Op::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "R1");
  EXPECT_EQ(texts[0].a, 430);
  EXPECT_EQ(texts[0].b, -378);

  // Every shape of a board with a part of each kind and highlighted traces is the mirror image
  // of the component-side printout, drawn in the same order with the same pen and fill.
  Board sample;
  tarnwick::test::FillSampleBoard(sample);
  const auto plain = Page(sample, PrintoutOptions{2.54f, true, false}, false).calls;
  const auto turned = Page(sample, PrintoutOptions{2.54f, true, true}, false).calls;
  ASSERT_EQ(plain.size(), turned.size());
  for (std::size_t i = 0; i < plain.size(); ++i) {
    SCOPED_TRACE(i);
    const auto &p = plain[i], &m = turned[i];
    EXPECT_EQ(m.op, p.op);
    EXPECT_EQ(m.pen, p.pen);
    EXPECT_EQ(m.penWidth, p.penWidth);
    EXPECT_EQ(m.fill, p.fill);
    EXPECT_EQ(m.text, p.text);
    EXPECT_EQ(m.b, p.b);
    if (p.op == Op::Text) {
      EXPECT_EQ(m.a, 829 - p.a - 10 * int(p.text.size()));
    } else {
      EXPECT_EQ(m.a, 829 - p.a);
      EXPECT_EQ(m.c, p.op == Op::Circle ? p.c : 829 - p.c);
      EXPECT_EQ(m.d, p.d);
    }
  }
}

TEST(ScaleBar, FiftyMillimetresWithTicksBelowEverythingElse) {
  for (const bool copper : {false, true}) {
    for (const float spacing : {2.54f, 5.08f}) {
      SCOPED_TRACE(std::to_string(copper) + " " + std::to_string(spacing));
      Board b;
      tarnwick::test::FillSampleBoard(b);
      // A wide radial capacitor on the last row reaches further down than the trace labels.
      Put(b, ComponentKind::ElectrolyticRadial, 0, 1, 19, "C9", 16);
      const PrintoutOptions o{spacing, true, copper};
      const auto board = Page(b, o, false).calls;
      const auto page = Page(b, o, true).calls;
      ASSERT_GT(page.size(), board.size());
      // The board is drawn as without the bar; the bar comes after it.
      for (std::size_t i = 0; i < board.size(); ++i)
        EXPECT_EQ(page[i].a, board[i].a);
      const std::vector<RecordingPageCanvas::Call> bar(page.begin() + long(board.size()),
                                                       page.end());
      ASSERT_EQ(bar.size(), 8u); // the bar, six ticks, the caption
      const int y = bar[0].b;
      EXPECT_EQ(bar[0].op, Op::Line);
      EXPECT_EQ(std::vector<int>({bar[0].a, bar[0].c, bar[0].d}), std::vector<int>({300, 800, y}));
      EXPECT_EQ(bar[0].c - bar[0].a, 500);
      for (int k = 0; k <= 5; ++k) {
        const auto &tick = bar[std::size_t(1 + k)];
        EXPECT_EQ(tick.op, Op::Line);
        EXPECT_EQ(tick.a, 300 + 100 * k);
        EXPECT_EQ(tick.c, tick.a);
        EXPECT_EQ(tick.b, y);
        EXPECT_EQ(tick.d, y + (k == 0 || k == 5 ? 30 : 20));
      }
      EXPECT_EQ(bar[7].op, Op::Text);
      EXPECT_EQ(bar[7].text, "50 mm \xE2\x80\x94 check with a ruler");
      EXPECT_EQ(bar[7].a, 300);
      EXPECT_LT(bar[7].b, y);
      for (const auto &c : bar)
        EXPECT_EQ(c.pen, PageBlack);
      // 5 mm clear of the lowest thing on the board, whatever reaches lowest.
      int lowest = 0;
      for (const auto &c : board)
        lowest = std::min(lowest, Lowest(c));
      EXPECT_EQ(y + 30, lowest - 50);
    }
  }
}

TEST(ScaleBar, KeepsItsPlaceWithoutTraceHighlights) {
  Board b;
  b.InitBoard(10, 20);
  b.GetTrace(2).Name = "GND";
  Put(b, ComponentKind::Wire, 2, 5, 3);
  RecordingPageCanvas on, off;
  // The deepest trace label: one pitch below the last row (-(508 + 300)), staggered 10 mm,
  // 20 units high.
  EXPECT_EQ(ScaleBarY(on, b, PrintoutOptions{2.54f, true}, 3, 3), -808 - 100 - 20 - 50 - 30);
  EXPECT_EQ(ScaleBarY(off, b, PrintoutOptions{2.54f, false}, 3, 3), -808 - 100 - 20 - 50 - 30);
}
