#include "ui/prompts.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tarnwick {
namespace {

// The name last chosen in each file dialog, for this run only.
QHash<QString, QString> &LastChosen() {
  static QHash<QString, QString> names;
  return names;
}

QString RunFileDialog(QWidget *owner, const FileRequest &request, bool save) {
  QFileDialog dialog(owner);
  dialog.setNameFilter(request.Filter);
  dialog.setDefaultSuffix(request.DefaultSuffix);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || !request.MustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  const QString last = LastChosen().value(request.Key);
  if (!last.isEmpty())
    dialog.selectFile(last);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return {};
  const QString chosen = dialog.selectedFiles().first();
  LastChosen()[request.Key] = chosen;
  return chosen;
}

// A box of named buttons that Escape closes without an answer (the toolkit's box ignores
// Escape when none of its buttons is a Cancel).
class ClosableBox : public QMessageBox {
public:
  using QMessageBox::QMessageBox;

protected:
  void keyPressEvent(QKeyEvent *event) override {
    if (event->matches(QKeySequence::Cancel)) {
      reject();
      return;
    }
    QMessageBox::keyPressEvent(event);
  }
};

} // namespace

bool QtPrompts::Question(QWidget *owner, const QString &caption, const QString &text) {
  return QMessageBox::question(owner, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                               QMessageBox::Ok) == QMessageBox::Ok;
}

void QtPrompts::Information(QWidget *owner, const QString &caption, const QString &text) {
  QMessageBox::information(owner, caption, text, QMessageBox::Ok);
}

void QtPrompts::Warning(QWidget *owner, const QString &caption, const QString &text) {
  QMessageBox::warning(owner, caption, text, QMessageBox::Ok);
}

void QtPrompts::Error(QWidget *owner, const QString &text) {
  QMessageBox::critical(owner, QApplication::applicationName(), text, QMessageBox::Ok);
}

QString QtPrompts::OpenFileName(QWidget *owner, const FileRequest &request) {
  return RunFileDialog(owner, request, false);
}

QString QtPrompts::SaveFileName(QWidget *owner, const FileRequest &request) {
  return RunFileDialog(owner, request, true);
}

void QtPrompts::Beep() { QApplication::beep(); }

int QtPrompts::Exec(QDialog &dialog) { return dialog.exec(); }

int QtPrompts::Choose(QWidget *owner, const QString &caption, const QString &text,
                      const QStringList &buttons) {
  ClosableBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, owner);
  QList<QAbstractButton *> added;
  for (const QString &b : buttons)
    added.append(box.addButton(b, QMessageBox::ActionRole));
  if (!added.isEmpty())
    box.setDefaultButton(static_cast<QPushButton *>(added.first()));
  box.exec();
  return static_cast<int>(added.indexOf(box.clickedButton()));
}

int QtPrompts::ChooseItem(QWidget *owner, const QString &caption, const QString &text,
                          const QStringList &items, const QStringList &buttons, int &item) {
  QDialog dialog(owner);
  dialog.setWindowTitle(caption);
  auto *layout = new QVBoxLayout(&dialog);
  auto *label = new QLabel(text, &dialog);
  label->setWordWrap(true);
  layout->addWidget(label);
  auto *list = new QListWidget(&dialog);
  list->addItems(items);
  list->setCurrentRow(0);
  layout->addWidget(list);
  auto *row = new QDialogButtonBox(&dialog);
  int pressed = -1;
  for (int i = 0; i < buttons.size(); ++i) {
    QPushButton *b = row->addButton(buttons[i], QDialogButtonBox::ActionRole);
    if (i == 0)
      b->setDefault(true);
    QObject::connect(b, &QPushButton::clicked, &dialog, [&dialog, &pressed, i] {
      pressed = i;
      dialog.accept();
    });
  }
  layout->addWidget(row);
  list->setFocus();
  item = dialog.exec() == QDialog::Accepted ? std::max(list->currentRow(), 0) : 0;
  return pressed;
}

} // namespace tarnwick
