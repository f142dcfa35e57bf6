#pragma once

#include "board/board.h"
#include "board/board_painter.h"

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_set>
#include <vector>

namespace tarnwick {

// The board control: the board model drawn on screen, reacting to mouse presses.
//
// The board is pixel art. Zoomed, every pixel of its drawing becomes a block of Zoom() x Zoom()
// device pixels, never smoothed, and on screens that scale windows the blocks still fall on
// whole device pixels. Zoomed beyond what the screen shows unscaled, the view shows a part of
// the board, from ScrollPos().
class BoardView : public QWidget, public Board {
  Q_OBJECT
public:
  explicit BoardView(QWidget *parent = nullptr);

  void Repaint() override;

  // Paints the board onto any raster surface of the given size; the view and the image export
  // both draw through this. It is always the board as seen from above, unzoomed.
  void PaintBoard(QPainter &painter, QSize surface);
  // Writes the board as a PNG file with the caption underneath (defined with the image export).
  void SaveImage(const QString &fileName, const QString &caption);
  // The font the board draws its texts in: the control's font.
  QFont DrawingFont() const { return font(); }

  // Device pixels per pixel of the board's drawing.
  static constexpr int MinZoom = 1;
  static constexpr int MaxZoom = 4;
  int Zoom() const { return zoom_ > 0 ? zoom_ : DefaultZoom(); }
  // The largest whole factor the screen's scaling allows: the board then looks as large as on
  // an unscaled screen, or a little smaller, and stays sharp.
  int DefaultZoom() const;
  // Zooms keeping the board's point under `anchor` (view coordinates) where it is.
  void ZoomAbout(int zoom, QPointF anchor);
  void ZoomIn();
  void ZoomOut();
  // Back to the default zoom, scrolled to the top-left corner.
  void ActualSize();

  // Seen from below: mirrored left to right, bodies as outlines, texts readable.
  bool CopperSide() const { return copperSide_; }
  void SetCopperSide(bool on);

  // Whether the board, at the zoom in use, does not fit the view; only then does it scroll.
  bool Scrolls() const;
  // The zoomed drawing of the whole board (strips, labels and the caption's room), in device
  // pixels.
  QSize ZoomedExtent() const;
  QSize DeviceSize() const;
  QPoint ScrollPos() const { return scroll_; }
  QPoint ScrollLimit() const;
  void SetScrollPos(QPoint pos);

  // A point of the view as a point of the board's own drawing (unzoomed, from above); none
  // where the copper side shows nothing of the board (right of its first strip).
  std::optional<QPoint> BoardPoint(QPointF pos) const;

  // The components a drag moves: those selected in the owner's list. Unset: the selected
  // component.
  std::function<std::vector<BoardComponent *>()> DragSelection;
  // Called when a drag ended on another place, with the move in traces and rows.
  std::function<void(std::int32_t dx, std::int32_t dy)> OnDragMove;
  bool Dragging() const { return dragging_; }
  // Ends a drag (or a held press) without moving anything. Whatever changes the layout runs it
  // first: the drag holds the components it moves, which the change may free.
  void CancelDrag();

signals:
  // The zoom, the scroll position, the side or the board's size changed: rulers and scroll
  // bars follow.
  void ViewChanged();

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;
  void hideEvent(QHideEvent *event) override;

private:
  // A left press on a selected component: it becomes a drag once the pointer moves a hole,
  // and an ordinary press when the button is released before that.
  struct HeldPress {
    QPoint at; // board point
    bool shift;
  };

  void Press(QMouseEvent *event, bool doubleClick);
  bool OnDraggable(QPoint boardPoint) const;
  std::vector<BoardComponent *> DragComponents() const;
  void FollowPointer(QPointF pos);
  bool Plain() const;
  const Board &Shown();
  void PaintShown(QPainter &painter, QSize surface);
  std::unordered_set<const BoardComponent *> Framed(const Board &shown) const;
  void SetScrollClamped(QPoint pos);
  void Scroll(QWheelEvent *event);

  BoardPainter painter_;
  QImage buffer_;
  QImage plain_; // the unzoomed drawing a zoomed repaint scales up
  Board shown_;  // the board as shown, when it differs from the board itself

  int zoom_ = 0; // 0: the default zoom
  QPoint scroll_;
  bool copperSide_ = false;
  QSize extent_; // traces and pins last reported

  std::optional<HeldPress> held_;
  bool dragging_ = false;
  std::vector<BoardComponent *> dragged_;
  std::int32_t dragDx_ = 0;
  std::int32_t dragDy_ = 0;
  int wheelSteps_ = 0; // eighths of a degree not yet turned into zoom steps
};

// The board view's font: "Small Fonts" when the system has it, else "Arial", 7 points.
QFont ChooseBoardFont();

} // namespace tarnwick
