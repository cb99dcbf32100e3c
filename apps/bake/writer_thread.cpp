#include "writer_thread.h"

namespace bake {

WriterThread::WriterThread(std::vector<std::unique_ptr<FrameWriter>>& writers)
    : writers_(writers), thread_([this] { loop(); }) {}

WriterThread::~WriterThread() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void WriterThread::rethrow() {
  if (error_) std::rethrow_exception(error_);
}

void WriterThread::push(int frame, std::span<const HostVec3> vertices) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return queue_.size() < kDepth || error_; });
  rethrow();
  std::vector<HostVec3> copy;
  if (!spare_.empty()) {
    copy = std::move(spare_.back());
    spare_.pop_back();
  }
  copy.assign(vertices.begin(), vertices.end());
  queue_.push_back({frame, std::move(copy)});
  lock.unlock();
  changed_.notify_all();
}

void WriterThread::finish() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return (queue_.empty() && !busy_) || error_; });
  rethrow();
}

void WriterThread::loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return quit_ || !queue_.empty(); });
    if (quit_) return;
    Sample sample = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    std::exception_ptr error;
    try {
      for (const auto& writer : writers_) writer->frame(sample.frame, sample.vertices);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    busy_ = false;
    spare_.push_back(std::move(sample.vertices));
    if (error) {
      // Later samples would only be dropped.
      error_ = error;
      queue_.clear();
    }
    changed_.notify_all();
  }
}

}  // namespace bake
