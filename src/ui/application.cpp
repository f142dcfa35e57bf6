#include "ui/application.h"
#include "ui/handler_guard.h"

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

namespace tarnwick {

void ReportHandlerError(const QString &message) {
  if (auto *app = dynamic_cast<TApplication *>(QCoreApplication::instance())) {
    app->ReportError(message);
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), message,
                        QMessageBox::Ok);
}

} // namespace tarnwick
