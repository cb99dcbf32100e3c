#include "band_threads.h"

#include <algorithm>

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
  wake_.notify_all();
  takeBands();
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return doneBands_ == bands_; });
  work_ = nullptr;
}

void BandThreads::loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return quit_ || (work_ && nextBand_ < bands_); });
    if (quit_) return;
    lock.unlock();
    takeBands();
    lock.lock();
  }
}

unsigned everyCore() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace bake
