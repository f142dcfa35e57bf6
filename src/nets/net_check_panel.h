#pragma once

#include "board/board.h"
#include "nets/circuit.h"
#include "nets/net_check.h"

#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace tarnwick {

// The report of File > Check Against Netlist, beside the board. It stays open and checks the
// board again after every change (the window calls ScheduleRecheck; the checks of a burst of
// changes run once, after the burst). A click on a line marks on the board the copper and the
// components the line names.
class NetCheckPanel : public QWidget {
  Q_OBJECT
public:
  NetCheckPanel(Board &board, QWidget *parent);

  // Checks the board against this netlist from now on, and shows the panel.
  void SetNetlist(Circuit circuit, const QString &fileName);
  bool HasNetlist() const { return circuit_.has_value(); }
  // Checks again once the current event is handled.
  void ScheduleRecheck();
  // Checks again now.
  void Recheck();
  // Hides the panel, forgets the netlist and takes the marks off the board.
  void CloseReport();

  const CheckReport &Report() const { return report_; }
  QListWidget &Lines() { return *list_; }

private:
  void ShowLine(int row);
  void ClearMarks();

  Board &board_;
  std::optional<Circuit> circuit_;
  CheckReport report_;
  // Per line, the components it names, resolved when the report was made.
  std::vector<std::vector<const BoardComponent *>> lineComponents_;
  QLabel *title_ = nullptr;
  QListWidget *list_ = nullptr;
  QPushButton *close_ = nullptr;
  QTimer *recheck_ = nullptr;
};

} // namespace tarnwick
