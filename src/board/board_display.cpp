#include "board/board_display.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

namespace tarnwick {
namespace {

std::int32_t Clamped(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// A trace index as seen from below; "none" (-1) stays none.
std::int32_t MirroredTrace(std::int32_t t, std::int32_t traceCount, bool mirrored) {
  if (!mirrored)
    return t;
  return Clamped(std::int64_t{traceCount} - 1 - t);
}

std::int32_t MirroredHighlight(std::int32_t t, std::int32_t traceCount, bool mirrored) {
  return t < 0 ? t : MirroredTrace(t, traceCount, mirrored);
}

} // namespace

void CopyForDisplay(const Board &board, const DisplayChange &change, Board &shown) {
  const std::int32_t traces = board.TraceCount();
  const bool mirrored = change.Mirrored;
  // A repaint during a drag copies the same board again and again: the copy's components are
  // overwritten in place while their number matches.
  if (shown.ComponentCount() != board.ComponentCount()) {
    shown.Clear();
    for (std::int32_t i = 0; i < board.ComponentCount(); ++i)
      shown.AddComponent(std::make_unique<BoardComponent>());
  }
  shown.Resize(traces, board.PinCount());
  for (std::int32_t t = 0; t < traces; ++t)
    shown.GetTrace(MirroredTrace(t, traces, mirrored)).Name = board.GetTrace(t).Name;

  shown.SelectedComponent = nullptr;
  // A drag may move every part of a large layout: looked up, not searched.
  const std::unordered_set<const BoardComponent *> moved(change.Moved.begin(), change.Moved.end());
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &from = board.GetComponent(i);
    BoardComponent &to = shown.GetComponent(i);
    to = from;
    if (moved.count(&from)) {
      to.StartTrace = Clamped(std::int64_t{from.StartTrace} + change.Dx);
      to.EndTrace = Clamped(std::int64_t{from.EndTrace} + change.Dx);
      to.StartPin = Clamped(std::int64_t{from.StartPin} + change.Dy);
    }
    to.StartTrace = MirroredTrace(to.StartTrace, traces, mirrored);
    to.EndTrace = MirroredTrace(to.EndTrace, traces, mirrored);
    if (board.SelectedComponent == &from)
      shown.SelectedComponent = &to;
  }

  shown.HighlightTrace = MirroredHighlight(board.HighlightTrace, traces, mirrored);
  shown.HighlightEndTrace = MirroredHighlight(board.HighlightEndTrace, traces, mirrored);
  shown.HighlightPin = board.HighlightPin;
  shown.ClickedPin = board.ClickedPin;
  shown.SizePreview = mirrored ? GridRect{} : board.SizePreview;
  if (shown.ShowLabels() != board.ShowLabels())
    shown.SetShowLabels(board.ShowLabels());
  if (shown.ShowFlow() != board.ShowFlow())
    shown.SetShowFlow(board.ShowFlow());
  if (shown.ShowNets() != board.ShowNets())
    shown.SetShowNets(board.ShowNets());
  // The marks of a checked line: their strips mirrored, their components the copies.
  shown.Tint.Copper = board.Tint.Copper;
  for (CopperSpan &span : shown.Tint.Copper)
    span.Trace = MirroredTrace(span.Trace, traces, mirrored);
  shown.Tint.Components.clear();
  for (const BoardComponent *c : board.Tint.Components)
    if (const std::int32_t i = board.IndexOf(c); i >= 0)
      shown.Tint.Components.push_back(&shown.GetComponent(i));
}

} // namespace tarnwick
