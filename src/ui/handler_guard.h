#pragma once

#include <QString>
#include <concepts>
#include <exception>
#include <utility>

namespace tarnwick {

// Shows the message of an error that stopped a command in the application's one error report.
void ReportHandlerError(const QString &message);

// A handler connected to a toolkit signal: an error it raises is reported and stops there,
// since errors must not pass through the toolkit's signal dispatch. It takes as many of the
// signal's arguments as the handler does.
template <typename F> struct GuardedHandler {
  F handler;
  template <typename... Args>
  requires std::invocable<F &, Args...>
  void operator()(Args &&...args) {
    try {
      handler(std::forward<Args>(args)...);
    } catch (const std::exception &e) {
      ReportHandlerError(QString::fromUtf8(e.what()));
    } catch (...) {
      ReportHandlerError(QStringLiteral("Unknown error"));
    }
  }
};

template <typename F> GuardedHandler<F> Guarded(F handler) { return {std::move(handler)}; }

} // namespace tarnwick
