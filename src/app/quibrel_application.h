#pragma once

#include <QApplication>
#include <functional>

namespace quibrel {

// The window's application object. Its event dispatch is the default error handler: an error that
// ends an operation started by an event is shown in a message box and the window goes on.
class QuibrelApplication : public QApplication {
 public:
  QuibrelApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Closes the window (running the normal shut-down) when SIGTERM or SIGINT arrives.
void CloseWindowOnTerminationSignals(QWidget* window, std::function<void()> before_close);

}  // namespace quibrel
