// Animation in the reference host: the current time, location keys played
// back by interpolation, and the keys that tsxSobjSetFrame stores.
#pragma once

#include <optional>

#include "hostapi/host_types.h"
#include "refhost/scene_graph.h"

namespace refhost::detail {

// Attribute and key codes the host knows.
inline constexpr int kVertexKeyCode = 23;      // vertex positions
inline constexpr int kVisibilityKeyCode = 24;  // visible or not

// The location of the node's keys at the given time: linear between two
// keys, held at the first key before it and at the last key after it.
// Empty when the node has no location keys.
std::optional<HostVec3> keyedLocation(const Node& node, float time);

// The frame a key set now belongs to: the current time rounded to the
// nearest integer (halves away from zero), clamped to the int range.
int currentKeyFrame();

// tsxSobjSetFrame: stores a vertex key (code 23, only once the attribute was
// added) or a visibility key (code 24) at currentKeyFrame(). Nothing is
// stored without a script tree; other codes store nothing.
void setFrame(Node& node, int code);

// tsxSobjAddAttribute; needs a script tree.
void addAttribute(Node& node, int code);

// A copy of a script tree whose vertex keys go into spare buffers where
// there are any, so that copying keyed objects and deleting them again
// leaves the spares as they were.
Animation copyAnimation(const Animation& source);

// Gives the node's vertex keys to the scene's spare buffers in place of
// the buffers waiting there. A node without vertex keys changes nothing.
void dropKeys(Node& node);

void deleteScriptTree(Node& node);
void createScriptTree(Node& node);

}  // namespace refhost::detail
