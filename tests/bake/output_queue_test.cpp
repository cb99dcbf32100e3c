// The queue hands the writers every frame, in order, as drawn, although
// the run draws the next frames meanwhile (into other arrays it swaps in),
// and a writer's failure reaches the run instead of vanishing.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "output_queue.h"

namespace bake::testing {
namespace {

class RecordingWriter : public FrameWriter {
 public:
  explicit RecordingWriter(int failAt = -1) : failAt_(failAt) {}
  void frame(int number, std::span<const HostVec3> vertices) override {
    if (number == failAt_) throw std::runtime_error("disk full");
    // Slower than the run at first, so that the run goes ahead of the
    // writing and the arrays take turns.
    if (number < 8) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    frames.push_back(number);
    last.push_back(vertices.back());
  }
  void finish() override {}
  void addFiles(std::vector<SafeOutput*>&) override {}
  std::vector<int> frames;
  std::vector<HostVec3> last;  // each frame's last vertex

 private:
  int failAt_;
};

// A run as the bake makes it: each frame begins by letting the queue swap
// the water's array, which must still read as the last frame left it (the
// run asks where the water is before it writes), then writes every height
// and queues the frame.
void run(OutputQueue& queue, std::vector<HostVec3>& water, int frames) {
  for (int f = 0; f < frames; ++f) {
    const std::vector<HostVec3> before = water;
    queue.beforeDrawing(water, [&](std::vector<HostVec3>& other) { water.swap(other); });
    for (std::size_t i = 0; i < water.size(); ++i)
      ASSERT_TRUE(water[i].x == before[i].x && water[i].y == before[i].y && water[i].z == before[i].z) << "frame " << f;
    for (HostVec3& v : water) v.z = static_cast<float>(f);
    queue.push(f, water);
  }
}

TEST(OutputQueue, WritesEveryFrameAsDrawnAndPassesOnAFailure) {
  for (const UpAxis up : {UpAxis::Z, UpAxis::Y}) {
    SCOPED_TRACE(up == UpAxis::Z ? "z up" : "y up");
    std::vector<std::unique_ptr<FrameWriter>> writers;
    writers.push_back(std::make_unique<RecordingWriter>());
    std::vector<HostVec3> water(1000, HostVec3{1.0f, 2.0f, 0.0f});
    {
      BakeThreads threads(3);
      OutputQueue queue(writers, threads, SampleMapping{up});
      run(queue, water, 50);
      queue.finish();
    }
    const auto& ok = static_cast<RecordingWriter&>(*writers[0]);
    ASSERT_EQ(ok.frames.size(), 50u);
    for (std::size_t f = 0; f < 50; ++f) {
      EXPECT_EQ(ok.frames[f], static_cast<int>(f));
      // The frame's own heights, along the files' up axis; the arrays the
      // run drew into kept the water's other coordinates.
      const HostVec3 v = ok.last[f];
      const float height = static_cast<float>(f);
      EXPECT_TRUE(v.x == 1.0f && v.y == (up == UpAxis::Z ? 2.0f : height) && v.z == (up == UpAxis::Z ? height : 2.0f))
          << "frame " << f;
    }
  }

  std::vector<std::unique_ptr<FrameWriter>> writers;
  writers.push_back(std::make_unique<RecordingWriter>(3));
  BakeThreads threads(2);
  OutputQueue failing(writers, threads, SampleMapping{});
  std::vector<HostVec3> water(10);
  bool thrown = false;
  try {
    run(failing, water, 50);
    failing.finish();
  } catch (const std::runtime_error& e) {
    thrown = std::string(e.what()) == "disk full";
  }
  EXPECT_TRUE(thrown);
}

}  // namespace
}  // namespace bake::testing
