// Mesh import and vertex normals: what a PLY file yields as vertex and face
// arrays, the files the import refuses, and the normals' rules.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "mesh/meshimport.h"
#include "ply/plyfile.h"

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------
// Normals

struct NormalCase {
  const char* label;
  std::vector<float> positions;             // x y z per vertex
  std::vector<std::vector<int32_t>> faces;
  std::vector<float> normals;               // expected nx ny nz per vertex
};

void expectNormals(const NormalCase& c) {
  SCOPED_TRACE(c.label);
  std::vector<MeshVertex> vertices(c.positions.size() / 3);
  for (size_t i = 0; i < vertices.size(); ++i)
    vertices[i] = MeshVertex{c.positions[3 * i], c.positions[3 * i + 1], c.positions[3 * i + 2], 9.0f, 9.0f, 9.0f};
  std::vector<std::vector<int32_t>> lists = c.faces;
  std::vector<MeshFace> faces;
  for (auto& list : lists) faces.push_back(MeshFace{static_cast<uint8_t>(list.size()), list.data()});
  computeVertexNormals(static_cast<int32_t>(faces.size()), vertices.data(), static_cast<int32_t>(vertices.size()),
                       faces.data());
  for (size_t i = 0; i < vertices.size(); ++i) {
    EXPECT_NEAR(vertices[i].nx, c.normals[3 * i], 1e-6) << "vertex " << i;
    EXPECT_NEAR(vertices[i].ny, c.normals[3 * i + 1], 1e-6) << "vertex " << i;
    EXPECT_NEAR(vertices[i].nz, c.normals[3 * i + 2], 1e-6) << "vertex " << i;
  }
}

TEST(ComputeVertexNormals, FollowsTheRightHandRuleAndWeighsEveryFaceOnce) {
  const float h = static_cast<float>(1.0 / std::sqrt(2.0));
  const NormalCase cases[] = {
    {"counter-clockwise triangle", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}}, {0, 0, 1, 0, 0, 1, 0, 0, 1}},
    {"clockwise triangle", {0, 0, 0, 0, 1, 0, 1, 0, 0}, {{0, 1, 2}}, {0, 0, -1, 0, 0, -1, 0, 0, -1}},
    {"square as one face", {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {{0, 1, 2, 3}},
     {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}},
    // A small triangle in the xy plane and one ten times its area in the xz
    // plane share the edge 0-1: the shared vertices get the even mean.
    {"unequal areas weigh the same", {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, -10}, {{0, 1, 2}, {0, 1, 3}},
     {0, h, h, 0, h, h, 0, 0, 1, 0, 1, 0}},
    {"unused vertex", {0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 5}, {{0, 1, 2}}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0}},
    {"degenerate face on a line", {0, 0, 0, 1, 0, 0, 2, 0, 0}, {{0, 1, 2}}, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"two-index face", {0, 0, 0, 1, 0, 0}, {{0, 1}}, {0, 0, 0, 0, 0, 0}},
    {"opposite faces cancel", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}, {0, 2, 1}}, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"nearly degenerate face counts fully", {0, 0, 0, 1, 0, 0, 0.5f, 1e-6f, 0}, {{0, 1, 2}},
     {0, 0, 1, 0, 0, 1, 0, 0, 1}},
  };
  for (const NormalCase& c : cases) expectNormals(c);
}

// ---------------------------------------------------------------------------
// Import

class MeshImport : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("glintwork_mesh_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string write(const std::string& name, const std::string& bytes) {
    fs::path p = dir / name;
    FILE* f = std::fopen(p.string().c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return p.string();
  }
};

struct Imported {
  bool ok = false;
  std::vector<MeshVertex> vertices;
  std::vector<std::vector<int32_t>> faces;
  MeshImportResult result;
};

Imported importFile(const std::string& path) {
  Imported out;
  MeshVertex* vertices = reinterpret_cast<MeshVertex*>(0x1);
  MeshFace* faces = reinterpret_cast<MeshFace*>(0x2);
  int32_t vertexCount = -5, faceCount = -6;
  out.ok = importPlyMeshExplained(path.c_str(), &vertices, &vertexCount, &faces, &faceCount, &out.result);
  if (!out.ok) {
    EXPECT_EQ(vertices, reinterpret_cast<MeshVertex*>(0x1));
    EXPECT_EQ(faces, reinterpret_cast<MeshFace*>(0x2));
    EXPECT_EQ(vertexCount, -5);
    EXPECT_EQ(faceCount, -6);
    return out;
  }
  out.vertices.assign(vertices, vertices + vertexCount);
  for (int32_t i = 0; i < faceCount; ++i) out.faces.emplace_back(faces[i].indices, faces[i].indices + faces[i].count);
  freeMeshArrays(vertices, faces, faceCount);
  return out;
}

// A small closed mesh: a tetrahedron with outward faces.
const float kTetra[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
const int32_t kTetraFaces[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};

template <typename T>
std::string bin(T value, bool big) {
  std::string out(sizeof(T), '\0');
  std::memcpy(&out[0], &value, sizeof(T));
  if (big) std::reverse(out.begin(), out.end());
  return out;
}

struct TetraOptions {
  std::string format = "ascii";
  std::string coordType = "float";
  std::string countType = "uchar";
  bool faceFirst = false;
  bool ownNormals = false;
  std::string before;  // an extra element declared first: its header lines
  std::string beforeBody;
  bool trailingElement = false;
};

std::string tetra(const TetraOptions& o) {
  bool ascii = o.format == "ascii", big = o.format == "binary_big_endian";
  std::string vertexHeader = "element vertex 4\nproperty " + o.coordType + " x\nproperty " + o.coordType +
                             " y\nproperty " + o.coordType + " z\n";
  if (o.ownNormals) vertexHeader += "property float nx\nproperty float ny\nproperty float nz\n";
  std::string faceHeader = "element face 4\nproperty list " + o.countType + " int vertex_indices\n";
  std::string vertexBody, faceBody;
  for (const auto& p : kTetra) {
    if (ascii) {
      char line[128];
      std::snprintf(line, sizeof line, "%g %g %g%s\n", static_cast<double>(p[0]), static_cast<double>(p[1]),
                    static_cast<double>(p[2]), o.ownNormals ? " 1 0 0" : "");
      vertexBody += line;
    } else {
      for (float c : p) vertexBody += o.coordType == "double" ? bin<double>(c, big) : bin<float>(c, big);
      if (o.ownNormals) vertexBody += bin(1.0f, big) + bin(0.0f, big) + bin(0.0f, big);
    }
  }
  for (const auto& f : kTetraFaces) {
    if (ascii) {
      faceBody += "3 " + std::to_string(f[0]) + " " + std::to_string(f[1]) + " " + std::to_string(f[2]) + "\n";
    } else {
      faceBody += o.countType == "int" ? bin<int32_t>(3, big) : std::string(1, '\x03');
      for (int32_t i : f) faceBody += bin(i, big);
    }
  }
  std::string header = "ply\nformat " + o.format + " 1.0\ncomment tetrahedron\n" + o.before;
  std::string body = o.beforeBody;
  if (o.faceFirst) {
    header += faceHeader + vertexHeader;
    body += faceBody + vertexBody;
  } else {
    header += vertexHeader + faceHeader;
    body += vertexBody + faceBody;
  }
  if (o.trailingElement) {
    header += "element edge 1\nproperty int a\n";
    body += ascii ? "7\n" : bin<int32_t>(7, big);
  }
  return header + "end_header\n" + body;
}

void expectSameMesh(const Imported& a, const Imported& b) {
  ASSERT_TRUE(a.ok);
  ASSERT_TRUE(b.ok);
  ASSERT_EQ(a.vertices.size(), b.vertices.size());
  EXPECT_EQ(std::memcmp(a.vertices.data(), b.vertices.data(), a.vertices.size() * sizeof(MeshVertex)), 0);
  EXPECT_EQ(a.faces, b.faces);
}

TEST_F(MeshImport, ReadsPositionsFacesAndNormals) {
  Imported m = importFile(write("t.ply", tetra({})));
  ASSERT_TRUE(m.ok);
  ASSERT_EQ(m.vertices.size(), 4u);
  ASSERT_EQ(m.faces.size(), 4u);
  EXPECT_EQ(m.faces[3], (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(m.vertices[3].z, 1.0f);
  // Vertex 0 sits at the corner of three axis faces: its normal points away along (-1,-1,-1).
  const float k = static_cast<float>(-1.0 / std::sqrt(3.0));
  EXPECT_NEAR(m.vertices[0].nx, k, 1e-6);
  EXPECT_NEAR(m.vertices[0].ny, k, 1e-6);
  EXPECT_NEAR(m.vertices[0].nz, k, 1e-6);
}

TEST_F(MeshImport, GivesIdenticalArraysForEveryEncodingAndLayout) {
  Imported reference = importFile(write("ref.ply", tetra({})));
  struct Case {
    const char* label;
    TetraOptions options;
  };
  std::vector<Case> cases;
  auto add = [&](const char* label, auto change) {
    TetraOptions o;
    change(o);
    cases.push_back({label, o});
  };
  add("binary little-endian", [](TetraOptions& o) { o.format = "binary_little_endian"; });
  add("binary big-endian", [](TetraOptions& o) { o.format = "binary_big_endian"; });
  add("double coordinates, binary", [](TetraOptions& o) { o.format = "binary_big_endian"; o.coordType = "double"; });
  add("double coordinates, ascii", [](TetraOptions& o) { o.coordType = "double"; });
  add("int face counts", [](TetraOptions& o) { o.format = "binary_little_endian"; o.countType = "int"; });
  add("face element first", [](TetraOptions& o) { o.faceFirst = true; });
  add("face element first, binary", [](TetraOptions& o) { o.faceFirst = true; o.format = "binary_little_endian"; });
  add("vertex normals in the file", [](TetraOptions& o) { o.ownNormals = true; });
  add("element after both", [](TetraOptions& o) { o.trailingElement = true; });
  add("element before both, ascii", [](TetraOptions& o) {
    o.before = "element material 2\nproperty uchar red\nproperty list uchar float weights\n";
    o.beforeBody = "255 2 0.5 0.5\n12 0\n";
  });
  add("element before both, binary", [](TetraOptions& o) {
    o.format = "binary_big_endian";
    o.before = "element material 2\nproperty uchar red\nproperty list uchar float weights\n";
    o.beforeBody = std::string("\xFF\x02", 2) + bin(0.5f, true) + bin(0.5f, true) + std::string("\x0C\x00", 2);
  });
  // Binary records without properties hold no bytes: a count of two billion of them
  // is passed at once instead of being read one empty record at a time.
  add("two billion empty records before both, binary", [](TetraOptions& o) {
    o.format = "binary_little_endian";
    o.before = "element marker 2000000000\n";
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    expectSameMesh(reference, importFile(write("c.ply", tetra(c.options))));
  }
}

TEST_F(MeshImport, EmptyElementsGiveZeroCounts) {
  Imported m = importFile(
      write("e.ply", "ply\nformat ascii 1.0\nelement vertex 0\nproperty float x\nelement face 0\n"
                     "property list uchar int vertex_indices\nend_header\n"));
  ASSERT_TRUE(m.ok);
  EXPECT_TRUE(m.vertices.empty());
  EXPECT_TRUE(m.faces.empty());
}

TEST_F(MeshImport, MissingVertexFieldsAreZero) {
  testing::internal::CaptureStderr();
  Imported m = importFile(write("noz.ply", "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
                                           "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
                                           "0 0\n1 0\n0 1\n3 0 1 2\n"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning:  Can't find property 'z' in element 'vertex'\n");
  ASSERT_TRUE(m.ok);
  for (const MeshVertex& v : m.vertices) EXPECT_EQ(v.z, 0.0f);
  EXPECT_EQ(m.vertices[0].nz, 1.0f);
}

TEST_F(MeshImport, RefusesFilesItCannotDrawAndHandsOutNothing) {
  const std::string head = "ply\nformat ascii 1.0\n";
  const std::string vertex3 = "element vertex 3\nproperty float x\nproperty float y\nproperty float z\n";
  const std::string faceDecl = "element face 1\nproperty list int int vertex_indices\n";
  const std::string vertices = "0 0 0\n1 0 0\n0 1 0\n";
  std::string bigFace = "256";
  for (int i = 0; i < 256; ++i) bigFace += " " + std::to_string(i % 3);
  struct Case {
    const char* label;
    std::string file;
    MeshImportFault fault;
    const char* explanation;
  };
  const Case cases[] = {
    {"missing file", "", MeshImportFault::CannotOpen, "the file cannot be opened"},
    {"rejected header", "plx\n", MeshImportFault::HeaderRejected, "the header is not one the PLY reader accepts"},
    {"no vertex element", head + faceDecl + "end_header\n3 0 1 2\n", MeshImportFault::NoVertexElement,
     "there is no \"vertex\" element"},
    {"no face element", head + vertex3 + "end_header\n" + vertices, MeshImportFault::NoFaceElement,
     "there is no \"face\" element"},
    {"too many vertices", head + "element vertex 65537\nproperty float x\n" + faceDecl + "end_header\n",
     MeshImportFault::TooManyVertices, "65537 vertices, more than the 65536 that 16-bit indices reach"},
    {"negative vertex count", head + "element vertex -1\nproperty float x\n" + faceDecl + "end_header\n",
     MeshImportFault::NegativeCount, "element \"vertex\" has a negative count, -1"},
    {"negative face count", head + vertex3 + "element face -3\nproperty list int int vertex_indices\nend_header\n",
     MeshImportFault::NegativeCount, "element \"face\" has a negative count, -3"},
    {"face with two indices", head + vertex3 + faceDecl + "end_header\n" + vertices + "2 0 1\n",
     MeshImportFault::TooFewIndices, "face 0 has 2 indices, fewer than 3"},
    {"face with a negative count", head + vertex3 + faceDecl + "end_header\n" + vertices + "-3\n",
     MeshImportFault::TooFewIndices, "face 0 has -3 indices, fewer than 3"},
    {"face with 256 indices", head + vertex3 + faceDecl + "end_header\n" + vertices + bigFace + "\n",
     MeshImportFault::TooManyIndices, "face 0 has 256 indices, more than 255"},
    {"index past the vertices", head + vertex3 + "element face 2\nproperty list uchar int vertex_indices\nend_header\n" +
                                    vertices + "3 0 1 2\n3 0 1 3\n",
     MeshImportFault::IndexOutOfRange, "face 1 has index 3, outside 0..2"},
    {"negative index", head + vertex3 + faceDecl + "end_header\n" + vertices + "3 0 -1 2\n",
     MeshImportFault::IndexOutOfRange, "face 0 has index -1, outside 0..2"},
    {"missing face list", head + vertex3 + "element face 1\nproperty int flags\nend_header\n" + vertices + "0\n",
     MeshImportFault::TooFewIndices, "face 0 has 0 indices, fewer than 3"},
    {"indices declared as a scalar", head + vertex3 + "element face 1\nproperty int vertex_indices\nend_header\n" +
                                         vertices + "7\n",
     MeshImportFault::WrongPropertyKind, "property \"vertex_indices\" of element \"face\" is a scalar, not a list of indices"},
    {"a coordinate declared as a list",
     head + "element vertex 3\nproperty float x\nproperty list uchar float y\nproperty float z\n" + faceDecl +
         "end_header\n0 1 0 0\n1 1 0 0\n0 1 1 0\n3 0 1 2\n",
     MeshImportFault::WrongPropertyKind, "property \"y\" of element \"vertex\" is a list, not a scalar coordinate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::string path = c.file.empty() ? (dir / "absent.ply").string() : write("f.ply", c.file);
    testing::internal::CaptureStderr();
    Imported m = importFile(path);
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(m.ok);
    EXPECT_EQ(m.result.fault, c.fault);
    EXPECT_EQ(describeMeshImportFault(m.result), c.explanation);
    MeshVertex* v = nullptr;
    MeshFace* f = nullptr;
    int32_t nv = 0, nf = 0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(importPlyMesh(path.c_str(), &v, &nv, &f, &nf));
    testing::internal::GetCapturedStderr();
  }
}

TEST_F(MeshImport, ExplainsAnIndexOutsideALargeMeshInOneLine) {
  MeshImportResult r;
  r.fault = MeshImportFault::IndexOutOfRange;
  r.face = 12;
  r.value = 70000;
  r.vertexCount = 35947;
  EXPECT_EQ(describeMeshImportFault(r), "face 12 has index 70000, outside 0..35946");
}

TEST_F(MeshImport, AcceptsTheLargestIndexOfAFullSizeMesh) {
  std::string file = "ply\nformat binary_little_endian 1.0\nelement vertex 65536\nproperty float x\n"
                     "element face 1\nproperty list uchar int vertex_indices\nend_header\n";
  for (int i = 0; i < 65536; ++i) file += bin(static_cast<float>(i), false);
  file += '\x03' + bin<int32_t>(0, false) + bin<int32_t>(1, false) + bin<int32_t>(65535, false);
  testing::internal::CaptureStderr();  // y and z are missing
  Imported m = importFile(write("full.ply", file));
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(m.ok);
  EXPECT_EQ(m.vertices.size(), 65536u);
  EXPECT_EQ(m.faces[0][2], 65535);
}

TEST_F(MeshImport, OpensProgramPathsWithBackslashes) {
  fs::create_directories(dir / "data");
  write("data/t.ply", tetra({}));
  std::string programPath = dir.string() + "\\data\\t.ply";
  FILE* f = openMeshFile(programPath.c_str());
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_TRUE(importFile(programPath).ok);
}

}  // namespace
