#pragma once
// Runs one job per image of a batch on worker threads and hands the results out in list
// order. The images of a batch are independent, so reading, decoding and counting them can
// use every core, while whatever follows (fits, rows of the table, messages) happens on the
// calling thread one image after the other, exactly as a run on one thread would do it.
//
// Memory stays bounded: a worker starts image i only while i is fewer than `ahead` images
// past the one the caller is waiting for, so at most `ahead` results wait and at most one
// image per worker is being decoded. An error of a job is kept with its image and raised
// when the caller takes that image; the images after it are then never asked for.
//
// Several large images at once may need more memory than one at a time. A job that runs
// out of memory on a worker is not an answer: from that image on the workers stop and the
// caller runs the jobs itself, one at a time, so a batch that one thread can analyse is
// analysed, and one that it cannot fails as it would there.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace vandrel {

// Worker threads for a batch: the machine's cores unless set otherwise; 0 runs every job on
// the calling thread, when it is taken.
unsigned BatchThreads();
void SetBatchThreads(unsigned threads);

template <class Result>
class BatchRunner {
 public:
  using Job = std::function<Result(size_t index)>;

  // Starts `threads` workers (none for 0, never more than there are images) on images
  // 0 .. count-1, at most `ahead` images past the next one to be taken.
  BatchRunner(size_t count, unsigned threads, size_t ahead, Job job)
      : job_(std::move(job)), slots_(threads ? count : 0), ahead_(std::max<size_t>(ahead, 1)) {
    const size_t workers = std::min<size_t>(threads, count);
    workers_.reserve(workers);
    try {
      for (size_t w = 0; w < workers; ++w) workers_.emplace_back([this] { Work(); });
    } catch (...) {
      Stop();
      throw;
    }
  }
  ~BatchRunner() { Stop(); }
  BatchRunner(const BatchRunner&) = delete;
  BatchRunner& operator=(const BatchRunner&) = delete;

  // Waits at most `wait` for image `index`; true when its result (or error) is there. With
  // no workers the job runs when it is taken, so it is always ready.
  bool Ready(size_t index, std::chrono::milliseconds wait) {
    if (workers_.empty()) return true;
    std::unique_lock lock(mutex_);
    return done_.wait_for(lock, wait, [&] { return serial_ || slots_.at(index).done; });
  }

  // The result of image `index`, waiting for it; raises the job's error. Images are taken
  // in order, each once.
  Result Take(size_t index) {
    std::unique_lock lock(mutex_);
    if (index != taken_) throw std::logic_error("batch images are taken in order");
    Slot slot;
    if (!workers_.empty()) {
      if (!serial_) done_.wait(lock, [&] { return slots_[index].done; });
      slot = std::move(slots_[index]);
      if (slot.outOfMemory && !serial_) {
        serial_ = true;
        more_.notify_all();
        done_.wait(lock, [&] { return running_ == 0; });
      }
    }
    ++taken_;
    lock.unlock();
    more_.notify_all();
    // Here the job runs on this thread: with no workers, after the workers stopped for
    // memory, and for an image no worker had started.
    if (!slot.done || slot.outOfMemory) return job_(index);
    if (slot.error) std::rethrow_exception(slot.error);
    return std::move(*slot.value);
  }

 private:
  struct Slot {
    bool done = false;
    bool outOfMemory = false;
    std::optional<Result> value;
    std::exception_ptr error;
  };

  void Work() {
    for (;;) {
      size_t index;
      {
        std::unique_lock lock(mutex_);
        more_.wait(lock, [&] {
          return stop_ || serial_ || next_ >= slots_.size() || next_ < taken_ + ahead_;
        });
        if (stop_ || serial_ || next_ >= slots_.size()) return;
        index = next_++;
        ++running_;
      }
      Slot slot;
      try {
        slot.value.emplace(job_(index));
      } catch (const std::bad_alloc&) {
        slot.outOfMemory = true;
      } catch (...) {
        slot.error = std::current_exception();
      }
      slot.done = true;
      {
        std::lock_guard lock(mutex_);
        slots_[index] = std::move(slot);
        --running_;
      }
      done_.notify_all();
    }
  }

  void Stop() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    more_.notify_all();
    for (std::thread& t : workers_)
      if (t.joinable()) t.join();
  }

  Job job_;
  std::vector<Slot> slots_;
  const size_t ahead_;
  std::mutex mutex_;
  std::condition_variable more_;  // an image may be started (or the run ends)
  std::condition_variable done_;  // an image is finished
  size_t next_ = 0;               // the next image a worker starts; guarded by mutex_
  size_t taken_ = 0;              // images handed out; guarded by mutex_
  size_t running_ = 0;            // jobs on workers now; guarded by mutex_
  bool serial_ = false;           // out of memory: the caller runs the rest
  bool stop_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace vandrel
