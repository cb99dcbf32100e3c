#include "soak_host.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <mutex>

#include "soak_state.h"

namespace rillmark::testhost::soak {

namespace {

constexpr int kGridX = 29;  // a vertex count no other polyhedron has
constexpr int kGridY = 23;
constexpr int kGridVertices = kGridX * kGridY;
constexpr int kMostAddedObjects = 24;

void walk(Handle node, std::vector<Handle>& out, int depth = 0) {
  for (; node != nullptr && depth < 16; node = host.next(node)) {
    out.push_back(node);
    walk(host.firstChild(node), out, depth + 1);
  }
}

std::vector<Handle> sceneNodes() {
  std::vector<Handle> nodes;
  walk(host.firstNode(), nodes);
  return nodes;
}

bool checkXY(const std::vector<float>& xyz, const std::string& what) {
  for (int i = 0; i < kGridVertices; ++i) {
    if (std::fabs(xyz[3 * i] - host.restXY[2 * i]) > 1e-5f || std::fabs(xyz[3 * i + 1] - host.restXY[2 * i + 1]) > 1e-5f) {
      fail(what + ": vertex " + std::to_string(i) + " moved in x or y");
      return false;
    }
  }
  return true;
}

bool allFinite(const std::vector<float>& xyz, int count) {
  for (int i = 0; i < 3 * count; ++i)
    if (!std::isfinite(xyz[i])) return false;
  return true;
}

std::vector<Handle> namedStarting(const std::string& prefix) {
  std::vector<Handle> out;
  for (Handle n : sceneNodes())
    if (host.ref.nameOf(n).rfind(prefix, 0) == 0) out.push_back(n);
  return out;
}

Handle pick(const std::vector<Handle>& nodes) { return nodes.empty() ? nullptr : nodes[host.rng() % nodes.size()]; }

Handle addWater() { return host.ref.addGrid("Water", kGridX, kGridY, 6.0f, 5.0f, 0.0f, nullptr); }

}  // namespace

Host host;

bool bindSceneWalk() {
  host.firstNode = proc<FirstFn>(host.api, "tsxSceneGetFirstNode");
  host.firstChild = proc<NodeFn>(host.api, "tsxGNodeGetFirstChild");
  host.next = proc<NodeFn>(host.api, "tsxGNodeGetNext");
  const bool bound = host.firstNode && host.firstChild && host.next;
  check(bound, "the host's scene walk functions resolve");
  return bound;
}

void checkScene() {
  ++state.sceneChecks;
  int polyhedra = 0, waters = 0;
  long long vertices = 0;
  float highest = 0;
  std::vector<float> xyz;
  for (Handle node : sceneNodes()) {
    const int count = host.ref.getVertices(node, nullptr, 0);
    if (count <= 0) continue;
    ++polyhedra;
    vertices += count;
    xyz.assign(3 * static_cast<std::size_t>(count), 0.0f);
    host.ref.getVertices(node, xyz.data(), count);
    const std::string name = host.ref.nameOf(node);
    if (!allFinite(xyz, count)) return fail("a non-finite coordinate in polyhedron '" + name + "'");
    if (count != kGridVertices) continue;
    ++waters;
    for (int i = 0; i < count; ++i) highest = std::max(highest, std::fabs(xyz[3 * i + 2]));
    if (!checkXY(xyz, "water '" + name + "'")) return;
    std::vector<int> frames(8192);
    const int keyed = host.ref.vertexKeyFrames(node, frames.data(), static_cast<int>(frames.size()));
    if (keyed > 0) {
      const int frame = frames[host.rng() % static_cast<unsigned>(std::min<int>(keyed, 8192))];
      host.ref.getVertexKey(node, frame, xyz.data(), count);
      if (!allFinite(xyz, count))
        return fail("a non-finite coordinate in the key at frame " + std::to_string(frame) + " of '" + name + "'");
      if (!checkXY(xyz, "the key at frame " + std::to_string(frame) + " of '" + name + "'")) return;
    }
  }
  std::lock_guard<std::mutex> lock(state.mutex);
  state.lastFigures = std::to_string(polyhedra) + " polyhedra, " + std::to_string(vertices) + " vertices, " +
                      std::to_string(waters) + " water-sized, highest |z| " + std::to_string(highest) + ", all finite";
}

HWND findPanel() {
  for (HWND w : ownedWindows(host.view)) {
    char caption[64] = {};
    GetWindowTextA(w, caption, sizeof caption);
    if (std::string(caption) == "Rillmark") return w;
  }
  return nullptr;
}

LRESULT CALLBACK hostViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return 0;  // the host closes only at the end
  if (message != WM_TIMER || wParam != kHostTimer) return DefWindowProcA(window, message, wParam, lParam);
  if (host.inTimer) return 0;
  host.inTimer = true;
  for (;;) {
    std::pair<std::string, std::function<void()>> event;
    {
      std::lock_guard<std::mutex> lock(state.mutex);
      if (state.hostQueue.empty()) break;
      event = std::move(state.hostQueue.front());
      state.hostQueue.pop_front();
    }
    event.second();
  }
  HWND panel = state.panel;
  if (panel != nullptr && !IsWindow(panel)) state.panel = nullptr;
  if (++host.ticks % 10 == 0 && !state.failed) checkScene();
  host.inTimer = false;
  return 0;
}

// Chosen by the user thread (one seeded stream), done by the host's own
// timer, logged when done.
void hostEvent(const std::string& kind) {
  std::function<void()> f;
  if (kind == "host: delete water") {
    f = [kind] {
      const Handle w = host.ref.findTopNode("Water");
      if (w != nullptr) host.ref.sobjDelete(w);
      logAction(kind, w ? "deleted" : "none");
    };
  } else if (kind == "host: add water") {
    f = [kind] {
      if (host.ref.findTopNode("Water") == nullptr) addWater();
      logAction(kind);
    };
  } else if (kind == "host: rename water") {
    f = [kind] {
      Handle w = host.ref.findTopNode("Water");
      if (w != nullptr) {
        // One renamed water at a time keeps the scene bounded.
        if (const Handle lake = host.ref.findTopNode("Lake")) host.ref.sobjDelete(lake);
        host.ref.setName(w, "Lake");
        logAction(kind, "Water -> Lake");
      } else if ((w = host.ref.findTopNode("Lake")) != nullptr) {
        host.ref.setName(w, "Water");
        logAction(kind, "Lake -> Water");
      } else {
        logAction(kind, "none");
      }
    };
  } else if (kind == "host: delete effector" || kind == "host: rename effector") {
    f = [kind] {
      const Handle e = pick(namedStarting("Effector"));
      if (e == nullptr) return logAction(kind, "none");
      const std::string name = host.ref.nameOf(e);
      if (kind == "host: delete effector") host.ref.sobjDelete(e);
      else host.ref.setName(e, ("Effector-Renamed-" + std::to_string(++host.addedSerial)).c_str());
      logAction(kind, name);
    };
  } else if (kind == "host: delete wind source" || kind == "host: rename wind source") {
    f = [kind] {
      const Handle w = host.ref.findTopNode("Wind Source");
      if (w != nullptr && kind == "host: delete wind source") host.ref.sobjDelete(w);
      if (w != nullptr && kind == "host: rename wind source") host.ref.setName(w, "Breeze");
      logAction(kind, w ? "done" : "none");
    };
  } else if (kind == "host: add object") {
    f = [kind] {
      // The scene stays bounded over a long soak: past the limit the
      // oldest added object goes.
      if (static_cast<int>(host.added.size()) >= kMostAddedObjects) {
        const Handle old = host.added.front();
        host.added.erase(host.added.begin());
        if (host.ref.isLive(old)) host.ref.sobjDelete(old);
      }
      const int n = ++host.addedSerial;
      Handle h = nullptr;
      if (host.rng() % 2 == 0) {
        h = host.ref.createSphere(8, 5, 0.2f + 0.1f * static_cast<float>(n % 5));
        host.ref.sceneAddObject(h, 1);
        host.ref.setName(h, ((host.rng() % 2 ? "Effector-Soak-" : "Rock-") + std::to_string(n)).c_str());
        host.ref.addLocationKey(h, 0.0f, -2.0f + static_cast<float>(n % 4), 0.0f, 1.5f);
        host.ref.addLocationKey(h, 60.0f, -2.0f + static_cast<float>(n % 4), 0.5f, -1.5f);
      } else {
        h = host.ref.addGrid(("Plank-" + std::to_string(n)).c_str(), 4, 6, 1.0f, 2.0f, 0.3f, nullptr);
      }
      host.added.push_back(h);
      logAction(kind, host.ref.nameOf(h));
    };
  } else if (kind == "host: change selection") {
    f = [kind] {
      const Handle n = pick(sceneNodes());
      host.ref.select(n);
      logAction(kind, n ? host.ref.nameOf(n) : "nothing");
    };
  } else if (kind == "host: select water") {
    f = [kind] {
      const Handle w = host.ref.findTopNode("Water");
      if (w != nullptr) host.ref.select(w);
      logAction(kind, w ? "selected" : "none");
    };
  } else if (kind == "host: plug-in icon") {
    f = [kind] {
      const int answer = host.plugin.tsxOnLeftClick();
      HWND panel = findPanel();
      state.panel = panel;
      logAction(kind, "answered " + std::to_string(answer) + (panel ? ", panel open" : ", no panel"));
      if (panel == nullptr) fail("the plug-in icon did not open the panel");
    };
  }
  std::lock_guard<std::mutex> lock(state.mutex);
  state.hostQueue.emplace_back(kind, std::move(f));
}

void buildScene() {
  const Handle water = addWater();
  std::vector<float> xyz(3 * kGridVertices);
  host.ref.getVertices(water, xyz.data(), kGridVertices);
  host.restXY.resize(2 * kGridVertices);
  for (int i = 0; i < kGridVertices; ++i) {
    host.restXY[2 * i] = xyz[3 * i];
    host.restXY[2 * i + 1] = xyz[3 * i + 1];
  }
  const char* const effectors[] = {"Effector-Ball", "Effector-Stone"};
  for (int i = 0; i < 2; ++i) {
    const Handle ball = host.ref.createSphere(12, 6, 0.4f);
    host.ref.sceneAddObject(ball, 1);
    host.ref.setName(ball, effectors[i]);
    host.ref.addLocationKey(ball, 0.0f, 1.0f - 2.0f * static_cast<float>(i), -0.5f, 2.0f);
    host.ref.addLocationKey(ball, 80.0f, 1.0f - 2.0f * static_cast<float>(i), -0.5f, -2.0f);
  }
  const Handle rock = host.ref.createSphere(6, 4, 0.3f);
  host.ref.sceneAddObject(rock, 1);
  host.ref.setName(rock, "Rock");
  using AddGroupFn = Handle(__cdecl*)(const char*, int, Handle);
  const auto addGroup = proc<AddGroupFn>(host.api, "refhost_add_group");
  const Handle container = addGroup ? addGroup("Container", 202, nullptr) : nullptr;
  host.ref.addGrid("Crate", 3, 3, 1.0f, 1.0f, 0.5f, container);
  host.ref.addGrid("Dock", 5, 2, 2.0f, 0.5f, 0.1f, nullptr);
  host.ref.select(water);
}

void rebuildScene() {
  for (Handle top = host.firstNode(); top != nullptr; top = host.firstNode()) {
    host.ref.sobjDelete(top);
    if (host.firstNode() == top) return fail("the host could not delete '" + host.ref.nameOf(top) + "'");
  }
  host.added.clear();
  buildScene();
}

}  // namespace rillmark::testhost::soak
