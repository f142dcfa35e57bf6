#include "document/newschematic.h"

#include "ui/EnhControls.h"

#include <QLabel>
#include <QPushButton>

namespace tarnwick {
namespace {

TUpDownEdit *SpinEdit(QWidget *parent, const char *name, int left) {
  auto *e = new TUpDownEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setGeometry(left, 32, 73, 21);
  e->SetMin(1);
  e->SetMax(100);
  e->SetPosition(40);
  return e;
}

QLabel *Caption(QWidget *parent, const char *name, const char *text, int left) {
  auto *l = new QLabel(QString::fromLatin1(text), parent);
  l->setObjectName(QString::fromLatin1(name));
  l->move(left, 16);
  l->adjustSize();
  return l;
}

QPushButton *Button(QWidget *parent, const char *name, const char *text, int left) {
  auto *b = new QPushButton(QString::fromLatin1(text), parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(left, 72, 75, 23);
  return b;
}

} // namespace

TNewLayoutForm::TNewLayoutForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("NewLayoutForm"));
  setWindowTitle(QStringLiteral("Create a new layout"));
  setFixedSize(280, 105);
  Label1 = Caption(this, "Label1", "Number of Traces:", 16);
  UpDownEdit1 = SpinEdit(this, "UpDownEdit1", 16);
  Label1->setBuddy(UpDownEdit1);
  Label2 = Caption(this, "Label2", "Number of Pins per Trace:", 136);
  UpDownEdit2 = SpinEdit(this, "UpDownEdit2", 136);
  Label2->setBuddy(UpDownEdit2);
  Button1 = Button(this, "Button1", "OK", 96);
  Button1->setDefault(true);
  Button2 = Button(this, "Button2", "Cancel", 184);
  // Esc rejects a QDialog by itself.
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace tarnwick
