// Opening a mesh file named by a program path. The program writes its paths with
// Windows separators ("data\\bun_zipper.ply"); other hosts get them as '/'.
#include "mesh/meshimport.h"

#include <string>

FILE* openMeshFile(const char* path) {
#if defined(_WIN32)
  return std::fopen(path, "rb");
#else
  std::string host(path);
  for (char& c : host)
    if (c == '\\') c = '/';
  return std::fopen(host.c_str(), "rb");
#endif
}
