#pragma once

#include "board/board.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tarnwick {

class EditorHost;
class TUpDownEdit;

// "Component Properties": where a component's name, kind and position are typed in. With no
// EditedComponent it adds components one after another (each OK adds one and moves on to the
// next position, the dialog stays open); with one it edits that component and closes on OK.
// While open it shows the position being entered through the board's highlights.
//
// One instance lives for the whole run, so the chosen kind, Cap Width and the spin values
// carry over from one opening to the next.
class TNewCompForm : public QDialog {
  Q_OBJECT
public:
  explicit TNewCompForm(EditorHost &host);

  // The component being edited; none means add mode. The caller sets it before showing the
  // dialog and clears it afterwards; the dialog does not own it.
  BoardComponent *EditedComponent = nullptr;

  // Add mode's presets from the board's highlights and last clicked row (the board must have
  // traces). The spin ranges are brought up to the board first, so a preset is clamped into
  // the board's size and not into that of an earlier board.
  void PrepareAdd();

  void FormShow();
  void ComboBox3Change();
  void UpDownEdit1Change();
  void UpDownEdit2Change();
  void UpDownEdit3Change();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void ComboBoxEx1KeyPress(QChar key);
  void Button1Click();

  QLineEdit *Edit1 = nullptr;
  QComboBox *ComboBoxEx1 = nullptr;
  TUpDownEdit *UpDownEdit1 = nullptr;
  TUpDownEdit *UpDownEdit2 = nullptr;
  TUpDownEdit *UpDownEdit3 = nullptr;
  TUpDownEdit *UpDownEdit4 = nullptr;
  QLabel *Label5 = nullptr; // "Cap Width:", shown with UpDownEdit4
  QToolButton *SpeedButton1 = nullptr;
  QToolButton *SpeedButton2 = nullptr;
  QPushButton *Button1 = nullptr;
  QPushButton *Button2 = nullptr;

protected:
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void BuildControls();
  void FillKinds();
  void SetRanges();
  void LoadEditedComponent();
  // ComboBox3Change's work. A part whose end equals its start is widened to three traces only
  // when the user chose its kind, not when a component is loaded for editing.
  void ApplyKind(bool chosenByUser);
  void ShowCapWidth();
  // Moves on to the next position after an add: a socket pin to the next trace, any other
  // part two rows down.
  void Advance(bool socket);

  EditorHost &host_;
  Board &board_;
};

} // namespace tarnwick
