// What the settings file needs of the file system. The frame gives the system's own
// (frame/file_access.h), implemented once per system.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tovrel {

/// A settings file larger than this is not read: no real one comes near it.
inline constexpr std::size_t kMaxSettingsFileSize = 128 * 1024 * 1024;

/// How long a save waits for another saver's lock before it gives up: another save holds it for
/// milliseconds, and the window must not stop answering for long (Windows calls a window that
/// has not answered for 5 s hung).
inline constexpr std::chrono::milliseconds kLockPatience{2000};

enum class FileState { Missing, Read, Unreadable };

struct FileContent {
  FileState state;
  std::string bytes;
};

enum class Replacement {
  Done,
  FolderRefuses,  // the folder lets no new file be made, or none take the old one's place
  Failed,
};

enum class LockState {
  Held,
  Busy,         // another saver held it for all of kLockPatience
  Unavailable,  // a folder we may not open, or a file system without locks
};

/// A folder's lock between savers, let go when it goes.
struct FolderLock {
  class Hold {
   public:
    virtual ~Hold() = default;
  };
  LockState state = LockState::Unavailable;
  std::unique_ptr<Hold> hold = nullptr;  // the system's handle of what is locked, while held
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// Reads a whole regular file. A folder, a device, a pipe or a file above the size limit is
  /// unreadable; reading never blocks on them.
  virtual FileContent read_file(const std::string& path) const = 0;

  /// The file a path finally names once symbolic links are followed; nothing for a link loop.
  virtual std::optional<std::string> resolve_links(const std::string& path) const = 0;

  /// Makes the folder a file goes into, with the folders above it, where they are missing;
  /// whether the folder is there now.
  virtual bool make_folders_for(const std::string& file_path) = 0;

  /// Whether an existing file may be written.
  virtual bool is_writable(const std::string& path) const = 0;

  /// Removes the new files that replace_file left beside the file when its process died before
  /// renaming them. Call it only while holding the folder's lock, so that no live save owns one.
  virtual void remove_abandoned_replacements(const std::string& path) = 0;

  /// Replaces the file's content in one step: a new file is written beside it and renamed over
  /// it, keeping the old file's permissions. Unless it is done, the old file stays as it was.
  virtual Replacement replace_file(const std::string& path, std::string_view bytes) = 0;

  /// Writes new content into an existing file itself, flushed, for a folder where replace_file
  /// cannot work. Not atomic: the bytes before the first one that changes are never touched, but
  /// an end in the middle (the process killed, the power lost) can leave the file holding the new
  /// bytes up to some point and the old ones after it. A write the system refuses (a full disk)
  /// puts the old bytes back and reports false.
  virtual bool overwrite_file(const std::string& path, std::string_view old_bytes,
                              std::string_view bytes) = 0;

  /// Keeps other savers out of the file's folder while the lock lives: every process that saves
  /// a file there takes the folder's lock first, so two saves never interleave. Readers do not
  /// take it, and a program that does not ask for the lock is not kept out. Waits at most
  /// kLockPatience for another saver.
  virtual FolderLock lock_folder(const std::string& file_path) = 0;
};

}  // namespace tovrel
