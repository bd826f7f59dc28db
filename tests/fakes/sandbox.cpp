#include "fakes/sandbox.h"

#include <fstream>
#include <iterator>
#include <random>

namespace tovrel::testing {
namespace {

// std::filesystem takes a char string in the system's code page, not always UTF-8.
std::filesystem::path from_utf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string to_utf8(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

}  // namespace

void Sandbox::SetUp() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    folder_ = std::filesystem::temp_directory_path() / ("tovrel-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(folder_)) return;
  }
  FAIL() << "no new temporary folder";
}

std::string Sandbox::path(std::string_view name) const {
  return to_utf8(folder_ / from_utf8(name));
}

std::string Sandbox::folder() const { return to_utf8(folder_); }

void Sandbox::TearDown() {
  std::error_code ignored;
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(folder_, ignored);
}

void Sandbox::write(std::string_view name, std::string_view bytes) const {
  std::ofstream(folder_ / from_utf8(name), std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Sandbox::read(std::string_view name) const {
  std::ifstream file(folder_ / from_utf8(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace tovrel::testing
