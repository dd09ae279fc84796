// Whole-process timing of the PLY reader and the mesh import.
//
//   ply_bench run WORKDIR CATALOGUE_DIR   writes the grid files into WORKDIR once,
//                                         then times the commands below as child
//                                         processes (warm cache) and reports ms
//                                         and MB/s per file
//   ply_bench grid WORKDIR                writes grid_ascii.ply, grid_le.ply, grid_be.ply
//   ply_bench read FILE                   reads FILE into MeshVertex / MeshFace arrays
//   ply_bench catalogue DIR               imports the eight catalogue files with normals
//   ply_bench floor                       only the grid's allocations and writes, no file
//
// The grid is 1000 x 1000 vertices (float x y z) and 1,996,002 triangles
// (list uchar int vertex_indices).
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "mesh/meshimport.h"
#include "ply/plyfile.h"

extern char** environ;

namespace {

constexpr int kSide = 1000;
const char* const kCatalogue[8] = {"bun_zipper.ply",       "bun_zipper_res2.ply",  "bun_zipper_res3.ply",
                                   "bun_zipper_res4.ply",  "dragon_vrip_res3.ply", "dragon_vrip_res4.ply",
                                   "happy_vrip_res3.ply",  "happy_vrip_res4.ply"};

template <typename T>
void put(FILE* f, T value, bool big) {
  unsigned char b[sizeof(T)];
  std::memcpy(b, &value, sizeof(T));
  if (big) std::reverse(b, b + sizeof(T));
  std::fwrite(b, 1, sizeof(T), f);
}

bool writeGrid(const std::string& path, const char* format) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ascii = std::strcmp(format, "ascii") == 0, big = std::strcmp(format, "binary_big_endian") == 0;
  int faces = 2 * (kSide - 1) * (kSide - 1);
  std::fprintf(f, "ply\nformat %s 1.0\nelement vertex %d\nproperty float x\nproperty float y\nproperty float z\n"
               "element face %d\nproperty list uchar int vertex_indices\nend_header\n",
               format, kSide * kSide, faces);
  for (int j = 0; j < kSide; ++j) {
    for (int i = 0; i < kSide; ++i) {
      float x = static_cast<float>(i) / (kSide - 1), y = static_cast<float>(j) / (kSide - 1);
      float z = static_cast<float>(0.05 * std::sin(12.0 * x) * std::cos(9.0 * y));
      if (ascii) {
        std::fprintf(f, "%g %g %g\n", static_cast<double>(x), static_cast<double>(y), static_cast<double>(z));
      } else {
        put(f, x, big);
        put(f, y, big);
        put(f, z, big);
      }
    }
  }
  for (int j = 0; j + 1 < kSide; ++j) {
    for (int i = 0; i + 1 < kSide; ++i) {
      int a = j * kSide + i, b = a + 1, c = a + kSide + 1, d = a + kSide;
      const int tris[2][3] = {{a, b, c}, {a, c, d}};
      for (const auto& t : tris) {
        if (ascii) {
          std::fprintf(f, "3 %d %d %d\n", t[0], t[1], t[2]);
        } else {
          std::fputc(3, f);
          for (int k : t) put<int32_t>(f, k, big);
        }
      }
    }
  }
  return std::fclose(f) == 0;
}

// Reads a mesh file the way the import does, into MeshVertex and MeshFace arrays.
int readMesh(const char* path) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return 2;
  int count = 0;
  char** names = nullptr;
  PlyReader* reader = ply_open_header(f, &count, &names);
  if (!reader) return 3;
  static char x[] = "x", y[] = "y", z[] = "z", list[] = "vertex_indices";
  const PlyPropertyDesc vertexProps[3] = {
    {x, PlyValueType::Float, PlyValueType::Float, offsetof(MeshVertex, x), 0, PlyValueType::Invalid, PlyValueType::Invalid, 0},
    {y, PlyValueType::Float, PlyValueType::Float, offsetof(MeshVertex, y), 0, PlyValueType::Invalid, PlyValueType::Invalid, 0},
    {z, PlyValueType::Float, PlyValueType::Float, offsetof(MeshVertex, z), 0, PlyValueType::Invalid, PlyValueType::Invalid, 0},
  };
  const PlyPropertyDesc faceProp = {list, PlyValueType::Int, PlyValueType::Int, offsetof(MeshFace, indices), 1,
                                    PlyValueType::UChar, PlyValueType::UChar, offsetof(MeshFace, count)};
  MeshVertex* vertices = nullptr;
  MeshFace* faces = nullptr;
  int vertexCount = 0, faceCount = 0;
  for (int i = 0; i < count; ++i) {
    int records = 0, properties = 0;
    PlyPropertyDesc** layout = ply_element_layout(reader, names[i], &records, &properties);
    for (int k = 0; k < properties; ++k) {
      std::free(layout[k]->property_name);
      std::free(layout[k]);
    }
    std::free(layout);
    if (std::strcmp(names[i], "vertex") == 0) {
      vertexCount = records;
      vertices = static_cast<MeshVertex*>(std::calloc(static_cast<size_t>(records), sizeof(MeshVertex)));
      for (const PlyPropertyDesc& p : vertexProps) ply_select_property(reader, names[i], &p);
      for (int r = 0; r < records; ++r) ply_get_element(reader, &vertices[r]);
    } else if (std::strcmp(names[i], "face") == 0) {
      faceCount = records;
      faces = static_cast<MeshFace*>(std::malloc(sizeof(MeshFace) * static_cast<size_t>(records)));
      ply_select_property(reader, names[i], &faceProp);
      for (int r = 0; r < records; ++r) ply_get_element(reader, &faces[r]);
    }
  }
  // Keep the optimiser honest: the last face must name the grid's last vertex.
  int status = faceCount > 0 && faces[faceCount - 1].indices[1] == vertexCount - 1 ? 0 : 4;
  for (int i = 0; i < count; ++i) std::free(names[i]);
  std::free(names);
  releasePlyReader(reader);
  std::fclose(f);
  freeMeshArrays(vertices, faces, faceCount);
  return status;
}

// What the grid's arrays and its 1,996,002 list blocks cost without any
// reading: the same allocations, writes and releases as `read`.
int memoryFloor() {
  const int vertexCount = kSide * kSide, faceCount = 2 * (kSide - 1) * (kSide - 1);
  MeshVertex* vertices = static_cast<MeshVertex*>(std::calloc(static_cast<size_t>(vertexCount), sizeof(MeshVertex)));
  MeshFace* faces = static_cast<MeshFace*>(std::malloc(sizeof(MeshFace) * static_cast<size_t>(faceCount)));
  for (int i = 0; i < vertexCount; ++i) vertices[i].x = vertices[i].y = vertices[i].z = static_cast<float>(i);
  for (int i = 0; i < faceCount; ++i) {
    faces[i].count = 3;
    faces[i].indices = static_cast<int32_t*>(std::malloc(12));
    faces[i].indices[0] = faces[i].indices[1] = faces[i].indices[2] = i;
  }
  int status = faces[faceCount - 1].indices[1] == faceCount - 1 ? 0 : 4;
  freeMeshArrays(vertices, faces, faceCount);
  return status;
}

int importCatalogue(const char* dir) {
  for (const char* name : kCatalogue) {
    std::string path = std::string(dir) + "/" + name;
    MeshVertex* v = nullptr;
    MeshFace* f = nullptr;
    int32_t nv = 0, nf = 0;
    if (!importPlyMesh(path.c_str(), &v, &nv, &f, &nf)) return 5;
    freeMeshArrays(v, f, nf);
  }
  return 0;
}

// Runs this program with the arguments as a child; wall time in seconds, or -1.
double timeChild(const char* self, const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(self)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, self, nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

double fileMegabytes(const std::string& path) {
  struct stat s;
  return stat(path.c_str(), &s) == 0 ? static_cast<double>(s.st_size) / 1e6 : 0;
}

// Best and median of several warm runs; a target of 0 means none.
void report(const char* self, const char* label, const std::vector<std::string>& args, double megabytes,
            double target) {
  std::vector<double> times;
  timeChild(self, args);  // warm the cache
  for (int i = 0; i < 7; ++i) times.push_back(timeChild(self, args));
  std::sort(times.begin(), times.end());
  if (times.front() < 0) {
    std::printf("%-28s FAILED\n", label);
    return;
  }
  double best = times.front(), median = times[times.size() / 2];
  if (target <= 0) {
    std::printf("%-28s %8s     best %7.1f ms  median %7.1f ms\n", label, "", best * 1e3, median * 1e3);
    return;
  }
  std::printf("%-28s %8.1f MB  best %7.1f ms  median %7.1f ms  %7.1f MB/s  target %4.0f ms  %s\n", label, megabytes,
              best * 1e3, median * 1e3, megabytes / median, target * 1e3, median <= target ? "ok" : "OVER");
}

int run(const char* self, const std::string& work, const std::string& catalogueDir) {
  const char* formats[3][2] = {{"grid_ascii.ply", "ascii"},
                               {"grid_le.ply", "binary_little_endian"},
                               {"grid_be.ply", "binary_big_endian"}};
  for (const auto& f : formats) {
    std::string path = work + "/" + f[0];
    if (fileMegabytes(path) == 0 && !writeGrid(path, f[1])) {
      std::fprintf(stderr, "ply_bench: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  std::printf("whole process, warm cache, 7 runs each\n");
  report(self, "grid ascii", {"read", work + "/grid_ascii.ply"}, fileMegabytes(work + "/grid_ascii.ply"), 0.50);
  report(self, "grid binary little-endian", {"read", work + "/grid_le.ply"}, fileMegabytes(work + "/grid_le.ply"),
         0.16);
  report(self, "grid binary big-endian", {"read", work + "/grid_be.ply"}, fileMegabytes(work + "/grid_be.ply"),
         0.16);
  // The grid's arrays and list blocks alone, with no target: what any reading costs at least.
  report(self, "memory floor, no reading", {"floor"}, 0, 0);
  double catalogueMb = 0;
  for (const char* name : kCatalogue) catalogueMb += fileMegabytes(catalogueDir + "/" + name);
  report(self, "catalogue, 8 files + normals", {"catalogue", catalogueDir}, catalogueMb, 0.10);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "read" && argc == 3) return readMesh(argv[2]);
  if (mode == "floor" && argc == 2) return memoryFloor();
  if (mode == "catalogue" && argc == 3) return importCatalogue(argv[2]);
  if (mode == "grid" && argc == 3) {
    return writeGrid(std::string(argv[2]) + "/grid_ascii.ply", "ascii") &&
                   writeGrid(std::string(argv[2]) + "/grid_le.ply", "binary_little_endian") &&
                   writeGrid(std::string(argv[2]) + "/grid_be.ply", "binary_big_endian")
               ? 0
               : 1;
  }
  if (mode == "run" && argc == 4) return run("/proc/self/exe", argv[2], argv[3]);
  std::fprintf(stderr, "usage: ply_bench run WORKDIR CATALOGUE_DIR | grid WORKDIR | read FILE | catalogue DIR\n");
  return 2;
}
