#pragma once

// The Edit menu's commands, each one step of the layout's history. Each checks its own
// preconditions and does nothing when they do not hold.

#include "editing/edit_operations.h"

#include <string>

namespace tarnwick {

class EditorHost;
class TNewCompForm;

// Moves the components of the selected rows one step, all or none.
void MoveSelectionCommand(EditorHost &host, MoveDirection direction);
// A drag of the selected components by whole traces and rows, all or none: one step "Move".
void MoveSelectionByCommand(EditorHost &host, std::int32_t dx, std::int32_t dy);
void ShiftTraceCommand(EditorHost &host, ShiftDirection direction);
// Removes the component of the first selected row.
void RemoveComponentCommand(EditorHost &host);
// Sets the highlighted trace's label.
void SetTraceLabelCommand(EditorHost &host, const std::string &text);
void BoardPropertiesCommand(EditorHost &host);
void ShrinkBoardCommand(EditorHost &host);

// Add Component: the component dialog in add mode, each OK one step.
void AddComponentCommand(EditorHost &host, TNewCompForm &dialog);
// Edit Component: the dialog in edit mode for c; its OK is one step. Afterwards, also when the
// dialog fails, the dialog edits nothing and no trace, end trace or row is highlighted.
// Returns whether the dialog ended with OK.
bool EditComponentCommand(EditorHost &host, TNewCompForm &dialog, BoardComponent *c);

} // namespace tarnwick
