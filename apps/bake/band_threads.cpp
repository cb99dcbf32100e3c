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

void BandThreads::takeBands(const std::function<void(std::size_t)>& work) {
  std::unique_lock lock(mutex_);
  while (nextBand_ < bands_) {
    const std::size_t band = nextBand_++;
    lock.unlock();
    work(band);
    lock.lock();
  }
}

void BandThreads::run(const std::function<void(std::size_t)>& work) {
  {
    const std::lock_guard lock(mutex_);
    work_ = &work;
    nextBand_ = 0;
    working_ = threads_.size();
    ++generation_;
  }
  wake_.notify_all();
  takeBands(work);
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return working_ == 0; });
  work_ = nullptr;
}

void BandThreads::loop() {
  std::uint64_t seen = 0;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return quit_ || generation_ != seen; });
    if (quit_) return;
    seen = generation_;
    const std::function<void(std::size_t)>& work = *work_;
    lock.unlock();
    takeBands(work);
    lock.lock();
    if (--working_ == 0) done_.notify_one();
  }
}

unsigned everyCore() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace bake
