// The threads the bake program lends each synthesis pass: the run's own
// thread and `threads - 1` more, sharing out the water's bands. A pass
// hands them its waves once per frame; between frames a helper watches
// for the next one for a moment (a frame's own work on the run's thread
// is about that long), then sleeps. A band goes to whichever thread asks first, and a run
// ends when every band is done, not when every thread has looked in: a
// helper the system is slow to wake (the machine busy with other work)
// delays nothing, the run's own thread takes its bands.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/vertex_bands.h"

namespace bake {

class BandThreads : public rillmark::VertexBands {
 public:
  // threads: 2 or more.
  explicit BandThreads(unsigned threads);
  ~BandThreads() override;
  BandThreads(const BandThreads&) = delete;
  BandThreads& operator=(const BandThreads&) = delete;

  std::size_t count() const override { return bands_; }
  void run(const std::function<void(std::size_t band)>& work) override;

 private:
  void loop();
  // Takes bands of the current work until none is left.
  void takeBands();

  // More bands than threads, so that a thread whose bands the waves
  // barely reach takes over some of another's.
  static constexpr std::size_t kBandsPerThread = 4;

  std::size_t bands_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  const std::function<void(std::size_t)>* work_ = nullptr;  // while run() runs
  std::size_t nextBand_ = 0;
  std::size_t doneBands_ = 0;
  bool quit_ = false;
  // Raised by each run(), so that helpers can watch for work unlocked.
  std::atomic<std::uint64_t> runs_{0};
  std::vector<std::thread> threads_;
};

// The threads --threads 0 means: every core the machine has.
unsigned everyCore();

}  // namespace bake
