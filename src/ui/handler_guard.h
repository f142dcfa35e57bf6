#pragma once

#include <QString>
#include <exception>
#include <utility>

namespace tarnwick {

// Shows the message of an error that stopped a command in the application's one error report.
void ReportHandlerError(const QString &message);

// Wraps a handler connected to a toolkit signal: an error it raises is reported and stops
// there, since errors must not pass through the toolkit's signal dispatch.
template <typename F> auto Guarded(F handler) {
  return [handler = std::move(handler)]() {
    try {
      handler();
    } catch (const std::exception &e) {
      ReportHandlerError(QString::fromUtf8(e.what()));
    } catch (...) {
      ReportHandlerError(QStringLiteral("Unknown error"));
    }
  };
}

} // namespace tarnwick
