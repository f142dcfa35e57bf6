// A Prompts for tests: every question, file dialog and modal dialog run is answered from a
// script the test sets up beforehand, and everything shown is recorded, so a command runs
// from start to end without a modal loop.
//
//   ScriptedPrompts prompts;
//   TMainForm form(prompts);
//   form.CreateDialogs();
//   prompts.Questions = {false};                     // Cancel the next question
//   prompts.SaveNames = {dir + "/amp.twk"};          // the next save dialog picks this name
//   prompts.OnExec = [](QDialog &d) {                // fill in and close the next dialogs
//     auto &f = dynamic_cast<TNewLayoutForm &>(d);
//     f.UpDownEdit1->SetPosition(60);
//     return QDialog::Accepted;
//   };
//   form.Save1Click();
//   EXPECT_EQ(prompts.Shown.size(), 0u);
//
// A question, a file dialog or a dialog run that the script has no answer for fails the
// running test (and answers Cancel), so a test never passes because of an unexpected box.
#pragma once

#include "ui/prompts.h"

#include <QDialog>
#include <QString>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace tarnwick {

class ScriptedPrompts : public Prompts {
public:
  enum class Box { Question, Information, Warning, Error };
  struct Message {
    Box Kind;
    QString Caption; // empty for errors, whose caption is the program's name
    QString Text;
  };
  struct FileDialog {
    bool Save;
    FileRequest Request;
  };

  // Answers, used front first: true is OK, false is Cancel; a file name, or an empty name
  // for a cancelled file dialog.
  std::deque<bool> Questions;
  std::deque<QString> OpenNames;
  std::deque<QString> SaveNames;
  // Runs in place of the modal loop of Exec(dialog): set the dialog's controls, return
  // QDialog::Accepted or QDialog::Rejected. Without it Exec fails the test.
  std::function<int(QDialog &)> OnExec;
  // Answers of Choose: the index of the button pressed, -1 for a box closed without one.
  std::deque<int> Choices;
  // Answers of ChooseItem: the button pressed (-1: closed) and the row chosen.
  std::deque<std::pair<int, int>> ItemChoices;

  // What was shown, in order.
  std::vector<Message> Shown;
  std::vector<FileDialog> FileDialogs;
  std::vector<QString> DialogsRun;        // window titles of the dialogs passed to Exec
  std::vector<QStringList> ChoiceButtons; // the buttons of each Choose, in order
  std::vector<QStringList> ChoiceItems;   // the rows of each ChooseItem, in order
  int Beeps = 0;

  bool Question(QWidget *, const QString &caption, const QString &text) override {
    Shown.push_back({Box::Question, caption, text});
    if (Questions.empty()) {
      ADD_FAILURE() << "unexpected question: " << text.toStdString();
      return false;
    }
    const bool answer = Questions.front();
    Questions.pop_front();
    return answer;
  }
  void Information(QWidget *, const QString &caption, const QString &text) override {
    Shown.push_back({Box::Information, caption, text});
  }
  void Warning(QWidget *, const QString &caption, const QString &text) override {
    Shown.push_back({Box::Warning, caption, text});
  }
  void Error(QWidget *, const QString &text) override {
    Shown.push_back({Box::Error, QString(), text});
  }
  QString OpenFileName(QWidget *, const FileRequest &request) override {
    FileDialogs.push_back({false, request});
    return Next(OpenNames, "open");
  }
  QString SaveFileName(QWidget *, const FileRequest &request) override {
    FileDialogs.push_back({true, request});
    return Next(SaveNames, "save");
  }
  void Beep() override { ++Beeps; }
  int Choose(QWidget *, const QString &caption, const QString &text,
             const QStringList &buttons) override {
    Shown.push_back({Box::Question, caption, text});
    ChoiceButtons.push_back(buttons);
    if (Choices.empty()) {
      ADD_FAILURE() << "unexpected choice: " << text.toStdString();
      return -1;
    }
    const int answer = Choices.front();
    Choices.pop_front();
    return answer;
  }
  int ChooseItem(QWidget *, const QString &caption, const QString &text, const QStringList &items,
                 const QStringList &buttons, int &item) override {
    Shown.push_back({Box::Question, caption, text});
    ChoiceButtons.push_back(buttons);
    ChoiceItems.push_back(items);
    item = 0;
    if (ItemChoices.empty()) {
      ADD_FAILURE() << "unexpected choice among items: " << text.toStdString();
      return -1;
    }
    const auto [answer, row] = ItemChoices.front();
    ItemChoices.pop_front();
    item = row;
    return answer;
  }
  int Exec(QDialog &dialog) override {
    DialogsRun.push_back(dialog.windowTitle());
    if (!OnExec) {
      ADD_FAILURE() << "unexpected dialog: " << dialog.windowTitle().toStdString();
      return QDialog::Rejected;
    }
    const int result = OnExec(dialog);
    dialog.setResult(result);
    return result;
  }

  // The texts of the boxes of one kind, in order.
  std::vector<QString> Texts(Box kind) const {
    std::vector<QString> texts;
    for (const Message &m : Shown)
      if (m.Kind == kind)
        texts.push_back(m.Text);
    return texts;
  }

private:
  static QString Next(std::deque<QString> &names, const char *which) {
    if (names.empty()) {
      ADD_FAILURE() << "unexpected " << which << " dialog";
      return {};
    }
    QString name = std::move(names.front());
    names.pop_front();
    return name;
  }
};

// Runs a command as the application's top-level handler would: an error that stops it is
// caught, and its message is returned (empty when the command ended normally).
template <class Command> QString RunReportingError(Command &&command) {
  try {
    std::forward<Command>(command)();
  } catch (const std::exception &e) {
    return QString::fromUtf8(e.what());
  }
  return {};
}

} // namespace tarnwick
