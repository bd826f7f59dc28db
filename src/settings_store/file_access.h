// The file operations the settings file needs, implemented once per system (frame/posix/,
// frame/win32/).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tovrel {

/// A settings file larger than this is not read: no real one comes near it.
inline constexpr std::size_t kMaxSettingsFileSize = 128 * 1024 * 1024;

enum class FileState { Missing, Read, Unreadable };

struct FileContent {
  FileState state;
  std::string bytes;
};

/// Reads a whole regular file. A folder, a device, a pipe or a file above the size limit is
/// unreadable; reading never blocks on them.
FileContent read_file(const std::string& path);

/// The file a path finally names once symbolic links are followed; nothing for a link loop.
std::optional<std::string> resolve_links(const std::string& path);

/// Whether an existing file may be written.
bool is_writable(const std::string& path);

/// Removes the new files that replace_file left beside the file when its process died before
/// renaming them. Call it only while holding the folder's lock, so that no live save owns one.
void remove_abandoned_replacements(const std::string& path);

/// Replaces the file's content in one step: a new file is written beside it and renamed over
/// it, keeping the old file's permissions. On failure the old file stays as it was.
bool replace_file(const std::string& path, std::string_view bytes);

/// Keeps other savers out of a folder while it lives: every process that saves a file there takes
/// the folder's lock first, so two saves never interleave. Readers do not take it, and a program
/// that does not ask for the lock is not kept out.
class FolderLock {
 public:
  explicit FolderLock(const std::string& file_path);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  /// Whether the lock is held: a folder we may not open, or one whose file system has no locks,
  /// cannot be locked.
  bool held() const { return held_ != nullptr; }

 private:
  struct Held;  // the system's handle of the locked folder
  std::unique_ptr<Held> held_;
};

}  // namespace tovrel
