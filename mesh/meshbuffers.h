// One mesh on the device: a vertex buffer of 24-byte MeshVertex records and a
// 16-bit index buffer of three indices per face.
#pragma once

#include <d3d9.h>

#include <cstdint>

struct MeshBuffers {
  IDirect3DVertexBuffer9 *vertexBuffer;
  IDirect3DIndexBuffer9 *indexBuffer;
  int32_t vertexCount;
  int32_t faceCount;  // the number of triangles drawn
};

// Position followed by normal, three floats each.
constexpr DWORD meshVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL;
