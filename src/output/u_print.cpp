#include "output/u_print.h"
#include "ui/handler_guard.h"

#include "output/print_job.h"
#include "ui/prompts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <algorithm>

namespace tarnwick {
namespace {

template <class W> W *Place(W *w, const char *name, int x, int y) {
  w->setObjectName(QString::fromLatin1(name));
  w->move(x, y);
  return w;
}

// The given size, widened when the caption would not fit in the platform's font.
void FitWidth(QWidget *w, int width, int height) {
  w->resize(std::max(width, w->sizeHint().width()), height);
}

// Ends the dialog when the click is over, also when printing failed.
class CloseAfterwards {
public:
  explicit CloseAfterwards(QDialog &d) : d_(d) {}
  CloseAfterwards(const CloseAfterwards &) = delete;
  CloseAfterwards &operator=(const CloseAfterwards &) = delete;
  ~CloseAfterwards() { d_.done(QDialog::Accepted); }

private:
  QDialog &d_;
};

} // namespace

QString DecimalSeparator() { return QLocale().decimalPoint(); }

TPrintForm::TPrintForm(const Board &board, Prompts &prompts, QWidget *parent)
    : QDialog(parent), board_(board), prompts_(prompts) {
  setObjectName(QStringLiteral("PrintForm"));
  setWindowTitle(QStringLiteral("PrintForm"));
  move(192, 114);

  Label1 = Place(new QLabel(QStringLiteral("Pin Spacing:"), this), "Label1", 16, 16);
  Edit1 = Place(new QLineEdit(this), "Edit1", 16, 32);
  Edit1->resize(41, 21);
  Label2 = Place(new QLabel(QStringLiteral("Millimeter"), this), "Label2", 64, 35);
  CheckBox1 = Place(new QCheckBox(QStringLiteral("Highlight Traces"), this), "CheckBox1", 16, 58);
  FitWidth(CheckBox1, 97, 17);
  CheckBox1->setChecked(true);
  // Below "Highlight Traces", in the room the form has there; off at start.
  CheckBox2 = Place(new QCheckBox(QStringLiteral("Copper Side"), this), "CheckBox2", 16, 80);
  FitWidth(CheckBox2, 97, 17);
  Button2 = Place(new QPushButton(QStringLiteral("Printer Setup"), this), "Button2", 168, 16);
  Button1 = Place(new QPushButton(QStringLiteral("Print"), this), "Button1", 168, 48);
  Button3 = Place(new QPushButton(QStringLiteral("Close"), this), "Button3", 168, 80);
  // The buttons share one width: 81, or what the widest caption needs.
  int buttonWidth = 81;
  for (QPushButton *b : {Button1, Button2, Button3})
    buttonWidth = std::max(buttonWidth, b->sizeHint().width());
  for (QPushButton *b : {Button1, Button2, Button3}) {
    b->resize(buttonWidth, 23);
    b->setAutoDefault(false);
  }
  Button1->setDefault(true);
  // Fixed border: 262 x 115, wider only when the buttons grew.
  setFixedSize(168 + buttonWidth + 13, 115);
  connect(Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
  connect(Button2, &QPushButton::clicked, this, Guarded([this] { Button2Click(); }));
  connect(Button3, &QPushButton::clicked, this, Guarded([this] { Button3Click(); }));
  FormCreate();
}

TPrintForm::~TPrintForm() = default;

void TPrintForm::FormCreate() {
  Edit1->setText(QStringLiteral("2") + DecimalSeparator() + QStringLiteral("54"));
}

QPrinter &TPrintForm::Printer() {
  if (!printer_)
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

PrintoutOptions TPrintForm::Options() const {
  PrintoutOptions o;
  o.Spacing = ParseSpacing(Edit1->text().toStdString(), DecimalSeparator().toStdString());
  o.HighlightTraces = CheckBox1->isChecked();
  o.CopperSide = CheckBox2->isChecked();
  return o;
}

void TPrintForm::Button1Click() {
  CloseAfterwards close(*this);
  // Read before the job starts, so a typing error never begins a print.
  const PrintoutOptions options = Options();
  PrintBoard(Printer(), board_, options);
}

void TPrintForm::Button2Click() {
  QPrintDialog setup(&Printer(), this);
  setup.setWindowTitle(QStringLiteral("Printer Setup"));
  setup.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  prompts_.Exec(setup);
}

void TPrintForm::Button3Click() { done(QDialog::Accepted); }

} // namespace tarnwick
