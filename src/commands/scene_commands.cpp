#include "commands/scene_commands.h"

#include "hostapi/host_calls.h"
#include "scene/effector_prefix.h"
#include "scene/scene_helpers.h"
#include "scene/sphere_shaping.h"

namespace rillmark {

namespace {

constexpr float kEffectorRadius = 0.4f;
constexpr float kWindSourceRadius = 0.6f;
constexpr int kVisibilityKey = 24;

// Shows or hides the object and keys its visibility at frame 0.
void keyVisibility(HostHandle object, bool visible) {
  host::tsxAnimSetActiveFrame(object, 0);
  if (visible) {
    host::tsxMNodeSetVisible(object);
  } else {
    host::tsxMNodeSetInvisible(object);
  }
  host::tsxSobjSetFrame(object, kVisibilityKey);
}

}  // namespace

void SceneCommands::btnselectClick() {
  // Replacing the water in the middle of a run would pull it from under the
  // frame being written.
  if (state_.RunInProgress) return;
  // A host may still name a selection it has deleted.
  HostHandle selection = host::tsxGetCurrentSelection();
  if (selection == nullptr || !host::tsxIsSobj(selection)) {
    platform_.showMessage(kNoSelectionMessage);
    return;
  }
  state_.WaterObject = selection;
  view_.setSelectCaption(ObjectName(state_.WaterObject) + " selected");
  view_.enableStartAndEffectors();
  btnrefreshClick();
  HostHandle previous = state_.WaterSnapshot;
  state_.WaterSnapshot = copyObject(state_.WaterObject);
  releaseCopy(previous);
}

void SceneCommands::btnrefreshClick() {
  // Renaming objects mid-run would make checked effectors vanish from it.
  if (state_.RunInProgress) return;
  MakeNamesUnique();
  effectors_.clear();
  ListPolyhedra(host::tsxSceneGetFirstNode(), effectors_);
  const std::string waterName = ObjectName(state_.WaterObject);
  effectors_.removeFirst(waterName);
  AutoCheckEffectors();
}

void SceneCommands::btnselbynameClick() {
  const std::string text =
      platform_.inputBox("Select by name", "All the objects starting with this text will be selected", "Effector");
  for (int i = 0; i < effectors_.count(); ++i) {
    if (startsWithIgnoringAsciiCase(effectors_.item(i).text, text)) effectors_.setChecked(i, true);
  }
}

void SceneCommands::listeffectorsClick() { pickCurrentItem(); }

// The key itself does not matter: every character key picks the current item.
void SceneCommands::listeffectorsKeyPress(char) { pickCurrentItem(); }

void SceneCommands::pickCurrentItem() {
  const int current = view_.currentEffectorItem();
  if (current < 0 || current >= effectors_.count()) return;
  HostHandle object = FindObjectByName(effectors_.item(current).text);
  if (object == nullptr) return;
  host::tsxSelectSobj(object, 0, 0);
}

void SceneCommands::btneffectorClick() {
  HostHandle sphere = host::tsxCreateSphere(kSphereLongitude, kSphereLatitude, kEffectorRadius);
  host::tsxSceneAddObject(sphere, 1);
  // Both end rings move 0.125 towards the equator: the sphere comes to a
  // point at each pole.
  moveSphereRing(sphere, 2, +1, -0.125f);
  moveSphereRing(sphere, 50, +1, +0.125f);
  applyDrawingModeFor430(sphere);
  CountEffectorItems();
  const std::string name = "Effector-" + std::to_string(EffectorCount);
  host::tsxGNodeSetName(sphere, name.c_str());
  host::tsxSceneDraw();
  effectors_.add(name);
  AutoCheckEffectors();
}

void SceneCommands::btnshowClick() { setEffectorsVisible(true); }
void SceneCommands::btnhideClick() { setEffectorsVisible(false); }

void SceneCommands::setEffectorsVisible(bool visible) {
  host::tsxAnimSetPlayMode(0);
  for (int i = 0; i < effectors_.count(); ++i) {
    if (!effectors_.item(i).checked) continue;
    HostHandle object = FindObjectByName(effectors_.item(i).text);
    if (object == nullptr) continue;
    keyVisibility(object, visible);
  }
  host::tsxSceneDraw();
}

void SceneCommands::AutoCheckEffectors() {
  for (int i = 0; i < effectors_.count(); ++i) {
    if (hasEffectorPrefix(effectors_.item(i).text)) effectors_.setChecked(i, true);
  }
}

void SceneCommands::CountEffectorItems() {
  EffectorCount = 0;
  for (const EffectorList::Item& item : effectors_.items()) {
    if (hasEffectorPrefix(item.text)) ++EffectorCount;
  }
}

void SceneCommands::SpeedButton1Click() {
  // Hosts before 4.1 have no noise functions: a wind source would never
  // move the water, so none is made.
  if (!host::familyBound(410)) {
    platform_.showMessage(kWindNeedsNoiseMessage);
    return;
  }
  params_.wind.setChecked(true);
  state_.WindSourceObject = FindObjectByName(kWindSourceName);
  if (ObjectName(state_.WindSourceObject) == kWindSourceName) return;

  HostHandle sphere = host::tsxCreateSphere(kSphereLongitude, kSphereLatitude, kWindSourceRadius);
  state_.WindSourceObject = sphere;
  host::tsxSceneAddObject(sphere, 1);
  // A flat brim with a cone above and below it.
  moveSphereRing(sphere, 2, +1, -0.5f);
  moveSphereRing(sphere, 14, +1, -0.3f);
  moveSphereRing(sphere, 50, +1, +0.5f);
  moveSphereRing(sphere, 49, -1, +0.3f);
  applyDrawingModeFor430(sphere);
  host::tsxGNodeSetName(sphere, kWindSourceName);
  host::tsxSceneDraw();
}

void SceneCommands::btnshowwindClick() { setWindSourceVisible(true); }
void SceneCommands::btnhidewindClick() { setWindSourceVisible(false); }

// Unlike the effectors' Show and Hide, this leaves the play mode alone. A
// source the host has deleted is left alone too.
void SceneCommands::setWindSourceVisible(bool visible) {
  if (state_.WindSourceObject != nullptr && host::tsxIsSobj(state_.WindSourceObject))
    keyVisibility(state_.WindSourceObject, visible);
  host::tsxSceneDraw();
}

}  // namespace rillmark
