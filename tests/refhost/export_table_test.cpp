#include "hostapi/host_api.h"
#include "refhost_fixture.h"

namespace {

using ExportTable = RefhostTest;

TEST_F(ExportTable, EveryHostFunctionIsFoundByItsExactName) {
  for (const rillmark::HostFunctionInfo& f : rillmark::kHostFunctions) {
    EXPECT_NE(refhost::lookupExport(f.name), nullptr) << f.name;
  }
  EXPECT_EQ(refhost::lookupExport("tsxisgnode"), nullptr);
  EXPECT_EQ(refhost::lookupExport("tsxIsGNode "), nullptr);
  // The names that only bound a family are exported too, so that a binding
  // finds every family complete; an unknown name is not.
  EXPECT_NE(refhost::lookupExport("tsxAViewGetHwnd"), nullptr);
  EXPECT_NE(refhost::lookupExport("tsxGNodeSetLookAt"), nullptr);
  EXPECT_EQ(refhost::lookupExport("tsxNoSuchFunction"), nullptr);
  EXPECT_EQ(refhost::lookupExport(""), nullptr);
}

TEST_F(ExportTable, HiddenNamesAreNotFoundAndNotBound) {
  refhost::hideExport("tsxSobjAddAttribute");
  EXPECT_EQ(refhost::lookupExport("tsxSobjAddAttribute"), nullptr);
  EXPECT_NE(refhost::lookupExport("tsxIsSobj"), nullptr);

  rillmark::HostApi api;
  refhost::bindInto(api);
  EXPECT_EQ(api.tsxSobjAddAttribute, nullptr);
  for (int i = 0; i < rillmark::kHostFunctionCount; ++i) {
    const bool hidden = std::string_view(rillmark::kHostFunctions[i].name) == "tsxSobjAddAttribute";
    EXPECT_EQ(*rillmark::hostApiSlot(api, i) == nullptr, hidden) << rillmark::kHostFunctions[i].name;
  }

  refhost::unhideExport("tsxSobjAddAttribute");
  EXPECT_NE(refhost::lookupExport("tsxSobjAddAttribute"), nullptr);
  refhost::hideExport("tsxIsSobj");
  refhost::reset();
  EXPECT_NE(refhost::lookupExport("tsxIsSobj"), nullptr);
}

TEST_F(ExportTable, LookedUpAddressesAreTheHostFunctions) {
  using IsGNode = int (*)(HostHandle);
  const auto isGNode = reinterpret_cast<IsGNode>(refhost::lookupExport("tsxIsGNode"));
  const HostHandle h = refhost::addObject("A", 3);
  EXPECT_EQ(isGNode(h), 1);
}

}  // namespace
