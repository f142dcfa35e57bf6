#include "board/board.h"

#include <algorithm>

namespace tarnwick {

std::string KindListText(std::uint8_t kind) {
  static const char *const texts[] = {"---", "R", "C", "C", "D", "(o)", "<->", "C", "TXT"};
  if (kind < std::size(texts))
    return texts[kind];
  return "---";
}

namespace {
[[noreturn]] void IndexError(std::int32_t i) {
  throw TarnwickError("List index out of bounds (" + std::to_string(i) + ")");
}
} // namespace

void Board::InitBoard(std::int32_t traceCount, std::int32_t pinCount) {
  if (!traces_.empty())
    return;
  pinCount_ = std::clamp(pinCount, 10, 40);
  for (std::int32_t i = 0; i < traceCount; ++i)
    traces_.push_back(std::make_unique<Trace>());
}

void Board::Resize(std::int32_t traceCount, std::int32_t pinCount) {
  const auto keep = static_cast<std::size_t>(std::max(traceCount, 0));
  while (traces_.size() > keep)
    traces_.pop_back();
  while (traces_.size() < keep)
    traces_.push_back(std::make_unique<Trace>());
  pinCount_ = pinCount;
  Repaint();
}

void Board::Clear() {
  SelectedComponent = nullptr;
  Tint = {};
  components_.clear();
  traces_.clear();
  ComponentsChanged();
}

void Board::ComponentsChanged() {
  if (batchDepth_ > 0) {
    changedInBatch_ = true;
    return;
  }
  Notify(OnComponentsChange);
}

Board::ChangeBatch::~ChangeBatch() {
  if (--board_.batchDepth_ == 0 && board_.changedInBatch_) {
    board_.changedInBatch_ = false;
    board_.Notify(board_.OnComponentsChange);
  }
}

Trace &Board::GetTrace(std::int32_t i) {
  if (i < 0 || i >= TraceCount())
    IndexError(i);
  return *traces_[static_cast<std::size_t>(i)];
}

const Trace &Board::GetTrace(std::int32_t i) const {
  return const_cast<Board *>(this)->GetTrace(i);
}

BoardComponent &Board::GetComponent(std::int32_t i) {
  if (i < 0 || i >= ComponentCount())
    IndexError(i);
  return *components_[static_cast<std::size_t>(i)];
}

const BoardComponent &Board::GetComponent(std::int32_t i) const {
  return const_cast<Board *>(this)->GetComponent(i);
}

std::int32_t Board::IndexOf(const BoardComponent *c) const {
  for (std::size_t i = 0; i < components_.size(); ++i)
    if (components_[i].get() == c)
      return static_cast<std::int32_t>(i);
  return -1;
}

BoardComponent *Board::AddComponent(std::unique_ptr<BoardComponent> c) {
  BoardComponent *raw = c.get();
  components_.push_back(std::move(c));
  ComponentsChanged();
  Repaint();
  return raw;
}

void Board::RemoveComponent(BoardComponent *c) {
  if (SelectedComponent == c)
    SelectedComponent = nullptr;
  std::erase(Tint.Components, c);
  const std::int32_t i = IndexOf(c);
  if (i >= 0) {
    components_.erase(components_.begin() + i);
    ComponentsChanged();
  }
}

std::vector<BoardComponent *> Board::SpliceComponents(std::size_t first, std::size_t count,
                                                      const std::vector<BoardComponent> &values) {
  first = std::min(first, components_.size());
  count = std::min(count, components_.size() - first);
  const auto at = components_.begin() + static_cast<std::ptrdiff_t>(first);
  for (auto it = at; it != at + static_cast<std::ptrdiff_t>(count); ++it)
    if (it->get() == SelectedComponent)
      SelectedComponent = nullptr;
  components_.erase(at, at + static_cast<std::ptrdiff_t>(count));
  std::vector<std::unique_ptr<BoardComponent>> made;
  std::vector<BoardComponent *> result;
  made.reserve(values.size());
  for (const BoardComponent &v : values) {
    made.push_back(std::make_unique<BoardComponent>(v));
    result.push_back(made.back().get());
  }
  components_.insert(components_.begin() + static_cast<std::ptrdiff_t>(first),
                     std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
  ComponentsChanged();
  Repaint();
  return result;
}

void Board::SetTraces(const std::vector<std::string> &labels, std::int32_t pinCount) {
  traces_.resize(labels.size());
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (!traces_[i])
      traces_[i] = std::make_unique<Trace>();
    traces_[i]->Name = labels[i];
  }
  pinCount_ = pinCount;
  Repaint();
}

void Board::SetHighlightTrace(std::int32_t t) {
  HighlightTrace = t;
  Repaint();
}

void Board::SetHighlightEndTrace(std::int32_t t) {
  HighlightEndTrace = t;
  Repaint();
}

void Board::SetShowLabels(bool on) {
  showLabels_ = on;
  Repaint();
}

void Board::SetShowFlow(bool on) {
  showFlow_ = on;
  Repaint();
}

void Board::SetShowNets(bool on) {
  showNets_ = on;
  Repaint();
}

void Board::HandleMousePress(MouseButton button, bool shift, bool doubleClick, std::int32_t x,
                             std::int32_t y) {
  if (button != MouseButton::Left)
    return;
  if (y > PinPitch * pinCount_ + 3)
    return;
  const std::int32_t t = TraceAt(x);
  const std::int32_t p = PinAt(y);
  if (t > TraceCount() - 1)
    return;

  ClickedPin = p;
  SelectedComponent = nullptr;
  for (const auto &c : components_) {
    const auto [lo, hi] = std::minmax(c->StartTrace, c->EndTrace);
    if (c->StartPin == p && lo <= t && t <= hi) {
      SelectedComponent = c.get();
      break;
    }
  }

  if (SelectedComponent) {
    HighlightTrace = -1;
    HighlightEndTrace = -1;
    Notify(OnHighlightKompChange);
  } else if (shift) {
    HighlightEndTrace = t;
    Notify(OnHighlightTraceChange);
  } else {
    HighlightTrace = t;
    HighlightEndTrace = -1;
    SelectedComponent = nullptr;
    Notify(OnHighlightTraceChange);
    Notify(OnHighlightKompChange);
  }

  if (doubleClick && SelectedComponent)
    Notify(OnComponentEdit);
  Repaint();
}

} // namespace tarnwick
