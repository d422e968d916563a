#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace sonivera::ui {

// The desktop program's QApplication: a failure that escapes a window's
// handler (a database that answers with an error) is reported through
// on_failure and the program goes on, instead of ending it.
class GuardedApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override;
  std::function<void(const std::exception&)> on_failure;
};

}  // namespace sonivera::ui
