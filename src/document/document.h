#pragma once

// The layout being edited and its edit history. Every change of the layout runs through Apply,
// which records what the change did to the board as one step; Undo and Redo play the steps
// back. The layout counts as modified whenever the history is not at the point of the last
// save.

#include "board/board.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tarnwick {

// Everything of a board a step can change: its trace labels (and so its trace count), its pin
// count and its components in list order; and the highlighted trace, which a step that moves
// traces takes along.
struct BoardSnapshot {
  std::vector<std::string> Labels;
  std::int32_t Pins = 0;
  std::vector<BoardComponent> Components;
  std::int32_t Highlight = -1;
};

BoardSnapshot Capture(const Board &board);

// What one step did to the board, kept as small as the change allows: the traces only when
// they changed; the components either as the fields of those that changed in place (the list
// kept its length) or as the stretch of the list that was replaced.
struct BoardDelta {
  struct Rewrite {
    std::size_t Index;
    BoardComponent Before, After;
  };
  bool TracesChanged = false;
  std::vector<std::string> LabelsBefore, LabelsAfter;
  std::int32_t PinsBefore = 0, PinsAfter = 0;
  std::vector<Rewrite> Rewrites;
  bool Spliced = false;
  std::size_t First = 0;
  std::vector<BoardComponent> Before, After;
  std::int32_t HighlightBefore = -1, HighlightAfter = -1;

  // Whether the layout itself changed (the highlight alone is no change of it).
  bool Empty() const { return !TracesChanged && !Spliced && Rewrites.empty(); }
  static BoardDelta Between(const BoardSnapshot &before, const BoardSnapshot &after);
  // Puts the board into the state before (or after) the step; returns the components the step
  // touched, in list order.
  std::vector<BoardComponent *> PlayBack(Board &board, bool forward) const;
  // An estimate of the heap the step holds.
  std::size_t Bytes() const;
};

struct HistoryLimits {
  std::size_t MaxSteps = 10000;
  std::size_t MaxBytes = 64u << 20;
};

class Document {
public:
  explicit Document(Board &board, HistoryLimits limits = {});

  Board &GetBoard() { return board_; }

  // Runs `edit`, which changes the board and returns whether it did (a refused command returns
  // false and records nothing). A change is one step named `name`; one that left the layout as
  // it was (OK in a dialog without a change) records nothing. When `edit` raises an error, what it
  // had changed stays and is recorded, and the error goes on to the caller.
  bool Apply(const std::string &name, const std::function<bool()> &edit);

  bool CanUndo() const { return cursor_ > 0; }
  bool CanRedo() const { return cursor_ < steps_.size(); }
  // Names of the step Undo and Redo would play back; empty when there is none.
  std::string UndoName() const;
  std::string RedoName() const;
  // Play one step back or forward; return the components the step touched (nothing happens
  // and nothing is returned when there is no step).
  std::vector<BoardComponent *> Undo();
  std::vector<BoardComponent *> Redo();

  // A fresh history: New, Open and Import start one. `modified` says whether the layout then
  // already counts as changed (an imported layout has never been saved).
  void Reset(bool modified);
  // The layout was saved: this point of the history is the unmodified state.
  void MarkSaved();
  // The layout counts as changed without a step to undo (no point of the history is saved).
  void MarkUnsaved();
  bool Modified() const { return savedAt_ != Position(); }

  std::size_t StepCount() const { return steps_.size(); }
  std::size_t HistoryBytes() const { return bytes_; }

  // Runs after every change of the history or the saved point.
  std::function<void()> OnChange;
  // Runs before Apply, Undo and Redo touch the board, so that nothing still holds what the
  // change replaces (a drag holds the components it moves).
  std::function<void()> BeforeChange;

private:
  struct Step {
    std::string Name;
    BoardDelta Delta;
    std::size_t Bytes = 0;
  };
  static constexpr std::int64_t Never = -1;

  std::int64_t Position() const { return dropped_ + static_cast<std::int64_t>(cursor_); }
  void Record(const std::string &name, BoardDelta delta);
  void Changed();
  void Changing();

  Board &board_;
  HistoryLimits limits_;
  std::deque<Step> steps_;
  std::size_t cursor_ = 0;   // steps applied
  std::int64_t dropped_ = 0; // oldest steps dropped to stay within the limits
  std::int64_t savedAt_ = 0; // position of the last save, or Never
  std::size_t bytes_ = 0;
};

} // namespace tarnwick
