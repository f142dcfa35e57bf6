#include "ui/board_area.h"
#include "ui/handler_guard.h"

#include "board/board_view.h"
#include "ui/rulers.h"

#include <QAction>
#include <QActionGroup>
#include <QGridLayout>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>

namespace tarnwick {
namespace {

// Shows or hides a bar and sets its range in device pixels of the zoomed board.
void SetUp(QScrollBar &bar, int limit, int page, int step, int value) {
  const QSignalBlocker quiet(&bar);
  bar.setRange(0, limit);
  bar.setPageStep(std::max(page, 1));
  bar.setSingleStep(step);
  bar.setValue(value);
  bar.setVisible(limit > 0);
}

} // namespace

BoardArea::BoardArea(BoardView *view, QWidget *parent)
    : QWidget(parent), view_(view), hbar_(new QScrollBar(Qt::Horizontal, this)),
      vbar_(new QScrollBar(Qt::Vertical, this)) {
  setObjectName(QStringLiteral("BoardArea"));
  hbar_->setObjectName(QStringLiteral("BoardHorizontalBar"));
  vbar_->setObjectName(QStringLiteral("BoardVerticalBar"));
  auto *grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  view_->setParent(this);
  grid->addWidget(view_, 0, 0);
  grid->addWidget(vbar_, 0, 1);
  grid->addWidget(hbar_, 1, 0);
  grid->setRowStretch(0, 1);
  grid->setColumnStretch(0, 1);
  hbar_->hide();
  vbar_->hide();
  auto scrolled = Guarded([this] { view_->SetScrollPos(QPoint(hbar_->value(), vbar_->value())); });
  connect(hbar_, &QScrollBar::valueChanged, this, scrolled);
  connect(vbar_, &QScrollBar::valueChanged, this, scrolled);
  connect(view_, &BoardView::ViewChanged, this, Guarded([this] { Sync(); }));
}

void BoardArea::Follow(Ruler *top, Ruler *left) {
  top_ = top;
  left_ = left;
  Sync();
}

void BoardArea::Sync() {
  if (syncing_) {
    syncAgain_ = true;
    return;
  }
  syncing_ = true;
  // Bars only appear as the view shrinks (or only go as it grows), so this settles quickly.
  for (int round = 0; round < 4; ++round) {
    syncAgain_ = false;
    SyncOnce();
    if (!syncAgain_)
      break;
  }
  syncing_ = false;
}

void BoardArea::SyncOnce() {
  const QPoint limit = view_->ScrollLimit();
  const QPoint pos = view_->ScrollPos();
  const QSize device = view_->DeviceSize();
  const int k = view_->Zoom();
  SetUp(*hbar_, limit.x(), device.width(), k * TracePitch, pos.x());
  SetUp(*vbar_, limit.y(), device.height(), k * PinPitch, pos.y());
  const int mirrorAt = view_->CopperSide() ? TracePitch * view_->TraceCount() : -1;
  if (top_)
    top_->SetView(k, pos.x(), mirrorAt);
  if (left_)
    left_->SetView(k, pos.y(), -1);
}

ViewEntries AddViewEntries(QMenu &menu, BoardView &view) {
  ViewEntries e;
  menu.addSeparator();
  e.ZoomIn = menu.addAction(QStringLiteral("Zoom In"));
  e.ZoomIn->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  QObject::connect(e.ZoomIn, &QAction::triggered, &view, Guarded([&view] { view.ZoomIn(); }));
  e.ZoomOut = menu.addAction(QStringLiteral("Zoom Out"));
  e.ZoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
  QObject::connect(e.ZoomOut, &QAction::triggered, &view, Guarded([&view] { view.ZoomOut(); }));
  e.ActualSize = menu.addAction(QStringLiteral("Actual Size"));
  e.ActualSize->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
  QObject::connect(e.ActualSize, &QAction::triggered, &view,
                   Guarded([&view] { view.ActualSize(); }));
  // The factor in use, checked; choosing one zooms to it.
  e.Factors = new QActionGroup(&menu);
  e.Factors->setExclusive(true);
  for (int k = BoardView::MinZoom; k <= BoardView::MaxZoom; ++k) {
    QAction *a = menu.addAction(QStringLiteral("%1\u00d7").arg(k));
    a->setCheckable(true);
    a->setData(k);
    e.Factors->addAction(a);
    QObject::connect(a, &QAction::triggered, &view, Guarded([&view, k] {
                       view.ZoomAbout(k, QPointF(view.width() / 2.0, view.height() / 2.0));
                     }));
  }
  menu.addSeparator();
  e.CopperSide = menu.addAction(QStringLiteral("Copper Side"));
  e.CopperSide->setCheckable(true);
  e.CopperSide->setChecked(false);
  QObject::connect(e.CopperSide, &QAction::triggered, &view,
                   Guarded([&view, a = e.CopperSide] { view.SetCopperSide(a->isChecked()); }));
  auto showFactor = Guarded([&view, group = e.Factors] {
    for (QAction *a : group->actions())
      a->setChecked(a->data().toInt() == view.Zoom());
  });
  showFactor();
  QObject::connect(&view, &BoardView::ViewChanged, &menu, showFactor);
  // The default zoom depends on the screen, known once the window is shown.
  QObject::connect(&menu, &QMenu::aboutToShow, &menu, showFactor);
  return e;
}

} // namespace tarnwick
