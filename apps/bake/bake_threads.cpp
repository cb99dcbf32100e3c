#include "bake_threads.h"

#include <algorithm>
#include <chrono>

namespace bake {

BakeThreads::BakeThreads(unsigned threads) : bands_(std::max(2u, threads) * kBandsPerThread) {
  for (unsigned i = 1; i < std::max(2u, threads); ++i) threads_.emplace_back([this] { loop(); });
}

BakeThreads::~BakeThreads() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
    jobs_.clear();
  }
  changed();
  for (std::thread& t : threads_) t.join();
}

void BakeThreads::changed() {
  changes_.fetch_add(1, std::memory_order_release);
  wake_.notify_all();
}

bool BakeThreads::takeBand(std::unique_lock<std::mutex>& lock) {
  if (!bandWaiting()) return false;
  const std::size_t band = nextBand_++;
  const std::function<void(std::size_t)>& work = *work_;
  lock.unlock();
  work(band);
  lock.lock();
  if (++doneBands_ == bands_) settled_.notify_all();
  return true;
}

void BakeThreads::runJob(std::unique_lock<std::mutex>& lock) {
  const bool idle = jobs_.empty();
  std::function<void()> job;
  // A copy, so that dropJobs() can let go of the idle work at once.
  std::function<bool()> idleWork;
  if (idle) {
    idleWork = idle_;
  } else {
    job = std::move(jobs_.front());
    jobs_.pop_front();
  }
  jobRunning_ = true;
  lock.unlock();
  bool more = true;
  if (idle) {
    more = idleWork();
  } else {
    job();
  }
  lock.lock();
  jobRunning_ = false;
  if (!more) idle_ = nullptr;
  ++jobsDone_;
  settled_.notify_all();
  // The next job may be taken now, by whichever thread is free.
  if (!jobs_.empty()) changed();
}

void BakeThreads::run(const std::function<void(std::size_t)>& work) {
  std::unique_lock lock(mutex_);
  work_ = &work;
  nextBand_ = 0;
  doneBands_ = 0;
  lock.unlock();
  changed();
  lock.lock();
  while (takeBand(lock)) {
  }
  settled_.wait(lock, [&] { return doneBands_ == bands_; });
  work_ = nullptr;
}

void BakeThreads::post(std::function<void()> job) {
  {
    const std::lock_guard lock(mutex_);
    if (quit_) return;
    jobs_.push_back(std::move(job));
  }
  changed();
}

void BakeThreads::waitUntil(const std::function<bool()>& ready) {
  std::unique_lock lock(mutex_);
  for (;;) {
    const std::uint64_t seen = jobsDone_;
    lock.unlock();
    if (ready()) return;
    lock.lock();
    if (jobWaiting()) {
      runJob(lock);
      continue;
    }
    if (!jobRunning_) return;
    settled_.wait(lock, [&] { return jobsDone_ != seen; });
  }
}

void BakeThreads::setIdleWork(std::function<bool()> work) {
  {
    const std::lock_guard lock(mutex_);
    idle_ = std::move(work);
  }
  changed();
}

void BakeThreads::dropJobs() {
  std::unique_lock lock(mutex_);
  jobs_.clear();
  idle_ = nullptr;
  settled_.wait(lock, [&] { return !jobRunning_; });
}

void BakeThreads::loop() {
  // How long a helper watches for work before it sleeps: about a frame's
  // own work on the run's thread, between two trips over the bands.
  constexpr auto kWatch = std::chrono::microseconds(200);
  std::unique_lock lock(mutex_);
  for (;;) {
    if (quit_) return;
    if (jobWaiting()) {
      runJob(lock);
      continue;
    }
    if (takeBand(lock)) continue;
    if (idleWaiting()) {
      runJob(lock);
      continue;
    }
    const std::uint64_t seen = changes_.load(std::memory_order_acquire);
    lock.unlock();
    const auto until = std::chrono::steady_clock::now() + kWatch;
    while (changes_.load(std::memory_order_acquire) == seen && std::chrono::steady_clock::now() < until)
      std::this_thread::yield();
    lock.lock();
    wake_.wait(lock, [&] { return quit_ || bandWaiting() || jobWaiting() || idleWaiting(); });
  }
}

unsigned everyCore() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace bake
