#include "platform/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

namespace vandrel {

namespace {

int writeEnd = -1;
int readEnd = -1;

// Only async-signal-safe calls: one write that never blocks (a full pipe already holds a
// request, so the byte may be dropped), errno kept for the code the signal interrupted.
void Handler(int signal) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t n = ::write(writeEnd, &byte, 1);
  errno = saved;
}

}  // namespace

int WatchTerminationSignals() {
  if (readEnd >= 0) return readEnd;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  readEnd = ends[0];
  writeEnd = ends[1];
  struct sigaction action = {};
  action.sa_handler = Handler;
  sigemptyset(&action.sa_mask);
  // Interrupted calls go on; the handler stays for a second request, which must not end
  // the program half-way through its closing.
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
  return readEnd;
}

int TakeTerminationSignal(int fd) {
  int last = 0;
  unsigned char bytes[64];
  for (;;) {
    const ssize_t n = ::read(fd, bytes, sizeof bytes);
    if (n > 0) {
      last = bytes[n - 1];
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return last;
  }
}

}  // namespace vandrel
