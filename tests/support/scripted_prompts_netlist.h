#pragma once

// Scripted answers for the questions of File > Import Netlist, with a log of every prompt in
// the order it was shown. A prompt without a scripted answer is logged and answered with
// Cancel (or an empty file name), so a test never waits on a modal loop.
#include "ui/prompts.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <deque>

namespace tarnwick::netlist_test {

class NetlistScriptedPrompts : public Prompts {
public:
  // Answers, taken from the front in order.
  std::deque<bool> questionAnswers;
  std::deque<QString> openAnswers;

  // One entry per prompt: "Question|caption|text", "Warning|caption|text", "Open|key", ...
  QStringList log;
  FileRequest lastOpenSpec;

  bool Question(QWidget *, const QString &caption, const QString &text) override {
    log << QStringLiteral("Question|%1|%2").arg(caption, text);
    if (questionAnswers.empty())
      return false;
    const bool answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
  }
  void Information(QWidget *, const QString &caption, const QString &text) override {
    log << QStringLiteral("Information|%1|%2").arg(caption, text);
  }
  void Warning(QWidget *, const QString &caption, const QString &text) override {
    log << QStringLiteral("Warning|%1|%2").arg(caption, text);
  }
  void Error(QWidget *, const QString &text) override {
    log << QStringLiteral("Error|%1").arg(text);
  }
  QString OpenFileName(QWidget *, const FileRequest &request) override {
    log << QStringLiteral("Open|%1").arg(request.Key);
    lastOpenSpec = request;
    if (openAnswers.empty())
      return {};
    const QString answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
  }
  QString SaveFileName(QWidget *, const FileRequest &request) override {
    log << QStringLiteral("Save|%1").arg(request.Key);
    return {};
  }
  void Beep() override { log << QStringLiteral("Beep"); }
  int Exec(QDialog &dialog) override {
    log << QStringLiteral("Exec|%1").arg(dialog.objectName());
    return QDialog::Rejected;
  }
};

} // namespace tarnwick::netlist_test
