#include "frame/os/posix/termination.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

namespace tovrel::posix {
namespace {

int signal_pipe[2] = {-1, -1};

// A signal handler may do next to nothing: it wakes the event loop through a socket.
void on_signal(int) {
  const char byte = 0;
  [[maybe_unused]] const ssize_t ignored = ::write(signal_pipe[1], &byte, 1);
}

}  // namespace

int termination_requests() {
  if (signal_pipe[0] >= 0) return signal_pipe[0];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) != 0) return -1;
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
  return signal_pipe[0];
}

void take_termination_request() {
  char byte;
  [[maybe_unused]] const ssize_t ignored = ::read(signal_pipe[0], &byte, 1);
}

}  // namespace tovrel::posix
