// The bake program's outputs, each fed one sample per simulated frame, in
// order, with the water's vertices in the water's own vertex order. Each
// streams its bytes to files under temporary names as the frames arrive,
// so memory does not grow with the frame count; nothing appears under an
// output's name before the files are put in place (output_commit.h), and
// a writer destroyed before that leaves nothing behind.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "hostapi/host_types.h"
#include "safe_output.h"

namespace bake {

class FrameWriter {
 public:
  virtual ~FrameWriter() = default;
  virtual void frame(int number, std::span<const HostVec3> vertices) = 0;
  // Writes what follows the last frame and closes every file, still under
  // its temporary name.
  virtual void finish() = 0;
  // A piece of the work that spares the writing of later frames (setting
  // aside the file's space), for a thread with nothing else to do; true
  // while more remains. Never at the same time as the other calls.
  virtual bool prepare() { return false; }
  // The files to put in place, in order.
  virtual void addFiles(std::vector<SafeOutput*>& files) = 0;
};

// Point Cache 2: "POINTCACHE2\0", version 1, point count, start frame,
// sample rate (frames between samples), sample count, all little-endian;
// then x, y, z as little-endian floats per point per sample.
std::unique_ptr<FrameWriter> makePc2Writer(const std::string& path, int points, float startFrame, float sampleRate,
                                           int samples);

// MDD: big-endian frame count and point count, each frame's time in
// seconds (its number / fps), then x, y, z per point per frame.
std::unique_ptr<FrameWriter> makeMddWriter(const std::string& path, int points, const std::vector<int>& frames,
                                           float fps);

// One OBJ file per frame in `folder` (made if missing, with any folders it
// lies in that are missing too, and all removed again if the bake fails),
// named <name>_<frame, at least 4 digits>.obj, holding the water object
// with its faces (indices into its vertices, from 0). Every frame's file
// name is checked, and the first frame's file made, at once.
std::unique_ptr<FrameWriter> makeObjWriter(const std::string& folder, const std::string& name,
                                           std::vector<std::vector<int>> faces, const std::vector<int>& frames);

// The name makeObjWriter gives a frame's file, without the folder.
std::string objFrameFileName(const std::string& name, int frame);

// The text of an OBJ frame up to its faces: a comment, the object line and
// a `v` line per vertex, each number in the shortest form that reads back
// as the same float. A number that has not changed since the frame before
// (the synthesis moves only the heights) reuses its text from then.
class ObjFrameText {
 public:
  explicit ObjFrameText(std::string objectLine) : objectLine_(std::move(objectLine)) {}
  // Replaces `text` by the frame's.
  void format(std::string& text, int frame, std::span<const HostVec3> vertices);

 private:
  struct Number {
    std::uint32_t bits = 0;
    std::uint8_t length = 0;  // 0: none yet
    char text[15];
  };
  std::string objectLine_;
  std::vector<Number> numbers_;  // three per vertex
};

}  // namespace bake
