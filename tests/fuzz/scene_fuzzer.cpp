// Fuzz target: a random scene in the reference host through the scene
// helpers and the setup commands. The input builds the scene (containers of
// every kind nested to any depth, polyhedra and other objects, names of
// every length up to and past the 255-byte buffer, repeated, empty or
// holding a NUL, nodes deleted and renamed), then chooses the water
// (Select Water, whose Refresh makes names unique and lists the polyhedra),
// finds objects by name, selects items by a typed prefix, deletes more
// nodes and detects events.
//
// Beside the sanitizers' watch, the results are compared with the scene's
// rules applied to what the host holds, read back without the plug-in:
// the names MakeNamesUnique gives, the items and check marks of the list,
// the node FindObjectByName returns, the marks Select by Name adds.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "commands/scene_commands.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_session.h"
#include "hostapi/host_api.h"
#include "hostapi/host_calls.h"
#include "refhost/refhost.h"
#include "scene/effector_prefix.h"
#include "scene/scene_helpers.h"
#include "sim/event_detection.h"
#include "support/recording_run_view.h"

namespace rillmark {
namespace {

using testing::FakePlatform;
using testing::RecordingRunView;

constexpr int kMaxNodes = 48;
constexpr int kNameBuffer = 255;

// ----- the scene's rules, over what the host holds ----------------------

bool isContainer(HostHandle node) { return isContainerKind(static_cast<std::uint8_t>(refhost::kind(node))); }
bool isPolyhedron(HostHandle node) { return static_cast<std::uint8_t>(refhost::kind(node)) == kPolyhedronKind; }

// The name as the plug-in reads it: at most 254 bytes, up to a NUL.
std::string readableName(const std::string& name) {
  const std::string cut = name.substr(0, kNameBuffer - 1);
  return cut.substr(0, cut.find('\0'));
}
std::string readableName(HostHandle node) { return readableName(refhost::name(node)); }

// Members before their container, and a container's list entered whatever
// its kind; the members of other kinds are never visited.
template <class Visit, class Enter>
void walk(const std::vector<HostHandle>& list, Visit& visit, Enter& enter) {
  enter();
  for (HostHandle node : list) {
    if (isContainer(node)) walk(refhost::members(node), visit, enter);
    if (visit(node)) break;
  }
}

// The names each polyhedron has after MakeNamesUnique.
std::map<HostHandle, std::string> uniqueNames() {
  std::map<HostHandle, std::string> result;
  std::vector<std::string> seen;
  int level = 0;
  auto enter = [&] { ++level; };
  auto visit = [&](HostHandle node) {
    if (!isPolyhedron(node)) return false;
    std::string name = readableName(node);
    const std::size_t k = seen.size();
    bool renamed = false;
    for (std::size_t i = 0; i < k; ++i) {
      if (seen[i] != name) continue;
      name += "," + std::to_string(level + static_cast<int>(i));
      renamed = true;
    }
    result[node] = renamed ? name : refhost::name(node);
    seen.push_back(name);
    return false;
  };
  walk(refhost::topNodes(), visit, enter);
  return result;
}

std::vector<std::string> listedPolyhedra() {
  std::vector<std::string> names;
  auto enter = [] {};
  auto visit = [&](HostHandle node) {
    if (isPolyhedron(node)) names.push_back(readableName(node));
    return false;
  };
  walk(refhost::topNodes(), visit, enter);
  return names;
}

HostHandle expectedFind(const std::string& wanted) {
  HostHandle found = nullptr;
  auto enter = [] {};
  auto visit = [&](HostHandle node) {
    if (readableName(node) != wanted) return false;
    found = node;
    return true;
  };
  walk(refhost::topNodes(), visit, enter);
  return found;
}

// ----- building the scene from the input ---------------------------------

const char* const kWords[] = {"Effector", "effector-1", "EFFECTORS", "Effecto", "Sphere", "sphere", "Water",
                              "Wind Source", "Unsupported Object", "A", "A,1", "A,2"};
constexpr char kLetters[] = {'A', 'a', 'E', 'f', ',', '1', '2', ' ', '\0'};
constexpr int kKinds[] = {201, 202, 107, 206, 210, 201 + 256, 202 + 512, 1, 0, -1, 300};

std::string makeName(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0:
    case 1: {
      std::string name(in.ConsumeIntegralInRange<std::size_t>(0, 6), 'A');
      for (char& c : name) c = in.PickValueInArray(kLetters);
      return name;
    }
    case 2:
      return in.PickValueInArray(kWords);
    case 3:
      return std::string(in.PickValueInArray(kWords)) + in.PickValueInArray(kLetters);
    case 4: {  // around the buffer's size
      std::string name(in.ConsumeIntegralInRange<std::size_t>(kNameBuffer - 6, kNameBuffer + 45), 'E');
      name.back() = in.PickValueInArray(kLetters);
      return name;
    }
    case 5:
      return "";
    default:
      return in.ConsumeRandomLengthString(300);
  }
}

float coordinate(FuzzedDataProvider& in) {
  constexpr float kOdd[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 1e-40f};
  if (in.ConsumeIntegralInRange(0, 15) == 15) return in.PickValueInArray(kOdd);
  return static_cast<float>(in.ConsumeIntegralInRange(-8, 8)) * 0.5f;
}

HostVec3 vector(FuzzedDataProvider& in) { return {coordinate(in), coordinate(in), coordinate(in)}; }

struct Scene {
  std::vector<HostHandle> nodes;  // every node made, live or not

  HostHandle pick(FuzzedDataProvider& in) const {
    if (nodes.empty()) return nullptr;
    return nodes[in.ConsumeIntegralInRange<std::size_t>(0, nodes.size() - 1)];
  }
  // A parent for a new node: the top list, or any node made so far.
  HostHandle parent(FuzzedDataProvider& in) const { return in.ConsumeBool() ? nullptr : pick(in); }
  void add(HostHandle node) {
    if (node != nullptr) nodes.push_back(node);
  }
};

void buildScene(FuzzedDataProvider& in, Scene& scene) {
  const int operations = in.ConsumeIntegralInRange(0, 32);
  for (int op = 0; op < operations && static_cast<int>(scene.nodes.size()) < kMaxNodes; ++op) {
    switch (in.ConsumeIntegralInRange(0, 7)) {
      case 0:
      case 1: {
        std::vector<HostVec3> vertices(in.ConsumeIntegralInRange<std::size_t>(1, 4));
        for (HostVec3& v : vertices) v = vector(in);
        scene.add(refhost::addPolyhedron(makeName(in), vertices, scene.parent(in), in.ConsumeBool() ? 201 : 457));
        break;
      }
      case 2:
        scene.add(refhost::addGroup(makeName(in), in.PickValueInArray(kKinds), scene.parent(in)));
        break;
      case 3: {  // a chain of containers, one inside the other
        HostHandle parent = scene.parent(in);
        const int depth = in.ConsumeIntegralInRange(1, 40);
        for (int d = 0; d < depth && static_cast<int>(scene.nodes.size()) < kMaxNodes; ++d) {
          parent = refhost::addGroup(makeName(in), in.PickValueInArray(kKinds), parent);
          scene.add(parent);
        }
        break;
      }
      case 4: {
        const HostHandle object = refhost::addObject(makeName(in), in.PickValueInArray(kKinds), scene.parent(in));
        refhost::setLocation(object, vector(in));
        refhost::setSize(object, vector(in));
        scene.add(object);
        break;
      }
      case 5:
        host::tsxSobjDelete(scene.pick(in));
        break;
      case 6:
        refhost::setName(scene.pick(in), makeName(in));
        break;
      default:
        refhost::select(scene.pick(in));
        break;
    }
  }
}

// ----- what the commands must do ------------------------------------------

void checkRefresh(const EffectorList& list, HostHandle water) {
  std::vector<std::string> expected = listedPolyhedra();
  const std::string waterName = refhost::isLive(water) ? readableName(water) : "Unsupported Object";
  const auto it = std::find(expected.begin(), expected.end(), waterName);
  if (it != expected.end()) expected.erase(it);
  FUZZ_CHECK(list.count() == static_cast<int>(expected.size()));
  for (int i = 0; i < list.count(); ++i) {
    FUZZ_CHECK(list.item(i).text == expected[static_cast<std::size_t>(i)]);
    FUZZ_CHECK(list.item(i).checked == hasEffectorPrefix(list.item(i).text));
  }
}

void checkFind(const std::string& wanted) {
  const HostHandle found = FindObjectByName(wanted);
  FUZZ_CHECK(found == expectedFind(wanted));
  if (found != nullptr) FUZZ_CHECK(ObjectName(found) == wanted);
}

}  // namespace
}  // namespace rillmark

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rillmark;
  fuzz::FuzzSession& s = fuzz::fuzzSession();
  s.reset();
  FuzzedDataProvider in(data, size);
  Scene scene;
  buildScene(in, scene);

  // Select Water on the current selection, with its Refresh.
  const std::map<HostHandle, std::string> renamed = uniqueNames();
  const HostHandle selection = host::tsxGetCurrentSelection();
  s.commands.btnselectClick();
  if (selection == nullptr) {
    FUZZ_CHECK(s.platform.messages == std::vector<std::string>{kNoSelectionMessage});
    s.commands.btnrefreshClick();
  } else {
    FUZZ_CHECK(s.state.WaterObject == selection);
  }
  for (HostHandle node : scene.nodes) {
    if (refhost::isLive(node) && renamed.count(node)) FUZZ_CHECK(refhost::name(node) == renamed.at(node));
  }
  checkRefresh(s.effectors, s.state.WaterObject);

  // Finding: names the scene holds, and one it may not.
  for (int i = in.ConsumeIntegralInRange(0, 6); i > 0; --i) {
    const HostHandle node = scene.pick(in);
    if (refhost::isLive(node)) checkFind(readableName(node));
  }
  checkFind(makeName(in));

  // Select by Name never clears a mark and marks every item it matches.
  const std::string prefix = makeName(in);
  s.platform.answers = {prefix};
  std::vector<bool> before;
  for (const auto& item : s.effectors.items()) before.push_back(item.checked);
  s.commands.btnselbynameClick();
  for (int i = 0; i < s.effectors.count(); ++i) {
    const bool matches = startsWithIgnoringAsciiCase(s.effectors.item(i).text, prefix);
    FUZZ_CHECK(s.effectors.item(i).checked == (before[static_cast<std::size_t>(i)] || matches));
  }

  // The scene changes under the list, and the commands that read it go on.
  buildScene(in, scene);
  s.view.currentItem = in.ConsumeIntegralInRange(-1, s.effectors.count());
  s.commands.listeffectorsClick();
  if (in.ConsumeBool()) s.commands.btneffectorClick();
  if (in.ConsumeBool()) s.commands.btnshowClick();
  if (in.ConsumeBool()) s.commands.SpeedButton1Click();
  const WaterPlacement water = readWaterPlacement(s.state.WaterObject);
  int checked = 0;
  for (const auto& item : s.effectors.items()) checked += item.checked ? 1 : 0;
  DetectEvents(s.ctx, water, in.ConsumeBool());
  FUZZ_CHECK(s.state.Events.EventCount() <= checked);
  for (const RippleEvent& event : s.state.Events.valid()) FUZZ_CHECK(event.frame == s.state.Counters.CurrentFrame);

  // A host below the level of the scene functions shows the plug-in no scene.
  hostApiLevel() = in.PickValueInArray({0, 300, 310, 320, 410});
  s.commands.btnrefreshClick();
  FindObjectByName(makeName(in));
  // Everything the input made is released again, so that libFuzzer's leak
  // check sees the input's allocations balanced.
  s.reset();
  return 0;
}
