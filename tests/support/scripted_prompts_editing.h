#pragma once

// Prompts for the editing commands' tests: no box or dialog is ever shown. Message boxes are
// recorded, and each modal run of a dialog is handed to OnExec, which plays the user's part and
// returns the dialog's result.
#include "ui/prompts.h"

#include <QDialog>
#include <QStringList>

#include <functional>

namespace tarnwick::testing {

class EditingPrompts : public Prompts {
public:
  std::function<int(QDialog &)> OnExec;
  QStringList Shown; // "caption: text" of every message box, in order
  int Beeps = 0;
  int Dialogs = 0;

  bool Question(QWidget *, const QString &caption, const QString &text) override {
    Shown << caption + QStringLiteral(": ") + text;
    return false;
  }
  void Information(QWidget *, const QString &caption, const QString &text) override {
    Shown << caption + QStringLiteral(": ") + text;
  }
  void Warning(QWidget *, const QString &caption, const QString &text) override {
    Shown << caption + QStringLiteral(": ") + text;
  }
  void Error(QWidget *, const QString &text) override { Shown << QStringLiteral("Error: ") + text; }
  QString OpenFileName(QWidget *, const FileDialogSpec &) override { return {}; }
  QString SaveFileName(QWidget *, const FileDialogSpec &) override { return {}; }
  void Beep() override { ++Beeps; }
  int Exec(QDialog &dialog) override {
    ++Dialogs;
    return OnExec ? OnExec(dialog) : QDialog::Rejected;
  }
};

} // namespace tarnwick::testing
