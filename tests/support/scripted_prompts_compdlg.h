#pragma once

// Prompts for the component dialog's tests: no modal loop ever runs. Each modal run of a dialog
// shows it (so it prepares itself as on screen) and hands it to the next script in line, which
// plays the user's part through the dialog's own controls. A dialog the script leaves open is
// then closed as by its close box.
#include "ui/prompts.h"

#include <QCoreApplication>
#include <QDialog>
#include <QStringList>

#include <deque>
#include <functional>

namespace tarnwick::testing {

class CompDlgPrompts : public Prompts {
public:
  using Script = std::function<void(QDialog &)>;

  std::deque<Script> Scripts; // one per modal run, in order
  QStringList Shown;          // "caption: text" of every message box, in order
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
  QString OpenFileName(QWidget *, const FileRequest &) override { return {}; }
  QString SaveFileName(QWidget *, const FileRequest &) override { return {}; }
  void Beep() override { ++Beeps; }

  int Exec(QDialog &dialog) override {
    ++Dialogs;
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    QCoreApplication::processEvents();
    if (!Scripts.empty()) {
      Script script = std::move(Scripts.front());
      Scripts.pop_front();
      try {
        script(dialog);
      } catch (...) {
        dialog.reject();
        throw;
      }
    }
    if (dialog.isVisible())
      dialog.reject();
    return dialog.result();
  }
};

} // namespace tarnwick::testing
