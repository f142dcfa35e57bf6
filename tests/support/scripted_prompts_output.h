#pragma once

#include "ui/prompts.h"

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace tarnwick::test {

// Prompts for the export and print tests: save dialogs answer from a queue (an empty answer is
// Cancel) and remember what they were asked; modal runs call a scripted function instead of
// entering a loop; every message is recorded.
class OutputScriptedPrompts : public Prompts {
public:
  std::deque<QString> SaveAnswers;
  std::vector<FileRequest> SaveAsked;
  // Runs in place of a modal loop; the dialog's result is returned. Unset: Rejected.
  std::function<int(QDialog &)> OnExec;
  std::vector<QString> Executed; // object name, or class name when it has none
  QStringList Messages;
  int Beeps = 0;

  bool Question(QWidget *, const QString &, const QString &text) override {
    Messages << text;
    return true;
  }
  void Information(QWidget *, const QString &, const QString &text) override { Messages << text; }
  void Warning(QWidget *, const QString &, const QString &text) override { Messages << text; }
  void Error(QWidget *, const QString &text) override { Messages << text; }
  QString OpenFileName(QWidget *, const FileRequest &) override { return {}; }
  QString SaveFileName(QWidget *, const FileRequest &request) override {
    SaveAsked.push_back(request);
    if (SaveAnswers.empty())
      return {};
    QString answer = SaveAnswers.front();
    SaveAnswers.pop_front();
    return answer;
  }
  void Beep() override { ++Beeps; }
  int Exec(QDialog &dialog) override {
    Executed.push_back(dialog.objectName().isEmpty()
                           ? QString::fromLatin1(dialog.metaObject()->className())
                           : dialog.objectName());
    return OnExec ? OnExec(dialog) : QDialog::Rejected;
  }
};

} // namespace tarnwick::test
