#pragma once

#include "board/board.h"

#include <QString>
#include <memory>
#include <vector>

class QWidget;

namespace tarnwick {

class BoardView;
class Document;
class Prompts;

// What the File, Edit and output commands and their dialogs see of the window that shows the
// layout: the board, its document and history, the prompts, and the few things of the window
// a command changes. The main window implements it; nothing outside the window's own folder
// needs to know the window itself.
class EditorHost {
public:
  virtual ~EditorHost() = default;
  virtual BoardView &View() = 0;
  virtual Document &Doc() = 0;
  virtual Prompts &Ask() = 0;
  // The parent of dialogs and message boxes.
  virtual QWidget *Window() = 0;
  // Adds a component as one step of the history ("Add Component").
  virtual void AddComponentToLayout(std::unique_ptr<BoardComponent> c) = 0;
  // The components of the selected list rows, in list order (the first is the first selected
  // row's).
  virtual std::vector<BoardComponent *> SelectedComponents() const = 0;
  // The layout's name, from the name box.
  virtual QString LayoutName() const = 0;
  // Asks whether unsaved changes may be discarded; true when there are none or on OK.
  virtual bool DiscardQuery() = 0;
  // Returns the window to the empty, untitled layout with a fresh history.
  virtual void ResetDocument() = 0;
  // Shows the side panel of a layout being edited.
  virtual void ShowLayoutPanel() = 0;
};

} // namespace tarnwick
