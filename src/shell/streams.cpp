// Standard descriptors kept apart from the window's connection, and writes to
// a closed pipe turned into failed writes.
#include "shell/streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace shell {

void guard_standard_streams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    // The lowest free descriptor is fd itself, since those below it are open.
    const int opened = open("/dev/null", O_RDWR);
    if (opened != -1 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace shell
