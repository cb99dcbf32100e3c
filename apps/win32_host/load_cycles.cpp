// rillmark_win32_host --cycles N: the plug-in loaded, used and unloaded N
// times in one process, as a host does when the user switches plug-ins on
// and off. Each cycle: load, tsxGetData, a left click, Select Water, a
// short run, the About window, closing both windows, unload. After cycle 2
// and after the last one the program counts what the process holds; the
// two counts must agree within the margins below, and nothing of the
// plug-in (its module, its window classes, the atoms of its window
// properties, a GDI object it made) may outlive its unload.
//
// Wine answers GetGuiResources, GetProcessHandleCount and the private
// usage of GetProcessMemoryInfo with 0, so beside those the program counts
// for itself: kernel handles by probing handle values, private memory as
// the committed private pages VirtualQuery reports and as the bytes in use
// on the process's heaps, and the plug-in's own GDI objects through its
// imports of the GDI functions that make and delete them.
#include "load_cycles.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "dialog_watcher.h"
#include "host_harness.h"
#include "panel_driver.h"
#include "plugin_gdi_objects.h"

namespace rillmark::testhost {

namespace {

// What may differ between cycle 2 and the last: the heaps may hold a few
// pages more after many rounds of allocation (fragmentation), and the
// threads runtime linked into the plug-in keeps 244 bytes per unload that
// it never frees (its record of the unloading thread and three mutexes;
// see src/shell/win32/runtime_on_unload.cpp for what is given back).
constexpr long long kPrivateBytesMargin = 256 * 1024;
constexpr long long kHeapBytesMargin = 8 * 1024;
constexpr long long kHeapBytesPerCycle = 256;
constexpr long long kHandleMargin = 2;
// Handle values are multiples of 4; a process of this size stays far
// below this one.
constexpr std::uintptr_t kHighestProbedHandle = 0x10000;


using NtQueryObjectFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

// What NtQueryObject tells of a kernel object: its type ("File", "Key",
// "Event", ...; kObjectTypeInformation) or its name (kObjectNameInformation).
constexpr int kObjectNameInformation = 1;
constexpr int kObjectTypeInformation = 2;
std::wstring objectText(HANDLE handle, int what) {
  static const auto query = reinterpret_cast<NtQueryObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
  // Both answers start with a UNICODE_STRING that points into the buffer.
  alignas(8) unsigned char buffer[2048];
  ULONG length = 0;
  if (query == nullptr || query(handle, what, buffer, sizeof buffer, &length) < 0) return L"?";
  const auto* text = reinterpret_cast<const UNICODE_STRING*>(buffer);
  return text->Buffer ? std::wstring(text->Buffer, text->Length / 2) : std::wstring();
}

bool endsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

long long probedHandleCount(Resources& r) {
  long long count = 0;
  DWORD flags = 0;
  for (std::uintptr_t value = 4; value < kHighestProbedHandle; value += 4) {
    const HANDLE handle = reinterpret_cast<HANDLE>(value);
    if (!GetHandleInformation(handle, &flags)) continue;
    ++count;
    const std::wstring type = objectText(handle, kObjectTypeInformation);
    ++r.handleTypes[std::string(type.begin(), type.end())];
    if (type == L"Key" && endsWith(objectText(handle, kObjectNameInformation), L"\\ComDlg32\\LastVisitedMRU"))
      ++r.fileDialogMruKeys;
  }
  return count;
}

long long heapBytesInUse() {
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  long long bytes = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    HeapLock(heaps[i]);
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += static_cast<long long>(entry.cbData);
    HeapUnlock(heaps[i]);
  }
  return bytes;
}

long long committedPrivateBytes() {
  long long bytes = 0;
  MEMORY_BASIC_INFORMATION info{};
  for (auto* at = static_cast<char*>(nullptr); VirtualQuery(at, &info, sizeof info) == sizeof info;
       at = static_cast<char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) bytes += static_cast<long long>(info.RegionSize);
    if (info.RegionSize == 0) break;
  }
  return bytes;
}

BOOL CALLBACK countChild(HWND, LPARAM lParam) {
  ++*reinterpret_cast<long long*>(lParam);
  return TRUE;
}

BOOL CALLBACK countOwnTopLevel(HWND window, LPARAM lParam) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  auto* count = reinterpret_cast<long long*>(lParam);
  ++*count;
  EnumChildWindows(window, countChild, lParam);
  return TRUE;
}

long long threadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  long long count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  CloseHandle(snapshot);
  return count;
}

}  // namespace

Resources measure() {
  Resources r;
  EnumWindows(countOwnTopLevel, reinterpret_cast<LPARAM>(&r.windows));
  for (HWND window = nullptr; (window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr;) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) ++r.windows;
  }
  r.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  r.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  DWORD handles = 0;
  r.handles = GetProcessHandleCount(GetCurrentProcess(), &handles) ? handles : -1;
  r.probedHandles = probedHandleCount(r);
  r.threads = threadCount();
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
    r.privateUsage = static_cast<long long>(memory.PrivateUsage);
  r.committedPrivate = committedPrivateBytes();
  r.heapBytes = heapBytesInUse();
  return r;
}

void print(const std::string& when, const Resources& r) {
  std::printf("%s: windows %lld; GDI objects %lld, USER objects %lld (GetGuiResources); handles %lld "
              "(GetProcessHandleCount), %lld (probed); threads %lld; private usage %lld bytes "
              "(GetProcessMemoryInfo), committed private memory %lld bytes (VirtualQuery), %lld bytes in use "
              "on the heaps\n",
              when.c_str(), r.windows, r.gdiObjects, r.userObjects, r.handles, r.probedHandles, r.threads,
              r.privateUsage, r.committedPrivate, r.heapBytes);
  std::fflush(stdout);
}

namespace {

// One cycle; false when the plug-in could not be driven at all.
bool cycle(ReferenceHost& host, HWND view, Handle water, int number) {
  const std::string tag = " (cycle " + std::to_string(number) + ")";
  Plugin plugin;
  if (!plugin.load()) {
    check(false, "Rillmark.tsx loads" + tag);
    return false;
  }
  const HMODULE module = plugin.module;
  countGdiObjectsOf(module);
  unsigned char record[100] = {};
  check(plugin.tsxGetData(record, 1) == 0, "tsxGetData answers 0" + tag);
  check(plugin.tsxOnLeftClick() == 0, "the left click answers 0" + tag);
  pump(20);
  const auto owned = ownedWindows(view);
  if (owned.size() != 1) {
    check(false, "one panel window" + tag);
    FreeLibrary(module);
    return false;
  }
  HWND panel = owned[0];
  auto controls = controlWindows(panel);
  auto control = [&](const std::string& name, HWND within = nullptr) {
    const auto found = within ? controlWindows(within) : controls;
    const auto it = found.find(name);
    return it == found.end() ? nullptr : it->second;
  };
  host.select(water);
  pressButton(control("btnselect"));
  typeInto(control("edit", control("spinend")), "10");
  pressButton(control("btnstart"));
  check(frameOf(windowText(control("Statusbar"))) == 10, "the run reached frame 10" + tag);

  pressButton(control("Button1"));
  HWND about = findAbout(view);
  check(about != nullptr && IsWindowVisible(about), "the About window shows" + tag);
  if (about) SendMessageA(about, WM_CLOSE, 0, 0);
  SendMessageA(panel, WM_CLOSE, 0, 0);
  pump(20);
  check(!IsWindow(panel), "closing the panel destroys it" + tag);

  FreeLibrary(module);
  pump(20);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  check(GetModuleHandleA("Rillmark.tsx") == nullptr, "the plug-in is unloaded" + tag);
  check(!GetClassInfoExA(module, "RillmarkForm", &wc) && !GetClassInfoExA(module, "RillmarkControl", &wc),
        "its window classes are gone" + tag);
  check(ownedWindows(view).empty(), "none of its windows is left" + tag);
  check(pluginGdiObjects() == 0,
        "every GDI object it made is deleted (" + std::to_string(pluginGdiObjects()) + " left)" + tag);
  forgetPluginGdiObjects();
  bool atomsGone = true;
  for (const char* property : {"Rillmark.Peer", "Rillmark.Name", "Rillmark.Proc"})
    atomsGone = atomsGone && GlobalFindAtomA(property) == 0;
  check(atomsGone, "the atoms of its window properties are gone" + tag);
  return true;
}

}  // namespace

int runLoadCycles(int cycles) {
  if (cycles < 2) {
    check(false, "--cycles needs 2 or more: the counts after cycle 2 are the reference");
    return 1;
  }
  DialogWatcher watcher;
  HWND view = createMainView();
  ReferenceHost host{};
  HMODULE api = startReferenceHost(host, view);
  if (api == nullptr) return 1;
  host.setRecording(0);  // the call record would grow with every cycle
  // A host has these loaded for itself; Wine leaves a mutex behind each
  // time the plug-in's imports load and unload them.
  for (const char* dll : {"shell32.dll", "comdlg32.dll", "msimg32.dll"}) LoadLibraryA(dll);
  const Handle water = host.addGrid("Water", 21, 21, 4.0f, 4.0f, 0.0f, nullptr);
  const Handle ball = host.createSphere(12, 6, 0.4f);
  host.sceneAddObject(ball, 1);
  host.setName(ball, "Effector-Ball");
  host.addLocationKey(ball, 0.0f, 0.5f, 0.0f, 1.0f);
  host.addLocationKey(ball, 10.0f, 0.5f, 0.0f, -1.0f);

  Resources second, last;
  const DWORD start = GetTickCount();
  for (int i = 1; i <= cycles; ++i) {
    // Start replaces the water by a copy: select whatever is the water now.
    const Handle current = host.findTopNode("Water");
    if (!cycle(host, view, current != nullptr ? current : water, i)) break;
    if (i == 2) second = measure();
  }
  last = measure();
  const DWORD elapsed = GetTickCount() - start;
  std::printf("%d cycles in %lu ms\n", cycles, static_cast<unsigned long>(elapsed));
  print("after cycle 2", second);
  print("after cycle " + std::to_string(cycles), last);

  check(last.windows == second.windows, "the same number of windows");
  check(last.gdiObjects == second.gdiObjects && last.userObjects == second.userObjects,
        "the same numbers of GDI and USER objects, as far as reported");
  check(last.threads == second.threads, "the same number of threads");
  check(last.handles - second.handles <= kHandleMargin && last.probedHandles - second.probedHandles <= kHandleMargin,
        "handles within " + std::to_string(kHandleMargin) + " of cycle 2 (by type: " +
            (handleTypeChanges(second, last).empty() ? "no change" : handleTypeChanges(second, last)) + ")");
  check(last.privateUsage - second.privateUsage <= kPrivateBytesMargin &&
            last.committedPrivate - second.committedPrivate <= kPrivateBytesMargin,
        "private memory within " + std::to_string(kPrivateBytesMargin / 1024) + " KiB of cycle 2 (" +
            std::to_string((last.committedPrivate - second.committedPrivate) / 1024) + " KiB more committed)");
  const long long heapMargin = kHeapBytesMargin + kHeapBytesPerCycle * (cycles - 2);
  check(last.heapBytes - second.heapBytes <= heapMargin,
        "heap memory in use within " + std::to_string(heapMargin) + " bytes of cycle 2 (" +
            std::to_string(last.heapBytes - second.heapBytes) + " bytes more)");
  checkTexts(watcher.take(), {}, "no message box");
  FreeLibrary(api);
  check(GetModuleHandleA("tsxapi.dll") == nullptr, "every reference the plug-in took on tsxapi.dll was given back");
  DestroyWindow(view);
  return failures == 0 ? 0 : 1;
}

}  // namespace rillmark::testhost
