#pragma once

#include "output/printout.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace tarnwick {

class Board;
class Prompts;

// The print dialog: the hole spacing in millimetres, whether traces are highlighted, the
// printer setup and the print itself. Made once at start-up and kept, so what the user typed
// stays until the program ends; the printer chosen in the setup stays too.
class TPrintForm : public QDialog {
  Q_OBJECT
public:
  TPrintForm(const Board &board, Prompts &prompts, QWidget *parent = nullptr);
  ~TPrintForm() override;

  void Button1Click(); // Print
  void Button2Click(); // Printer Setup
  void Button3Click(); // Close

  // The printer the next print goes to; made on first use.
  QPrinter &Printer();
  // The spacing text and the check boxes as they stand; fails on a spacing that is not a number
  // in the user's format.
  PrintoutOptions Options() const;

  QLabel *Label1 = nullptr;
  QLineEdit *Edit1 = nullptr;
  QLabel *Label2 = nullptr;
  QCheckBox *CheckBox1 = nullptr;
  QCheckBox *CheckBox2 = nullptr; // "Copper Side"
  QPushButton *Button2 = nullptr;
  QPushButton *Button1 = nullptr;
  QPushButton *Button3 = nullptr;

private:
  void FormCreate();

  const Board &board_;
  Prompts &prompts_;
  std::unique_ptr<QPrinter> printer_;
};

// The user's decimal separator, as the number format of the current locale has it.
QString DecimalSeparator();

} // namespace tarnwick
