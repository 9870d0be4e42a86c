#include "app/quibrel_application.h"

#include <QMessageBox>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <functional>
#include <sys/socket.h>
#include <unistd.h>

#include "core/quibrel_error.h"
#include "i18n/lang_text.h"

namespace quibrel {

namespace {

int signal_sockets[2] = {-1, -1};

void OnTerminationSignal(int) {
  const char byte = 1;
  // Only async-signal-safe work here: the event loop reads the socket and closes the window.
  [[maybe_unused]] const ssize_t written = ::write(signal_sockets[0], &byte, 1);
}

void ShowUnexpectedError(const QString& text) {
  QMessageBox::critical(nullptr, LangText("Text", "ErrorData", "Error"), text);
}

}  // namespace

QuibrelApplication::QuibrelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuibrelApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const QuibrelError& error) {
    ShowUnexpectedError(error.text());
  } catch (const std::exception& error) {
    ShowUnexpectedError(QString::fromLocal8Bit(error.what()));
  }
  return false;
}

void CloseWindowOnTerminationSignals(QWidget* window, std::function<void()> before_close) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signal_sockets) != 0) return;
  auto* notifier = new QSocketNotifier(signal_sockets[1], QSocketNotifier::Read, window);
  QObject::connect(notifier, &QSocketNotifier::activated, window,
                   [window, notifier, before_close = std::move(before_close)] {
                     char byte;
                     [[maybe_unused]] const ssize_t got = ::read(signal_sockets[1], &byte, 1);
                     notifier->setEnabled(false);
                     if (before_close) before_close();
                     window->close();
                   });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace quibrel
