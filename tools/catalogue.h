// The eight catalogue meshes: three invented closed shapes, smooth with bumps,
// at several levels of detail, written as PLY files in mixed encodings. The
// output is the same, byte for byte, on every run.
#ifndef GLINTWORK_TOOLS_CATALOGUE_H
#define GLINTWORK_TOOLS_CATALOGUE_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace catalogue {

struct Point {
  float x, y, z;
};

struct Triangle {
  int32_t a, b, c;  // counter-clockwise seen from outside
};

struct Mesh {
  std::vector<Point> points;
  std::vector<Triangle> triangles;
};

enum class Encoding { Ascii, BinaryLittleEndian, BinaryBigEndian };

struct CatalogueEntry {
  const char* name;      // file name inside data/
  int shape;             // 0 pebble, 1 ring, 2 spire
  int detail;            // shape-specific resolution
  Encoding encoding;
  bool extraProperties;  // confidence and intensity per vertex, as scanners write
};

// In catalogue order (keys 1 to 8).
extern const std::array<CatalogueEntry, 8> kFiles;

// The shape's mesh, scaled and moved into the 0.2-unit box around (0, 0.1, 0).
Mesh buildMesh(int shape, int detail);

// The PLY file's bytes for one catalogue entry.
std::string plyBytes(const CatalogueEntry& entry, const Mesh& mesh);

// Writes the eight files into directory (which must exist); false on a write error.
bool writeCatalogue(const std::string& directory);

}  // namespace catalogue

#endif
