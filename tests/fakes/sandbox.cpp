#include "fakes/sandbox.h"

#include <fstream>
#include <iterator>
#include <random>

namespace tovrel::testing {

void Sandbox::SetUp() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    folder_ = std::filesystem::temp_directory_path() / ("tovrel-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(folder_)) return;
  }
  FAIL() << "no new temporary folder";
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

}  // namespace tovrel::testing
