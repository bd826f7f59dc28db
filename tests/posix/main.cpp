// The POSIX suite's entry point, which also serves as the opener its launch tests start, as the
// alarm's executable serves as its own: its report leaves the file it names where
// TOVREL_REPORT_FILE says.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "frame/os/posix/opener.h"

int main(int argc, char** argv) {
  if (argc == 2 && argv[1] == tovrel::posix::kServeAsOpener) {
    tovrel::posix::Opener::serve(
        [](const std::string& file) { std::ofstream(std::getenv("TOVREL_REPORT_FILE")) << file; });
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
