#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tarnwick {

class TUpDownEdit;

// "Create a new layout": the number of traces and of pins per trace. The main window keeps
// one instance for the whole run, so the values of the last New come back at the next.
// Board Properties uses a temporary instance of its own, captioned "Board Properties", with
// its own change handler on both spin edits.
class TNewLayoutForm : public QDialog {
  Q_OBJECT
public:
  explicit TNewLayoutForm(QWidget *parent = nullptr);

  QLabel *Label1 = nullptr;
  TUpDownEdit *UpDownEdit1 = nullptr; // traces, 1..100, 40 at first
  QLabel *Label2 = nullptr;
  TUpDownEdit *UpDownEdit2 = nullptr; // pins per trace, 1..100, 40 at first
  QPushButton *Button1 = nullptr;     // "OK", the default button
  QPushButton *Button2 = nullptr;     // "Cancel", also Esc
};

} // namespace tarnwick
