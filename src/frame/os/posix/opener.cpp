#include "frame/os/posix/opener.h"

#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace tovrel::posix {
namespace {

Opener* this_process_opener = nullptr;

// The opener's end of the socket, where it finds it.
constexpr int kRequestsDescriptor = 3;

bool send_all(int socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool receive_all(int socket, char* into, std::size_t size) {
  while (size > 0) {
    const ssize_t got = ::recv(socket, into, size, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    into += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

void put_number(std::string& out, std::uint32_t number) {
  out.append(reinterpret_cast<const char*>(&number), sizeof number);
}

std::optional<std::uint32_t> take_number(int socket) {
  std::uint32_t number = 0;
  if (!receive_all(socket, reinterpret_cast<char*>(&number), sizeof number)) return std::nullopt;
  return number;
}

// A request: the program, whether to look it up on PATH, the file it opens, its arguments.
std::string request_for(const ProcessStart& start) {
  std::string out;
  const auto put_text = [&](std::string_view text) {
    put_number(out, static_cast<std::uint32_t>(text.size()));
    out.append(text);
  };
  put_number(out, start.search_path ? 1 : 0);
  put_text(start.program);
  put_text(start.opened_file);
  put_number(out, static_cast<std::uint32_t>(start.arguments.size()));
  for (const std::string& argument : start.arguments) put_text(argument);
  return out;
}

std::optional<ProcessStart> take_request(int socket) {
  const auto take_text = [socket]() -> std::optional<std::string> {
    const std::optional<std::uint32_t> size = take_number(socket);
    if (!size) return std::nullopt;
    std::string text(*size, '\0');
    if (!receive_all(socket, text.data(), text.size())) return std::nullopt;
    return text;
  };
  ProcessStart start;
  const std::optional<std::uint32_t> search_path = take_number(socket);
  std::optional<std::string> program = take_text(), file = take_text();
  const std::optional<std::uint32_t> count = take_number(socket);
  if (!search_path || !program || !file || !count) return std::nullopt;
  start.search_path = *search_path != 0;
  start.program = std::move(*program);
  start.opened_file = std::move(*file);
  for (std::uint32_t i = 0; i < *count; ++i) {
    std::optional<std::string> argument = take_text();
    if (!argument) return std::nullopt;
    start.arguments.push_back(std::move(*argument));
  }
  return start;
}

// In a process of its own: starts the program, tells the requester whether it started, waits for
// its end and reports a file it could not open.
[[noreturn]] void watch(int socket, const ProcessStart& start,
                        const Opener::FailureReport& report) {
  std::signal(SIGCHLD, SIG_DFL);
  pid_t pid = 0;
  const std::int32_t error = spawn_detached(start, pid);
  send_all(socket, std::string_view(reinterpret_cast<const char*>(&error), sizeof error));
  ::close(socket);
  if (error == 0) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) report(start.opened_file);
  }
  ::_exit(0);
}

std::string this_executable() {
  std::string path(PATH_MAX, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return path;
}

}  // namespace

// Started, not forked: a fork would share the program's memory until the program had written to
// each page once more, a copy at a time, all through its start.
Opener::Opener() {
  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], kRequestsDescriptor);
  const std::string executable = this_executable();
  pid_t opener = 0;
  const int error = spawn_detached({executable, {std::string(kServeAsOpener)}, false, {}}, opener,
                                   &actions);
  posix_spawn_file_actions_destroy(&actions);
  ::close(ends[1]);
  if (executable.empty() || error != 0) {
    ::close(ends[0]);
    return;
  }
  requests_ = ends[0];
  this_process_opener = this;
}

void Opener::serve(const FailureReport& report) {
  struct stat descriptor {};
  if (::fstat(kRequestsDescriptor, &descriptor) != 0 || !S_ISSOCK(descriptor.st_mode)) ::_exit(2);
  std::signal(SIGCHLD, SIG_IGN);  // watchers need no waiting for
  while (const std::optional<ProcessStart> start = take_request(kRequestsDescriptor)) {
    const pid_t watcher = ::fork();
    if (watcher == 0) watch(kRequestsDescriptor, *start, report);
    if (watcher < 0) {
      const std::int32_t error = errno;
      send_all(kRequestsDescriptor,
               std::string_view(reinterpret_cast<const char*>(&error), sizeof error));
    }
  }
  ::_exit(0);
}

Opener::~Opener() {
  if (this_process_opener == this) this_process_opener = nullptr;
  if (requests_ >= 0) ::close(requests_);
}

Opener* Opener::of_this_process() { return this_process_opener; }

void Opener::open(const ProcessStart& start) {
  if (requests_ < 0 || !send_all(requests_, request_for(start))) {
    start_detached(start);
    return;
  }
  std::int32_t error = 0;
  if (!receive_all(requests_, reinterpret_cast<char*>(&error), sizeof error)) {
    throw Failure(ErrorNumber::PathFileAccessError);
  }
  if (error != 0) throw start_failure(error);
}

}  // namespace tovrel::posix
