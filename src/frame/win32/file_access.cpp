// File operations on Windows.
#include "settings_store/file_access.h"

#include <windows.h>

#include <algorithm>
#include <random>
#include <utility>

#include "frame/paths.h"
#include "frame/win32/wide_text.h"

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

}  // namespace

FileContent read_file(const std::string& path) {
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

std::optional<std::string> resolve_links(const std::string& path) {
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

bool is_writable(const std::string& path) {
  const Handle file(::CreateFileW(wide_path(path).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid();
}

bool replace_file(const std::string& path, std::string_view bytes) {
  const std::string folder = folder_of(path);
  std::wstring temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = wide_path(join_path(folder, random_replacement_name()));
    created = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  Handle file(created);
  if (!file.valid()) return false;
  const bool written = write_all(file.get(), bytes) && ::FlushFileBuffers(file.get());
  file.close();
  if (!written || !::MoveFileExW(temporary.c_str(), wide_path(path).c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

void remove_abandoned_replacements(const std::string& path) {
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
// removes it when its holder closes it or dies.
struct FolderLock::Held {
  Handle file;
};

FolderLock::FolderLock(const std::string& file_path) {
  const std::wstring lock = wide_path(join_path(folder_of(file_path), kLockName));
  // Another saver holds the lock for milliseconds: wait up to 10 s for it. A lock file its holder
  // has just closed is refused for a moment too, but so is a folder we may not write: give that
  // up sooner.
  int sharing_violations = 0, refusals = 0;
  while (sharing_violations < 1000 && refusals < 10) {
    const HANDLE file =
        ::CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      held_.reset(new Held{Handle(file)});
      return;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_SHARING_VIOLATION) {
      ++sharing_violations;
    } else if (error == ERROR_ACCESS_DENIED) {
      ++refusals;
    } else {
      return;
    }
    ::Sleep(10);
  }
}

FolderLock::~FolderLock() = default;

}  // namespace tovrel
