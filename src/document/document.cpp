#include "document/document.h"

#include <algorithm>

namespace tarnwick {
namespace {

bool Same(const BoardComponent &a, const BoardComponent &b) {
  return a.Name == b.Name && a.Kind == b.Kind && a.EndTrace == b.EndTrace &&
         a.StartTrace == b.StartTrace && a.StartPin == b.StartPin && a.CapWidth == b.CapWidth;
}

std::size_t TextBytes(const std::string &s) {
  // Short texts live inside the string object itself.
  return s.capacity() > 15 ? s.capacity() + 1 : 0;
}

std::size_t Bytes(const BoardComponent &c) { return sizeof(BoardComponent) + TextBytes(c.Name); }

template <typename T> std::size_t Sum(const std::vector<T> &items, std::size_t (*each)(const T &)) {
  std::size_t n = 0;
  for (const T &item : items)
    n += each(item);
  return n;
}

std::size_t LabelBytes(const std::string &s) { return sizeof(std::string) + TextBytes(s); }

// Keeps the highlights only where they still name a trace (or row) of the board.
void DropStaleHighlights(Board &board) {
  if (board.HighlightTrace >= board.TraceCount())
    board.HighlightTrace = -1;
  if (board.HighlightEndTrace >= board.TraceCount())
    board.HighlightEndTrace = -1;
  if (board.HighlightPin >= board.PinCount())
    board.HighlightPin = -1;
}

} // namespace

BoardSnapshot Capture(const Board &board) {
  BoardSnapshot s;
  s.Pins = board.PinCount();
  s.Labels.reserve(static_cast<std::size_t>(board.TraceCount()));
  for (std::int32_t t = 0; t < board.TraceCount(); ++t)
    s.Labels.push_back(board.GetTrace(t).Name);
  s.Components.reserve(static_cast<std::size_t>(board.ComponentCount()));
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i)
    s.Components.push_back(board.GetComponent(i));
  s.Highlight = board.HighlightTrace;
  return s;
}

BoardDelta BoardDelta::Between(const BoardSnapshot &before, const BoardSnapshot &after) {
  BoardDelta d;
  d.HighlightBefore = before.Highlight;
  d.HighlightAfter = after.Highlight;
  d.PinsBefore = before.Pins;
  d.PinsAfter = after.Pins;
  d.TracesChanged = before.Pins != after.Pins || before.Labels != after.Labels;
  if (d.TracesChanged) {
    d.LabelsBefore = before.Labels;
    d.LabelsAfter = after.Labels;
  }
  const auto &a = before.Components;
  const auto &b = after.Components;
  if (a.size() == b.size()) {
    for (std::size_t i = 0; i < a.size(); ++i)
      if (!Same(a[i], b[i]))
        d.Rewrites.push_back({i, a[i], b[i]});
    return d;
  }
  // The list changed its length: keep the stretch between the common head and tail.
  std::size_t head = 0;
  while (head < a.size() && head < b.size() && Same(a[head], b[head]))
    ++head;
  std::size_t tail = 0;
  while (tail < a.size() - head && tail < b.size() - head &&
         Same(a[a.size() - 1 - tail], b[b.size() - 1 - tail]))
    ++tail;
  d.Spliced = true;
  d.First = head;
  d.Before.assign(a.begin() + static_cast<std::ptrdiff_t>(head),
                  a.end() - static_cast<std::ptrdiff_t>(tail));
  d.After.assign(b.begin() + static_cast<std::ptrdiff_t>(head),
                 b.end() - static_cast<std::ptrdiff_t>(tail));
  return d;
}

std::vector<BoardComponent *> BoardDelta::PlayBack(Board &board, bool forward) const {
  const Board::ChangeBatch batch(board);
  if (TracesChanged)
    board.SetTraces(forward ? LabelsAfter : LabelsBefore, forward ? PinsAfter : PinsBefore);
  std::vector<BoardComponent *> touched;
  if (Spliced) {
    const auto &from = forward ? Before : After;
    touched = board.SpliceComponents(First, from.size(), forward ? After : Before);
  } else {
    for (const Rewrite &r : Rewrites) {
      BoardComponent &c = board.GetComponent(static_cast<std::int32_t>(r.Index));
      c = forward ? r.After : r.Before;
      touched.push_back(&c);
    }
    board.ComponentsChanged();
  }
  // A shifted trace takes the highlight along, and takes it back.
  if (HighlightBefore != HighlightAfter)
    board.HighlightTrace = forward ? HighlightAfter : HighlightBefore;
  DropStaleHighlights(board);
  board.Repaint();
  return touched;
}

std::size_t BoardDelta::Bytes() const {
  std::size_t n = sizeof(BoardDelta);
  n += Sum(LabelsBefore, &LabelBytes) + Sum(LabelsAfter, &LabelBytes);
  for (const Rewrite &r : Rewrites)
    n += sizeof(Rewrite) + TextBytes(r.Before.Name) + TextBytes(r.After.Name);
  n += Sum<BoardComponent>(Before, &tarnwick::Bytes) + Sum<BoardComponent>(After, &tarnwick::Bytes);
  return n;
}

Document::Document(Board &board, HistoryLimits limits) : board_(board), limits_(limits) {}

bool Document::Apply(const std::string &name, const std::function<bool()> &edit) {
  Changing();
  const BoardSnapshot before = Capture(board_);
  bool applied = false;
  {
    const Board::ChangeBatch batch(board_);
    try {
      applied = edit();
    } catch (...) {
      BoardDelta delta = BoardDelta::Between(before, Capture(board_));
      if (!delta.Empty()) {
        board_.ComponentsChanged();
        Record(name, std::move(delta));
      }
      throw;
    }
    if (applied)
      board_.ComponentsChanged();
  }
  if (!applied)
    return false;
  BoardDelta delta = BoardDelta::Between(before, Capture(board_));
  if (!delta.Empty())
    Record(name, std::move(delta));
  return true;
}

void Document::Record(const std::string &name, BoardDelta delta) {
  while (steps_.size() > cursor_) {
    bytes_ -= steps_.back().Bytes;
    steps_.pop_back();
  }
  // The saved point lay among the dropped redo steps: no point of the history is saved now.
  if (savedAt_ > Position())
    savedAt_ = Never;
  Step step{name, std::move(delta), 0};
  step.Bytes = step.Delta.Bytes() + sizeof(Step) + TextBytes(step.Name);
  bytes_ += step.Bytes;
  steps_.push_back(std::move(step));
  ++cursor_;
  while (steps_.size() > 1 && (steps_.size() > limits_.MaxSteps || bytes_ > limits_.MaxBytes)) {
    bytes_ -= steps_.front().Bytes;
    steps_.pop_front();
    --cursor_;
    ++dropped_;
  }
  Changed();
}

std::string Document::UndoName() const {
  return CanUndo() ? steps_[cursor_ - 1].Name : std::string();
}

std::string Document::RedoName() const { return CanRedo() ? steps_[cursor_].Name : std::string(); }

std::vector<BoardComponent *> Document::Undo() {
  if (!CanUndo())
    return {};
  Changing();
  --cursor_;
  auto touched = steps_[cursor_].Delta.PlayBack(board_, false);
  Changed();
  return touched;
}

std::vector<BoardComponent *> Document::Redo() {
  if (!CanRedo())
    return {};
  Changing();
  auto touched = steps_[cursor_].Delta.PlayBack(board_, true);
  ++cursor_;
  Changed();
  return touched;
}

void Document::Reset(bool modified) {
  steps_.clear();
  cursor_ = 0;
  dropped_ = 0;
  bytes_ = 0;
  savedAt_ = modified ? Never : 0;
  Changed();
}

void Document::MarkSaved() {
  savedAt_ = Position();
  Changed();
}

void Document::MarkUnsaved() {
  savedAt_ = Never;
  Changed();
}

void Document::Changing() {
  if (BeforeChange)
    BeforeChange();
}

void Document::Changed() {
  if (OnChange)
    OnChange();
}

} // namespace tarnwick
