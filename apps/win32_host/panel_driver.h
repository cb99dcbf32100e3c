// What the Win32 test host's panel sessions share: the reference host's
// controls resolved by name, the plug-in's windows found by the names of
// their controls, and the user's mouse and keyboard, either as real input
// (SendInput, which needs the panel in the foreground) or as messages sent
// straight to a window.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace rillmark::testhost {

using Handle = void*;

// The refhost_* controls and the few host functions a session calls
// itself, as the host's own code would.
struct ReferenceHost {
  void(__cdecl* reset)();
  void(__cdecl* setVersion)(int, int);
  void(__cdecl* setMainView)(void*);
  Handle(__cdecl* addGrid)(const char*, int, int, float, float, float, Handle);
  void(__cdecl* select)(Handle);
  Handle(__cdecl* selection)();
  int(__cdecl* setName)(Handle, const char*);
  int(__cdecl* getName)(Handle, char*, int);
  int(__cdecl* addLocationKey)(Handle, float, float, float, float);
  Handle(__cdecl* findTopNode)(const char*);
  int(__cdecl* isLive)(Handle);
  int(__cdecl* vertexKeyFrames)(Handle, int*, int);
  int(__cdecl* getVertexKey)(Handle, int, float*, int);
  int(__cdecl* getVertices)(Handle, float*, int);
  void(__cdecl* setRecording)(int);
  long long(__cdecl* callCount)(const char*);
  void(__cdecl* faultBox)(Handle, float);
  void(__cdecl* faultCopy)(int);
  void(__cdecl* clearFaults)();
  Handle(__cdecl* createSphere)(int, int, float);
  void(__cdecl* sceneAddObject)(Handle, int);
  void(__cdecl* sobjDelete)(Handle);

  bool bind(HMODULE api);
  std::string nameOf(Handle node) const;
};

struct Plugin;

// tsxapi.dll loaded and host bound to it: a fresh scene at version 430
// with `view` as the host's main view. Null (and a failed check) when the
// library or its controls are missing.
HMODULE startReferenceHost(ReferenceHost& host, HWND view);

// Loads the plug-in, asks for its description and left-clicks its icon,
// as the host does: the panel's window, or null after a failed check.
HWND openPluginPanel(Plugin& plugin, HWND view, const std::string& path = "Rillmark.tsx");

// The windows below `root` (the panel, or one control) by the name of
// their control.
std::map<std::string, HWND> controlWindows(HWND root);

// A window's text; from another thread too, where a panel that stopped
// answering must not stop the test: it then reads as empty.
std::string windowText(HWND window);

// The frame number of a status text "Frame:<n>  Events:<m>", or -1.
int frameOf(const std::string& status);

POINT centreOf(HWND window);
POINT toScreen(HWND window, POINT client);

// Real input, as the user's hardware gives it.
void sendMouse(DWORD flags, POINT screen);  // flags without MOUSEEVENTF_ABSOLUTE
void clickAt(POINT screen);
void moveTo(POINT screen);
void sendKey(WORD key, bool up);
void pressKey(WORD key);
// Characters typed as such (KEYEVENTF_UNICODE), whatever the keyboard layout.
void typeText(const std::wstring& text);

// Messages sent to one window, which need no foreground: a button press,
// and a value typed into an edit box and taken with Enter.
void pressButton(HWND button);
void typeInto(HWND edit, const std::string& text);

// The About window the main view owns, or null.
HWND findAbout(HWND owner);

}  // namespace rillmark::testhost
