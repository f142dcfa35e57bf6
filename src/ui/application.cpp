#include "ui/application.h"

#include <QMessageBox>
#include <exception>

namespace tarnwick {

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Tarnwick"));
}

void TApplication::ReportError(const QString &message) {
  if (reporter_) {
    reporter_(message);
    return;
  }
  QMessageBox::critical(activeWindow(), applicationName(), message, QMessageBox::Ok);
}

bool TApplication::notify(QObject *receiver, QEvent *event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception &e) {
    ReportError(QString::fromUtf8(e.what()));
  } catch (...) {
    ReportError(QStringLiteral("Unknown error"));
  }
  return true;
}

} // namespace tarnwick
