#pragma once

#include "board/board.h"
#include "circuit/circuit_model.h"
#include "nets/net_check.h"

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace tarnwick {

// The report of File > Check Against Netlist, beside the board. It stays open and checks the
// board again after every change (the window calls ScheduleRecheck; the checks of a burst of
// changes run once, after the burst). A check runs on a thread of its own, on a copy of the
// board, so that a large board never holds the window; its report is shown when it is done,
// unless the board changed meanwhile (then the board is checked again). A click on a line marks
// on the board the copper and the components the line names.
class NetCheckPanel : public QWidget {
  Q_OBJECT
public:
  NetCheckPanel(Board &board, QWidget *parent);
  ~NetCheckPanel() override;

  // Checks the board against this netlist from now on, and shows the panel.
  void SetNetlist(circuit::Circuit circuit, const QString &fileName);
  bool HasNetlist() const { return circuit_ != nullptr; }
  // Checks again once the current event is handled.
  void ScheduleRecheck();
  // Starts a check now (or, while one runs, once it is done) and takes the marks of the old
  // report off the board.
  void Recheck();
  // Whether a check is running or waiting to run; its report is not shown yet.
  bool Checking() const;
  // Hides the panel, forgets the netlist and takes the marks off the board.
  void CloseReport();

  const CheckReport &Report() const { return report_; }
  QListWidget &Lines() { return *list_; }

private:
  struct Job;
  void StartCheck();
  void Finished(const std::shared_ptr<Job> &job);
  void ShowReport(CheckReport report);
  void ShowLine(int row);
  void ClearMarks();

  Board &board_;
  std::shared_ptr<const circuit::Circuit> circuit_;
  std::thread worker_;
  bool running_ = false;         // a check runs on worker_
  bool pending_ = false;         // the board changed while it ran: check again when it is done
  std::uint64_t generation_ = 0; // counts netlists set and reports closed
  CheckReport report_;
  // Per line, the components it names, resolved when the report was made.
  std::vector<std::vector<const BoardComponent *>> lineComponents_;
  QLabel *title_ = nullptr;
  QListWidget *list_ = nullptr;
  QPushButton *close_ = nullptr;
  QTimer *recheck_ = nullptr;
};

} // namespace tarnwick
