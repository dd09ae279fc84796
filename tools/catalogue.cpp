// The catalogue meshes. Two shapes are star-shaped surfaces over a cube-sphere
// lattice (no poles, even spacing), the third a ridged torus. Bumps are sums of
// a few sines, gentle enough that the surface never folds, so every triangle
// keeps its outward, counter-clockwise order.
#include "tools/catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace catalogue {

const std::array<CatalogueEntry, 8> kFiles = {{
  {"bun_zipper.ply", 0, 77, Encoding::Ascii, true},
  {"bun_zipper_res2.ply", 0, 39, Encoding::BinaryLittleEndian, false},
  {"bun_zipper_res3.ply", 0, 19, Encoding::BinaryBigEndian, true},
  {"bun_zipper_res4.ply", 0, 9, Encoding::Ascii, false},
  {"dragon_vrip_res3.ply", 1, 256, Encoding::BinaryBigEndian, false},
  {"dragon_vrip_res4.ply", 1, 128, Encoding::Ascii, true},
  {"happy_vrip_res3.ply", 2, 58, Encoding::BinaryLittleEndian, true},
  {"happy_vrip_res4.ply", 2, 29, Encoding::Ascii, false},
}};

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vec {
  double x, y, z;
};

// Radius of the pebble along a unit direction: a squashed blob with two broad
// lobes and a fine ripple.
double pebbleRadius(const Vec& d) {
  double lobes = 0.16 * std::sin(2.0 * d.x + 1.3) * std::cos(1.7 * d.y - 0.4) + 0.10 * std::sin(3.0 * d.z + 2.0 * d.y);
  double ripple = 0.05 * std::sin(9.0 * d.x + 1.0) * std::sin(8.0 * d.y + 2.0) * std::sin(10.0 * d.z + 0.5);
  return 1.0 + lobes + ripple;
}

// Radius of the spire: a tall spindle with spiralling ridges.
double spireRadius(const Vec& d) {
  double angle = std::atan2(d.z, d.x);
  double around = 1.0 - d.y * d.y;
  double ridges = 0.12 * std::cos(7.0 * angle + 4.0 * d.y) * around;
  double swell = 0.08 * std::sin(5.0 * d.y + 0.7);
  return 1.0 + ridges + swell;
}

// A cube-sphere: the surface points of an (n+1)^3 lattice, pushed onto the unit
// sphere (through tan for even spacing) and then out by radius(direction).
template <typename Radius>
Mesh starShape(int n, Vec scale, Radius radius) {
  Mesh mesh;
  int side = n + 1;
  std::vector<int32_t> index(static_cast<size_t>(side) * side * side, -1);
  auto vertexAt = [&](int i, int j, int k) {
    int32_t& slot = index[(static_cast<size_t>(i) * side + j) * side + k];
    if (slot < 0) {
      auto warp = [n](int c) { return std::tan(kPi / 4.0 * (2.0 * c / n - 1.0)); };
      Vec p{warp(i), warp(j), warp(k)};
      double len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
      Vec d{p.x / len, p.y / len, p.z / len};
      double r = radius(d);
      slot = static_cast<int32_t>(mesh.points.size());
      mesh.points.push_back(Point{static_cast<float>(d.x * r * scale.x), static_cast<float>(d.y * r * scale.y),
                                  static_cast<float>(d.z * r * scale.z)});
    }
    return slot;
  };
  // For each cube face: the fixed axis, its side, and axes u, v with u x v
  // pointing outward, so that quads walked u then v run counter-clockwise.
  struct Face {
    int axis, u, v;
    bool high;
  };
  const Face cubeFaces[6] = {{0, 1, 2, true}, {0, 2, 1, false}, {1, 2, 0, true},
                             {1, 0, 2, false}, {2, 0, 1, true}, {2, 1, 0, false}};
  for (const Face& f : cubeFaces) {
    for (int s = 0; s < n; ++s) {
      for (int t = 0; t < n; ++t) {
        auto corner = [&](int ds, int dt) {
          int c[3];
          c[f.axis] = f.high ? n : 0;
          c[f.u] = s + ds;
          c[f.v] = t + dt;
          return vertexAt(c[0], c[1], c[2]);
        };
        int32_t a = corner(0, 0), b = corner(1, 0), c = corner(1, 1), d = corner(0, 1);
        // Alternate the diagonal so that the lattice shows no grain.
        if ((s + t) % 2 == 0) {
          mesh.triangles.push_back({a, b, c});
          mesh.triangles.push_back({a, c, d});
        } else {
          mesh.triangles.push_back({a, b, d});
          mesh.triangles.push_back({b, c, d});
        }
      }
    }
  }
  return mesh;
}

// A torus tilted toward the viewer, its tube swollen and pinched by ridges
// that twist once around the ring.
Mesh ringShape(int around) {
  int tube = around * 11 / 32;
  Mesh mesh;
  const double ringRadius = 1.0, tubeRadius = 0.36;
  const double tilt = 0.6;
  for (int i = 0; i < around; ++i) {
    double u = 2.0 * kPi * i / around;
    for (int j = 0; j < tube; ++j) {
      double v = 2.0 * kPi * j / tube;
      double r = tubeRadius * (1.0 + 0.16 * std::sin(5.0 * u + 3.0 * v) + 0.05 * std::cos(13.0 * u - 2.0 * v));
      double rr = ringRadius + r * std::cos(v);
      Vec p{rr * std::cos(u), r * std::sin(v), rr * std::sin(u)};
      Vec q{p.x, p.y * std::cos(tilt) - p.z * std::sin(tilt), p.y * std::sin(tilt) + p.z * std::cos(tilt)};
      mesh.points.push_back(Point{static_cast<float>(q.x), static_cast<float>(q.y), static_cast<float>(q.z)});
    }
  }
  auto at = [&](int i, int j) { return static_cast<int32_t>((i % around) * tube + (j % tube)); };
  for (int i = 0; i < around; ++i) {
    for (int j = 0; j < tube; ++j) {
      // Along u then v the surface normal points into the tube; walk v first.
      int32_t a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
      mesh.triangles.push_back({a, d, c});
      mesh.triangles.push_back({a, c, b});
    }
  }
  return mesh;
}

// Uniform scale into a 0.18-unit cube centred on (0, 0.1, 0), inside the 0.2 box.
void fitIntoView(Mesh& mesh) {
  float lo[3] = {mesh.points[0].x, mesh.points[0].y, mesh.points[0].z};
  float hi[3] = {lo[0], lo[1], lo[2]};
  for (const Point& p : mesh.points) {
    const float c[3] = {p.x, p.y, p.z};
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], c[k]);
      hi[k] = std::max(hi[k], c[k]);
    }
  }
  double extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
  double s = 0.18 / extent;
  double centre[3] = {(lo[0] + hi[0]) / 2.0, (lo[1] + hi[1]) / 2.0, (lo[2] + hi[2]) / 2.0};
  for (Point& p : mesh.points) {
    p.x = static_cast<float>((p.x - centre[0]) * s);
    p.y = static_cast<float>((p.y - centre[1]) * s + 0.1);
    p.z = static_cast<float>((p.z - centre[2]) * s);
  }
}

// Nine significant digits give back the exact float.
void appendPosition(std::string& out, const Point& p) {
  char line[128];
  int n = std::snprintf(line, sizeof line, "%.9g %.9g %.9g", static_cast<double>(p.x), static_cast<double>(p.y),
                        static_cast<double>(p.z));
  out.append(line, static_cast<size_t>(n));
}

template <typename T>
void appendBinary(std::string& out, T value, bool bigEndian) {
  unsigned char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  if (bigEndian) std::reverse(bytes, bytes + sizeof(T));
  out.append(reinterpret_cast<const char*>(bytes), sizeof(T));
}

// Scanner-like extras: a confidence falling off with height and an intensity.
float confidenceOf(const Point& p) { return static_cast<float>(0.5 + 0.5 * std::cos(20.0 * (p.y - 0.1))); }
float intensityOf(const Point& p) { return static_cast<float>(0.4 + 0.3 * std::sin(40.0 * p.x) * std::cos(30.0 * p.z)); }

}  // namespace

Mesh buildMesh(int shape, int detail) {
  Mesh mesh;
  if (shape == 0)
    mesh = starShape(detail, Vec{1.0, 0.85, 0.95}, pebbleRadius);
  else if (shape == 1)
    mesh = ringShape(detail);
  else
    mesh = starShape(detail, Vec{0.75, 1.6, 0.75}, spireRadius);
  fitIntoView(mesh);
  return mesh;
}

std::string plyBytes(const CatalogueEntry& entry, const Mesh& mesh) {
  bool ascii = entry.encoding == Encoding::Ascii;
  bool big = entry.encoding == Encoding::BinaryBigEndian;
  std::string out = "ply\n";
  out += ascii ? "format ascii 1.0\n" : big ? "format binary_big_endian 1.0\n" : "format binary_little_endian 1.0\n";
  out += "comment generated by glintwork meshgen\n";
  if (entry.extraProperties) out += "comment confidence and intensity as a range scanner reports them\n";
  out += "element vertex " + std::to_string(mesh.points.size()) + "\n";
  out += "property float x\nproperty float y\nproperty float z\n";
  if (entry.extraProperties) out += "property float confidence\nproperty float intensity\n";
  out += "element face " + std::to_string(mesh.triangles.size()) + "\n";
  out += "property list uchar int vertex_indices\n";
  out += "end_header\n";
  for (const Point& p : mesh.points) {
    if (ascii) {
      appendPosition(out, p);
      if (entry.extraProperties) {
        char extra[64];
        int n = std::snprintf(extra, sizeof extra, " %.4g %.4g", static_cast<double>(confidenceOf(p)),
                              static_cast<double>(intensityOf(p)));
        out.append(extra, static_cast<size_t>(n));
      }
      out += '\n';
    } else {
      appendBinary(out, p.x, big);
      appendBinary(out, p.y, big);
      appendBinary(out, p.z, big);
      if (entry.extraProperties) {
        appendBinary(out, confidenceOf(p), big);
        appendBinary(out, intensityOf(p), big);
      }
    }
  }
  for (const Triangle& t : mesh.triangles) {
    if (ascii) {
      out += "3 " + std::to_string(t.a) + ' ' + std::to_string(t.b) + ' ' + std::to_string(t.c) + '\n';
    } else {
      out += static_cast<char>(3);
      appendBinary(out, t.a, big);
      appendBinary(out, t.b, big);
      appendBinary(out, t.c, big);
    }
  }
  return out;
}

bool writeCatalogue(const std::string& directory) {
  for (const CatalogueEntry& entry : kFiles) {
    std::string bytes = plyBytes(entry, buildMesh(entry.shape, entry.detail));
    std::string path = directory + "/" + entry.name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) return false;
  }
  return true;
}

}  // namespace catalogue
