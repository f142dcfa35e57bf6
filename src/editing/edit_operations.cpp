#include "editing/edit_operations.h"

#include <algorithm>
#include <unordered_set>

namespace tarnwick {
namespace {

bool MovePasses(const Board &board, const BoardComponent &c, MoveDirection direction) {
  switch (direction) {
  case MoveDirection::Left:
    return c.StartTrace >= 1 && c.EndTrace >= 1;
  case MoveDirection::Right: {
    const std::int32_t last = board.TraceCount() - 2;
    return c.StartTrace <= last && c.EndTrace <= last;
  }
  case MoveDirection::Up:
    return c.StartPin >= 1;
  case MoveDirection::Down:
    return c.StartPin <= board.PinCount() - 2;
  }
  return false;
}

void ApplyMove(BoardComponent &c, MoveDirection direction) {
  switch (direction) {
  case MoveDirection::Left:
    --c.StartTrace;
    --c.EndTrace;
    break;
  case MoveDirection::Right:
    ++c.StartTrace;
    ++c.EndTrace;
    break;
  case MoveDirection::Up:
    --c.StartPin;
    break;
  case MoveDirection::Down:
    ++c.StartPin;
    break;
  }
}

bool IsTrace(const Board &board, std::int32_t t) { return t >= 0 && t < board.TraceCount(); }

// Positions from a file can be anywhere in the 32-bit range, so the extents are computed wide.
[[noreturn]] void TooLarge(const char *what, std::int64_t index, std::int32_t largest) {
  throw TarnwickError("A component lies at " + std::string(what) + " " + std::to_string(index + 1) +
                      ", beyond the largest board of " + std::to_string(largest) + " " + what +
                      "s.");
}

// The selection without null entries and repeats, so that each component moves once. Linear:
// a selection may hold every part of a large layout.
std::vector<BoardComponent *> Distinct(const std::vector<BoardComponent *> &selected) {
  std::vector<BoardComponent *> parts;
  parts.reserve(selected.size());
  std::unordered_set<const BoardComponent *> seen;
  seen.reserve(selected.size());
  for (BoardComponent *c : selected)
    if (c && seen.insert(c).second)
      parts.push_back(c);
  return parts;
}

// Whether d single steps along one axis keep the coordinates lo..hi within 0..last: the
// test of each single step, taken for all of them at once. Wide, as file positions may lie
// anywhere in the 32-bit range.
bool StepsPass(std::int64_t lo, std::int64_t hi, std::int64_t d, std::int64_t last) {
  if (d < 0)
    return lo + d >= 0;
  if (d > 0)
    return hi + d <= last;
  return true;
}

} // namespace

bool MoveComponents(Board &board, const std::vector<BoardComponent *> &selected,
                    MoveDirection direction) {
  const std::vector<BoardComponent *> parts = Distinct(selected);
  if (parts.empty())
    return false;
  for (const BoardComponent *c : parts)
    if (!MovePasses(board, *c, direction))
      return false;
  for (BoardComponent *c : parts)
    ApplyMove(*c, direction);
  board.Repaint();
  return true;
}

bool CanMoveComponentsBy(const Board &board, const std::vector<BoardComponent *> &selected,
                         std::int32_t dx, std::int32_t dy) {
  const std::vector<BoardComponent *> parts = Distinct(selected);
  if (parts.empty() || (dx == 0 && dy == 0))
    return false;
  for (const BoardComponent *c : parts) {
    const auto [lo, hi] = std::minmax(c->StartTrace, c->EndTrace);
    if (!StepsPass(lo, hi, dx, board.TraceCount() - 1) ||
        !StepsPass(c->StartPin, c->StartPin, dy, board.PinCount() - 1))
      return false;
  }
  return true;
}

bool MoveComponentsBy(Board &board, const std::vector<BoardComponent *> &selected, std::int32_t dx,
                      std::int32_t dy) {
  if (!CanMoveComponentsBy(board, selected, dx, dy))
    return false;
  for (BoardComponent *c : Distinct(selected)) {
    c->StartTrace += dx;
    c->EndTrace += dx;
    c->StartPin += dy;
  }
  board.Repaint();
  return true;
}

void SwapTraceIndices(Board &board, std::int32_t a, std::int32_t b) {
  auto swapped = [a, b](std::int32_t t) { return t == a ? b : t == b ? a : t; };
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    BoardComponent &c = board.GetComponent(i);
    c.StartTrace = swapped(c.StartTrace);
    c.EndTrace = swapped(c.EndTrace);
  }
}

bool ShiftTrace(Board &board, ShiftDirection direction) {
  const std::int32_t a = board.HighlightTrace;
  // A highlight left over from a larger board counts as none.
  if (!IsTrace(board, a))
    return false;
  const std::int32_t b = direction == ShiftDirection::Left ? a - 1 : a + 1;
  if (!IsTrace(board, b))
    return false;
  SwapTraceIndices(board, a, b);
  std::swap(board.GetTrace(a).Name, board.GetTrace(b).Name);
  // The highlight stays on the trace that moved.
  board.SetHighlightTrace(b);
  return true;
}

bool SetTraceLabel(Board &board, const std::string &text) {
  if (!IsTrace(board, board.HighlightTrace))
    return false;
  board.GetTrace(board.HighlightTrace).Name = text;
  board.Repaint();
  return true;
}

BoardSize MinimumBoardSize(const Board &board) {
  std::int64_t maxTrace = 0;
  std::int64_t maxPin = 0;
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    maxTrace = std::max({maxTrace, std::int64_t{c.StartTrace}, std::int64_t{c.EndTrace}});
    maxPin = std::max(maxPin, std::int64_t{c.StartPin});
  }
  if (maxTrace + 1 > MaxBoardTraces)
    TooLarge("trace", maxTrace, MaxBoardTraces);
  if (maxPin + 1 > MaxBoardPins)
    TooLarge("pin", maxPin, MaxBoardPins);
  return {static_cast<std::int32_t>(maxTrace + 1), static_cast<std::int32_t>(maxPin + 1)};
}

ShrinkPlan PlanShrink(const Board &board) {
  std::int64_t minTrace = board.TraceCount();
  std::int64_t minPin = board.PinCount();
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    minTrace = std::min({minTrace, std::int64_t{c.StartTrace}, std::int64_t{c.EndTrace}});
    minPin = std::min(minPin, std::int64_t{c.StartPin});
  }
  // One empty trace and row stay before the components; those already on the first or second
  // one do not move.
  const std::int64_t dx = std::max<std::int64_t>(minTrace - 1, 0);
  const std::int64_t dy = std::max<std::int64_t>(minPin - 1, 0);

  std::int64_t maxTrace = 0;
  std::int64_t maxPin = 0;
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    maxTrace = std::max({maxTrace, c.StartTrace - dx, c.EndTrace - dx});
    maxPin = std::max(maxPin, c.StartPin - dy);
  }
  // And one after them.
  if (maxTrace + 2 > MaxBoardTraces)
    TooLarge("trace", maxTrace + dx, MaxBoardTraces);
  if (maxPin + 2 > MaxBoardPins)
    TooLarge("pin", maxPin + dy, MaxBoardPins);
  ShrinkPlan plan;
  plan.Dx = static_cast<std::int32_t>(dx);
  plan.Dy = static_cast<std::int32_t>(dy);
  plan.Size = {static_cast<std::int32_t>(maxTrace + 2), static_cast<std::int32_t>(maxPin + 2)};
  return plan;
}

bool ShrinkBoard(Board &board) {
  if (board.TraceCount() == 0)
    return false;
  const ShrinkPlan plan = PlanShrink(board);
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    BoardComponent &c = board.GetComponent(i);
    c.StartTrace -= plan.Dx;
    c.EndTrace -= plan.Dx;
    c.StartPin -= plan.Dy;
  }
  if (plan.Dx > 0)
    for (std::int32_t i = plan.Dx; i < board.TraceCount(); ++i)
      board.GetTrace(i - plan.Dx).Name = board.GetTrace(i).Name;
  board.Resize(plan.Size.Traces, plan.Size.Pins);
  if (!IsTrace(board, board.HighlightTrace))
    board.HighlightTrace = -1;
  if (!IsTrace(board, board.HighlightEndTrace))
    board.HighlightEndTrace = -1;
  board.Repaint();
  return true;
}

} // namespace tarnwick
