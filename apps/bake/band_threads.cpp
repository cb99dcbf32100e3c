#include "band_threads.h"

#include <algorithm>
#include <chrono>

namespace bake {

BandThreads::BandThreads(unsigned threads) : bands_(std::max(2u, threads) * kBandsPerThread) {
  for (unsigned i = 1; i < std::max(2u, threads); ++i) threads_.emplace_back([this] { loop(); });
}

BandThreads::~BandThreads() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void BandThreads::takeBands() {
  std::unique_lock lock(mutex_);
  while (work_ && nextBand_ < bands_) {
    const std::size_t band = nextBand_++;
    const std::function<void(std::size_t)>& work = *work_;
    lock.unlock();
    work(band);
    lock.lock();
    if (++doneBands_ == bands_) done_.notify_all();
  }
}

void BandThreads::run(const std::function<void(std::size_t)>& work) {
  {
    const std::lock_guard lock(mutex_);
    work_ = &work;
    nextBand_ = 0;
    doneBands_ = 0;
  }
  runs_.fetch_add(1, std::memory_order_release);
  wake_.notify_all();
  takeBands();
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return doneBands_ == bands_; });
  work_ = nullptr;
}

void BandThreads::loop() {
  // How long a helper watches for the next run before it sleeps.
  constexpr auto kWatch = std::chrono::microseconds(200);
  std::uint64_t seen = 0;
  std::unique_lock lock(mutex_);
  for (;;) {
    lock.unlock();
    const auto until = std::chrono::steady_clock::now() + kWatch;
    while (runs_.load(std::memory_order_acquire) == seen && std::chrono::steady_clock::now() < until)
      std::this_thread::yield();
    lock.lock();
    wake_.wait(lock, [&] { return quit_ || (work_ && nextBand_ < bands_) || runs_.load() != seen; });
    if (quit_) return;
    seen = runs_.load();
    lock.unlock();
    takeBands();
    lock.lock();
  }
}

unsigned everyCore() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace bake
