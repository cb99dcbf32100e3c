// Writes the samples on a thread of its own, so that encoding and writing
// one frame overlaps the simulation of the next: the bake program owns its
// process and may use a second core. The writers get the same samples in
// the same order as they would on the run's thread, so not a bit of any
// output changes; only when the bytes are written does.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "frame_writers.h"

namespace bake {

class WriterThread {
 public:
  // The writers must outlive this object.
  explicit WriterThread(std::vector<std::unique_ptr<FrameWriter>>& writers);
  // Stops the thread; samples still queued are dropped.
  ~WriterThread();
  WriterThread(const WriterThread&) = delete;
  WriterThread& operator=(const WriterThread&) = delete;

  // Queues a copy of the sample; waits while the queue is full. Throws the
  // error of a writer that failed on an earlier sample.
  void push(int frame, std::span<const HostVec3> vertices);
  // Returns once every queued sample is written; throws a writer's error.
  void finish();

 private:
  struct Sample {
    int frame;
    std::vector<HostVec3> vertices;
  };

  void loop();
  void rethrow();

  // A few frames of slack; more would only hold memory.
  static constexpr std::size_t kDepth = 3;

  std::vector<std::unique_ptr<FrameWriter>>& writers_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Sample> queue_;
  std::vector<std::vector<HostVec3>> spare_;  // buffers to reuse
  bool busy_ = false;                         // the thread holds a sample
  bool quit_ = false;
  std::exception_ptr error_;
  std::thread thread_;
};

}  // namespace bake
