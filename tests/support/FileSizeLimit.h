#pragma once
// While it lives, files may grow no further than `bytes`: writes past it fail as on a full
// disk. Unlike a read-only folder this stops root too, under whom CI runs.
#include <sys/resource.h>

#include <csignal>

namespace vandrel::testing {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    signal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim = old_;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, signal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_;
  void (*signal_)(int);
};

}  // namespace vandrel::testing
