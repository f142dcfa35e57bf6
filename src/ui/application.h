#pragma once

#include <QApplication>
#include <functional>

namespace tarnwick {

// The application object. Its event dispatch is the one place where an error that stopped a
// command is reported: the message goes into a modal error box and the program goes on.
class TApplication : public QApplication {
public:
  using Reporter = std::function<void(const QString &)>;

  TApplication(int &argc, char **argv);

  bool notify(QObject *receiver, QEvent *event) override;
  // Replaces the error box (tests record the messages instead).
  void SetErrorReporter(Reporter r) { reporter_ = std::move(r); }
  void ReportError(const QString &message);

private:
  Reporter reporter_;
};

} // namespace tarnwick
