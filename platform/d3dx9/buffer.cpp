// ID3DXBuffer: a reference-counted block of bytes (compiled code, messages, adjacency).
#include "../d3d9/com_object.h"
#include "internal.h"

#include <cstring>
#include <new>
#include <vector>

namespace glintwork {
namespace {

class Buffer final : public Object<ID3DXBuffer> {
 public:
  explicit Buffer(size_t bytes) : bytes_(bytes) {}

  LPVOID STDMETHODCALLTYPE GetBufferPointer() override { return bytes_.empty() ? nullptr : bytes_.data(); }
  DWORD STDMETHODCALLTYPE GetBufferSize() override { return static_cast<DWORD>(bytes_.size()); }

 private:
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
