#include "bake_host.h"

#include <cmath>
#include <iterator>

#include "bake_error.h"
#include "commands/scene_commands.h"
#include "hostapi/host_api.h"
#include "refhost/host_exports.h"
#include "refhost/refhost.h"
#include "scene/sphere_shaping.h"

namespace bake {

BakeHost* BakeHost::active_ = nullptr;

BakeHost::BakeHost() {
  if (active_) throw BakeFailure("only one bake host at a time");
  refhost::reset();
  refhost::setRecording(false);  // millions of calls; nobody reads them
  rillmark::HostApi& api = rillmark::hostApi();
  api = rillmark::HostApi{};
  refhost::bindInto(api);
  rillmark::hostApiLevel() = 430;
  api.tsxAnimSetActiveTime = &BakeHost::setActiveTime;
  api.tsxSceneDraw = &BakeHost::sceneDraw;
  api.tsxSobjSetFrame = &BakeHost::keepNoKey;
  // No marks: the pass then need not work out which vertices changed.
  api.tsxPolyhMarkVertexChange = nullptr;
  active_ = this;
}

BakeHost::~BakeHost() {
  active_ = nullptr;
  rillmark::hostApi() = rillmark::HostApi{};
  refhost::reset();
}

HostHandle BakeHost::build(const BakeScene& scene) {
  HostHandle water = nullptr;
  if (scene.grid) {
    const WaterGrid& g = *scene.grid;
    water = refhost::addGrid(scene.waterName, g.sides, g.sides, g.extent, g.extent, g.height);
  } else {
    water = refhost::addPolyhedron(scene.waterName, scene.waterVertices);
  }
  if (!water) throw BakeFailure("the host could not make the water");

  for (const BakeEffector& effector : scene.effectors) {
    HostHandle object = nullptr;
    switch (effector.shape) {
      case BakeEffector::Shape::Sphere:
        // The same sphere as the panel's Create New Effector makes.
        object = ::tsxCreateSphere(rillmark::kSphereLongitude, rillmark::kSphereLatitude, effector.radius);
        if (object) {
          ::tsxSceneAddObject(object, 1);
          ::tsxGNodeSetName(object, effector.name.c_str());
        }
        break;
      case BakeEffector::Shape::Mesh:
        object = refhost::addPolyhedron(effector.name, effector.vertices);
        break;
      case BakeEffector::Shape::Boxes:
        object = addMovingBoxes(effector.name, effector.boxes);
        break;
    }
    if (!object) throw BakeFailure("the host could not make the effector '" + effector.name + "'");
    for (const LocationKey& key : effector.keys) refhost::addLocationKey(object, key.frame, key.location);
  }

  if (scene.wind && !scene.wind->boxes.empty()) {
    if (!addMovingBoxes(rillmark::kWindSourceName, scene.wind->boxes))
      throw BakeFailure("the host could not make the wind source");
  } else if (scene.wind) {
    HostHandle source = refhost::addObject(rillmark::kWindSourceName, refhost::kPolyhedronKind);
    refhost::setLocation(source, scene.wind->location);
    refhost::setSize(source, scene.wind->size);
    for (const LocationKey& key : scene.wind->keys) refhost::addLocationKey(source, key.frame, key.location);
  }
  moveBoxesTo(0.0f);
  return water;
}

HostHandle BakeHost::addMovingBoxes(const std::string& name, const std::map<int, Box>& boxes) {
  // Two corners have the box of the whole mesh: their centre and extents
  // are the location and size the host reports.
  const Box& first = boxes.begin()->second;
  const HostVec3 corners[2] = {first.min, first.max};
  HostHandle object = refhost::addPolyhedron(name, corners);
  if (object) moving_.push_back({object, &boxes});
  return object;
}

void BakeHost::moveBoxesTo(float frame) {
  const double rounded = std::round(static_cast<double>(frame));
  const int f = rounded > 2e9 ? 2000000000 : rounded < -2e9 ? -2000000000 : static_cast<int>(rounded);
  for (const MovingBoxes& m : moving_) {
    HostVec3* corners = ::tsxPolyhGetVxArray(m.object);
    if (!corners || m.boxes->empty()) continue;
    // The box of the frame, or of the last frame before it; before the
    // first frame, the first frame's.
    auto at = m.boxes->upper_bound(f);
    if (at != m.boxes->begin()) at = std::prev(at);
    corners[0] = at->second.min;
    corners[1] = at->second.max;
  }
}

void RILLMARK_CDECL BakeHost::setActiveTime(float frame) {
  ::tsxAnimSetActiveTime(frame);
  if (!active_) return;
  active_->moveBoxesTo(frame);
  if (active_->onTime) active_->onTime();
}

std::span<const HostVec3> BakeHost::vertices(HostHandle polyhedron) {
  const HostVec3* array = ::tsxPolyhGetVxArray(polyhedron);
  const int count = ::tsxPolyhGetNbrVxs(polyhedron);
  if (!array || count <= 0) return {};
  return {array, static_cast<std::size_t>(count)};
}

bool BakeHost::swapVertices(HostHandle polyhedron, std::vector<HostVec3>& vertices) {
  return refhost::swapVertices(polyhedron, vertices);
}

void RILLMARK_CDECL BakeHost::sceneDraw() {
  ::tsxSceneDraw();
  if (active_ && active_->onDraw) active_->onDraw();
}

void RILLMARK_CDECL BakeHost::keepNoKey(HostHandle, int) {}

}  // namespace bake
