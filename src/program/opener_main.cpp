// The opener, beside the executables on Linux: started by the alarm with the file it opens; a
// small program of its own, so that it costs the alarm's start nothing.
#include "frame/os/posix/opener.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  tovrel::posix::open_and_watch(argv[1]);
}
