#include "frame/paths.h"

#include <gtest/gtest.h>

namespace tovrel {
namespace {

TEST(PathsTest, FolderOfAFile) {
  EXPECT_EQ(folder_of("/opt/tovrel/Tovrel"), "/opt/tovrel");
  EXPECT_EQ(folder_of("/Tovrel"), "/");
  EXPECT_EQ(folder_of("/home/사용자/알람/환경설정"), "/home/사용자/알람");
}

TEST(PathsTest, JoinAddsASeparatorEvenAtTheRoot) {
  EXPECT_EQ(join_path("/opt/tovrel", "SETUP.INI"), "/opt/tovrel/SETUP.INI");
  EXPECT_EQ(join_path("/", "SETUP.INI"), "//SETUP.INI");
}

}  // namespace
}  // namespace tovrel
