// The reference host as tests and host programs drive it from C++: build a
// scene, set the host-wide values the plug-in reads, and read back what the
// plug-in did to the scene. The host functions themselves are in
// host_exports.h, the call record in call_record.h, export lookup in
// export_table.h.
//
// All functions take handles as the host functions do; an unknown or dead
// handle makes a setter return false and a getter return an empty or zero
// value. Single-threaded, like the host.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hostapi/host_types.h"
#include "refhost/call_record.h"
#include "refhost/export_table.h"

namespace refhost {

inline constexpr int kPolyhedronKind = 201;
inline constexpr int kGroupKind = 202;

// How tsxGNodeCopy answers. The host's contract defines only the handle it
// hands back, not its result, so a plug-in must judge a copy by the handle.
// The two odd answers let tests check that it does.
enum class CopyAnswer {
  Plain,               // 1 with a copy; 0 and a null handle without one
  ZeroWithCopy,        // 0, although the copy is made and handed back
  NonzeroWithoutCopy,  // 1, although no copy is made and the handle is null
};

// Answers the host's contract leaves open. The reference host gives the
// generous answer by default; the other one lets tests show that the
// plug-in relies only on what is promised. Both hold until the next reset().
struct OpenAnswers {
  // tsxIsSobj is promised only to be nonzero for a live scene object: a
  // host may answer 0 for a node outside the scene (a copy never added).
  bool sobjOnlyInScene = false;
  // tsxPolyhGetVxArray is not promised to keep its address: with this set,
  // tsxSobjSetFrame moves the keyed object's vertices to a new array and
  // frees the old one.
  bool vertexArraysMoveOnKey = false;
};

// Ways the host can be told to misbehave, as a faulty or careless host
// might; tests use them to show that the plug-in survives. They hold until
// the next setFaults() or reset(). (Copies that fail: setCopyAnswer; a host
// of an older release: setVersion; a host that deletes objects: call
// tsxSobjDelete, from a message pump for the middle of a run.)
struct Faults {
  // tsxGNodeGetLocation and tsxGNodeGetSize answer this in every component
  // (a NaN, an infinity, a huge number) for boxNode, or for every node when
  // boxNode is null. Unset: the true box.
  std::optional<float> boxValue;
  HostHandle boxNode = nullptr;
  // tsxPolyhGetNbrVxs answers this for every polyhedron.
  std::optional<int> vertexCount;
  // tsxPolyhGetVxArray answers null.
  bool nullVertexArrays = false;
  // tsxGNodeGetName reports this length, whatever the name's own length;
  // it still writes no more than the buffer's size.
  std::optional<int> nameLength;
  // tsxGNodeGetName writes as much of the name as fits in the whole
  // buffer, and no terminator.
  bool unterminatedNames = false;
  // Deleting the selected object leaves tsxGetCurrentSelection answering
  // its dead handle instead of null.
  bool staleSelection = false;
};

// One tsxAnimSetActiveTime noted while frames are timed.
struct FrameTiming {
  float frame;
  double seconds;  // on a monotonic clock, from an arbitrary origin
};

// A fresh empty scene: no nodes, time 0, play mode 0, no selection, main
// view null, version 430.0, recording on with an empty record, no hidden
// exports, plain copy answers, the default open answers, no faults. Handles from before stay dead.
void reset();

// Scene building. parent null appends to the top list, otherwise to the
// parent's member list; a dead parent makes the call fail (null handle).
HostHandle addGroup(std::string_view name, int kind = kGroupKind, HostHandle parent = nullptr);
HostHandle addPolyhedron(std::string_view name, std::span<const HostVec3> vertices, HostHandle parent = nullptr,
                         int kind = kPolyhedronKind);
// nx x ny vertices in the x-y plane at height z, width along x and depth
// along y, centred at the origin; vertex index = row * nx + column.
HostHandle addGrid(std::string_view name, int nx, int ny, float width, float depth, float z,
                   HostHandle parent = nullptr);
// A node of any kind without geometry; its box is set with setLocation and
// setSize (zero until then).
HostHandle addObject(std::string_view name, int kind, HostHandle parent = nullptr);

bool setName(HostHandle node, std::string_view name);  // any length, any bytes
// Exchanges the polyhedron's vertex array with `vertices`, which must be as
// long (false otherwise): a host may move a polyhedron's vertices to
// another array between frames, and tsxPolyhGetVxArray then answers the
// new one.
bool swapVertices(HostHandle polyhedron, std::vector<HostVec3>& vertices);
bool setVertexTransform(HostHandle polyhedron, const HostMatrix3x4& matrix);
bool setLocation(HostHandle node, HostVec3 location);  // nodes without geometry or members
bool setSize(HostHandle node, HostVec3 size);
bool addLocationKey(HostHandle node, float frame, HostVec3 location);
void select(HostHandle node);  // as tsxSelectSobj; null clears the selection
void setMainView(void* view);
void setVersion(short major, short minor);
void setCurrentTime(float frame);
void setCopyAnswer(CopyAnswer answer);  // until the next reset()
void setOpenAnswers(const OpenAnswers& answers);
const OpenAnswers& openAnswers();
void setFaults(const Faults& faults);
// Timing on: every tsxAnimSetActiveTime is noted with the time it came
// (frameTimings()); switching it on forgets earlier notes.
void timeFrames(bool on);
// Reuse on: the buffers of the last vertex keys dropped are kept for later
// keys (see key_buffers.h). Off after reset(); switching it off frees them.
void reuseKeyBuffers(bool on);
const Faults& faults();

// Read-back.
bool isLive(HostHandle node);
bool inScene(HostHandle node);
std::vector<HostHandle> topNodes();
std::vector<HostHandle> members(HostHandle node);
std::string name(HostHandle node);
int kind(HostHandle node);
int liveNodeCount();
HostHandle selection();
void* mainView();
std::vector<HostVec3> vertices(HostHandle polyhedron);
HostMatrix3x4 vertexTransform(HostHandle polyhedron);  // identity when dead
HostVec3 location(HostHandle node);  // as tsxGNodeGetLocation, at the current time
HostVec3 size(HostHandle node);      // as tsxGNodeGetSize
std::vector<int> selectedVertices(HostHandle polyhedron);
std::map<int, std::vector<HostVec3>> vertexKeys(HostHandle polyhedron);  // frame -> vertices
std::map<int, bool> visibilityKeys(HostHandle node);                      // frame -> visible
std::map<float, HostVec3> locationKeys(HostHandle node);
bool visible(HostHandle node);
int drawingMode(HostHandle node);
int addMode(HostHandle node);  // mode of tsxSceneAddObject, -1 if never added
bool hasScriptTree(HostHandle node);
std::set<int> attributes(HostHandle node);
std::vector<int> frameCodes(HostHandle node);  // tsxGNodeSetFrame codes in order
long long vertexChangeMarks(HostHandle polyhedron);  // tsxPolyhMarkVertexChange calls
std::vector<int> markedVertices(HostHandle polyhedron);  // ascending, each once
void clearVertexMarks(HostHandle polyhedron);            // the calls stay counted
long long geomChangeMarks(HostHandle polyhedron);
long long drawCount();
int playMode();
float currentTime();
std::vector<FrameTiming> frameTimings();

}  // namespace refhost
