// Per-vertex normals: the normalised sum of the unit normals of the faces that
// use a vertex, every face weighing the same. The sums are built in the normal
// fields themselves; all arithmetic is single precision.
#include "mesh/meshimport.h"

#include <cmath>

void computeVertexNormals(int32_t faceCount, MeshVertex* vertices, int32_t vertexCount, const MeshFace* faces) {
  for (int32_t i = 0; i < vertexCount; ++i) {
    vertices[i].nx = 0.0f;
    vertices[i].ny = 0.0f;
    vertices[i].nz = 0.0f;
  }
  for (int32_t f = 0; f < faceCount; ++f) {
    const MeshFace& face = faces[f];
    if (face.count < 2) continue;  // no first-and-last edge pair to take
    const MeshVertex& p0 = vertices[face.indices[0]];
    const MeshVertex& p1 = vertices[face.indices[1]];
    const MeshVertex& pl = vertices[face.indices[face.count - 1]];
    float ax = pl.x - p0.x, ay = pl.y - p0.y, az = pl.z - p0.z;
    float bx = p1.x - p0.x, by = p1.y - p0.y, bz = p1.z - p0.z;
    float nx = ay * bz - az * by;
    float ny = az * bx - ax * bz;
    float nz = ax * by - ay * bx;
    float q = nx * nx + ny * ny + nz * nz;
    if (q == 0.0f) {
      nx = ny = nz = 0.0f;
    } else {
      float r = 1.0f / std::sqrt(q);
      nx *= r;
      ny *= r;
      nz *= r;
    }
    // The face normal points inward for counter-clockwise faces; the final pass
    // turns the sums around.
    for (int k = 0; k < face.count; ++k) {
      MeshVertex& v = vertices[face.indices[k]];
      v.nx += nx;
      v.ny += ny;
      v.nz += nz;
    }
  }
  for (int32_t i = 0; i < vertexCount; ++i) {
    MeshVertex& v = vertices[i];
    float q = v.nx * v.nx + v.ny * v.ny + v.nz * v.nz;
    if (q == 0.0f) {
      v.nx = v.ny = v.nz = 0.0f;
    } else {
      float s = -1.0f / std::sqrt(q);
      v.nx *= s;
      v.ny *= s;
      v.nz *= s;
    }
  }
}
