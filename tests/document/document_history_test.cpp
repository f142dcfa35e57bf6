// The edit history without a window: random edits through the real operations, played back.
#include "document/document.h"
#include "document/layout_file.h"
#include "editing/edit_operations.h"

#include <gtest/gtest.h>

#include <random>

namespace tarnwick {
namespace {

std::string Bytes(const Board &board) { return FormatLayout(board, "history"); }

BoardComponent Part(std::mt19937 &rng, std::int32_t traces, std::int32_t pins) {
  std::uniform_int_distribution<std::int32_t> t(0, traces - 1), p(0, pins - 1), kind(0, 8);
  BoardComponent c;
  c.Kind = static_cast<std::uint8_t>(kind(rng));
  c.StartTrace = t(rng);
  c.EndTrace = t(rng);
  c.StartPin = p(rng);
  c.CapWidth = 2;
  c.Name = "part" + std::to_string(rng() % 1000) + (rng() % 4 ? "" : std::string(40, 'x'));
  return c;
}

// One random edit of the kinds the editor makes, through the document. Refused edits record
// nothing, as the commands' refusals do.
void RandomEdit(std::mt19937 &rng, Board &board, Document &doc) {
  const auto pick = [&](std::int32_t n) {
    return std::uniform_int_distribution<std::int32_t>(0, n - 1)(rng);
  };
  const std::int32_t n = board.ComponentCount();
  switch (pick(8)) {
  case 0:
    doc.Apply("Add Component", [&] {
      board.AddComponent(
          std::make_unique<BoardComponent>(Part(rng, board.TraceCount(), board.PinCount())));
      return true;
    });
    break;
  case 1:
    if (n > 0)
      doc.Apply("Remove Component", [&] {
        board.RemoveComponent(&board.GetComponent(pick(n)));
        return true;
      });
    break;
  case 2:
    if (n > 0)
      doc.Apply("Edit Component", [&] {
        board.GetComponent(pick(n)) = Part(rng, board.TraceCount(), board.PinCount());
        return true;
      });
    break;
  case 3: {
    std::vector<BoardComponent *> selected;
    for (std::int32_t i = 0; i < n; ++i)
      if (pick(3) == 0)
        selected.push_back(&board.GetComponent(i));
    doc.Apply("Move",
              [&] { return MoveComponents(board, selected, static_cast<MoveDirection>(pick(4))); });
    break;
  }
  case 4:
    board.HighlightTrace = pick(board.TraceCount());
    doc.Apply("Shift", [&] { return ShiftTrace(board, static_cast<ShiftDirection>(pick(2))); });
    break;
  case 5:
    board.HighlightTrace = pick(board.TraceCount());
    doc.Apply("Set Trace Label",
              [&] { return SetTraceLabel(board, "net" + std::to_string(pick(50))); });
    break;
  case 6:
    doc.Apply("Shrink Board", [&] { return ShrinkBoard(board); });
    break;
  default: {
    const BoardSize minimum = MinimumBoardSize(board);
    doc.Apply("Board Properties", [&] {
      board.Resize(minimum.Traces + pick(20), minimum.Pins + pick(20));
      return true;
    });
  }
  }
}

TEST(DocumentHistory, RandomEditsUndoneAndRedoneGiveTheSavedBytes) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed);
    Board board;
    board.InitBoard(10 + static_cast<std::int32_t>(rng() % 40), 20);
    for (int i = 0; i < 30; ++i)
      board.AddComponent(
          std::make_unique<BoardComponent>(Part(rng, board.TraceCount(), board.PinCount())));
    Document doc(board);
    std::vector<std::string> states{Bytes(board)};
    for (int i = 0; i < 25; ++i) {
      const std::size_t steps = doc.StepCount();
      RandomEdit(rng, board, doc);
      if (doc.StepCount() > steps)
        states.push_back(Bytes(board));
      else
        ASSERT_EQ(Bytes(board), states.back()) << "a refused edit changed the board";
    }
    ASSERT_EQ(doc.StepCount() + 1, states.size());
    for (std::size_t i = states.size() - 1; i-- > 0;) {
      doc.Undo();
      ASSERT_EQ(Bytes(board), states[i]) << "seed " << seed << ", undo to state " << i;
    }
    EXPECT_FALSE(doc.CanUndo());
    for (std::size_t i = 1; i < states.size(); ++i) {
      doc.Redo();
      ASSERT_EQ(Bytes(board), states[i]) << "seed " << seed << ", redo to state " << i;
    }
    EXPECT_FALSE(doc.CanRedo());
  }
}

TEST(DocumentHistory, SavedPointModifiedAndRedoDropping) {
  Board board;
  board.InitBoard(10, 10);
  Document doc(board);
  std::vector<std::string> changes;
  doc.OnChange = [&] { changes.push_back(doc.UndoName() + "|" + doc.RedoName()); };
  const auto label = [&](const char *text) {
    board.HighlightTrace = 1;
    return doc.Apply("Set Trace Label", [&] { return SetTraceLabel(board, text); });
  };
  EXPECT_FALSE(doc.Modified());
  label("a");
  label("b");
  EXPECT_TRUE(doc.Modified());
  doc.MarkSaved();
  EXPECT_FALSE(doc.Modified());
  doc.Undo(); // past the saved point
  EXPECT_TRUE(doc.Modified());
  EXPECT_EQ(doc.RedoName(), "Set Trace Label");
  doc.Redo(); // back to it
  EXPECT_FALSE(doc.Modified());
  doc.Undo();
  label("c"); // drops the redo step, and with it the saved point
  EXPECT_FALSE(doc.CanRedo());
  EXPECT_EQ(board.GetTrace(1).Name, "c");
  doc.Undo();
  EXPECT_EQ(board.GetTrace(1).Name, "a");
  EXPECT_TRUE(doc.Modified()) << "no point of the history is the saved file any more";

  // A refused command records nothing; an error records what had changed and goes on.
  board.HighlightTrace = -1;
  const std::size_t steps = doc.StepCount();
  EXPECT_FALSE(doc.Apply("Set Trace Label", [&] { return SetTraceLabel(board, "x"); }));
  EXPECT_EQ(doc.StepCount(), steps);
  EXPECT_THROW(doc.Apply("Half",
                         [&]() -> bool {
                           board.GetTrace(2).Name = "half";
                           throw TarnwickError("stopped");
                         }),
               TarnwickError);
  EXPECT_EQ(doc.UndoName(), "Half");
  doc.Undo();
  EXPECT_EQ(board.GetTrace(2).Name, "");

  doc.Reset(true); // an imported layout: nothing to undo, yet modified
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_TRUE(doc.Modified());
  EXPECT_FALSE(changes.empty());
}

// The highlight moves with a shifted trace; undone, it goes back with it, so a following Set
// names the trace the user sees highlighted. An edit that changed nothing is no step.
TEST(DocumentHistory, ShiftUndoneTakesTheHighlightBackAndNoChangeIsNoStep) {
  Board board;
  board.InitBoard(10, 10);
  Document doc(board);
  board.HighlightTrace = 3;
  ASSERT_TRUE(doc.Apply("Set Trace Label", [&] { return SetTraceLabel(board, "in"); }));
  ASSERT_TRUE(doc.Apply("Shift", [&] { return ShiftTrace(board, ShiftDirection::Right); }));
  EXPECT_EQ(board.HighlightTrace, 4);
  doc.Undo();
  EXPECT_EQ(board.GetTrace(3).Name, "in");
  EXPECT_EQ(board.HighlightTrace, 3);
  doc.Redo();
  EXPECT_EQ(board.HighlightTrace, 4);
  doc.Undo();
  board.HighlightTrace = 7; // clicked elsewhere since: undoing the label leaves it there
  doc.Undo();
  EXPECT_EQ(board.GetTrace(3).Name, "");
  EXPECT_EQ(board.HighlightTrace, 7);

  const std::size_t steps = doc.StepCount();
  EXPECT_FALSE(doc.Modified());
  doc.Apply("Board Properties", [&] {
    board.Resize(board.TraceCount(), board.PinCount());
    return true;
  });
  board.HighlightTrace = 2;
  doc.Apply("Set Trace Label", [&] { return SetTraceLabel(board, ""); });
  EXPECT_EQ(doc.StepCount(), steps);
  EXPECT_FALSE(doc.Modified());
}

TEST(DocumentHistory, TheHistoryStaysWithinItsLimitsDroppingTheOldestSteps) {
  Board board;
  board.InitBoard(20, 20);
  auto *c = board.AddComponent(std::make_unique<BoardComponent>());
  c->EndTrace = 2;
  Document doc(board, {100, 64u << 20});
  for (int i = 0; i < 250; ++i)
    doc.Apply("Move Right", [&] {
      return MoveComponents(board, {c}, i % 2 ? MoveDirection::Left : MoveDirection::Right);
    });
  EXPECT_EQ(doc.StepCount(), 100u);
  while (doc.CanUndo())
    doc.Undo();
  EXPECT_TRUE(doc.Modified()) << "the unmodified start was dropped";

  Document small(board, {10000, 64 * 1024});
  for (int i = 0; i < 200; ++i)
    small.Apply("Set Trace Label", [&] {
      board.HighlightTrace = i % 20;
      return SetTraceLabel(board, std::string(100, 'a' + i % 26));
    });
  EXPECT_LE(small.HistoryBytes(), 64u * 1024);
  EXPECT_GT(small.StepCount(), 1u);
  EXPECT_LT(small.StepCount(), 200u);
}

} // namespace
} // namespace tarnwick
