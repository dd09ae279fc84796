// Read-back entry points for tests (see readback.h).
#include "readback.h"

#include "objects.h"

namespace glintwork {

HRESULT readBackBuffer(IDirect3DDevice9 *device, std::vector<uint32_t> *pixels, UINT *width, UINT *height) {
  Device *d = dynamic_cast<Device *>(device);
  if (!d || !pixels || !width || !height) return D3DERR_INVALIDCALL;
  return d->readBackBuffer(pixels, width, height);
}

HRESULT readWindowDrawable(IDirect3DDevice9 *device, std::vector<uint32_t> *pixels, UINT *width, UINT *height) {
  Device *d = dynamic_cast<Device *>(device);
  if (!d || !pixels || !width || !height) return D3DERR_INVALIDCALL;
  return d->readWindow(pixels, width, height);
}

}  // namespace glintwork
