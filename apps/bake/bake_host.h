// The bake program's host: the reference host's scene graph, in this
// process, bound into the host table the simulation calls through, with
// four functions of its own. Setting the animation time also moves the
// objects given as a box per frame (effectors of an OBJ sequence, boxes of a
// scene file) to that frame's boxes; drawing the scene
// hands the water's vertices to the program (one sample per simulated
// frame, as a run draws once per frame); keys are not stored and change
// marks not offered, because the samples are what this host keeps. The
// program may move the water's vertices to another array as a frame
// begins, as the host's contract allows, to keep the last frame's array
// for its writing.
//
// One BakeHost at a time: the host table is global, as a host's is.
#pragma once

#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "hostapi/host_types.h"
#include "bake_scene.h"

namespace bake {

class BakeHost {
 public:
  // A fresh, empty reference host bound into the host table.
  BakeHost();
  // Unbinds the table and empties the reference host.
  ~BakeHost();
  BakeHost(const BakeHost&) = delete;
  BakeHost& operator=(const BakeHost&) = delete;

  // Puts the scene into the host; returns the water, not yet chosen. The
  // wind source, if any, is named "Wind Source", where the panel's wind
  // command finds it.
  HostHandle build(const BakeScene& scene);

  // Called each time the run draws the scene.
  std::function<void()> onDraw;
  // Called each time the run sets the animation time, as each frame
  // begins, before its pass writes the water.
  std::function<void()> onTime;

  // The polyhedron's vertex array, as tsxPolyhGetVxArray answers it.
  static std::span<const HostVec3> vertices(HostHandle polyhedron);
  // Exchanges the polyhedron's vertex array with `vertices` (as long; false
  // otherwise), as a host may between frames: tsxPolyhGetVxArray then
  // answers the new one.
  static bool swapVertices(HostHandle polyhedron, std::vector<HostVec3>& vertices);

 private:
  struct MovingBoxes {
    HostHandle object;
    const std::map<int, Box>* boxes;
  };

  static void RILLMARK_CDECL setActiveTime(float frame);
  static void RILLMARK_CDECL sceneDraw();
  static void RILLMARK_CDECL keepNoKey(HostHandle object, int code);

  // A polyhedron that takes each frame's box as the time is set.
  HostHandle addMovingBoxes(const std::string& name, const std::map<int, Box>& boxes);
  void moveBoxesTo(float frame);

  std::vector<MovingBoxes> moving_;
  static BakeHost* active_;
};

}  // namespace bake
