// The writing thread hands the writers every sample, in order, as pushed,
// and a writer's failure reaches the run instead of vanishing.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "writer_thread.h"

namespace bake::testing {
namespace {

class RecordingWriter : public FrameWriter {
 public:
  explicit RecordingWriter(int failAt = -1) : failAt_(failAt) {}
  void frame(int number, std::span<const HostVec3> vertices) override {
    if (number == failAt_) throw std::runtime_error("disk full");
    frames.push_back(number);
    firstX.push_back(vertices[0].x);
  }
  void finish() override {}
  void addFiles(std::vector<SafeOutput*>&) override {}
  std::vector<int> frames;
  std::vector<float> firstX;

 private:
  int failAt_;
};

TEST(WriterThread, WritesEverySampleInOrderAndPassesOnAFailure) {
  std::vector<std::unique_ptr<FrameWriter>> writers;
  writers.push_back(std::make_unique<RecordingWriter>());
  {
    WriterThread thread(writers);
    std::vector<HostVec3> vertices(1000);
    for (int f = 0; f < 50; ++f) {
      vertices[0].x = static_cast<float>(f);
      thread.push(f, vertices);  // a copy: the next frame overwrites the array
    }
    thread.finish();
  }
  const auto& ok = static_cast<RecordingWriter&>(*writers[0]);
  ASSERT_EQ(ok.frames.size(), 50u);
  for (int f = 0; f < 50; ++f) {
    EXPECT_EQ(ok.frames[static_cast<std::size_t>(f)], f);
    EXPECT_EQ(ok.firstX[static_cast<std::size_t>(f)], static_cast<float>(f));
  }

  writers.clear();
  writers.push_back(std::make_unique<RecordingWriter>(3));
  WriterThread failing(writers);
  const std::vector<HostVec3> vertices(10);
  bool thrown = false;
  try {
    for (int f = 0; f < 50; ++f) failing.push(f, vertices);
    failing.finish();
  } catch (const std::runtime_error& e) {
    thrown = std::string(e.what()) == "disk full";
  }
  EXPECT_TRUE(thrown);
}

}  // namespace
}  // namespace bake::testing
