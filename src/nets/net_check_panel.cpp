#include "nets/net_check_panel.h"
#include "ui/handler_guard.h"

#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tarnwick {
namespace {

void Style(QListWidgetItem &item, ReportKind kind) {
  QFont font = item.font();
  switch (kind) {
  case ReportKind::Verdict:
    font.setBold(true);
    item.setFont(font);
    break;
  case ReportKind::Problem:
    item.setForeground(QColor(176, 0, 0));
    break;
  case ReportKind::Note:
    item.setForeground(QColor(96, 96, 96));
    break;
  case ReportKind::Fine:
    break;
  }
}

} // namespace

NetCheckPanel::NetCheckPanel(Board &board, QWidget *parent) : QWidget(parent), board_(board) {
  setObjectName(QStringLiteral("NetCheckPanel"));
  setFixedWidth(280);
  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(6, 6, 6, 6);
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("NetCheckTitle"));
  title_->setWordWrap(true);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("NetCheckList"));
  list_->setWordWrap(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  close_ = new QPushButton(QStringLiteral("Close"), this);
  close_->setObjectName(QStringLiteral("NetCheckClose"));
  close_->setAutoDefault(false);
  column->addWidget(title_);
  column->addWidget(list_, 1);
  column->addWidget(close_, 0, Qt::AlignRight);
  recheck_ = new QTimer(this);
  recheck_->setSingleShot(true);
  recheck_->setInterval(0);
  connect(recheck_, &QTimer::timeout, this, Guarded([this] { Recheck(); }));
  connect(list_, &QListWidget::currentRowChanged, this,
          Guarded([this](int row) { ShowLine(row); }));
  // A click on the current line marks it again, after a click on the board moved on.
  connect(list_, &QListWidget::itemClicked, this,
          Guarded([this](QListWidgetItem *item) { ShowLine(list_->row(item)); }));
  connect(close_, &QPushButton::clicked, this, Guarded([this] { CloseReport(); }));
  hide();
}

// What a check works on and gives back; shared by the window and the worker.
struct NetCheckPanel::Job {
  Board Snapshot;
  std::shared_ptr<const circuit::Circuit> Netlist;
  std::uint64_t Generation = 0;
  CheckReport Report;
  std::string Error;
};

NetCheckPanel::~NetCheckPanel() {
  // The check is bounded; its report, posted to this panel, goes with it.
  if (worker_.joinable())
    worker_.join();
}

void NetCheckPanel::SetNetlist(circuit::Circuit circuit, const QString &fileName) {
  ++generation_; // a report on the old netlist is not shown
  circuit_ = std::make_shared<const circuit::Circuit>(std::move(circuit));
  title_->setText(QStringLiteral("Check against %1").arg(fileName.section(QLatin1Char('/'), -1)));
  title_->setToolTip(fileName);
  Recheck();
  show();
}

bool NetCheckPanel::Checking() const { return running_ || pending_ || recheck_->isActive(); }

void NetCheckPanel::ScheduleRecheck() {
  if (circuit_)
    recheck_->start();
}

void NetCheckPanel::Recheck() {
  recheck_->stop();
  if (!circuit_)
    return;
  // The marks belong to the report being replaced; they may name components that are gone.
  ClearMarks();
  if (running_)
    pending_ = true;
  else
    StartCheck();
}

void NetCheckPanel::StartCheck() {
  auto job = std::make_shared<Job>();
  std::vector<std::string> labels;
  for (std::int32_t t = 0; t < board_.TraceCount(); ++t)
    labels.push_back(board_.GetTrace(t).Name);
  job->Snapshot.SetTraces(labels, board_.PinCount());
  std::vector<BoardComponent> components;
  components.reserve(static_cast<std::size_t>(board_.ComponentCount()));
  for (std::int32_t i = 0; i < board_.ComponentCount(); ++i)
    components.push_back(board_.GetComponent(i));
  job->Snapshot.SpliceComponents(0, 0, components);
  job->Netlist = circuit_;
  job->Generation = generation_;
  if (worker_.joinable())
    worker_.join(); // it has posted its report already
  running_ = true;
  pending_ = false;
  worker_ = std::thread([this, job] {
    try {
      job->Report = CheckLayout(job->Snapshot, *job->Netlist);
    } catch (const std::exception &e) {
      job->Error = e.what();
    } catch (...) {
      job->Error = "The check stopped with an unknown error.";
    }
    QMetaObject::invokeMethod(this, Guarded([this, job] { Finished(job); }), Qt::QueuedConnection);
  });
}

void NetCheckPanel::Finished(const std::shared_ptr<Job> &job) {
  running_ = false;
  if (worker_.joinable())
    worker_.join();
  if (!circuit_)
    return;
  // The board changed while the check ran, or the netlist did: this report is out of date.
  if (pending_ || job->Generation != generation_ ||
      job->Snapshot.ComponentCount() != board_.ComponentCount()) {
    StartCheck();
    return;
  }
  if (!job->Error.empty()) {
    // Shown in place of the report: the panel runs from the event loop, where nothing may
    // be thrown.
    CheckReport error;
    error.Problems = 1;
    error.Lines.push_back({ReportKind::Problem, job->Error, {}, {}});
    ShowReport(std::move(error));
  } else {
    ShowReport(std::move(job->Report));
  }
}

void NetCheckPanel::ShowReport(CheckReport report) {
  ClearMarks();
  report_ = std::move(report);
  lineComponents_.clear();
  const QSignalBlocker quiet(list_);
  list_->clear();
  for (const ReportLine &line : report_.Lines) {
    auto *item = new QListWidgetItem(QString::fromStdString(line.Text), list_);
    Style(*item, line.Kind);
    std::vector<const BoardComponent *> components;
    for (std::int32_t i : line.Components)
      components.push_back(&board_.GetComponent(i));
    lineComponents_.push_back(std::move(components));
  }
}

void NetCheckPanel::CloseReport() {
  recheck_->stop();
  ++generation_; // a check still running is not shown
  pending_ = false;
  circuit_.reset();
  report_ = {};
  lineComponents_.clear();
  {
    const QSignalBlocker quiet(list_);
    list_->clear();
  }
  ClearMarks();
  hide();
}

void NetCheckPanel::ShowLine(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= report_.Lines.size())
    return;
  board_.Tint.Copper = report_.Lines[static_cast<std::size_t>(row)].Copper;
  board_.Tint.Components = lineComponents_[static_cast<std::size_t>(row)];
  board_.Repaint();
}

void NetCheckPanel::ClearMarks() {
  if (board_.Tint.Empty())
    return;
  board_.Tint = {};
  board_.Repaint();
}

} // namespace tarnwick
