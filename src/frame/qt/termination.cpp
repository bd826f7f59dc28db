#include "frame/qt/termination.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>
#include <csignal>

namespace tovrel {
namespace {

int signal_pipe[2] = {-1, -1};

// A signal handler may do next to nothing: it wakes the event loop through a socket.
void on_signal(int) {
  const char byte = 0;
  [[maybe_unused]] const ssize_t ignored = ::write(signal_pipe[1], &byte, 1);
}

}  // namespace

void close_on_termination(QWidget& window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) != 0) return;
  auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte;
    [[maybe_unused]] const ssize_t ignored = ::read(signal_pipe[0], &byte, 1);
    window.close();
  });
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
}

}  // namespace tovrel
