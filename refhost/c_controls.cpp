#include "refhost/c_controls.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "refhost/refhost.h"
#include "refhost/shield.h"

using refhost::detail::shield;

namespace {

std::string_view text(const char* s) { return s ? std::string_view(s) : std::string_view(); }

int copyVertices(const std::vector<HostVec3>& vertices, float* xyz, int max) {
  if (xyz && max > 0) {
    const std::size_t n = std::min(vertices.size(), static_cast<std::size_t>(max));
    std::memcpy(xyz, vertices.data(), n * sizeof(HostVec3));
  }
  return static_cast<int>(vertices.size());
}

void copyVector(const HostVec3& v, float* xyz) {
  if (!xyz) return;
  xyz[0] = v.x;
  xyz[1] = v.y;
  xyz[2] = v.z;
}

template <class Change>
void changeFaults(Change change) {
  refhost::Faults faults = refhost::faults();
  change(faults);
  refhost::setFaults(faults);
}

}  // namespace

extern "C" {

void refhost_reset() { shield([] { refhost::reset(); }); }

void refhost_set_version(int major, int minor) {
  refhost::setVersion(static_cast<short>(major), static_cast<short>(minor));
}

void refhost_set_main_view(void* view) { refhost::setMainView(view); }
void refhost_set_current_time(float frame) { refhost::setCurrentTime(frame); }

HostHandle refhost_add_group(const char* name, int kind, HostHandle parent) {
  return shield<HostHandle>(nullptr, [&] { return refhost::addGroup(text(name), kind, parent); });
}

HostHandle refhost_add_object(const char* name, int kind, HostHandle parent) {
  return shield<HostHandle>(nullptr, [&] { return refhost::addObject(text(name), kind, parent); });
}

HostHandle refhost_add_polyhedron(const char* name, const float* xyz, int count, HostHandle parent) {
  return shield<HostHandle>(nullptr, [&] {
    std::vector<HostVec3> vertices;
    if (xyz && count > 0) {
      vertices.resize(static_cast<std::size_t>(count));
      std::memcpy(vertices.data(), xyz, vertices.size() * sizeof(HostVec3));
    }
    return refhost::addPolyhedron(text(name), vertices, parent);
  });
}

HostHandle refhost_add_grid(const char* name, int nx, int ny, float width, float depth, float z, HostHandle parent) {
  return shield<HostHandle>(nullptr, [&] { return refhost::addGrid(text(name), nx, ny, width, depth, z, parent); });
}

int refhost_set_name(HostHandle node, const char* name) {
  return shield(0, [&] { return refhost::setName(node, text(name)) ? 1 : 0; });
}

int refhost_set_vertex_transform(HostHandle polyhedron, const float* m12) {
  if (!m12) return 0;
  HostMatrix3x4 m;
  std::copy(m12, m12 + 12, m.m);
  return refhost::setVertexTransform(polyhedron, m) ? 1 : 0;
}

int refhost_set_location(HostHandle node, float x, float y, float z) {
  return refhost::setLocation(node, {x, y, z}) ? 1 : 0;
}

int refhost_set_size(HostHandle node, float x, float y, float z) { return refhost::setSize(node, {x, y, z}) ? 1 : 0; }

int refhost_add_location_key(HostHandle node, float frame, float x, float y, float z) {
  return shield(0, [&] { return refhost::addLocationKey(node, frame, {x, y, z}) ? 1 : 0; });
}

void refhost_select(HostHandle node) { refhost::select(node); }
void refhost_set_recording(int on) { refhost::setRecording(on != 0); }
void refhost_time_frames(int on) { refhost::timeFrames(on != 0); }
void refhost_reuse_key_buffers(int on) { refhost::reuseKeyBuffers(on != 0); }
void refhost_hide_export(const char* name) {
  shield([&] { refhost::hideExport(text(name)); });
}
void refhost_clear_hidden_exports() { refhost::clearHiddenExports(); }
void* refhost_lookup_export(const char* name) { return refhost::lookupExport(text(name)); }

void refhost_fault_box(HostHandle node, float value) {
  changeFaults([&](refhost::Faults& f) {
    f.boxValue = value;
    f.boxNode = node;
  });
}
void refhost_fault_vertex_count(int count) {
  changeFaults([&](refhost::Faults& f) { f.vertexCount = count; });
}
void refhost_fault_null_vertex_arrays(int on) {
  changeFaults([&](refhost::Faults& f) { f.nullVertexArrays = on != 0; });
}
void refhost_fault_name_length(int length) {
  changeFaults([&](refhost::Faults& f) { f.nameLength = length; });
}
void refhost_fault_unterminated_names(int on) {
  changeFaults([&](refhost::Faults& f) { f.unterminatedNames = on != 0; });
}
void refhost_fault_stale_selection(int on) {
  changeFaults([&](refhost::Faults& f) { f.staleSelection = on != 0; });
}
void refhost_fault_copy(int answer) {
  const refhost::CopyAnswer answers[] = {refhost::CopyAnswer::Plain, refhost::CopyAnswer::ZeroWithCopy,
                                         refhost::CopyAnswer::NonzeroWithoutCopy};
  if (answer >= 0 && answer <= 2) refhost::setCopyAnswer(answers[answer]);
}
void refhost_clear_faults() {
  refhost::setFaults({});
  refhost::setCopyAnswer(refhost::CopyAnswer::Plain);
}

void refhost_set_sobj_only_in_scene(int on) {
  refhost::OpenAnswers answers = refhost::openAnswers();
  answers.sobjOnlyInScene = on != 0;
  refhost::setOpenAnswers(answers);
}
void refhost_set_vertex_arrays_move_on_key(int on) {
  refhost::OpenAnswers answers = refhost::openAnswers();
  answers.vertexArraysMoveOnKey = on != 0;
  refhost::setOpenAnswers(answers);
}

int refhost_is_live(HostHandle node) { return refhost::isLive(node) ? 1 : 0; }
int refhost_in_scene(HostHandle node) { return refhost::inScene(node) ? 1 : 0; }
HostHandle refhost_selection() { return refhost::selection(); }

HostHandle refhost_find_top_node(const char* name) {
  return shield(static_cast<HostHandle>(nullptr), [&] {
    for (HostHandle node : refhost::topNodes())
      if (name != nullptr && refhost::name(node) == name) return node;
    return static_cast<HostHandle>(nullptr);
  });
}
int refhost_live_node_count() { return refhost::liveNodeCount(); }

int refhost_get_name(HostHandle node, char* buffer, int max) {
  return shield(0, [&] {
    const std::string name = refhost::name(node);
    if (buffer && max > 0) {
      const std::size_t n = std::min(name.size(), static_cast<std::size_t>(max) - 1);
      std::memcpy(buffer, name.data(), n);
      buffer[n] = '\0';
    }
    return static_cast<int>(name.size());
  });
}

int refhost_vertex_count(HostHandle polyhedron) {
  return shield(0, [&] { return static_cast<int>(refhost::vertices(polyhedron).size()); });
}

int refhost_get_vertices(HostHandle polyhedron, float* xyz, int max) {
  return shield(0, [&] { return copyVertices(refhost::vertices(polyhedron), xyz, max); });
}

void refhost_get_location(HostHandle node, float* xyz) { copyVector(refhost::location(node), xyz); }
void refhost_get_size(HostHandle node, float* xyz) { copyVector(refhost::size(node), xyz); }

int refhost_vertex_key_frames(HostHandle polyhedron, int* frames, int max) {
  return shield(0, [&] {
    const auto keys = refhost::vertexKeys(polyhedron);
    int i = 0;
    for (const auto& entry : keys) {
      if (frames && i < max) frames[i] = entry.first;
      ++i;
    }
    return i;
  });
}

int refhost_get_vertex_key(HostHandle polyhedron, int frame, float* xyz, int max) {
  return shield(-1, [&] {
    const auto keys = refhost::vertexKeys(polyhedron);
    const auto it = keys.find(frame);
    return it == keys.end() ? -1 : copyVertices(it->second, xyz, max);
  });
}

int refhost_visibility_key(HostHandle node, int frame) {
  return shield(-1, [&] {
    const auto keys = refhost::visibilityKeys(node);
    const auto it = keys.find(frame);
    return it == keys.end() ? -1 : (it->second ? 1 : 0);
  });
}

int refhost_is_visible(HostHandle node) { return refhost::visible(node) ? 1 : 0; }
int refhost_drawing_mode(HostHandle node) { return refhost::drawingMode(node); }
int refhost_add_mode(HostHandle node) { return refhost::addMode(node); }
int refhost_has_script_tree(HostHandle node) { return refhost::hasScriptTree(node) ? 1 : 0; }

int refhost_has_attribute(HostHandle node, int code) {
  return shield(0, [&] { return refhost::attributes(node).count(code) ? 1 : 0; });
}

int refhost_play_mode() { return refhost::playMode(); }
float refhost_current_time() { return refhost::currentTime(); }
long long refhost_draw_count() { return refhost::drawCount(); }
long long refhost_call_count(const char* name) { return refhost::callCount(text(name)); }
int refhost_frame_timings(float* frames, double* seconds, int max) {
  const std::vector<refhost::FrameTiming> timings = refhost::frameTimings();
  for (int i = 0; i < max && i < static_cast<int>(timings.size()); ++i) {
    frames[i] = timings[i].frame;
    seconds[i] = timings[i].seconds;
  }
  return static_cast<int>(timings.size());
}

}  // extern "C"
