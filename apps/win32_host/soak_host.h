// The host's side of the soak: the reference host and the plug-in as the
// host loaded them, the scene it builds, the events it plays from its main
// view's timer (deleting, renaming and adding objects, changing the
// selection, the plug-in's icon) and the scene invariants it checks there.
#pragma once

#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "host_harness.h"
#include "panel_driver.h"

namespace rillmark::testhost::soak {

using NodeFn = Handle(__cdecl*)(Handle);
using FirstFn = Handle(__cdecl*)();

struct Host {
  ReferenceHost ref{};
  HMODULE api = nullptr;
  Plugin plugin;
  HWND view = nullptr;
  FirstFn firstNode = nullptr;
  NodeFn firstChild = nullptr;
  NodeFn next = nullptr;
  std::vector<float> restXY;  // the grid's x and y, vertex by vertex
  std::vector<Handle> added;
  int addedSerial = 0;
  bool inTimer = false;
  int ticks = 0;
  std::mt19937 rng;
};
extern Host host;

constexpr UINT_PTR kHostTimer = 21;

// The main view's procedure: its timer runs the queued host events and
// checks the scene now and then.
LRESULT CALLBACK hostViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Binds the scene walk; false (and a failed check) when it is missing.
bool bindSceneWalk();

// The scene every soak starts from: a water, two effectors, a rock, a
// container with a crate, a dock; the water selected.
void buildScene();

// Back to the scene buildScene makes: every node the soak or the plug-in
// added, renamed or keyed goes. On the host's thread.
void rebuildScene();

// Every polyhedron's coordinates finite; every water-sized one keeps the
// grid's x and y. On the host's thread.
void checkScene();

// Queues one host event by its kind ("host: delete water", ...).
void hostEvent(const std::string& kind);

// The panel the main view owns, or null.
HWND findPanel();

}  // namespace rillmark::testhost::soak
