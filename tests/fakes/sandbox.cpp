#include "fakes/sandbox.h"

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace tovrel::testing {

void Sandbox::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tovrel-test-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  folder_ = pattern;
}

void Sandbox::TearDown() {
  std::error_code ignored;
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(folder_, ignored);
}

void Sandbox::write(std::string_view name, std::string_view bytes) const {
  std::ofstream(folder_ / name, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Sandbox::read(std::string_view name) const {
  std::ifstream file(folder_ / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool as_ordinary_user(const std::function<bool()>& check) {
  if (::geteuid() != 0) return check();
  const pid_t child = ::fork();
  if (child == 0) {
    const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
    ::_exit(dropped && check() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace tovrel::testing
