// The bake program's outputs, each fed one sample per simulated frame, in
// order, with the water's vertices in the water's own vertex order. Nothing
// appears under an output's name before commit(); a writer destroyed
// without it leaves nothing behind.
#pragma once

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
  virtual void commit() = 0;
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

// One OBJ file per frame in `folder` (made if missing), named
// <name>_<frame, at least 4 digits>.obj, holding the water object with its
// faces (indices into its vertices, from 0).
std::unique_ptr<FrameWriter> makeObjWriter(const std::string& folder, const std::string& name,
                                           std::vector<std::vector<int>> faces);

// The name makeObjWriter gives a frame's file, without the folder.
std::string objFrameFileName(const std::string& name, int frame);

}  // namespace bake
