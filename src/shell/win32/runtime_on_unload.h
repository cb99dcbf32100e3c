// What the statically linked C++ runtime keeps for the life of the process,
// given back when the host unloads Rillmark.tsx: a host may load and unload
// the plug-in many times in one session, and each load makes its own copy.
#pragma once

namespace rillmark::win32 {

// Frees the runtime's emergency pool for exceptions, which every load
// allocates and nothing frees. Called last, from the library's unload (not
// at process exit); no exception may be thrown after it.
void releaseRuntimeMemory();

}  // namespace rillmark::win32
