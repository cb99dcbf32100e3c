// Routines over the host's scene graph that the setup commands and the run
// share: names, finding an object by name, listing polyhedra, making names
// unique and baking a polyhedron's vertex transformation.
//
// Every walk visits a container's members before the container itself and
// before its later siblings; a sibling list ends at the first handle that is
// not a node.
#pragma once

#include <cstdint>
#include <string>

#include "hostapi/host_types.h"
#include "scene/effector_list.h"

namespace rillmark {

inline constexpr std::uint8_t kPolyhedronKind = 201;

// Only the low byte of the host's kind code counts.
std::uint8_t objectKind(HostHandle object);
bool isContainerKind(std::uint8_t kind);

// The object's name (at most 254 bytes), or "Unsupported Object" for a
// handle that is not a node.
std::string ObjectName(HostHandle object);

// Appends the name of every polyhedron reached from first to the list.
void ListPolyhedra(HostHandle first, EffectorList& list);

// Renames repeated polyhedron names by appending "," and a number.
void MakeNamesUnique();

// The node of that exact name, the last match of the walk winning; null
// when there is none.
HostHandle FindObjectByName(const std::string& name);

// A copy of the object outside the scene, or null when the host made none.
// Only the handle tells: what tsxGNodeCopy returns is not defined.
HostHandle copyObject(HostHandle object);

// Deletes a copy the plug-in made outside the scene and forgets its
// handle; null means there is none. The plug-in owns its copies: it knows
// one exists because it made it and has not deleted it, and never asks
// tsxIsSobj, which promises an answer only for objects in the scene.
void releaseCopy(HostHandle& copy);

// Folds the vertex transformation into the vertices and resets it to the
// identity; the object looks the same afterwards. The copy it reads from
// is deleted again.
void BakeVertexTransform(HostHandle object);

}  // namespace rillmark
