#include "panel_driver.h"

#include <cstdlib>

#include "host_harness.h"

namespace rillmark::testhost {

namespace {

BOOL CALLBACK collectNamed(HWND window, LPARAM lParam) {
  if (const auto* name = static_cast<const char*>(GetPropA(window, "Rillmark.Name")))
    (*reinterpret_cast<std::map<std::string, HWND>*>(lParam))[name] = window;
  return TRUE;
}

}  // namespace

void sendMouse(DWORD flags, POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>(screen.x * 65535.0 / (GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
  input.mi.dy = static_cast<LONG>(screen.y * 65535.0 / (GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

bool ReferenceHost::bind(HMODULE api) {
  reset = proc<decltype(reset)>(api, "refhost_reset");
  setVersion = proc<decltype(setVersion)>(api, "refhost_set_version");
  setMainView = proc<decltype(setMainView)>(api, "refhost_set_main_view");
  addGrid = proc<decltype(addGrid)>(api, "refhost_add_grid");
  select = proc<decltype(select)>(api, "refhost_select");
  selection = proc<decltype(selection)>(api, "refhost_selection");
  setName = proc<decltype(setName)>(api, "refhost_set_name");
  getName = proc<decltype(getName)>(api, "refhost_get_name");
  addLocationKey = proc<decltype(addLocationKey)>(api, "refhost_add_location_key");
  findTopNode = proc<decltype(findTopNode)>(api, "refhost_find_top_node");
  isLive = proc<decltype(isLive)>(api, "refhost_is_live");
  vertexKeyFrames = proc<decltype(vertexKeyFrames)>(api, "refhost_vertex_key_frames");
  getVertexKey = proc<decltype(getVertexKey)>(api, "refhost_get_vertex_key");
  getVertices = proc<decltype(getVertices)>(api, "refhost_get_vertices");
  setRecording = proc<decltype(setRecording)>(api, "refhost_set_recording");
  callCount = proc<decltype(callCount)>(api, "refhost_call_count");
  faultBox = proc<decltype(faultBox)>(api, "refhost_fault_box");
  faultCopy = proc<decltype(faultCopy)>(api, "refhost_fault_copy");
  clearFaults = proc<decltype(clearFaults)>(api, "refhost_clear_faults");
  createSphere = proc<decltype(createSphere)>(api, "tsxCreateSphere");
  sceneAddObject = proc<decltype(sceneAddObject)>(api, "tsxSceneAddObject");
  sobjDelete = proc<decltype(sobjDelete)>(api, "tsxSobjDelete");
  return reset && setVersion && setMainView && addGrid && select && selection && setName && getName &&
         addLocationKey && findTopNode && isLive && vertexKeyFrames && getVertexKey && getVertices && setRecording &&
         callCount && faultBox && faultCopy && clearFaults && createSphere && sceneAddObject && sobjDelete;
}

std::string ReferenceHost::nameOf(Handle node) const {
  char buffer[256] = {};
  getName(node, buffer, sizeof buffer);
  return buffer;
}

HMODULE startReferenceHost(ReferenceHost& host, HWND view) {
  HMODULE api = LoadLibraryA("tsxapi.dll");
  const bool bound = api != nullptr && host.bind(api);
  check(bound, "tsxapi.dll loads with its controls");
  if (!bound) return nullptr;
  host.reset();
  host.setMainView(view);
  host.setVersion(430, 0);
  return api;
}

HWND openPluginPanel(Plugin& plugin, HWND view, const std::string& path) {
  check(plugin.load(path.c_str()), "Rillmark.tsx loads from " + path);
  if (!plugin.module) return nullptr;
  unsigned char record[100] = {};
  check(plugin.tsxGetData(record, 1) == 0, "tsxGetData answers 0");
  check(plugin.tsxOnLeftClick() == 0, "the left click opens the panel");
  pump(300);
  const auto owned = ownedWindows(view);
  check(owned.size() == 1, "one panel window");
  return owned.size() == 1 ? owned[0] : nullptr;
}

std::map<std::string, HWND> controlWindows(HWND root) {
  std::map<std::string, HWND> found;
  EnumChildWindows(root, collectNamed, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string windowText(HWND window) {
  char buffer[256] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                      &copied);
  return buffer;
}

int frameOf(const std::string& status) {
  if (status.rfind("Frame:", 0) != 0) return -1;
  return std::atoi(status.c_str() + 6);
}

POINT centreOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT toScreen(HWND window, POINT client) {
  ClientToScreen(window, &client);
  return client;
}

void clickAt(POINT screen) {
  sendMouse(MOUSEEVENTF_MOVE, screen);
  pump(60);
  sendMouse(MOUSEEVENTF_LEFTDOWN, screen);
  pump(60);
  sendMouse(MOUSEEVENTF_LEFTUP, screen);
  pump(250);
}

void moveTo(POINT screen) {
  sendMouse(MOUSEEVENTF_MOVE, screen);
  pump(100);
}

void sendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

void pressKey(WORD key) {
  sendKey(key, false);
  sendKey(key, true);
  pump(80);
}

void typeText(const std::wstring& text) {
  for (wchar_t c : text) {
    INPUT input[2]{};
    for (int i = 0; i < 2; ++i) {
      input[i].type = INPUT_KEYBOARD;
      input[i].ki.wScan = c;
      input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, input, sizeof input[0]);
    Sleep(4);
  }
}

void pressButton(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

void typeInto(HWND edit, const std::string& text) {
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(edit, WM_CHAR, '\r', 0);
}

HWND findAbout(HWND owner) {
  for (HWND window : ownedWindows(owner)) {
    char caption[64] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (std::string(caption) == "Rillmark Online Help") return window;
  }
  return nullptr;
}

}  // namespace rillmark::testhost
