// The up axis of the bake's input files. The simulation measures height
// along z and distance across x and y, as the plug-in's host has it; files
// with y up (Blender's default OBJ export, Maya, Houdini) are read with y
// and z swapped, and every output is written with them swapped back, so
// each file the bake writes is in its input's own axes.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bake_scene.h"
#include "hostapi/host_types.h"

namespace bake {

// "y" or "z" (either case); nothing for anything else.
std::optional<UpAxis> upAxisNamed(const std::string& name);

// Between the files' axes and the host's; the same swap both ways.
inline HostVec3 swapForUpAxis(UpAxis up, HostVec3 v) { return up == UpAxis::Y ? HostVec3{v.x, v.z, v.y} : v; }
void swapForUpAxis(UpAxis up, std::span<HostVec3> vertices);
// Every coordinate of the scene, read in the files' axes, into the host's.
void sceneToHostAxes(UpAxis up, BakeScene& scene);

// A warning when the water's rest shape (in the files' axes) lies flat
// across another axis than `up`, naming that axis; nothing otherwise.
std::optional<std::string> flatWaterWarning(UpAxis up, std::span<const HostVec3> rest);

}  // namespace bake
