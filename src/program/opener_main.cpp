// The opener, beside the executables on Linux: a child of the alarm that has started the program
// opening the alarm's file becomes the opener, given that program's process id and the file. A
// small program of its own, so that it costs the alarm's start nothing.
#include <charconv>
#include <cstring>

#include "frame/os/posix/opener.h"

int main(int argc, char** argv) {
  pid_t pid = 0;
  if (argc != 3 ||
      std::from_chars(argv[1], argv[1] + std::strlen(argv[1]), pid).ec != std::errc{}) {
    return 2;
  }
  tovrel::posix::watch_opening(pid, argv[2]);
}
