// File operations on a POSIX system.
#include "settings_store/file_access.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
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

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

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

FileContent read_file(const std::string& path) {
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

std::optional<std::string> resolve_links(const std::string& path) {
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

bool is_writable(const std::string& path) {
  const Descriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  return fd.valid();
}

bool replace_file(const std::string& path, std::string_view bytes) {
  const std::string folder = folder_of(path);
  // A short name of its own: the file's name plus a suffix could pass the file system's limit.
  std::string temporary = join_path(folder, kReplacementName);
  const Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!fd.valid()) return false;

  struct stat old {};
  const bool replaces = ::stat(path.c_str(), &old) == 0;
  bool written =
      ::fchmod(fd.get(), replaces ? (old.st_mode & 07777) : permissions_for_new_file()) == 0;
  if (replaces && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    [[maybe_unused]] const int ignored = ::fchown(fd.get(), old.st_uid, old.st_gid);
  }
  written = written && write_all(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  sync_folder(folder);
  return true;
}

void remove_abandoned_replacements(const std::string& path) {
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

struct FolderLock::Held {
  Descriptor folder;
};

FolderLock::FolderLock(const std::string& file_path) {
  Descriptor folder(::open(folder_of(file_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) return;
  int result = 0;
  do {
    result = ::flock(folder.get(), LOCK_EX);
  } while (result != 0 && errno == EINTR);
  if (result == 0) held_.reset(new Held{std::move(folder)});
}

FolderLock::~FolderLock() = default;

}  // namespace tovrel
