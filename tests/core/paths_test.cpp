#include "frame/paths.h"

#include <gtest/gtest.h>

namespace tovrel {
namespace {

#ifdef _WIN32
TEST(PathsTest, FolderOfAFile) {
  EXPECT_EQ(folder_of(R"(C:\Program Files\Tovrel\Tovrel.exe)"), R"(C:\Program Files\Tovrel)");
  EXPECT_EQ(folder_of(R"(C:\Tovrel.exe)"), R"(C:\)");
  EXPECT_EQ(folder_of(R"(\\server\share\알람\환경설정.exe)"), R"(\\server\share\알람)");
}

TEST(PathsTest, JoinAddsASeparatorEvenAtTheRoot) {
  EXPECT_EQ(join_path(R"(C:\Tovrel)", "SETUP.INI"), R"(C:\Tovrel\SETUP.INI)");
  EXPECT_EQ(join_path(R"(C:\)", "SETUP.INI"), R"(C:\\SETUP.INI)");
}
#else
TEST(PathsTest, FolderOfAFile) {
  EXPECT_EQ(folder_of("/opt/tovrel/Tovrel"), "/opt/tovrel");
  EXPECT_EQ(folder_of("/Tovrel"), "/");
  EXPECT_EQ(folder_of("/home/사용자/알람/환경설정"), "/home/사용자/알람");
}

TEST(PathsTest, JoinAddsASeparatorEvenAtTheRoot) {
  EXPECT_EQ(join_path("/opt/tovrel", "SETUP.INI"), "/opt/tovrel/SETUP.INI");
  EXPECT_EQ(join_path("/", "SETUP.INI"), "//SETUP.INI");
}
#endif

}  // namespace
}  // namespace tovrel
