// ID3DXBuffer: a reference-counted block of bytes (compiled code, messages, adjacency).
#include "internal.h"

#include <atomic>
#include <cstring>
#include <new>
#include <vector>

namespace glintwork {
namespace {

class Buffer final : public ID3DXBuffer {
 public:
  explicit Buffer(size_t bytes) : bytes_(bytes) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObj) override {
    if (!ppvObj) return E_POINTER;
    *ppvObj = nullptr;
    if (riid != IID_IUnknown) return E_NOINTERFACE;
    AddRef();
    *ppvObj = static_cast<IUnknown *>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  LPVOID STDMETHODCALLTYPE GetBufferPointer() override { return bytes_.empty() ? nullptr : bytes_.data(); }
  DWORD STDMETHODCALLTYPE GetBufferSize() override { return static_cast<DWORD>(bytes_.size()); }

 private:
  std::atomic<ULONG> refs_{1};
  std::vector<unsigned char> bytes_;
};

}  // namespace

ID3DXBuffer *newBuffer(const void *data, size_t bytes) {
  Buffer *buffer = new (std::nothrow) Buffer(bytes);
  if (buffer && data && bytes) std::memcpy(buffer->GetBufferPointer(), data, bytes);
  return buffer;
}

}  // namespace glintwork

HRESULT WINAPI D3DXCreateBuffer(DWORD NumBytes, LPD3DXBUFFER *ppBuffer) {
  GW_TRACE(glintwork::Module::D3DX9, "D3DXCreateBuffer(%u)", NumBytes);
  if (!ppBuffer) return D3DERR_INVALIDCALL;
  *ppBuffer = glintwork::newBuffer(nullptr, NumBytes);
  return *ppBuffer ? D3D_OK : E_OUTOFMEMORY;
}
