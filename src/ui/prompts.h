#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace tarnwick {

// What a file dialog asks for: its filter ("Layout Files (*.twk)"), the extension added to a
// name typed without one, and whether the file must exist or overwriting is confirmed.
struct FileRequest {
  QString Key; // each dialog keeps the name last chosen in it, under this key
  QString Filter;
  QString DefaultSuffix;
  bool MustExist = false;
  bool ConfirmOverwrite = false;
};

// Every modal question the program asks goes through this seam: file dialogs, message boxes,
// the warning beep and modal runs of dialogs. The program uses the toolkit's boxes; tests
// script the answers.
class Prompts {
public:
  virtual ~Prompts() = default;
  // OK/Cancel question with the question icon; true on OK.
  virtual bool Question(QWidget *owner, const QString &caption, const QString &text) = 0;
  virtual void Information(QWidget *owner, const QString &caption, const QString &text) = 0;
  virtual void Warning(QWidget *owner, const QString &caption, const QString &text) = 0;
  virtual void Error(QWidget *owner, const QString &text) = 0;
  // The chosen file, or an empty text when the dialog was cancelled.
  virtual QString OpenFileName(QWidget *owner, const FileRequest &request) = 0;
  virtual QString SaveFileName(QWidget *owner, const FileRequest &request) = 0;
  virtual void Beep() = 0;
  // Shows a dialog modally and returns its result (QDialog::Accepted or Rejected).
  virtual int Exec(QDialog &dialog) = 0;
  // A question answered with one of the named buttons: the index of the one pressed, or -1
  // when the box was closed without an answer (which is all a seam without buttons gives).
  virtual int Choose(QWidget *owner, const QString &caption, const QString &text,
                     const QStringList &buttons) {
    (void)owner, (void)caption, (void)text, (void)buttons;
    return -1;
  }
  // The same with a list of items to choose from: sets `item` to the chosen row (the first at
  // the start) and returns the button pressed, or -1 when the box was closed (Escape).
  virtual int ChooseItem(QWidget *owner, const QString &caption, const QString &text,
                         const QStringList &items, const QStringList &buttons, int &item) {
    (void)owner, (void)caption, (void)text, (void)items, (void)buttons;
    item = 0;
    return -1;
  }
};

// The toolkit's own boxes and dialogs.
class QtPrompts : public Prompts {
public:
  bool Question(QWidget *owner, const QString &caption, const QString &text) override;
  void Information(QWidget *owner, const QString &caption, const QString &text) override;
  void Warning(QWidget *owner, const QString &caption, const QString &text) override;
  void Error(QWidget *owner, const QString &text) override;
  QString OpenFileName(QWidget *owner, const FileRequest &request) override;
  QString SaveFileName(QWidget *owner, const FileRequest &request) override;
  void Beep() override;
  int Exec(QDialog &dialog) override;
  int Choose(QWidget *owner, const QString &caption, const QString &text,
             const QStringList &buttons) override;
  int ChooseItem(QWidget *owner, const QString &caption, const QString &text,
                 const QStringList &items, const QStringList &buttons, int &item) override;
};

} // namespace tarnwick
