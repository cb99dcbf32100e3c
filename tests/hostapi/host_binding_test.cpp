#include "hostapi/host_binding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "hostapi/host_api.h"
#include "hostapi/host_api_entries.h"
#include "platform/headless/headless_platform.h"
#include "refhost/refhost.h"
#include "support/reference_host_loader.h"

namespace rillmark {
namespace {

using testing::ReferenceHostLoader;

class HostBinding : public ::testing::Test {
 protected:
  HostBinding() { forget(); }
  ~HostBinding() override {
    ReleaseHostApi(loader);
    forget();
  }
  static void forget() {
    refhost::reset();
    hostApi() = HostApi{};
    hostApiAddresses().fill(nullptr);
    hostApiLevel() = 0;
  }
  // Index of a named entry in the full table.
  static int entryOf(const char* name) {
    const auto entries = hostApiEntries();
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].name && std::strcmp(entries[i].name, name) == 0) return static_cast<int>(i);
    return -1;
  }
  ReferenceHostLoader loader;
};

TEST(HostApiEntries, SixFamiliesOf834EntriesInLookupOrder) {
  const auto entries = hostApiEntries();
  ASSERT_EQ(entries.size(), 834u);
  const struct {
    int level, count;
    const char *first, *last;
  } families[] = {{300, 214, "tsxGetTsVersionNbrs", "tsxAViewGetHwnd"},
                  {310, 72, "tsxIsSobj", "tsxAnimGetPlayMode"},
                  {320, 25, "tsxSobjAddChild", "tsxFILEwrite"},
                  {410, 482, "tsxAddToVec3f", "tsxRegisterExternalShader"},
                  {420, 34, "tsxRegisterEventCallback", "tsxLightSetSkyType"},
                  {430, 7, "tsxGNodeSetDrawingMode", "tsxGNodeSetLookAt"}};
  const auto table = hostApiFamilies();
  ASSERT_EQ(table.size(), 6u);
  int next = 0;
  for (std::size_t f = 0; f < 6; ++f) {
    EXPECT_EQ(table[f].level, families[f].level);
    EXPECT_EQ(table[f].count, families[f].count);
    EXPECT_EQ(table[f].firstEntry, next);
    EXPECT_STREQ(entries[static_cast<std::size_t>(next)].name, families[f].first);
    next += families[f].count;
    EXPECT_STREQ(entries[static_cast<std::size_t>(next - 1)].name, families[f].last);
  }
  // Every called function sits in its own family, exactly once.
  for (const HostFunctionInfo& f : kHostFunctions) {
    int found = 0;
    for (const HostApiEntry& e : entries) {
      if (e.name && std::strcmp(e.name, f.name) == 0) {
        ++found;
        EXPECT_EQ(e.family, f.family) << f.name;
      }
    }
    EXPECT_EQ(found, 1) << f.name;
  }
}

TEST_F(HostBinding, VersionDecidesHowFarTheLookupGoes) {
  const struct {
    short version;
    std::uint16_t level;
  } cases[] = {{430, 430}, {500, 430}, {420, 420}, {410, 410}, {409, 320}, {320, 320}, {315, 310}, {310, 310},
               {299, 300}, {-5, 300}};
  for (const auto& c : cases) {
    forget();
    refhost::setVersion(c.version, 0);
    EXPECT_EQ(BindHostApi(loader), c.level) << c.version;
    EXPECT_EQ(hostApiLevel(), c.level);
  }
}

TEST_F(HostBinding, ReservedEntriesAreNeverLookedUp) {
  EXPECT_EQ(BindHostApi(loader), 430);
  int named = 0;
  for (const HostApiEntry& e : hostApiEntries()) named += e.name != nullptr;
  EXPECT_EQ(loader.lookups, named);
  for (std::size_t i = 0; i < hostApiEntries().size(); ++i)
    EXPECT_EQ(hostApiAddresses()[i] != nullptr, hostApiEntries()[i].name != nullptr) << i;
  EXPECT_EQ(hostApi().tssNoise3, refhost::lookupExport("tssNoise3"));
}

TEST_F(HostBinding, AMissingNameEndsItsFamilyKeepingWhatWasFound) {
  refhost::setVersion(320, 0);
  refhost::hideExport("tsxFILEwrite");  // the last name of family 320
  EXPECT_EQ(BindHostApi(loader), 310);
  EXPECT_NE(hostApiAddresses()[static_cast<std::size_t>(entryOf("tsxSobjAddChild"))], nullptr);
  EXPECT_EQ(hostApiAddresses()[static_cast<std::size_t>(entryOf("tsxFILEwrite"))], nullptr);
  EXPECT_TRUE(loader.messages.empty());

  // A gap in the middle of family 310: earlier names bound, later ones null.
  forget();
  refhost::hideExport("tsxPolyhMarkVertexChange");
  EXPECT_EQ(BindHostApi(loader), 300);
  EXPECT_NE(hostApi().tsxGNodeGetSize, nullptr);
  EXPECT_EQ(hostApi().tsxAnimSetPlayMode, nullptr);
  EXPECT_EQ(hostApi().tssNoise3, nullptr);
}

TEST_F(HostBinding, AnIncompleteFirstFamilyGivesLevelZeroAndKeepsTheReference) {
  refhost::hideExport("tsxAViewGetHwnd");
  EXPECT_EQ(BindHostApi(loader), 0);
  EXPECT_TRUE(loader.messages.empty());
  EXPECT_EQ(loader.references, 1);
  EXPECT_TRUE(hostLibraryHeld());
  EXPECT_EQ(refhost::callCount("tsxGetTsVersionNbrs"), 0);
  ReleaseHostApi(loader);
  EXPECT_EQ(loader.references, 0);
  EXPECT_FALSE(hostLibraryHeld());
}

TEST_F(HostBinding, ASecondBindReleasesTheFirstReference) {
  BindHostApi(loader);
  BindHostApi(loader);
  EXPECT_EQ(loader.references, 1);
  ReleaseHostApi(loader);
  ReleaseHostApi(loader);
  EXPECT_EQ(loader.references, 0);
}

TEST_F(HostBinding, AReleasedBindingCallsNothing) {
  BindHostApi(loader);
  ReleaseHostApi(loader);
  EXPECT_NE(hostApi().tsxSceneDraw, nullptr);  // the entry keeps its address
  EXPECT_EQ(hostApiLevel(), 0);
}

TEST_F(HostBinding, ALibraryThatWillNotLoadRaisesTheLoaderMessage) {
  loader.failLoad = true;
  try {
    BindHostApi(loader);
    ADD_FAILURE() << "no error";
  } catch (const EtsxFunctionNotFound&) {
    ADD_FAILURE() << "wrong class";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "Error 126 initializing tsx API in Plugin: The specified module could not be found");
    EXPECT_STREQ(error.className(), "Exception");
  }
  EXPECT_FALSE(hostLibraryHeld());
  EXPECT_EQ(hostLibraryLoadMessage(5, std::string(300, 'a') + "."), "Error 5 initializing tsx API in Plugin: " +
                                                                        std::string(255, 'a'));
  EXPECT_EQ(hostLibraryLoadMessage(2, "Not found. . \t\r\n"), "Error 2 initializing tsx API in Plugin: Not found");
}

TEST_F(HostBinding, AMissingNameIsReportedWithItsOwnMessage) {
  try {
    ResolveHostFunction(loader, &loader.library, "tsxNoSuchFunction");
    ADD_FAILURE();
  } catch (const EtsxFunctionNotFound& error) {
    EXPECT_STREQ(error.what(), "A necessary API function(tsxNoSuchFunction)\r\ncould not be found in tsxapi.dll");
    EXPECT_STREQ(error.className(), "EtsxFunctionNotFound");
  }
}

}  // namespace
}  // namespace rillmark
