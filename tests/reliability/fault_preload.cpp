// Loaded with LD_PRELOAD into a saving process to make the system refuse what TOVREL_FAULT
// names, for the settings file's temporary files only (their names start with ".SETUP.INI."):
//
//   write    every write (pwrite) fails with ENOSPC, as on a full disk
//   short    the first write stores half its bytes, every later one fails with ENOSPC
//   fsync    writes succeed, fsync fails with ENOSPC (delayed allocation on a full disk)
//   noflock  flock does nothing, on every file: a saver without the folder lock
#include <dlfcn.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool fault_is(const char* name) {
  const char* fault = std::getenv("TOVREL_FAULT");
  return fault != nullptr && std::strcmp(fault, name) == 0;
}

bool is_temporary_file(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[4096];
  const ssize_t length = ::readlink(link, target, sizeof target - 1);
  if (length <= 0) return false;
  target[length] = '\0';
  const char* name = std::strrchr(target, '/');
  return name != nullptr && std::strncmp(name + 1, ".SETUP.INI.", 11) == 0;
}

template <typename Function>
Function next_definition(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset) {
  static const auto real = next_definition<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  static bool wrote_half = false;
  if ((fault_is("write") || fault_is("short")) && is_temporary_file(fd)) {
    if (fault_is("short") && !wrote_half && count > 1) {
      wrote_half = true;
      return real(fd, bytes, count / 2, offset);
    }
    errno = ENOSPC;
    return -1;
  }
  return real(fd, bytes, count, offset);
}

int fsync(int fd) {
  static const auto real = next_definition<int (*)(int)>("fsync");
  if (fault_is("fsync") && is_temporary_file(fd)) {
    errno = ENOSPC;
    return -1;
  }
  return real(fd);
}

int flock(int fd, int operation) noexcept {
  static const auto real = next_definition<int (*)(int, int)>("flock");
  if (fault_is("noflock")) return 0;
  return real(fd, operation);
}

}  // extern "C"
