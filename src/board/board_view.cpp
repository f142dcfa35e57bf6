#include "board/board_view.h"

#include "board/board_display.h"
#include "editing/edit_operations.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarnwick {

QFont ChooseBoardFont() {
  const QString family = QFontDatabase::families().contains(QStringLiteral("Small Fonts"))
                             ? QStringLiteral("Small Fonts")
                             : QStringLiteral("Arial");
  QFont f(family);
  f.setPointSize(7);
  return f;
}

namespace {

int FloorDiv(int a, int b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// dst = the part of src from `from` on, every pixel a k x k block, the first block cut where
// `from` is not a multiple of k.
void ScaleUp(const QImage &src, int k, QPoint from, QImage &dst) {
  const int width = dst.width();
  const QRgb *lastSource = nullptr;
  const QRgb *lastRow = nullptr;
  for (int y = 0; y < dst.height(); ++y) {
    auto *out = reinterpret_cast<QRgb *>(dst.scanLine(y));
    const auto *in = reinterpret_cast<const QRgb *>(src.constScanLine((from.y() + y) / k));
    if (in == lastSource) {
      std::memcpy(out, lastRow, static_cast<std::size_t>(width) * sizeof(QRgb));
      continue;
    }
    int sx = from.x() / k;
    int phase = from.x() % k;
    for (int x = 0; x < width; ++x) {
      out[x] = in[sx];
      if (++phase == k) {
        phase = 0;
        ++sx;
      }
    }
    lastSource = in;
    lastRow = out;
  }
}

} // namespace

BoardView::BoardView(QWidget *parent) : QWidget(parent) {
  setObjectName(QStringLiteral("BoardView"));
  // The view paints every pixel itself from an off-screen buffer.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardView::Repaint() {
  update();
  const QSize extent(TraceCount(), PinCount());
  if (extent != extent_) {
    extent_ = extent;
    SetScrollClamped(scroll_);
    emit ViewChanged();
  }
}

void BoardView::PaintBoard(QPainter &painter, QSize surface) {
  painter_.PaintBoard(painter, *this, DrawingFont(), surface);
}

int BoardView::DefaultZoom() const {
  const int whole = static_cast<int>(std::floor(devicePixelRatioF() + 1e-6));
  return std::clamp(whole, MinZoom, MaxZoom);
}

bool BoardView::Scrolls() const { return !ScrollLimit().isNull(); }

QSize BoardView::ZoomedExtent() const {
  const std::int64_t k = Zoom();
  const std::int64_t w = k * (std::int64_t{TracePitch} * TraceCount() + 3);
  const std::int64_t h = k * (std::int64_t{PinPitch} * PinCount() + 55);
  constexpr std::int64_t Largest = 1 << 24;
  return {static_cast<int>(std::min(w, Largest)), static_cast<int>(std::min(h, Largest))};
}

QSize BoardView::DeviceSize() const {
  const qreal r = devicePixelRatioF();
  return {static_cast<int>(std::ceil(width() * r - 1e-6)),
          static_cast<int>(std::ceil(height() * r - 1e-6))};
}

QPoint BoardView::ScrollLimit() const {
  const QSize extent = ZoomedExtent();
  const QSize device = DeviceSize();
  return {std::max(0, extent.width() - device.width()),
          std::max(0, extent.height() - device.height())};
}

void BoardView::SetScrollClamped(QPoint pos) {
  const QPoint limit = ScrollLimit();
  scroll_ = QPoint(std::clamp(pos.x(), 0, limit.x()), std::clamp(pos.y(), 0, limit.y()));
}

void BoardView::SetScrollPos(QPoint pos) {
  const QPoint before = scroll_;
  SetScrollClamped(pos);
  if (scroll_ == before)
    return;
  update();
  emit ViewChanged();
}

void BoardView::ZoomAbout(int zoom, QPointF anchor) {
  zoom = std::clamp(zoom, MinZoom, MaxZoom);
  const int old = Zoom();
  if (zoom == old)
    return;
  const qreal r = devicePixelRatioF();
  const QPointF device = anchor * r;
  // The board point under the anchor, in pixels of the unzoomed drawing.
  const QPointF board = (QPointF(scroll_) + device) / old;
  zoom_ = zoom;
  const QPointF wanted = board * zoom - device;
  SetScrollClamped(
      QPoint(static_cast<int>(std::lround(wanted.x())), static_cast<int>(std::lround(wanted.y()))));
  update();
  emit ViewChanged();
}

void BoardView::ZoomIn() { ZoomAbout(Zoom() + 1, QPointF(width() / 2.0, height() / 2.0)); }

void BoardView::ZoomOut() { ZoomAbout(Zoom() - 1, QPointF(width() / 2.0, height() / 2.0)); }

void BoardView::ActualSize() {
  zoom_ = 0;
  // The corner with the first strip: at the right from the copper side.
  scroll_ = QPoint();
  if (copperSide_)
    scroll_.setX(ScrollLimit().x());
  update();
  emit ViewChanged();
}

void BoardView::SetCopperSide(bool on) {
  if (on == copperSide_)
    return;
  copperSide_ = on;
  // The same part of the board stays in view, now from the other side.
  const QPoint limit = ScrollLimit();
  SetScrollClamped(QPoint(limit.x() - scroll_.x(), scroll_.y()));
  update();
  emit ViewChanged();
}

// Unzoomed, unscrolled and from above on an unscaled screen: the drawing is the board's own.
bool BoardView::Plain() const {
  return Zoom() == 1 && devicePixelRatioF() == 1.0 && scroll_.isNull() && !copperSide_;
}

std::optional<QPoint> BoardView::BoardPoint(QPointF pos) const {
  if (Plain())
    return pos.toPoint();
  const qreal r = devicePixelRatioF();
  const int k = Zoom();
  const int dx = static_cast<int>(std::floor(pos.x() * r)) + scroll_.x();
  const int dy = static_cast<int>(std::floor(pos.y() * r)) + scroll_.y();
  QPoint p(FloorDiv(dx, k), FloorDiv(dy, k));
  if (copperSide_) {
    if (p.x() > MirrorX(0, TraceCount()))
      return std::nullopt;
    p.setX(MirrorX(p.x(), TraceCount()));
  }
  return p;
}

const Board &BoardView::Shown() {
  DisplayChange change;
  change.Mirrored = copperSide_;
  if (dragging_ && CanMoveComponentsBy(*this, dragged_, dragDx_, dragDy_)) {
    change.Moved.assign(dragged_.begin(), dragged_.end());
    change.Dx = dragDx_;
    change.Dy = dragDy_;
  }
  if (change.IsNone())
    return *this;
  CopyForDisplay(*this, change, shown_);
  return shown_;
}

// Every selected component is framed, in the board as shown (which may be a copy).
std::unordered_set<const BoardComponent *> BoardView::Framed(const Board &shown) const {
  const std::vector<BoardComponent *> selected = DragComponents();
  std::unordered_set<const BoardComponent *> framed(selected.begin(), selected.end());
  if (&shown == this || framed.empty())
    return framed;
  std::unordered_set<const BoardComponent *> copies;
  copies.reserve(framed.size());
  for (std::int32_t i = 0; i < ComponentCount() && i < shown.ComponentCount(); ++i)
    if (framed.count(&GetComponent(i)))
      copies.insert(&shown.GetComponent(i));
  return copies;
}

void BoardView::PaintShown(QPainter &painter, QSize surface) {
  const Board &shown = Shown();
  const std::unordered_set<const BoardComponent *> framed = Framed(shown);
  painter_.PaintBoard(painter, shown, DrawingFont(), surface, copperSide_, &framed);
  const GridRect &s = SizePreview;
  if (copperSide_ && s.Right > 0 && s.Bottom > 0) {
    // The outline of the new size, from the first strip, which is now at the right.
    const int right = MirrorX(2, TraceCount()) + 1;
    Canvas canvas(painter, DrawingFont());
    canvas.FocusRect(right - s.Right * TracePitch, 2, right, s.Bottom * PinPitch + 2);
  }
}

void BoardView::paintEvent(QPaintEvent *) {
  // A board built without a repaint request (a new layout) is reported once painting is done.
  if (QSize(TraceCount(), PinCount()) != extent_)
    QMetaObject::invokeMethod(this, &BoardView::Repaint, Qt::QueuedConnection);
  if (Plain()) {
    if (buffer_.size() != size())
      buffer_ = QImage(size(), QImage::Format_RGB32);
    {
      QPainter p(&buffer_);
      PaintShown(p, size());
    }
    QPainter screen(this);
    screen.drawImage(0, 0, buffer_);
    return;
  }
  const QSize device = DeviceSize();
  if (device.isEmpty())
    return;
  if (buffer_.size() != device)
    buffer_ = QImage(device, QImage::Format_RGB32);
  buffer_.setDevicePixelRatio(1.0);
  const int k = Zoom();
  if (k == 1 && scroll_.isNull()) {
    QPainter p(&buffer_);
    PaintShown(p, device);
  } else {
    // The unzoomed drawing from the board's corner to the far edge of what shows, then scaled.
    const QSize needed((scroll_.x() + device.width() + k - 1) / k,
                       (scroll_.y() + device.height() + k - 1) / k);
    if (plain_.size() != needed)
      plain_ = QImage(needed, QImage::Format_RGB32);
    {
      QPainter p(&plain_);
      PaintShown(p, needed);
    }
    ScaleUp(plain_, k, scroll_, buffer_);
  }
  buffer_.setDevicePixelRatio(devicePixelRatioF());
  QPainter screen(this);
  screen.drawImage(0, 0, buffer_);
}

// The scroll range depends on the view's size.
void BoardView::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  SetScrollClamped(scroll_);
  emit ViewChanged();
}

void BoardView::Press(QMouseEvent *event, bool doubleClick) {
  MouseButton button = MouseButton::Middle;
  if (event->button() == Qt::LeftButton)
    button = MouseButton::Left;
  else if (event->button() == Qt::RightButton)
    button = MouseButton::Right;
  const std::optional<QPoint> pos = BoardPoint(event->position());
  if (!pos)
    return;
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  if (button == MouseButton::Left && !doubleClick && OnDraggable(*pos)) {
    held_ = HeldPress{*pos, shift};
    return;
  }
  HandleMousePress(button, shift, doubleClick, pos->x(), pos->y());
}

std::vector<BoardComponent *> BoardView::DragComponents() const {
  if (DragSelection)
    return DragSelection();
  if (SelectedComponent)
    return {SelectedComponent};
  return {};
}

// Whether the press lands on a hole of a component that a drag would move: the hole the press
// would pick, on the row and between the ends of one of them.
bool BoardView::OnDraggable(QPoint p) const {
  if (p.x() < 0 || p.y() > PinPitch * PinCount() + 3)
    return false;
  const std::int32_t t = TraceAt(p.x());
  const std::int32_t pin = PinAt(p.y());
  if (t > TraceCount() - 1)
    return false;
  for (const BoardComponent *c : DragComponents()) {
    if (c == nullptr)
      continue;
    const auto [lo, hi] = std::minmax(c->StartTrace, c->EndTrace);
    if (c->StartPin == pin && lo <= t && t <= hi)
      return true;
  }
  return false;
}

void BoardView::mousePressEvent(QMouseEvent *event) {
  if (held_ || dragging_)
    return;
  Press(event, false);
}

// The toolkit delivers a double click as a press followed by a double-click event; the second
// press runs through the same steps with the double-click flag set.
void BoardView::mouseDoubleClickEvent(QMouseEvent *event) {
  if (dragging_)
    return;
  if (held_) {
    // The first press was not released: it runs as it would have, before the second.
    const HeldPress press = *held_;
    held_.reset();
    HandleMousePress(MouseButton::Left, press.shift, false, press.at.x(), press.at.y());
  }
  Press(event, true);
}

void BoardView::mouseMoveEvent(QMouseEvent *event) {
  if (held_)
    FollowPointer(event->position());
}

// The components follow the pointer in whole holes, counted from the press.
void BoardView::FollowPointer(QPointF pos) {
  const qreal r = devicePixelRatioF();
  const int k = Zoom();
  qreal x = (pos.x() * r + scroll_.x()) / k;
  const qreal y = (pos.y() * r + scroll_.y()) / k;
  if (copperSide_)
    x = MirrorX(0, TraceCount()) - x;
  const auto dx = static_cast<std::int32_t>(std::lround((x - held_->at.x()) / TracePitch));
  const auto dy = static_cast<std::int32_t>(std::lround((y - held_->at.y()) / PinPitch));
  if (!dragging_) {
    if (dx == 0 && dy == 0)
      return;
    dragging_ = true;
    dragged_ = DragComponents();
    // Escape cancels the drag wherever the keyboard focus is.
    grabKeyboard();
  }
  if (dx == dragDx_ && dy == dragDy_)
    return;
  dragDx_ = dx;
  dragDy_ = dy;
  update();
}

void BoardView::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || !held_)
    return;
  const HeldPress press = *held_;
  held_.reset();
  if (!dragging_) {
    HandleMousePress(MouseButton::Left, press.shift, false, press.at.x(), press.at.y());
    return;
  }
  const std::int32_t dx = dragDx_, dy = dragDy_;
  CancelDrag();
  if ((dx != 0 || dy != 0) && OnDragMove)
    OnDragMove(dx, dy);
}

void BoardView::CancelDrag() {
  if (!held_ && !dragging_)
    return;
  if (dragging_)
    releaseKeyboard();
  held_.reset();
  dragging_ = false;
  dragged_.clear();
  dragDx_ = dragDy_ = 0;
  update();
}

// A drag never outlives the window's activation: its release could go elsewhere, and the
// keyboard would stay taken.
void BoardView::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && dragging_ && !isActiveWindow())
    CancelDrag();
}

void BoardView::hideEvent(QHideEvent *event) {
  QWidget::hideEvent(event);
  if (held_ || dragging_)
    CancelDrag();
}

void BoardView::keyPressEvent(QKeyEvent *event) {
  if (dragging_ && event->key() == Qt::Key_Escape) {
    CancelDrag();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

// The plain wheel scrolls, with Shift sideways; with Ctrl it zooms about the pointer.
void BoardView::wheelEvent(QWheelEvent *event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    Scroll(event);
    return;
  }
  wheelSteps_ += event->angleDelta().y();
  const int steps = wheelSteps_ / 120;
  wheelSteps_ -= steps * 120;
  if (steps != 0)
    ZoomAbout(Zoom() + steps, event->position());
  event->accept();
}

// A notch of the wheel scrolls three holes; a touchpad scrolls by its pixels.
void BoardView::Scroll(QWheelEvent *event) {
  if (!Scrolls()) {
    event->ignore();
    return;
  }
  const qreal r = devicePixelRatioF();
  const int k = Zoom();
  QPointF by;
  if (!event->pixelDelta().isNull()) {
    by = QPointF(event->pixelDelta()) * r;
  } else {
    by = QPointF(event->angleDelta().x() * 3.0 * k * TracePitch / 120.0,
                 event->angleDelta().y() * 3.0 * k * PinPitch / 120.0);
  }
  // Shift turns the wheel's vertical turn into a sideways one (some systems do it themselves).
  if (event->modifiers() & Qt::ShiftModifier && by.x() == 0)
    by = QPointF(by.y() * TracePitch / PinPitch, 0);
  SetScrollPos(scroll_ - by.toPoint());
  event->accept();
}

} // namespace tarnwick
