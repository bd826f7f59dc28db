// File operations on Windows.
#include "frame/os/file_access.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <utility>

#include "frame/os/win32/wide_text.h"
#include "frame/paths.h"

namespace tovrel {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { close(); }
  Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  void close() {
    if (valid()) ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }

 private:
  HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The name replace_file gives the new file: six random letters and digits stand for the X.
constexpr std::string_view kReplacementName = ".SETUP.INI.XXXXXX";
constexpr std::string_view kReplacementPrefix = ".SETUP.INI.";
constexpr std::string_view kLockName = ".SETUP.INI.lock";

std::wstring wide_path(const std::string& path) { return win32::to_wide(path); }

std::string random_replacement_name() {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  static std::mt19937 random(std::random_device{}());
  std::string name(kReplacementPrefix);
  for (std::size_t i = name.size(); i < kReplacementName.size(); ++i) {
    name += kLetters[random() % (sizeof kLetters - 1)];
  }
  return name;
}

bool write_all(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool seek(HANDLE file, std::size_t offset) {
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  return ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
}

// What the new file takes over from the old one: whether the user hid it, and the like.
DWORD attributes_to_keep(const std::wstring& path) {
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD old = ::GetFileAttributesW(path.c_str());
  const DWORD kept = old == INVALID_FILE_ATTRIBUTES ? 0 : old & kKept;
  return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

bool set_attributes(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFO info{};  // times of 0 stay as they are
  info.FileAttributes = attributes;
  return ::SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info);
}

// Locking: the lock file, or a byte of the settings file.
enum class Attempt { Held, Taken, Refused };

constexpr DWORD kLockedByteHigh = 0x4000'0000;  // the byte at 2^62

Attempt lock_file(const std::wstring& lock, HANDLE& held) {
  held = ::CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (held != INVALID_HANDLE_VALUE) return Attempt::Held;
  switch (::GetLastError()) {
    case ERROR_SHARING_VIOLATION:
      return Attempt::Taken;
    case ERROR_ACCESS_DENIED:
      // Either no file may be made here, or a lock file its holder has just closed is refused
      // until the system has removed it.
      return ::GetFileAttributesW(lock.c_str()) == INVALID_FILE_ATTRIBUTES &&
                     ::GetLastError() == ERROR_FILE_NOT_FOUND
                 ? Attempt::Refused
                 : Attempt::Taken;
    default:
      return Attempt::Refused;
  }
}

Attempt lock_byte_of(const std::wstring& file, HANDLE& held) {
  held = ::CreateFileW(file.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) return Attempt::Refused;
  OVERLAPPED at{};
  at.OffsetHigh = kLockedByteHigh;
  if (::LockFileEx(held, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    return Attempt::Held;
  }
  const DWORD error = ::GetLastError();
  ::CloseHandle(held);
  held = INVALID_HANDLE_VALUE;
  return error == ERROR_LOCK_VIOLATION ? Attempt::Taken : Attempt::Refused;
}

}  // namespace

FileContent SystemFiles::read_file(const std::string& path) const {
  const Handle file(::CreateFileW(wide_path(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {missing ? FileState::Missing : FileState::Unreadable, {}};
  }
  LARGE_INTEGER size{};
  if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileSizeEx(file.get(), &size) ||
      static_cast<unsigned long long>(size.QuadPart) > kMaxSettingsFileSize) {
    return {FileState::Unreadable, {}};
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
      return {FileState::Unreadable, {}};
    }
    if (got == 0) break;
    bytes.append(buffer, got);
    if (bytes.size() > kMaxSettingsFileSize) return {FileState::Unreadable, {}};
  }
  return {FileState::Read, std::move(bytes)};
}

std::optional<std::string> SystemFiles::resolve_links(const std::string& path) const {
  // A link, or a folder junction on the way, leads to the file the system finally opens.
  const Handle file(::CreateFileW(wide_path(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) {
    return ::GetLastError() == ERROR_CANT_RESOLVE_FILENAME ? std::nullopt
                                                           : std::optional<std::string>(path);
  }
  std::wstring final_path(MAX_PATH, L'\0');
  DWORD length = ::GetFinalPathNameByHandleW(file.get(), final_path.data(),
                                             static_cast<DWORD>(final_path.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length >= final_path.size()) {
    final_path.resize(length);
    length = ::GetFinalPathNameByHandleW(file.get(), final_path.data(), length,
                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  }
  if (length == 0 || length >= final_path.size()) return path;
  final_path.resize(length);
  // The system answers with the long form: \\?\C:\... or \\?\UNC\server\share\...
  if (final_path.starts_with(LR"(\\?\UNC\)")) {
    final_path.replace(0, 8, LR"(\\)");
  } else if (final_path.starts_with(LR"(\\?\)")) {
    final_path.erase(0, 4);
  }
  return win32::from_wide(final_path);
}

bool SystemFiles::make_folders_for(const std::string& file_path) {
  const std::wstring folder = wide_path(folder_of(file_path));
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SystemFiles::is_writable(const std::string& path) const {
  const Handle file(::CreateFileW(wide_path(path).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid();
}

Replacement SystemFiles::replace_file(const std::string& path, std::string_view bytes) {
  const std::string folder = folder_of(path);
  const std::wstring target = wide_path(path);
  std::wstring temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = wide_path(join_path(folder, random_replacement_name()));
    // Hidden while it is not yet the settings file: a save killed before the rename leaves it
    // out of the user's sight, until the next save removes it.
    created = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_HIDDEN, nullptr);
    const DWORD error = ::GetLastError();
    if (created == INVALID_HANDLE_VALUE && error == ERROR_ACCESS_DENIED) {
      return Replacement::FolderRefuses;
    }
    if (created == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS) return Replacement::Failed;
  }
  Handle file(created);
  if (!file.valid()) return Replacement::Failed;
  const bool written = write_all(file.get(), bytes) && ::FlushFileBuffers(file.get()) &&
                       set_attributes(file.get(), attributes_to_keep(target));
  file.close();
  if (!written) {
    ::DeleteFileW(temporary.c_str());
    return Replacement::Failed;
  }
  if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = ::GetLastError();
    ::DeleteFileW(temporary.c_str());
    return error == ERROR_ACCESS_DENIED ? Replacement::FolderRefuses : Replacement::Failed;
  }
  return Replacement::Done;
}

bool SystemFiles::overwrite_file(const std::string& path, std::string_view old_bytes,
                                 std::string_view bytes) {
  const Handle file(::CreateFileW(wide_path(path).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  const auto unchanged = static_cast<std::size_t>(
      std::mismatch(old_bytes.begin(), old_bytes.end(), bytes.begin(), bytes.end()).first -
      old_bytes.begin());
  const auto write_from_first_change = [&](std::string_view content) {
    return seek(file.get(), unchanged) && write_all(file.get(), content.substr(unchanged)) &&
           seek(file.get(), content.size()) && ::SetEndOfFile(file.get()) &&
           ::FlushFileBuffers(file.get());
  };
  if (write_from_first_change(bytes)) return true;
  // Shrinking back to the old bytes needs no room the old file did not have.
  write_from_first_change(old_bytes);
  return false;
}

void SystemFiles::remove_abandoned_replacements(const std::string& path) {
  const std::string folder = folder_of(path);
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(
      wide_path(join_path(folder, std::string(kReplacementPrefix) + "*")).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = win32::from_wide(found.cFileName);
    if (name.size() == kReplacementName.size() && name != kLockName) {
      ::DeleteFileW(wide_path(join_path(folder, name)).c_str());
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

// The lock is a hidden file in the folder that only one process at a time can open; the system
// removes it when its holder closes it or dies. Where the folder lets no file be made, saves write
// the settings file in place, and the lock is a byte of that file far past its end instead, which
// keeps out other savers and no reader.
FolderLock SystemFiles::lock_folder(const std::string& file_path) {
  struct LockHold final : FolderLock::Hold {
    explicit LockHold(HANDLE held) : file(held) {}
    Handle file;
  };
  const std::wstring lock = wide_path(join_path(folder_of(file_path), kLockName));
  const std::wstring file = wide_path(file_path);
  bool no_lock_file = false;
  const auto give_up = std::chrono::steady_clock::now() + kLockPatience;
  for (;;) {
    HANDLE held = INVALID_HANDLE_VALUE;
    Attempt attempt = no_lock_file ? Attempt::Refused : lock_file(lock, held);
    if (attempt == Attempt::Refused) {
      no_lock_file = true;
      attempt = lock_byte_of(file, held);
    }
    if (attempt == Attempt::Held) {
      return {.state = LockState::Held, .hold = std::make_unique<LockHold>(held)};
    }
    if (attempt == Attempt::Refused) return {};
    if (std::chrono::steady_clock::now() >= give_up) return {.state = LockState::Busy};
    ::Sleep(1);
  }
}

}  // namespace tovrel
