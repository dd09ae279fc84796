// D3DXCreateSphere and the ID3DXMesh it returns. D3DX's topology: the sphere's axis is
// z; vertex 0 is the +z pole, then stacks − 1 rings of slices vertices from +z to −z,
// then the −z pole; position and normal per vertex; faces wound counter-clockwise
// around the outward normal in right-handed terms (clockwise on screen in Direct3D's
// left-handed default view), all in attribute subset 0. Adjacency is not produced.
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "../d3d9/com_object.h"
#include "internal.h"

namespace glintwork {
namespace {

struct SphereVertex {
  float px, py, pz, nx, ny, nz;
};

class Mesh final : public Object<ID3DXMesh> {
 public:
  Mesh(IDirect3DDevice9 *device, IDirect3DVertexBuffer9 *vb, IDirect3DIndexBuffer9 *ib, DWORD vertices, DWORD faces,
       DWORD fvf, DWORD options)
      : device_(device), vb_(vb), ib_(ib), vertices_(vertices), faces_(faces), fvf_(fvf), options_(options),
        attributes_(faces, 0) {
    device_->AddRef();
  }
  ~Mesh() {
    vb_->Release();
    ib_->Release();
    device_->Release();
  }

  // Binds the mesh's format, buffers and draws the faces of the subset.
  HRESULT STDMETHODCALLTYPE DrawSubset(DWORD AttribId) override {
    GW_TRACE(Module::D3DX9, "ID3DXMesh::DrawSubset(%u)", AttribId);
    if (AttribId != 0) return D3D_OK;  // no faces carry another attribute
    HRESULT hr = device_->SetFVF(fvf_);
    if (SUCCEEDED(hr)) hr = device_->SetStreamSource(0, vb_, 0, sizeof(SphereVertex));
    if (SUCCEEDED(hr)) hr = device_->SetIndices(ib_);
    if (SUCCEEDED(hr)) hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertices_, 0, faces_);
    return hr;
  }
  DWORD STDMETHODCALLTYPE GetNumFaces() override { return faces_; }
  DWORD STDMETHODCALLTYPE GetNumVertices() override { return vertices_; }
  DWORD STDMETHODCALLTYPE GetFVF() override { return fvf_; }
  DWORD STDMETHODCALLTYPE GetNumBytesPerVertex() override { return sizeof(SphereVertex); }
  DWORD STDMETHODCALLTYPE GetOptions() override { return options_; }
  HRESULT STDMETHODCALLTYPE GetDevice(LPDIRECT3DDEVICE9 *ppDevice) override {
    if (!ppDevice) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *ppDevice = device_;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE GetVertexBuffer(LPDIRECT3DVERTEXBUFFER9 *ppVB) override {
    if (!ppVB) return D3DERR_INVALIDCALL;
    vb_->AddRef();
    *ppVB = vb_;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIndexBuffer(LPDIRECT3DINDEXBUFFER9 *ppIB) override {
    if (!ppIB) return D3DERR_INVALIDCALL;
    ib_->AddRef();
    *ppIB = ib_;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE LockVertexBuffer(DWORD Flags, LPVOID *ppData) override {
    return vb_->Lock(0, 0, ppData, Flags);
  }
  HRESULT STDMETHODCALLTYPE UnlockVertexBuffer() override { return vb_->Unlock(); }
  HRESULT STDMETHODCALLTYPE LockIndexBuffer(DWORD Flags, LPVOID *ppData) override {
    return ib_->Lock(0, 0, ppData, Flags);
  }
  HRESULT STDMETHODCALLTYPE UnlockIndexBuffer() override { return ib_->Unlock(); }
  HRESULT STDMETHODCALLTYPE LockAttributeBuffer(DWORD, DWORD **ppData) override {
    if (!ppData) return D3DERR_INVALIDCALL;
    *ppData = attributes_.data();
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE UnlockAttributeBuffer() override { return D3D_OK; }

 private:
  IDirect3DDevice9 *device_;
  IDirect3DVertexBuffer9 *vb_;
  IDirect3DIndexBuffer9 *ib_;
  DWORD vertices_, faces_, fvf_, options_;
  std::vector<DWORD> attributes_;
};

void sphereVertices(float radius, UINT slices, UINT stacks, std::vector<SphereVertex> *out) {
  out->push_back({0.0f, 0.0f, radius, 0.0f, 0.0f, 1.0f});
  const float pi = 3.14159265358979f;
  for (UINT stack = 1; stack < stacks; ++stack) {
    const float theta = pi * float(stack) / float(stacks);
    const float ring = std::sin(theta), z = std::cos(theta);
    for (UINT slice = 0; slice < slices; ++slice) {
      const float phi = 2.0f * pi * float(slice) / float(slices);
      const float nx = ring * std::cos(phi), ny = ring * std::sin(phi);
      out->push_back({radius * nx, radius * ny, radius * z, nx, ny, z});
    }
  }
  out->push_back({0.0f, 0.0f, -radius, 0.0f, 0.0f, -1.0f});
}

void sphereFaces(UINT slices, UINT stacks, std::vector<uint32_t> *out) {
  auto face = [&](uint32_t a, uint32_t b, uint32_t c) { out->insert(out->end(), {a, b, c}); };
  auto ringVertex = [&](UINT ring, UINT slice) { return 1 + ring * slices + slice % slices; };
  for (UINT s = 0; s < slices; ++s) face(0, ringVertex(0, s), ringVertex(0, s + 1));
  for (UINT ring = 0; ring + 1 < stacks - 1; ++ring) {
    for (UINT s = 0; s < slices; ++s) {
      face(ringVertex(ring, s), ringVertex(ring + 1, s), ringVertex(ring + 1, s + 1));
      face(ringVertex(ring, s), ringVertex(ring + 1, s + 1), ringVertex(ring, s + 1));
    }
  }
  const uint32_t pole = 1 + (stacks - 1) * slices;
  for (UINT s = 0; s < slices; ++s) face(ringVertex(stacks - 2, s), pole, ringVertex(stacks - 2, s + 1));
}

}  // namespace
}  // namespace glintwork

HRESULT WINAPI D3DXCreateSphere(LPDIRECT3DDEVICE9 pDevice, FLOAT Radius, UINT Slices, UINT Stacks, LPD3DXMESH *ppMesh,
                                LPD3DXBUFFER *ppAdjacency) {
  using namespace glintwork;
  GW_TRACE(Module::D3DX9, "D3DXCreateSphere(%p, %g, %u, %u)", static_cast<void *>(pDevice), Radius, Slices, Stacks);
  if (ppMesh) *ppMesh = nullptr;
  if (ppAdjacency) *ppAdjacency = nullptr;
  if (!pDevice || !ppMesh || !(Radius >= 0.0f) || Slices < 2 || Stacks < 2) return D3DERR_INVALIDCALL;
  if (ppAdjacency) {
    reportOnce(Module::D3DX9, "D3DXCreateSphere: adjacency buffers are not supported");
    return E_NOTIMPL;
  }
  const uint64_t vertexCount = uint64_t(Slices) * (Stacks - 1) + 2;
  const uint64_t faceCount = uint64_t(Slices) * (Stacks - 1) * 2;
  if (vertexCount > 0xFFFF) return D3DERR_INVALIDCALL;  // D3DX's sphere uses 16-bit indices

  std::vector<SphereVertex> vertices;
  std::vector<uint32_t> indices;
  try {
    sphereVertices(Radius, Slices, Stacks, &vertices);
    sphereFaces(Slices, Stacks, &indices);
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  }
  const DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL;
  IDirect3DVertexBuffer9 *vb = nullptr;
  IDirect3DIndexBuffer9 *ib = nullptr;
  HRESULT hr = pDevice->CreateVertexBuffer(UINT(vertices.size() * sizeof(SphereVertex)), D3DUSAGE_WRITEONLY, fvf,
                                           D3DPOOL_MANAGED, &vb, nullptr);
  if (SUCCEEDED(hr))
    hr = pDevice->CreateIndexBuffer(UINT(indices.size() * 2), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                    &ib, nullptr);
  void *data = nullptr;
  if (SUCCEEDED(hr)) hr = vb->Lock(0, 0, &data, 0);
  if (SUCCEEDED(hr)) {
    std::memcpy(data, vertices.data(), vertices.size() * sizeof(SphereVertex));
    hr = vb->Unlock();
  }
  if (SUCCEEDED(hr)) hr = ib->Lock(0, 0, &data, 0);
  if (SUCCEEDED(hr)) {
    uint16_t *out = static_cast<uint16_t *>(data);
    for (size_t i = 0; i < indices.size(); ++i) out[i] = static_cast<uint16_t>(indices[i]);
    hr = ib->Unlock();
  }
  Mesh *mesh = nullptr;
  if (SUCCEEDED(hr)) {
    mesh = new (std::nothrow) Mesh(pDevice, vb, ib, DWORD(vertexCount), DWORD(faceCount), fvf, D3DXMESH_MANAGED);
    if (!mesh) hr = E_OUTOFMEMORY;
  }
  if (FAILED(hr)) {
    if (vb) vb->Release();
    if (ib) ib->Release();
    return hr;
  }
  *ppMesh = mesh;
  return D3D_OK;
}
