// Mesh catalogue and device buffers. Vertices are copied into the buffer in one
// block (MeshVertex is the buffer's layout); each face becomes one triangle of its
// first three indices, narrowed to 16 bits.
#include "catalogue.h"

#include <cstdint>
#include <cstring>

#include "mesh/meshbuffers.h"
#include "mesh/meshimport.h"

namespace {

struct ImportedMesh {
  MeshVertex *vertices = nullptr;
  int32_t vertexCount = 0;
  MeshFace *faces = nullptr;
  int32_t faceCount = 0;
  ~ImportedMesh() { freeMeshArrays(vertices, faces, faceCount); }
};

bool fillVertexBuffer(IDirect3DVertexBuffer9 *buffer, const ImportedMesh &mesh) {
  void *data = nullptr;
  if (FAILED(buffer->Lock(0, 0, &data, 0)) || data == nullptr) {
    return false;
  }
  std::memcpy(data, mesh.vertices, static_cast<size_t>(mesh.vertexCount) * sizeof(MeshVertex));
  buffer->Unlock();
  return true;
}

bool fillIndexBuffer(IDirect3DIndexBuffer9 *buffer, const ImportedMesh &mesh) {
  void *data = nullptr;
  if (FAILED(buffer->Lock(0, 0, &data, 0)) || data == nullptr) {
    return false;
  }
  uint16_t *indices = static_cast<uint16_t *>(data);
  for (int32_t f = 0; f < mesh.faceCount; ++f) {
    const int32_t *face = mesh.faces[f].indices;
    indices[3 * f] = static_cast<uint16_t>(face[0]);
    indices[3 * f + 1] = static_cast<uint16_t>(face[1]);
    indices[3 * f + 2] = static_cast<uint16_t>(face[2]);
  }
  buffer->Unlock();
  return true;
}

// Puts one imported mesh on the device; on failure releases what it created.
MeshBuffers *createDeviceMesh(IDirect3DDevice9 *device, const ImportedMesh &mesh) {
  MeshBuffers *buffers = new MeshBuffers{nullptr, nullptr, mesh.vertexCount, mesh.faceCount};
  const UINT vertexBytes = static_cast<UINT>(mesh.vertexCount) * sizeof(MeshVertex);
  const UINT indexBytes = static_cast<UINT>(mesh.faceCount) * 3 * sizeof(uint16_t);
  bool ok = SUCCEEDED(device->CreateVertexBuffer(vertexBytes, D3DUSAGE_WRITEONLY, meshVertexFormat,
                                                 D3DPOOL_MANAGED, &buffers->vertexBuffer, nullptr)) &&
            buffers->vertexBuffer != nullptr &&
            SUCCEEDED(device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                                D3DPOOL_MANAGED, &buffers->indexBuffer, nullptr)) &&
            buffers->indexBuffer != nullptr && fillVertexBuffer(buffers->vertexBuffer, mesh) &&
            fillIndexBuffer(buffers->indexBuffer, mesh);
  if (!ok) {
    if (buffers->vertexBuffer != nullptr) buffers->vertexBuffer->Release();
    if (buffers->indexBuffer != nullptr) buffers->indexBuffer->Release();
    delete buffers;
    return nullptr;
  }
  return buffers;
}

}  // namespace

std::vector<std::string> meshCatalogue() {
  return {"data\\bun_zipper.ply",       "data\\bun_zipper_res2.ply", "data\\bun_zipper_res3.ply",
          "data\\bun_zipper_res4.ply",  "data\\dragon_vrip_res3.ply", "data\\dragon_vrip_res4.ply",
          "data\\happy_vrip_res3.ply", "data\\happy_vrip_res4.ply"};
}

bool createMeshBuffers(Renderer &renderer, const std::vector<std::string> &paths) {
  for (const std::string &path : paths) {
    ImportedMesh mesh;
    if (!importPlyMesh(path.c_str(), &mesh.vertices, &mesh.vertexCount, &mesh.faces, &mesh.faceCount)) {
      return false;
    }
    MeshBuffers *buffers = createDeviceMesh(renderer.device, mesh);
    if (buffers == nullptr) {
      return false;
    }
    renderer.meshes.push_back(buffers);
  }
  return true;
}

bool loadMeshes(Renderer &renderer) {
  if (!createMeshBuffers(renderer, meshCatalogue())) {
    return false;
  }
  if (FAILED(D3DXCreateSphere(renderer.device, 0.005f, 10, 10, &renderer.lightMarker, nullptr))) {
    return false;
  }
  renderer.device->SetFVF(meshVertexFormat);
  return true;
}
