// The runtime's state that outlives an unload (runtime_on_unload.h).
//
// The threads runtime (winpthreads, which libstdc++ uses for its once-only
// initialisations) gives every thread that calls into it a record holding a
// duplicate of the thread's handle and an event. It frees that record when
// the thread ends, from its TLS callback's thread detach, but not when the
// library is unloaded while the thread lives on: the process would keep two
// handles for every unload. So when the library is unloaded (not when the
// process ends) the callback below, which the linker puts before the
// runtime's own (.CRT$XLE sorts before .CRT$XLF), hands the callbacks still
// to come a thread detach for this thread first: the thread is done with
// this library for good. (What the runtime still keeps, 244 bytes per
// unload for the same record and three mutexes, lies beyond reach: its
// process detach frees nothing.)
#include "shell/win32/runtime_on_unload.h"

#include <windows.h>

namespace {

void NTAPI finishThreadStateOnUnload(PVOID module, DWORD reason, PVOID reserved) {
  if (reason != DLL_PROCESS_DETACH || reserved != nullptr) return;
  auto* base = static_cast<unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
  if (directory.VirtualAddress == 0) return;
  const auto* tls = reinterpret_cast<const IMAGE_TLS_DIRECTORY*>(base + directory.VirtualAddress);
  bool after = false;
  for (auto* callback = reinterpret_cast<PIMAGE_TLS_CALLBACK*>(tls->AddressOfCallBacks); *callback != nullptr;
       ++callback) {
    if (*callback == &finishThreadStateOnUnload) {
      after = true;
    } else if (after) {
      (*callback)(module, DLL_THREAD_DETACH, nullptr);
    }
  }
}

}  // namespace

namespace __gnu_cxx {
// libstdc++'s own release of its emergency exception pool (made for memory
// checkers); it has no public header.
void __freeres();
}  // namespace __gnu_cxx

namespace rillmark::win32 {

void releaseRuntimeMemory() { __gnu_cxx::__freeres(); }

}  // namespace rillmark::win32

// The loader finds the callback through the TLS directory, never by name.
extern "C" __attribute__((section(".CRT$XLE"),
                          used)) const PIMAGE_TLS_CALLBACK rillmarkThreadStateOnUnload = finishThreadStateOnUnload;
