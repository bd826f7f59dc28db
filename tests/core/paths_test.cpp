#include "frame/paths.h"

#include <gtest/gtest.h>

namespace tovrel {
namespace {

// Both systems' paths on every system: each separator with its own roots.
TEST(PathsTest, FolderOfAFile) {
  const struct {
    std::string_view file;
    char separator;
    std::string_view folder;
  } cases[] = {
      {"/opt/tovrel/Tovrel", '/', "/opt/tovrel"},
      {"/Tovrel", '/', "/"},
      {"/home/사용자/알람/환경설정", '/', "/home/사용자/알람"},
      {R"(C:\Program Files\Tovrel\Tovrel.exe)", '\\', R"(C:\Program Files\Tovrel)"},
      {R"(C:\Tovrel.exe)", '\\', R"(C:\)"},
      {R"(D:\알람\Tovrel.exe)", '\\', R"(D:\알람)"},
      {R"(\\server\share\알람\환경설정.exe)", '\\', R"(\\server\share\알람)"},
  };
  for (const auto& c : cases) EXPECT_EQ(folder_of(c.file, c.separator), c.folder) << c.file;
}

TEST(PathsTest, JoinAddsASeparatorEvenAtTheRoot) {
  const struct {
    std::string_view folder;
    char separator;
    std::string_view joined;
  } cases[] = {
      {"/opt/tovrel", '/', "/opt/tovrel/SETUP.INI"},
      {"/", '/', "//SETUP.INI"},
      {R"(C:\Tovrel)", '\\', R"(C:\Tovrel\SETUP.INI)"},
      {R"(C:\)", '\\', R"(C:\\SETUP.INI)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(join_path(c.folder, "SETUP.INI", c.separator), c.joined) << c.folder;
    if (c.separator == kPathSeparator) {
      EXPECT_EQ(join_path(c.folder, "SETUP.INI"), c.joined);
    }
  }
}

}  // namespace
}  // namespace tovrel
