// File operations on a POSIX system.
#include "frame/os/file_access.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <memory>
#include <thread>
#include <utility>

#include "frame/paths.h"

namespace tovrel {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_;
};

// The name replace_file gives the new file: mkostemp fills in the six X.
constexpr std::string_view kReplacementName = ".SETUP.INI.XXXXXX";

bool write_all(int fd, std::string_view bytes, off_t at = 0) {
  while (!bytes.empty()) {
    const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), at);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
    at += written;
  }
  return true;
}

// The folder refuses to hold a new file, or to let one take the old one's place (a read-only or
// immutable folder; a sticky folder and a file of another owner).
bool refused_by_folder(int error) { return error == EACCES || error == EPERM; }

mode_t permissions_for_new_file() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void sync_folder(const std::string& folder) {
  const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.valid()) ::fsync(fd.get());
}

}  // namespace

FileContent SystemFiles::read_file(const std::string& path) const {
  const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.valid()) return {errno == ENOENT ? FileState::Missing : FileState::Unreadable, {}};
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<std::size_t>(status.st_size) > kMaxSettingsFileSize) {
    return {FileState::Unreadable, {}};
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(status.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return {FileState::Unreadable, {}};
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
    if (bytes.size() > kMaxSettingsFileSize) return {FileState::Unreadable, {}};
  }
  return {FileState::Read, std::move(bytes)};
}

std::optional<std::string> SystemFiles::resolve_links(const std::string& path) const {
  constexpr int kMaxLinks = 40;  // as many as the kernel follows
  std::string current = path;
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(current.c_str(), target, sizeof target);
    if (length < 0 || static_cast<std::size_t>(length) == sizeof target) return std::nullopt;
    const std::string link(target, static_cast<std::size_t>(length));
    current = link.starts_with('/') ? link : join_path(folder_of(current), link);
  }
  return std::nullopt;
}

bool SystemFiles::make_folders_for(const std::string& file_path) {
  // Each folder made is the user's alone, as the desktop's base directories want a missing
  // configuration folder made.
  const std::string folder = folder_of(file_path);
  for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string part = folder.substr(0, end);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (end == std::string::npos) break;
  }
  struct stat status {};
  return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool SystemFiles::is_writable(const std::string& path) const {
  const Descriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  return fd.valid();
}

Replacement SystemFiles::replace_file(const std::string& path, std::string_view bytes) {
  const std::string folder = folder_of(path);
  // A short name of its own: the file's name plus a suffix could pass the file system's limit.
  std::string temporary = join_path(folder, kReplacementName);
  const Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!fd.valid()) {
    return refused_by_folder(errno) ? Replacement::FolderRefuses : Replacement::Failed;
  }

  struct stat old {};
  const bool replaces = ::stat(path.c_str(), &old) == 0;
  bool written =
      ::fchmod(fd.get(), replaces ? (old.st_mode & 07777) : permissions_for_new_file()) == 0;
  if (replaces && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    [[maybe_unused]] const int ignored = ::fchown(fd.get(), old.st_uid, old.st_gid);
  }
  written = written && write_all(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  if (!written) {
    ::unlink(temporary.c_str());
    return Replacement::Failed;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return refused_by_folder(error) ? Replacement::FolderRefuses : Replacement::Failed;
  }
  sync_folder(folder);
  return Replacement::Done;
}

bool SystemFiles::overwrite_file(const std::string& path, std::string_view old_bytes,
                                 std::string_view bytes) {
  const Descriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.valid()) return false;
  const auto unchanged = static_cast<std::size_t>(
      std::mismatch(old_bytes.begin(), old_bytes.end(), bytes.begin(), bytes.end()).first -
      old_bytes.begin());
  const auto write_from_first_change = [&](std::string_view content) {
    return write_all(fd.get(), content.substr(unchanged), static_cast<off_t>(unchanged)) &&
           ::ftruncate(fd.get(), static_cast<off_t>(content.size())) == 0 && ::fsync(fd.get()) == 0;
  };
  if (write_from_first_change(bytes)) return true;
  // Shrinking back to the old bytes needs no room the old file did not have.
  write_from_first_change(old_bytes);
  return false;
}

void SystemFiles::remove_abandoned_replacements(const std::string& path) {
  const std::string folder = folder_of(path);
  DIR* entries = ::opendir(folder.c_str());
  if (entries == nullptr) return;
  const std::string_view prefix = kReplacementName.substr(0, kReplacementName.find('X'));
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name = entry->d_name;
    if (name.size() == kReplacementName.size() && name.starts_with(prefix)) {
      ::unlink(join_path(folder, name).c_str());
    }
  }
  ::closedir(entries);
}

FolderLock SystemFiles::lock_folder(const std::string& file_path) {
  struct FolderHold final : FolderLock::Hold {
    explicit FolderHold(Descriptor held) : folder(std::move(held)) {}
    Descriptor folder;
  };
  Descriptor folder(::open(folder_of(file_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) return {};
  // flock cannot wait for a limited time: ask again every millisecond, so that a lock another
  // saver drops between two of its saves is seen.
  const auto give_up = std::chrono::steady_clock::now() + kLockPatience;
  while (::flock(folder.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return {};
    if (std::chrono::steady_clock::now() >= give_up) return {.state = LockState::Busy};
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return {.state = LockState::Held, .hold = std::make_unique<FolderHold>(std::move(folder))};
}

}  // namespace tovrel
