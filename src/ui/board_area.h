#pragma once

#include <QWidget>

class QMenu;
class QAction;
class QActionGroup;
class QScrollBar;

namespace tarnwick {

class BoardView;
class Ruler;

// The board view with the scroll bars it needs once zoomed, and the rulers following its zoom,
// scroll position and side. Unzoomed, the view fills the whole area, as it always did.
class BoardArea : public QWidget {
  Q_OBJECT
public:
  // Takes the view as its child.
  BoardArea(BoardView *view, QWidget *parent);
  void Follow(Ruler *top, Ruler *left);

  QScrollBar *HorizontalBar() const { return hbar_; }
  QScrollBar *VerticalBar() const { return vbar_; }

private:
  // Brings the bars and rulers in line with the view. Showing or hiding a bar resizes the view
  // at once, which asks for a Sync inside this one: that request is run after it, so no bar
  // keeps a range computed for the view's old size.
  void Sync();
  void SyncOnce();

  BoardView *view_;
  QScrollBar *hbar_;
  QScrollBar *vbar_;
  Ruler *top_ = nullptr;
  Ruler *left_ = nullptr;
  bool syncing_ = false;
  bool syncAgain_ = false;
};

// The View menu's entries of the zoom and the side: "Zoom In", "Zoom Out", "Actual Size", the
// factors 1x to 4x (the one in use checked) and the check entry "Copper Side".
struct ViewEntries {
  QAction *ZoomIn = nullptr;
  QAction *ZoomOut = nullptr;
  QAction *ActualSize = nullptr;
  QActionGroup *Factors = nullptr;
  QAction *CopperSide = nullptr;
};
ViewEntries AddViewEntries(QMenu &menu, BoardView &view);

} // namespace tarnwick
