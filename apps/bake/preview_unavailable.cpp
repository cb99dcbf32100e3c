// The Win32 build has no GIF library (Debian ships none for MinGW), so its
// bake program writes no preview; --preview is refused as a usage error.
#include "bake_error.h"
#include "preview.h"

namespace bake {

bool previewAvailable() { return false; }

std::unique_ptr<FrameWriter> makePreviewWriter(const std::string&) {
  throw UsageError("--preview: this build of rillmark-bake cannot write GIF files");
}

}  // namespace bake
