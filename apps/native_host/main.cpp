// rillmark_native_host: a Linux host program that meets libRillmark.so as
// the Win32 test host meets Rillmark.tsx, so the binding, the exports and
// the exception boundary run under the sanitizers. First without the host
// library loaded (the plug-in must report that it cannot bind), then with
// the reference host libtsxapi.so loaded by path: description, clicks, an
// old host's version message, unload.
//
//   rillmark_native_host PATH/libtsxapi.so PATH/libRillmark.so
//
// Messages the plug-in shows go to standard error on this platform; the
// program captures that stream around each call to read them back.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

// Runs call with standard error sent to a file and gives back what was
// written there.
std::string captureStderr(const std::function<void()>& call) {
  char path[] = "/tmp/rillmark-native-host-XXXXXX";
  const int file = mkstemp(path);
  if (file < 0) return "(no capture file)";
  std::fflush(stderr);
  const int saved = dup(2);
  dup2(file, 2);
  call();
  std::fflush(stderr);
  dup2(saved, 2);
  close(saved);
  close(file);
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::remove(path);
  return text.str();
}

template <class T>
T symbol(void* library, const char* name) {
  return reinterpret_cast<T>(dlsym(library, name));
}

using GetDataFn = int (*)(void*, int);
using ClickFn = int (*)();
using VoidFn = void (*)();

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s libtsxapi.so libRillmark.so\n", argv[0]);
    return 2;
  }
  void* plugin = dlopen(argv[2], RTLD_NOW | RTLD_LOCAL);
  check(plugin != nullptr, std::string("the plug-in loads: ") + (plugin ? "" : dlerror()));
  if (!plugin) return 1;
  auto tsxGetData = symbol<GetDataFn>(plugin, "tsxGetData");
  auto tsxOnLeftClick = symbol<ClickFn>(plugin, "tsxOnLeftClick");
  auto tsxOnRightClick = symbol<VoidFn>(plugin, "tsxOnRightClick");
  auto tsxDeactivate = symbol<VoidFn>(plugin, "tsxDeactivate");
  check(tsxGetData && tsxOnLeftClick && tsxOnRightClick && tsxDeactivate, "the four exports resolve");
  if (!(tsxGetData && tsxOnLeftClick && tsxOnRightClick && tsxDeactivate)) return 1;

  unsigned char record[100];
  std::memset(record, 0xCC, sizeof record);
  int result = 0;
  std::string shown = captureStderr([&] { result = tsxGetData(record, 1); });
  check(result == -1, "without the host library tsxGetData answers -1");
  const std::string lead =
      "Unhandled exception in \"\" tSX plugin.\r\nThe exception is classified as: \r\n\r\n"
      "Exception : Error 126 initializing tsx API in Plugin: ";
  check(shown.compare(0, lead.size(), lead) == 0 && shown.find("libtsxapi.so") != std::string::npos,
        "the load failure message names no plug-in and the loader's reason: " + shown);
  check(record[0] == 0xCC && record[32] == 0xCC, "the description is not written");

  // Loaded by path here, the plug-in's load by bare name finds it.
  void* api = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  check(api != nullptr, "the reference host loads");
  if (!api) return 1;
  auto reset = symbol<void (*)()>(api, "refhost_reset");
  auto setVersion = symbol<void (*)(int, int)>(api, "refhost_set_version");
  auto setMainView = symbol<void (*)(void*)>(api, "refhost_set_main_view");
  auto callCount = symbol<long long (*)(const char*)>(api, "refhost_call_count");
  check(reset && setVersion && setMainView && callCount, "the reference host's controls resolve");
  if (!(reset && setVersion && setMainView && callCount)) return 1;
  reset();
  static int mainView;
  setMainView(&mainView);

  shown = captureStderr([&] { result = tsxGetData(record, 42); });
  check(result == 0 && shown.empty(), "tsxGetData answers 0 and shows nothing");
  check(std::strcmp(reinterpret_cast<char*>(record), "Rillmark") == 0 && record[9] == 0xCC, "the plug-in's name");
  check(std::strcmp(reinterpret_cast<char*>(record + 32), "Rillmark developers") == 0 && record[52] == 0xCC,
        "the author text");
  check(record[96] == 2 && record[97] == 0 && record[98] == 2 && record[99] == 0, "Code1 and Code2 are 2");

  shown = captureStderr([&] {
    check(tsxOnLeftClick() == 0, "first left click answers 0");
    check(tsxOnLeftClick() == 0, "second left click answers 0");
    tsxOnRightClick();
    tsxDeactivate();
  });
  check(shown.empty(), "the clicks show no message");
  check(callCount("tsxGetMainViewHwnd") == 1, "the panel is built once, owned by the main view");

  setVersion(310, 0);
  shown = captureStderr([&] { result = tsxGetData(record, 1); });
  check(result == -1, "a 3.10 host gets -1");
  check(shown == "This Plugin requires trueSpace version  3.20, but version  3.10 is installed.\n",
        "the version message, word for word: " + shown);

  // The unload destroys the panel; the sanitizers see any double or missed
  // destruction. (Whether the host library's references all went back
  // cannot be seen here: a C++ library with unique symbols stays mapped.)
  check(dlclose(plugin) == 0, "the plug-in unloads");
  check(dlclose(api) == 0, "the reference host unloads");

  std::printf("%s\n", failures == 0 ? "all checks passed" : "some checks FAILED");
  return failures == 0 ? 0 : 1;
}
