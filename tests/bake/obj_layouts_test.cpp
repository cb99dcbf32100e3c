// OBJ files as the exporters of 3D programs lay them out read to the same
// objects as the plain layout where each object's `v` lines follow its `o`
// line: the same vertices, in the same order, and the same faces.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "obj_reader.h"

namespace bake::testing {
namespace {

// Water: a square of two triangles; an effector: one triangle.
constexpr const char* kObjectLayout =
    "o Water\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3\nf 1 3 4\n"
    "o Effector-Box\nv 0.2 0.2 -0.5\nv 0.4 0.2 -0.5\nv 0.4 0.4 0.5\nf 5 6 7\n";

constexpr const char* kSharedBlock =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.2 0.2 -0.5\nv 0.4 0.2 -0.5\nv 0.4 0.4 0.5\n";

std::string withCrLf(std::string text) {
  for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) text.insert(at, "\r");
  return text;
}

struct Layout {
  const char* name;
  std::string text;
};

class ObjLayouts : public ::testing::TestWithParam<Layout> {};

TEST_P(ObjLayouts, ReadToTheSameObjectsAsTheObjectLayout) {
  const ObjFile expected = parseObj(kObjectLayout, "o.obj");
  const ObjFile got = parseObj(GetParam().text, "layout.obj");
  for (const char* name : {"Water", "Effector-Box"}) {
    SCOPED_TRACE(name);
    const ObjObject* want = expected.find(name);
    const ObjObject* have = got.find(name);
    ASSERT_NE(have, nullptr);
    ASSERT_EQ(have->vertices.size(), want->vertices.size());
    for (std::size_t i = 0; i < want->vertices.size(); ++i) {
      EXPECT_EQ(have->vertices[i].x, want->vertices[i].x) << i;
      EXPECT_EQ(have->vertices[i].y, want->vertices[i].y) << i;
      EXPECT_EQ(have->vertices[i].z, want->vertices[i].z) << i;
    }
    EXPECT_EQ(have->faces, want->faces);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Exporters, ObjLayouts,
    ::testing::Values(
        // 3ds Max: every vertex first, then each object as a group.
        Layout{"max", std::string(kSharedBlock) + "g Water\nf 1 2 3\nf 1 3 4\ng Effector-Box\nf 5 6 7\n"},
        // Maya: the vertex block under "g default", texture coordinates,
        // normals, materials and smoothing, corners with v/vt/vn, and a
        // weight and a colour after two vertices.
        Layout{"maya", "mtllib scene.mtl\ng default\nv 0 0 0 1\nv 1 0 0 0.5 0.5 0.5\nv 1 1 0\nv 0 1 0\n"
                       "v 0.2 0.2 -0.5\nv 0.4 0.2 -0.5\nv 0.4 0.4 0.5\nvt 0 0\nvn 0 0 1\ns off\n"
                       "g Water\nusemtl water\nf 1/1/1 2/1/1 3/1/1\nf 1//1 3//1 4//1\n"
                       "g Effector-Box\nusemtl box\nf 5/1 6/1 7/1\n"},
        Layout{"negative indices", "o Water\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf -4 -3 -2\nf -4 -2 -1\n"
                                   "o Effector-Box\nv 0.2 0.2 -0.5\nv 0.4 0.2 -0.5\nv 0.4 0.4 0.5\nf -3 -2 -1\n"},
        Layout{"CRLF", withCrLf(kObjectLayout)},
        // One object in several groups, groups named twice ("g Water
        // surface" is Water), and lines and points that use no new vertex.
        Layout{"several groups", std::string(kSharedBlock) + "g Water surface\nf 1 2 3\ng Effector-Box\nf 5 6 7\n"
                                 "l 5 7\ng Water\nf 1 3 4\np 2\n"},
        // Vertices after the faces that use them, in a block of their own.
        Layout{"vertices last", "o Water\nf 1 2 3\nf 1 3 4\no Effector-Box\nf 5 6 7\no Pool\n" +
                                    std::string(kSharedBlock)}),
    [](const ::testing::TestParamInfo<Layout>& info) {
      std::string name;
      for (const char c : std::string(info.param.name)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST(ObjLayouts, AnObjectWithoutFacesKeepsItsOwnVertices) {
  const ObjFile file = parseObj("o Points\nv 1 2 3\nv 4 5 6\no Water\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 3 4 5\n", "p.obj");
  ASSERT_EQ(file.find("Points")->vertices.size(), 2u);
  EXPECT_EQ(file.find("Points")->vertices[1].z, 6.0f);
  EXPECT_EQ(file.find("Water")->faces, (std::vector<std::vector<int>>{{0, 1, 2}}));
}

}  // namespace
}  // namespace bake::testing
