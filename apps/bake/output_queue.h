// The writing of the outputs as jobs for the bake's threads (BakeThreads):
// each frame drawn is queued, and written by whichever thread is free
// while the run goes on with the next frames, frame after frame in order,
// with the same samples as the run's own thread would write, so not a bit
// of any output changes.
//
// A frame is written straight from the host's vertex array it was drawn
// in. So that the run can go on meanwhile, it draws the next frame into
// another array, a copy of that one (swapped in as the frame begins, see
// beforeDrawing);
// a few arrays take turns, and the run waits for one to come free when
// the writing lags that far behind. The writers set aside their files'
// space when the threads have nothing else to do.
#pragma once

#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "bake_threads.h"
#include "frame_writers.h"
#include "bake_scene.h"
#include "up_axis.h"

namespace bake {

// How a drawn sample becomes a written one: back in the input's own axes
// (with y up, y and z swapped), then through the scene's output transform
// if it has one.
struct SampleMapping {
  UpAxis up = UpAxis::Z;
  const OutputTransform* transform = nullptr;  // owned by the scene
  bool identity() const { return up == UpAxis::Z && transform == nullptr; }
};

// Hands one frame to every writer, mapped (a mapped copy in `scratch`):
// what a queued frame's job does, and what the run's thread does at once
// when it is the only thread.
void writeFrame(std::vector<std::unique_ptr<FrameWriter>>& writers, const SampleMapping& mapping, int frame,
                std::span<const HostVec3> vertices, std::vector<HostVec3>& scratch);

class OutputQueue {
 public:
  // The writers must outlive this object. Each sample is written mapped.
  OutputQueue(std::vector<std::unique_ptr<FrameWriter>>& writers, BakeThreads& threads, SampleMapping mapping);
  // Frames not yet written are dropped.
  ~OutputQueue();
  OutputQueue(const OutputQueue&) = delete;
  OutputQueue& operator=(const OutputQueue&) = delete;

  // The run is about to write its next frame into `current`, the water's
  // array. If a frame queued from it is not yet written, gives swapIn an
  // array as long to exchange with the water's (first waiting, and
  // writing, while every array is in use), and keeps what it gets back
  // until that frame is written. The array given is a copy of `current`,
  // since the run reads the water before its pass rewrites the heights.
  // Throws a writer's error.
  void beforeDrawing(std::span<const HostVec3> current,
                     const std::function<void(std::vector<HostVec3>&)>& swapIn);
  // Queues the frame; `vertices` must stay as they are until it is
  // written (beforeDrawing). Throws the error of a writer that failed on
  // an earlier frame.
  void push(int frame, std::span<const HostVec3> vertices);
  // Returns once every queued frame is written and the writers are left
  // alone; throws a writer's error.
  void finish();

 private:
  struct Frame {
    int number;
    std::span<const HostVec3> vertices;
    std::vector<HostVec3> array;  // its array, once out of the host
    bool written = false;
  };

  // Writes the oldest frame not yet written (a job).
  void writeNext();
  Frame* unwrittenIn(const HostVec3* array);
  void dropWrittenFrames();
  void rethrow();

  // How many arrays may take turns, the water's own among them: enough
  // that the writing may fall behind while frames are quick to simulate
  // and catch up when they are slow, within a memory budget (each is a
  // whole copy of the water), and at least two.
  static std::size_t arraysFor(std::size_t vertices);

  std::vector<std::unique_ptr<FrameWriter>>& writers_;
  BakeThreads& threads_;
  SampleMapping mapping_;
  std::mutex mutex_;
  std::deque<Frame> frames_;  // queued, oldest first, until written and their array free
  std::size_t nextToWrite_ = 0;  // in frames_
  std::vector<std::vector<HostVec3>> spare_;
  std::size_t arrays_ = 0;  // made here, spare or in use
  std::exception_ptr error_;
  std::vector<HostVec3> mapped_;  // the jobs' own, one job at a time
};

}  // namespace bake
