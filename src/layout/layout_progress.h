#pragma once

// The dialog Lay Out Netlist... shows while the search runs: how far it has got, the best board
// found so far, and the buttons that end it. It closes itself, accepted, when the search has
// ended, by itself or after "Use Best So Far"; Cancel closes it at once, rejected.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tarnwick {

class LayoutWorker;
namespace layout {
struct LayoutCost;
}

// "12 × 15 = 180 holes, 3 links, 7 cuts"
QString DescribeCost(const layout::LayoutCost &cost);

class LayoutProgressDialog : public QDialog {
  Q_OBJECT
public:
  // Looks at the worker, which outlives the dialog, a few times a frame.
  LayoutProgressDialog(LayoutWorker &worker, const QString &netlistName, QWidget *parent);

  // The dialog has closed itself with its result.
  bool Ended() const { return ended_; }
  QLabel *BestLabel = nullptr;
  QProgressBar *Bar = nullptr;
  QPushButton *UseBestButton = nullptr;
  QPushButton *CancelButton = nullptr;

  // Escape and the close box are Cancel.
  void reject() override;

private:
  void Poll();
  void UseBest();
  void Cancel();

  LayoutWorker &worker_;
  QTimer *poll_ = nullptr;
  QLabel *status_ = nullptr;
  bool stopping_ = false;
  bool ended_ = false;
};

} // namespace tarnwick
