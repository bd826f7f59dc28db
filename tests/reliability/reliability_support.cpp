#include "reliability_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <thread>

#include "saved_pairs.h"
#include "settings_store/profile_text.h"

extern char** environ;

namespace tovrel {

void PrintTo(WriteOutcome outcome, std::ostream* out) {
  switch (outcome) {
    case WriteOutcome::Saved:
      *out << "Saved";
      return;
    case WriteOutcome::ValueNotStorable:
      *out << "ValueNotStorable";
      return;
    case WriteOutcome::FileNotWritable:
      *out << "FileNotWritable";
      return;
    case WriteOutcome::LockedByAnotherSaver:
      *out << "LockedByAnotherSaver";
      return;
  }
  *out << "WriteOutcome " << static_cast<int>(outcome);
}

}  // namespace tovrel

namespace tovrel::reliability {
namespace fs = std::filesystem;

Child::Child(const std::vector<std::string>& argv,
             const std::vector<std::string>& extra_environment) {
  int to_child[2], from_child[2];
  if (::pipe2(to_child, O_CLOEXEC) != 0 || ::pipe2(from_child, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  }
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
  environment.insert(environment.end(), extra_environment.begin(), extra_environment.end());
  std::vector<char*> args, env;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const auto& e : environment) env.push_back(const_cast<char*>(e.c_str()));
  env.push_back(nullptr);

  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
  if (pid_ == 0) {
    ::dup2(to_child[0], STDIN_FILENO);
    ::dup2(from_child[1], STDOUT_FILENO);
    ::execve(args[0], args.data(), env.data());
    ::_exit(127);
  }
  ::close(to_child[0]);
  ::close(from_child[1]);
  input_ = to_child[1];
  output_ = from_child[0];
}

Child::~Child() {
  if (!reaped_) {
    ::kill(pid_, SIGKILL);
    wait();
  }
  if (input_ >= 0) ::close(input_);
  if (output_ >= 0) ::close(output_);
}

int Child::read_byte() {
  unsigned char byte = 0;
  for (;;) {
    const ssize_t got = ::read(output_, &byte, 1);
    if (got == 1) return byte;
    if (got == 0) return -1;
    if (errno != EINTR) return -1;
  }
}

std::string Child::read_rest() {
  std::string rest;
  for (int byte; (byte = read_byte()) >= 0;) rest += static_cast<char>(byte);
  return rest;
}

void Child::send(char byte) {
  while (::write(input_, &byte, 1) < 0 && errno == EINTR) {
  }
}

void Child::kill(int signal) { ::kill(pid_, signal); }

int Child::wait() {
  while (!reaped_) {
    if (::waitpid(pid_, &status_, 0) == pid_) {
      reaped_ = true;
    } else if (errno != EINTR) {
      throw std::runtime_error(std::string("waitpid: ") + std::strerror(errno));
    }
  }
  return status_;
}

bool Child::has_ended() {
  if (!reaped_ && ::waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
  return reaped_;
}

int exit_code(int wait_status) {
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) return -WTERMSIG(wait_status);
  return -1000;
}

void pause_for(std::chrono::nanoseconds duration) {
  const auto until = std::chrono::steady_clock::now() + duration;
  if (duration > std::chrono::microseconds(200))
    std::this_thread::sleep_for(duration - std::chrono::microseconds(100));
  while (std::chrono::steady_clock::now() < until) {
  }
}

namespace {

std::string digest(const std::string& path) {
  // FNV-1a over the bytes: enough to tell a changed file from an unchanged one.
  std::ifstream file(path, std::ios::binary);
  std::uint64_t hash = 14695981039346656037ull;
  char buffer[65536];
  while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
    for (std::streamsize i = 0; i < file.gcount(); ++i) {
      hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
    }
  }
  return std::to_string(hash);
}

}  // namespace

std::map<std::string, std::string> snapshot(const std::string& folder) {
  std::map<std::string, std::string> entries;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(
           folder, fs::directory_options::skip_permission_denied, error);
       it != fs::recursive_directory_iterator(); it.increment(error)) {
    const std::string path = it->path().string();
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) continue;
    std::string description = std::to_string(status.st_mode) + " " + std::to_string(status.st_uid) +
                              ":" + std::to_string(status.st_gid) + " ";
    if (S_ISLNK(status.st_mode)) {
      description += "-> " + fs::read_symlink(path, error).string();
    } else if (S_ISREG(status.st_mode)) {
      description +=
          std::to_string(status.st_size) + " links " + std::to_string(status.st_nlink) + " ";
      description += status.st_size > 1024 * 1024 ? digest(path) : file_bytes(path);
    }
    entries[it->path().lexically_relative(folder).string()] = description;
  }
  return entries;
}

std::vector<std::string> temporary_files(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".SETUP.INI.")) names.push_back(name);
  }
  return names;
}

std::string describe(const std::string& file) {
  const Pair pair{find_value(decode_profile(file), kSettingsSection, kHourKey),
                  find_value(decode_profile(file), kSettingsSection, kFileKey)};
  std::uint64_t digest = 14695981039346656037ull;
  for (const char byte : file)
    digest = (digest ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
  std::string text =
      std::to_string(file.size()) + " bytes (digest " + std::to_string(digest) + "), ";
  if (const auto origin = origin_of(pair)) {
    text += std::string("writer ") + origin->first + "'s save " + std::to_string(origin->second);
    if (file != saved_over("", pair)) text += " (with other lines)";
  } else {
    text += "hour \"" + pair.hour.substr(0, 20) + "\", file \"" + pair.file.substr(0, 40) + "\"";
  }
  return text;
}

std::string file_bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tovrel::reliability
