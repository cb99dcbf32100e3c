// The plug-in against a host that misbehaves: see host_faults.cpp.
#pragma once

namespace rillmark::testhost {

// Exit code 0 when every check passed.
int runHostFaults();

}  // namespace rillmark::testhost
