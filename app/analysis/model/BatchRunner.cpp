#include "app/analysis/model/BatchRunner.h"

#include <atomic>

namespace vandrel {

namespace {

unsigned MachineThreads() {
  const unsigned n = std::thread::hardware_concurrency();
  return n ? n : 1;
}

std::atomic<unsigned> threads{MachineThreads()};

}  // namespace

unsigned BatchThreads() { return threads.load(); }

void SetBatchThreads(unsigned n) { threads.store(n); }

}  // namespace vandrel
