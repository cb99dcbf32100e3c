#include <dlfcn.h>
#include <gtest/gtest.h>

#include <vector>

#include "hostapi/host_api.h"

namespace {

class SharedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = dlopen(TSXAPI_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    reinterpret_cast<void (*)()>(symbol("refhost_reset"))();
  }
  void TearDown() override {
    if (library_) dlclose(library_);
  }
  void* symbol(const char* name) { return dlsym(library_, name); }
  template <class Fn>
  Fn fn(const char* name) {
    return reinterpret_cast<Fn>(symbol(name));
  }

  void* library_ = nullptr;
};

TEST_F(SharedLibrary, ExportsEveryHostFunctionByName) {
  for (const rillmark::HostFunctionInfo& f : rillmark::kHostFunctions) {
    EXPECT_NE(symbol(f.name), nullptr) << f.name;
  }
  // Internal C++ names stay inside the library.
  EXPECT_EQ(symbol("_ZN7refhost5resetEv"), nullptr);
}

TEST_F(SharedLibrary, ControlsBuildASceneThatTheHostFunctionsSeeAndKeysReadBack) {
  const auto addGrid =
      fn<HostHandle (*)(const char*, int, int, float, float, float, HostHandle)>("refhost_add_grid");
  const auto firstNode = fn<HostHandle (*)()>("tsxSceneGetFirstNode");
  const auto vxArray = fn<HostVec3* (*)(HostHandle)>("tsxPolyhGetVxArray");
  const auto addAttribute = fn<void (*)(HostHandle, int)>("tsxSobjAddAttribute");
  const auto setTime = fn<void (*)(float)>("tsxAnimSetActiveTime");
  const auto setFrame = fn<void (*)(HostHandle, int)>("tsxSobjSetFrame");
  const auto keyFrames = fn<int (*)(HostHandle, int*, int)>("refhost_vertex_key_frames");
  const auto vertexKey = fn<int (*)(HostHandle, int, float*, int)>("refhost_get_vertex_key");
  const auto callCount = fn<long long (*)(const char*)>("refhost_call_count");
  const auto setVersion = fn<void (*)(int, int)>("refhost_set_version");
  const auto version = fn<void (*)(short*, short*)>("tsxGetTsVersionNbrs");

  const HostHandle water = addGrid("Water", 3, 3, 2, 2, 0, nullptr);
  ASSERT_EQ(firstNode(), water);
  addAttribute(water, 23);
  for (int frame = 0; frame < 3; ++frame) {
    setTime(static_cast<float>(frame));
    vxArray(water)[4].z = 0.1f * frame;
    setFrame(water, 23);
  }
  int frames[8] = {};
  ASSERT_EQ(keyFrames(water, frames, 8), 3);
  EXPECT_EQ((std::vector<int>(frames, frames + 3)), (std::vector<int>{0, 1, 2}));
  std::vector<float> xyz(27);
  ASSERT_EQ(vertexKey(water, 2, xyz.data(), 9), 9);
  EXPECT_FLOAT_EQ(xyz[4 * 3 + 2], 0.2f);
  EXPECT_EQ(vertexKey(water, 7, xyz.data(), 9), -1);
  EXPECT_EQ(callCount("tsxSobjSetFrame"), 3);

  setVersion(410, 2);
  short major = 0, minor = 0;
  version(&major, &minor);
  EXPECT_EQ(major, 410);
  EXPECT_EQ(minor, 2);
}

}  // namespace
