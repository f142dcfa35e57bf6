// The Edit menu's commands on components and traces.
#include "editing/editing_commands.h"

#include "board/board_view.h"
#include "document/document.h"
#include "document/editor_host.h"
#include "document/newschematic.h"
#include "editing/u_newcompnt.h"
#include "ui/EnhControls.h"
#include "ui/prompts.h"

#include <algorithm>

namespace tarnwick {

namespace {

const char *MoveName(MoveDirection direction) {
  switch (direction) {
  case MoveDirection::Left:
    return "Move Left";
  case MoveDirection::Right:
    return "Move Right";
  case MoveDirection::Up:
    return "Move Up";
  case MoveDirection::Down:
    break;
  }
  return "Move Down";
}

// Shows `current` and never goes below `minimum`. The range reaches beyond 100 when the board
// or its components already do, so confirming unchanged values never cuts the board.
void PresetSize(TUpDownEdit &edit, std::int32_t current, std::int32_t minimum) {
  edit.SetMax(std::max({edit.Max(), current, minimum}));
  edit.SetPosition(current);
  edit.SetMin(minimum);
}

// Change handler of both spin edits: outlines the size the board would get.
void UpdateSizePreview(Board &board, TNewLayoutForm &dialog) {
  board.SetHighlightTrace(-1);
  board.SetHighlightEndTrace(-1);
  board.SizePreview = {0, 0, dialog.UpDownEdit1->Position(), dialog.UpDownEdit2->Position()};
  board.Repaint();
}

// Runs its action when the scope ends, also when an error leaves it.
template <typename F> class Finally {
public:
  explicit Finally(F f) : f_(std::move(f)) {}
  ~Finally() { f_(); }
  Finally(const Finally &) = delete;
  Finally &operator=(const Finally &) = delete;

private:
  F f_;
};

// Seen from the copper side, left on the screen is right on the board: the commands act in the
// direction their keys and arrows show.
MoveDirection OnBoard(EditorHost &host, MoveDirection shown) {
  if (!host.View().CopperSide())
    return shown;
  if (shown == MoveDirection::Left)
    return MoveDirection::Right;
  if (shown == MoveDirection::Right)
    return MoveDirection::Left;
  return shown;
}

ShiftDirection OnBoard(EditorHost &host, ShiftDirection shown) {
  if (!host.View().CopperSide())
    return shown;
  return shown == ShiftDirection::Left ? ShiftDirection::Right : ShiftDirection::Left;
}

} // namespace

void MoveSelectionCommand(EditorHost &host, MoveDirection direction) {
  const std::vector<BoardComponent *> selected = host.SelectedComponents();
  const MoveDirection onBoard = OnBoard(host, direction);
  host.Doc().Apply(MoveName(direction),
                   [&] { return MoveComponents(host.View(), selected, onBoard); });
}

void MoveSelectionByCommand(EditorHost &host, std::int32_t dx, std::int32_t dy) {
  const std::vector<BoardComponent *> selected = host.SelectedComponents();
  host.Doc().Apply("Move", [&] { return MoveComponentsBy(host.View(), selected, dx, dy); });
}

void ShiftTraceCommand(EditorHost &host, ShiftDirection direction) {
  const char *name =
      direction == ShiftDirection::Left ? "Shift Trace To Left" : "Shift Trace To Right";
  const ShiftDirection onBoard = OnBoard(host, direction);
  host.Doc().Apply(name, [&] { return ShiftTrace(host.View(), onBoard); });
}

void RemoveComponentCommand(EditorHost &host) {
  const std::vector<BoardComponent *> selected = host.SelectedComponents();
  if (selected.empty())
    return;
  BoardComponent *c = selected.front();
  // The list drops the row with the component; the board's selection then moves to the next
  // selected row.
  host.Doc().Apply("Remove Component", [&] {
    host.View().RemoveComponent(c);
    host.View().Repaint();
    return true;
  });
}

void SetTraceLabelCommand(EditorHost &host, const std::string &text) {
  host.Doc().Apply("Set Trace Label", [&] { return SetTraceLabel(host.View(), text); });
}

void BoardPropertiesCommand(EditorHost &host) {
  Board &board = host.View();
  if (board.TraceCount() == 0)
    return;
  const BoardSize minimum = MinimumBoardSize(board);
  // The outline goes when the dialog ends, also when it ends with an error.
  const Finally outline([&board] {
    board.SizePreview = {};
    board.Repaint();
  });
  TNewLayoutForm dialog(host.Window());
  dialog.setWindowTitle(QStringLiteral("Board Properties"));
  PresetSize(*dialog.UpDownEdit1, board.TraceCount(), minimum.Traces);
  PresetSize(*dialog.UpDownEdit2, board.PinCount(), minimum.Pins);
  // Attached last, so the outline appears from the user's first change on.
  dialog.UpDownEdit1->OnChange = [&board, &dialog] { UpdateSizePreview(board, dialog); };
  dialog.UpDownEdit2->OnChange = [&board, &dialog] { UpdateSizePreview(board, dialog); };
  if (host.Ask().Exec(dialog) != QDialog::Accepted)
    return;
  host.Doc().Apply("Board Properties", [&] {
    board.Resize(dialog.UpDownEdit1->Position(), dialog.UpDownEdit2->Position());
    return true;
  });
}

void ShrinkBoardCommand(EditorHost &host) {
  host.Doc().Apply("Shrink Board", [&] { return ShrinkBoard(host.View()); });
}

void AddComponentCommand(EditorHost &host, TNewCompForm &dialog) {
  Board &board = host.View();
  if (board.TraceCount() == 0)
    return;
  dialog.PrepareAdd();
  // The start trace the dialog previewed last stays highlighted.
  const Finally cleanup([&board] {
    board.HighlightPin = -1;
    board.SetHighlightEndTrace(-1);
  });
  host.Ask().Exec(dialog);
}

bool EditComponentCommand(EditorHost &host, TNewCompForm &dialog, BoardComponent *c) {
  if (!c)
    return false;
  Board &board = host.View();
  const Finally cleanup([&board, &dialog] {
    dialog.EditedComponent = nullptr;
    board.HighlightPin = -1;
    board.SetHighlightEndTrace(-1);
    board.SetHighlightTrace(-1);
  });
  dialog.EditedComponent = c;
  return host.Ask().Exec(dialog) == QDialog::Accepted;
}

} // namespace tarnwick
