// The generated catalogue (every file imports as a closed, outward-facing mesh
// of the stated size inside the view box, the same bytes every run) and plyinfo.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "mesh/meshimport.h"
#include "tools/catalogue.h"

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

fs::path freshDir(const std::string& name) {
  fs::path dir = fs::temp_directory_path() / ("glintwork_catalogue_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

TEST(Catalogue, WritesTheSameBytesOnEveryRunAsTheBuildDid) {
  fs::path a = freshDir("a"), b = freshDir("b");
  ASSERT_TRUE(catalogue::writeCatalogue(a.string()));
  ASSERT_TRUE(catalogue::writeCatalogue(b.string()));
  for (const catalogue::CatalogueEntry& entry : catalogue::kFiles) {
    SCOPED_TRACE(entry.name);
    std::string bytes = readAll(a / entry.name);
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes, readAll(b / entry.name));
    EXPECT_EQ(bytes, readAll(fs::path(GLINTWORK_CATALOGUE_DIR) / entry.name));
  }
  fs::remove_all(a);
  fs::remove_all(b);
}

struct Expectation {
  const char* name;
  int minVertices, maxVertices;
};

TEST(Catalogue, EveryFileImportsAsAClosedOutwardMeshInsideTheViewBox) {
  const Expectation expected[8] = {
    {"bun_zipper.ply", 30000, 40000},      {"bun_zipper_res2.ply", 8000, 10000},
    {"bun_zipper_res3.ply", 1500, 2500},   {"bun_zipper_res4.ply", 400, 700},
    {"dragon_vrip_res3.ply", 10000, 65536}, {"dragon_vrip_res4.ply", 2000, 10000},
    {"happy_vrip_res3.ply", 10000, 65536},  {"happy_vrip_res4.ply", 2000, 10000},
  };
  fs::path dir(GLINTWORK_CATALOGUE_DIR);
  std::set<std::string> formats;
  for (int i = 0; i < 8; ++i) {
    const Expectation& e = expected[i];
    SCOPED_TRACE(e.name);
    EXPECT_STREQ(catalogue::kFiles[i].name, e.name);
    std::string path = (dir / e.name).string();
    MeshVertex* v = nullptr;
    MeshFace* f = nullptr;
    int32_t nv = 0, nf = 0;
    ASSERT_TRUE(importPlyMesh(path.c_str(), &v, &nv, &f, &nf));
    EXPECT_GE(nv, e.minVertices);
    EXPECT_LE(nv, e.maxVertices);

    for (int32_t k = 0; k < nv; ++k) {
      EXPECT_LE(std::abs(v[k].x), 0.1f);
      EXPECT_LE(std::abs(v[k].y - 0.1f), 0.1f);
      EXPECT_LE(std::abs(v[k].z), 0.1f);
    }
    // Closed and consistently wound: every directed edge once, its reverse once.
    std::map<std::pair<int32_t, int32_t>, int> edges;
    double volume = 0;
    for (int32_t k = 0; k < nf; ++k) {
      ASSERT_EQ(f[k].count, 3);
      const int32_t* t = f[k].indices;
      for (int j = 0; j < 3; ++j) ++edges[{t[j], t[(j + 1) % 3]}];
      const MeshVertex &a = v[t[0]], &b = v[t[1]], &c = v[t[2]];
      volume += (a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) + a.z * (b.x * c.y - b.y * c.x)) / 6.0;
    }
    bool closed = true;
    for (const auto& [edge, count] : edges) closed = closed && count == 1 && edges.count({edge.second, edge.first}) == 1;
    EXPECT_TRUE(closed);
    EXPECT_GT(volume, 0.0) << "faces run counter-clockwise seen from outside";
    // Every vertex gets a unit normal.
    int unit = 0;
    for (int32_t k = 0; k < nv; ++k)
      unit += std::abs(v[k].nx * v[k].nx + v[k].ny * v[k].ny + v[k].nz * v[k].nz - 1.0f) < 1e-4f;
    EXPECT_EQ(unit, nv);
    freeMeshArrays(v, f, nf);

    std::string bytes = readAll(dir / e.name);
    std::string format = bytes.substr(bytes.find("format ") + 7);
    formats.insert(format.substr(0, format.find(' ')));
    if (format.rfind("ascii", 0) == 0 && catalogue::kFiles[i].extraProperties) {
      EXPECT_NE(bytes.find("property float confidence"), std::string::npos);
      EXPECT_NE(bytes.find("comment "), std::string::npos);
    }
  }
  EXPECT_EQ(formats, (std::set<std::string>{"ascii", "binary_little_endian", "binary_big_endian"}));
}

// ---------------------------------------------------------------------------
// plyinfo

struct ToolRun {
  int status;
  std::string out;
};

ToolRun plyinfo(const std::string& arguments) {
  std::string command = std::string(GLINTWORK_PLYINFO) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ToolRun run{-1, ""};
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(PlyInfo, DescribesFilesAndSaysInOneLineWhyOneDoesNotImport) {
  fs::path dir = freshDir("plyinfo");
  const std::string header = "ply\nformat ascii 1.0\ncomment two triangles\nelement vertex 3\nproperty float x\n"
                             "property float y\nproperty float z\nelement face 2\n"
                             "property list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n";
  std::ofstream(dir / "good.ply") << header << "3 0 2 1\n";
  std::ofstream(dir / "bad.ply") << header << "3 0 1 7\n";
  std::ofstream(dir / "short.ply", std::ios::binary)
      << "ply\nformat binary_little_endian 1.0\nelement vertex 1\nproperty float x\nelement face 0\n"
         "property list uchar int vertex_indices\nend_header\n\x01\x02";
  std::string good = (dir / "good.ply").string(), bad = (dir / "bad.ply").string();

  ToolRun ok = plyinfo(good);
  EXPECT_EQ(ok.status, 0) << ok.out;
  EXPECT_NE(ok.out.find("  format ascii 1.0\n  comment two triangles\n  element vertex 3\n    property float x\n"),
            std::string::npos)
      << ok.out;
  EXPECT_NE(ok.out.find("    property list uchar int vertex_indices\n"), std::string::npos) << ok.out;
  EXPECT_NE(ok.out.find("  imports: 3 vertices, 2 faces\n"), std::string::npos) << ok.out;

  ToolRun mixed = plyinfo(bad + " " + good);
  EXPECT_EQ(mixed.status, 1);
  EXPECT_NE(mixed.out.find("  does not import: face 1 has index 7, outside 0..2\n"), std::string::npos) << mixed.out;
  EXPECT_NE(mixed.out.find("  imports: 3 vertices, 2 faces\n"), std::string::npos) << "later files still shown";

  ToolRun missing = plyinfo((dir / "none.ply").string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("does not import: the file cannot be opened"), std::string::npos) << missing.out;

  ToolRun damaged = plyinfo((dir / "short.ply").string());
  EXPECT_EQ(damaged.status, 1);
  EXPECT_NE(damaged.out.find("PLY ERROR: fread() failed -- aborting.\n"), std::string::npos) << damaged.out;

  ToolRun catalogueRun = plyinfo(std::string(GLINTWORK_CATALOGUE_DIR) + "/*.ply");
  EXPECT_EQ(catalogueRun.status, 0) << catalogueRun.out;
  fs::remove_all(dir);
}

}  // namespace
