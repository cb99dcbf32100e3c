// The threads of a bake: the run's own thread and `threads - 1` helpers.
// Each synthesis pass hands them the water's bands once per frame
// (VertexBands); the helpers also do the queued jobs (the writing of the
// outputs), one job at a time, in the order queued.
//
// Jobs come first: the writing is one file written in order, which no
// number of threads can share, while any thread can take a band. So a
// helper keeps the writing going and takes bands when there is nothing to
// write, and with nothing at all to do it does idle work that spares the
// writing later. A band goes to whichever thread asks first, and a pass's
// trip ends when every band is done, not when every helper has looked in:
// a helper busy with a job, or slow to wake, delays nothing, since the
// run's own thread takes its bands. The run's thread does jobs only while
// it has to wait for them anyway (waitUntil).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/vertex_bands.h"

namespace bake {

class BakeThreads : public rillmark::VertexBands {
 public:
  // threads: 2 or more.
  explicit BakeThreads(unsigned threads);
  // Jobs not yet started are dropped; those in hand are finished.
  ~BakeThreads() override;
  BakeThreads(const BakeThreads&) = delete;
  BakeThreads& operator=(const BakeThreads&) = delete;

  std::size_t count() const override { return bands_; }
  void run(const std::function<void(std::size_t band)>& work) override;

  // Queues a job. Jobs must not throw.
  void post(std::function<void()> job);
  // On the run's thread: returns once ready() holds, which only a job can
  // bring about; meanwhile does the next job itself whenever no helper is
  // doing one. Also returns when no job is left to bring it about.
  void waitUntil(const std::function<bool()>& ready);
  // Work for a helper with nothing else to do, one piece a call, never
  // beside a job, until it returns false. Must not throw.
  void setIdleWork(std::function<bool()> work);
  // Drops the jobs not yet started and the idle work, and waits for the
  // job in hand.
  void dropJobs();

 private:
  void loop();
  bool bandWaiting() const { return work_ && nextBand_ < bands_; }
  bool jobWaiting() const { return !jobs_.empty() && !jobRunning_; }
  bool idleWaiting() const { return idle_ && !jobRunning_; }
  // Do one band, or the next job (else a piece of the idle work),
  // unlocked; `lock` is held before and after. takeBand is false when no
  // band was waiting.
  bool takeBand(std::unique_lock<std::mutex>& lock);
  void runJob(std::unique_lock<std::mutex>& lock);
  void changed();

  // More bands than threads, so that a thread whose bands the waves
  // barely reach takes over some of another's.
  static constexpr std::size_t kBandsPerThread = 4;

  std::size_t bands_;
  std::mutex mutex_;
  std::condition_variable wake_;     // helpers: bands or a job to take
  std::condition_variable settled_;  // the run's thread: bands done, a job done
  const std::function<void(std::size_t)>* work_ = nullptr;  // while run() runs
  std::size_t nextBand_ = 0;
  std::size_t doneBands_ = 0;
  std::deque<std::function<void()>> jobs_;
  std::function<bool()> idle_;
  bool jobRunning_ = false;  // a job or a piece of the idle work
  std::uint64_t jobsDone_ = 0;
  bool quit_ = false;
  // Raised whenever there may be something to take, so that helpers can
  // watch for it a moment without the lock before they sleep.
  std::atomic<std::uint64_t> changes_{0};
  std::vector<std::thread> threads_;
};

// The threads --threads 0 means: every core the machine has.
unsigned everyCore();

}  // namespace bake
