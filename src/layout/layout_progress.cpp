#include "layout/layout_progress.h"

#include "layout/layout_worker.h"
#include "ui/handler_guard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tarnwick {
namespace {

// Often enough that the figures and the buttons answer within a frame.
constexpr int PollMilliseconds = 15;

QString Count(std::int64_t n, const char *one, const char *many) {
  return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

QString DescribeCost(const layout::LayoutCost &cost) {
  return QStringLiteral("%1 \u00d7 %2 = %3, %4, %5")
      .arg(cost.Traces)
      .arg(cost.Rows)
      .arg(Count(cost.Holes(), "hole", "holes"), Count(cost.Links, "link", "links"),
           Count(cost.CutHoles, "cut", "cuts"));
}

LayoutProgressDialog::LayoutProgressDialog(LayoutWorker &worker, const QString &netlistName,
                                           QWidget *parent)
    : QDialog(parent), worker_(worker) {
  setObjectName(QStringLiteral("LayoutProgressDialog"));
  setWindowTitle(QStringLiteral("Lay Out Netlist"));
  setModal(true);
  auto *column = new QVBoxLayout(this);
  status_ = new QLabel(QStringLiteral("Laying out %1 ...").arg(netlistName), this);
  status_->setObjectName(QStringLiteral("LayoutStatus"));
  // The search reports only when it finds a better board, so the bar shows that it runs, not
  // how far: its figures are the best board's.
  Bar = new QProgressBar(this);
  Bar->setObjectName(QStringLiteral("LayoutProgressBar"));
  Bar->setRange(0, 0);
  Bar->setTextVisible(false);
  Bar->setMinimumWidth(360);
  auto *best = new QHBoxLayout;
  best->addWidget(new QLabel(QStringLiteral("Best so far:"), this));
  BestLabel = new QLabel(QStringLiteral("none yet"), this);
  BestLabel->setObjectName(QStringLiteral("LayoutBest"));
  BestLabel->setMinimumWidth(
      BestLabel->fontMetrics().horizontalAdvance(DescribeCost({999, 40, 9999, 9999})));
  best->addWidget(BestLabel, 1);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  UseBestButton = new QPushButton(QStringLiteral("Use Best So Far"), this);
  UseBestButton->setObjectName(QStringLiteral("LayoutUseBest"));
  UseBestButton->setEnabled(false); // until there is a board to use
  UseBestButton->setAutoDefault(false);
  CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  CancelButton->setObjectName(QStringLiteral("LayoutCancel"));
  CancelButton->setAutoDefault(false);
  buttons->addWidget(UseBestButton);
  buttons->addWidget(CancelButton);
  column->addWidget(status_);
  column->addWidget(Bar);
  column->addLayout(best);
  column->addLayout(buttons);
  connect(UseBestButton, &QPushButton::clicked, this, Guarded([this] { UseBest(); }));
  connect(CancelButton, &QPushButton::clicked, this, Guarded([this] { Cancel(); }));
  // The search runs already; the figures follow it whether or not the dialog is on screen.
  poll_ = new QTimer(this);
  poll_->setInterval(PollMilliseconds);
  connect(poll_, &QTimer::timeout, this, Guarded([this] { Poll(); }));
  poll_->start();
}

void LayoutProgressDialog::reject() { Cancel(); }

// Nothing of the search is wanted: the dialog need not wait for its step to end.
void LayoutProgressDialog::Cancel() {
  if (ended_)
    return;
  worker_.Stop();
  poll_->stop();
  ended_ = true;
  QDialog::done(QDialog::Rejected);
}

// The search ends after its current step with the best board so far; Cancel still answers.
void LayoutProgressDialog::UseBest() {
  if (ended_ || stopping_)
    return;
  stopping_ = true;
  worker_.Stop();
  UseBestButton->setEnabled(false);
  status_->setText(QStringLiteral("Finishing with the best board so far ..."));
  Poll();
}

void LayoutProgressDialog::Poll() {
  if (ended_)
    return;
  if (const auto progress = worker_.Progress()) {
    const QString best = DescribeCost(progress->Best);
    if (BestLabel->text() != best)
      BestLabel->setText(best);
    if (!stopping_)
      UseBestButton->setEnabled(true);
  }
  if (!worker_.Done())
    return;
  poll_->stop();
  ended_ = true;
  QDialog::done(QDialog::Accepted);
}

} // namespace tarnwick
