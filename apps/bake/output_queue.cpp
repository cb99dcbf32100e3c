#include "output_queue.h"

#include <algorithm>

namespace bake {

void writeFrame(std::vector<std::unique_ptr<FrameWriter>>& writers, const SampleMapping& mapping, int frame,
                std::span<const HostVec3> vertices, std::vector<HostVec3>& scratch) {
  if (!mapping.identity()) {
    scratch.resize(vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      const HostVec3 v = swapForUpAxis(mapping.up, vertices[i]);
      scratch[i] = mapping.transform ? mapping.transform->apply(v) : v;
    }
    vertices = scratch;
  }
  for (const auto& writer : writers) writer->frame(frame, vertices);
}

OutputQueue::OutputQueue(std::vector<std::unique_ptr<FrameWriter>>& writers, BakeThreads& threads, SampleMapping mapping)
    : writers_(writers), threads_(threads), mapping_(mapping) {
  // Before the first frame and whenever the writing is ahead, the writers
  // set aside their files' space.
  threads_.setIdleWork([this] {
    for (const auto& writer : writers_)
      if (writer->prepare()) return true;
    return false;
  });
}

OutputQueue::~OutputQueue() { threads_.dropJobs(); }

std::size_t OutputQueue::arraysFor(std::size_t vertices) {
  constexpr std::size_t kMost = 16;
  constexpr std::size_t kBudgetBytes = std::size_t{64} << 20;
  const std::size_t bytes = std::max<std::size_t>(1, vertices * sizeof(HostVec3));
  return std::clamp<std::size_t>(kBudgetBytes / bytes, 2, kMost);
}

void OutputQueue::rethrow() {
  if (error_) std::rethrow_exception(error_);
}

OutputQueue::Frame* OutputQueue::unwrittenIn(const HostVec3* array) {
  for (std::size_t i = nextToWrite_; i < frames_.size(); ++i)
    if (frames_[i].vertices.data() == array) return &frames_[i];
  return nullptr;
}

void OutputQueue::dropWrittenFrames() {
  while (!frames_.empty() && frames_.front().written) {
    if (!frames_.front().array.empty()) spare_.push_back(std::move(frames_.front().array));
    frames_.pop_front();
    --nextToWrite_;
  }
}

void OutputQueue::beforeDrawing(std::span<const HostVec3> current,
                                const std::function<void(std::vector<HostVec3>&)>& swapIn) {
  std::unique_lock lock(mutex_);
  rethrow();
  if (!unwrittenIn(current.data())) return;
  lock.unlock();
  threads_.waitUntil([&] {
    const std::lock_guard watching(mutex_);
    return error_ || !spare_.empty() || 1 + arrays_ < arraysFor(current.size()) || !unwrittenIn(current.data());
  });
  lock.lock();
  rethrow();
  // Written meanwhile: the water keeps its array.
  if (!unwrittenIn(current.data())) return;
  std::vector<HostVec3> next;
  if (!spare_.empty()) {
    next = std::move(spare_.back());
    spare_.pop_back();
  } else {
    ++arrays_;
  }
  lock.unlock();
  // The water must read as the last frame left it: the run asks the host
  // where the water is (the centre of its vertices) before the pass
  // writes the heights, and the wind's direction and the events follow.
  next.assign(current.begin(), current.end());
  swapIn(next);
  lock.lock();
  // `next` now holds the frame drawn last.
  if (Frame* frame = unwrittenIn(next.data())) {
    frame->array = std::move(next);
  } else {
    spare_.push_back(std::move(next));
  }
}

void OutputQueue::push(int frame, std::span<const HostVec3> vertices) {
  {
    const std::lock_guard lock(mutex_);
    rethrow();
    frames_.push_back({frame, vertices, {}, false});
  }
  threads_.post([this] { writeNext(); });
}

void OutputQueue::writeNext() {
  std::unique_lock lock(mutex_);
  if (nextToWrite_ >= frames_.size()) return;
  const int number = frames_[nextToWrite_].number;
  std::span<const HostVec3> vertices = frames_[nextToWrite_].vertices;
  const bool failedBefore = error_ != nullptr;
  lock.unlock();
  if (!failedBefore) {
    try {
      writeFrame(writers_, mapping_, number, vertices, mapped_);
    } catch (...) {
      lock.lock();
      error_ = std::current_exception();
      lock.unlock();
    }
  }
  lock.lock();
  // Pops from the front only move nextToWrite_ along with them.
  frames_[nextToWrite_].written = true;
  ++nextToWrite_;
  dropWrittenFrames();
}

void OutputQueue::finish() {
  threads_.waitUntil([&] {
    const std::lock_guard lock(mutex_);
    return error_ || nextToWrite_ >= frames_.size();
  });
  // The writers are the caller's again.
  threads_.dropJobs();
  const std::lock_guard lock(mutex_);
  rethrow();
}

}  // namespace bake
