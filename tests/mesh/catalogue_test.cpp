// The mesh catalogue's device buffers against the recording device.
#include "mesh/catalogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "mesh/meshbuffers.h"
#include "mesh/meshimport.h"
#include "recording_device.h"

namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

// Runs each test in a fresh directory of its own, so "data\\..." paths resolve there.
class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    directory_ = fs::temp_directory_path() /
                 ("glintwork-catalogue-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(directory_);
    fs::create_directories(directory_ / "data");
    fs::current_path(directory_);
    renderer_.device = &device_;
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(directory_);
  }

  static void write(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  // An ascii mesh: a square as one four-index face and one triangle.
  static std::string squareAndTriangle() {
    return "ply\nformat ascii 1.0\nelement vertex 5\nproperty float x\nproperty float y\nproperty float z\n"
           "element face 2\nproperty list uchar int vertex_indices\nend_header\n"
           "0 0 0\n1 0 0\n1 1 0\n0 1 0\n2 2 0\n4 0 1 2 3\n3 1 4 2\n";
  }

  void releaseCreated() {
    for (MeshBuffers *mesh : renderer_.meshes) delete mesh;
    renderer_.meshes.clear();
  }

  CallLog log_;
  RecordingDevice device_{&log_};
  Renderer renderer_ = {};
  fs::path previous_, directory_;
};

TEST_F(CatalogueTest, NamesTheEightFilesInKeyOrder) {
  const std::vector<std::string> catalogue = meshCatalogue();
  ASSERT_EQ(catalogue.size(), 8u);
  EXPECT_EQ(catalogue.front(), "data\\bun_zipper.ply");
  EXPECT_EQ(catalogue[4], "data\\dragon_vrip_res3.ply");
  EXPECT_EQ(catalogue.back(), "data\\happy_vrip_res4.ply");
}

TEST_F(CatalogueTest, CopiesVerticesWholeAndNarrowsEachFaceToItsFirstTriangle) {
  write("data/mesh.ply", squareAndTriangle());
  ASSERT_TRUE(createMeshBuffers(renderer_, {"data\\mesh.ply"}));
  ASSERT_EQ(renderer_.meshes.size(), 1u);
  const MeshBuffers &mesh = *renderer_.meshes[0];
  EXPECT_EQ(mesh.vertexCount, 5);
  EXPECT_EQ(mesh.faceCount, 2);
  EXPECT_EQ(log_.calls, (Calls{"CreateVertexBuffer(120, 0x8, 0x12, 1, null)", "CreateIndexBuffer(12, 0x8, 101, 1, null)",
                               "VertexBuffer.Lock(vb0, 0, 0, 0)", "VertexBuffer.Unlock(vb0)",
                               "IndexBuffer.Lock(ib0, 0, 0, 0)", "IndexBuffer.Unlock(ib0)"}));
  // Each triangle keeps its face's vertex order; the square loses its fourth index.
  EXPECT_EQ(device_.indexBuffers[0]->indices(), (std::vector<uint16_t>{0, 1, 2, 1, 4, 2}));

  MeshVertex *vertices = nullptr;
  MeshFace *faces = nullptr;
  int32_t vertexCount = 0, faceCount = 0;
  ASSERT_TRUE(importPlyMesh("data\\mesh.ply", &vertices, &vertexCount, &faces, &faceCount));
  ASSERT_EQ(device_.vertexBuffers[0]->bytes.size(), 5 * sizeof(MeshVertex));
  EXPECT_EQ(std::memcmp(device_.vertexBuffers[0]->bytes.data(), vertices, 5 * sizeof(MeshVertex)), 0);
  freeMeshArrays(vertices, faces, faceCount);
  releaseCreated();
}

TEST_F(CatalogueTest, TheLastOf65536VerticesIsReachable) {
  std::string text = "ply\nformat binary_little_endian 1.0\nelement vertex 65536\nproperty float x\n"
                     "property float y\nproperty float z\nelement face 1\n"
                     "property list uchar int vertex_indices\nend_header\n";
  for (int i = 0; i < 65536; ++i) {
    const float xyz[3] = {static_cast<float>(i % 256), static_cast<float>(i / 256), 0.0f};
    text.append(reinterpret_cast<const char *>(xyz), sizeof xyz);
  }
  const int32_t face[3] = {0, 65534, 65535};
  text.push_back(3);
  text.append(reinterpret_cast<const char *>(face), sizeof face);
  write("data/big.ply", text);
  ASSERT_TRUE(createMeshBuffers(renderer_, {"data\\big.ply"}));
  EXPECT_EQ(device_.indexBuffers[0]->indices(), (std::vector<uint16_t>{0, 65534, 65535}));
  releaseCreated();
}

TEST_F(CatalogueTest, StopsAtTheFirstFileThatCannotBeImported) {
  write("data/a.ply", squareAndTriangle());
  write("data/c.ply", squareAndTriangle());
  EXPECT_FALSE(createMeshBuffers(renderer_, {"data\\a.ply", "data\\missing.ply", "data\\c.ply"}));
  EXPECT_EQ(renderer_.meshes.size(), 1u) << "the meshes before it stay; the ones after are not tried";
  EXPECT_EQ(device_.vertexBuffers.size(), 1u);
  releaseCreated();
  EXPECT_TRUE(createMeshBuffers(renderer_, {})) << "an empty list";
}

TEST_F(CatalogueTest, DeviceFailuresFailTheMeshAndReleaseWhatWasCreated) {
  struct Case { const char *label; DeviceFaults faults; Calls releases; };
  DeviceFaults vertexBuffer, indexBuffer, vertexLock, indexLock;
  vertexBuffer.createVertexBuffer = true;
  indexBuffer.createIndexBuffer = true;
  vertexLock.lockVertexBuffer = true;
  indexLock.lockIndexBuffer = true;
  const Case cases[] = {
      {"vertex buffer creation", vertexBuffer, {}},
      {"index buffer creation", indexBuffer, {"Release(vb0)"}},
      {"vertex buffer lock", vertexLock, {"Release(vb0)", "Release(ib0)"}},
      {"index buffer lock", indexLock, {"Release(vb0)", "Release(ib0)"}},
  };
  write("data/mesh.ply", squareAndTriangle());
  for (const Case &c : cases) {
    CallLog log;
    RecordingDevice device(&log);
    device.faults = c.faults;
    Renderer renderer = {};
    renderer.device = &device;
    EXPECT_FALSE(createMeshBuffers(renderer, {"data\\mesh.ply"})) << c.label;
    EXPECT_TRUE(renderer.meshes.empty()) << c.label;
    EXPECT_EQ(log.startingWith("Release"), c.releases) << c.label;
  }
}

TEST_F(CatalogueTest, LoadMeshesWithAFileMissingCreatesNoSphereAndSetsNoFormat) {
  const std::vector<std::string> catalogue = meshCatalogue();
  for (size_t i = 0; i < catalogue.size(); ++i) {
    if (i == 2) continue;  // data\bun_zipper_res3.ply is missing
    std::string path = catalogue[i];
    path.replace(path.find('\\'), 1, "/");
    write(path, squareAndTriangle());
  }
  EXPECT_FALSE(loadMeshes(renderer_));
  EXPECT_EQ(renderer_.meshes.size(), 2u);
  EXPECT_EQ(renderer_.lightMarker, nullptr);
  EXPECT_TRUE(log_.startingWith("SetFVF").empty());
  releaseCreated();
}

}  // namespace
