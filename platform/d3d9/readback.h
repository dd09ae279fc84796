// Pixel read-back for the layer's own tests: what a device's back buffer or window
// drawable holds, as 0xAARRGGBB values with row 0 at the top, as Direct3D numbers rows.
// Not part of Direct3D; the window read is meaningful on single-buffered drawables
// (the offscreen driver), where the last Present stays readable.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <vector>

namespace glintwork {

HRESULT readBackBuffer(IDirect3DDevice9 *device, std::vector<uint32_t> *pixels, UINT *width, UINT *height);
HRESULT readWindowDrawable(IDirect3DDevice9 *device, std::vector<uint32_t> *pixels, UINT *width, UINT *height);

}  // namespace glintwork
