// Fuzz target: importPlyMesh on a file holding the input. A true result must
// hand out a drawable mesh; the reader's documented exits are expected outcomes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz_exit.h"
#include "mesh/meshimport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("glintwork_mesh_fuzz_" + std::to_string(getpid()) + ".ply")).string();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  MeshVertex* vertices = nullptr;
  MeshFace* faces = nullptr;
  int32_t vertexCount = 0, faceCount = 0;
  try {
    if (importPlyMesh(path.c_str(), &vertices, &vertexCount, &faces, &faceCount)) {
      if (vertexCount < 0 || vertexCount > 65536 || faceCount < 0) std::abort();
      for (int32_t i = 0; i < faceCount; ++i) {
        if (faces[i].count < 3) std::abort();
        for (int k = 0; k < faces[i].count; ++k)
          if (faces[i].indices[k] < 0 || faces[i].indices[k] >= vertexCount) std::abort();
      }
      freeMeshArrays(vertices, faces, faceCount);
    }
  } catch (const PlyExit& exit) {
    if (exit.code != 1 && exit.code != -1) std::abort();
  }
  return 0;
}
