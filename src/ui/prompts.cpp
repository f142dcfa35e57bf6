#include "ui/prompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QHash>
#include <QMessageBox>

namespace tarnwick {
namespace {

// The name last chosen in each file dialog, for this run only.
QHash<QString, QString> &LastChosen() {
  static QHash<QString, QString> names;
  return names;
}

QString RunFileDialog(QWidget *owner, const FileDialogSpec &spec, bool save) {
  QFileDialog dialog(owner);
  dialog.setNameFilter(spec.Filter);
  dialog.setDefaultSuffix(spec.DefaultSuffix);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || !spec.MustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !spec.ConfirmOverwrite);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  const QString last = LastChosen().value(spec.Key);
  if (!last.isEmpty())
    dialog.selectFile(last);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return {};
  const QString chosen = dialog.selectedFiles().first();
  LastChosen()[spec.Key] = chosen;
  return chosen;
}

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

QString QtPrompts::OpenFileName(QWidget *owner, const FileDialogSpec &spec) {
  return RunFileDialog(owner, spec, false);
}

QString QtPrompts::SaveFileName(QWidget *owner, const FileDialogSpec &spec) {
  return RunFileDialog(owner, spec, true);
}

void QtPrompts::Beep() { QApplication::beep(); }

int QtPrompts::Exec(QDialog &dialog) { return dialog.exec(); }

} // namespace tarnwick
