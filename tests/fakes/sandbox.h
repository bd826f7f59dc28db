// A test fixture with a temporary folder of its own, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace tovrel::testing {

class Sandbox : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  /// Names and paths are UTF-8, as the program's are.
  std::string path(std::string_view name) const;
  std::string folder() const;
  void write(std::string_view name, std::string_view bytes) const;
  std::string read(std::string_view name) const;

 private:
  std::filesystem::path folder_;
};

}  // namespace tovrel::testing
