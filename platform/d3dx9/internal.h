// What the D3DX 9 files of the layer share among themselves.
#pragma once

#include <d3dx9.h>

#include <cstddef>

#include "../d3d9/diag.h"

namespace glintwork {

// A new ID3DXBuffer holding a copy of the bytes (zeroed when data is null); null when
// memory runs out.
ID3DXBuffer *newBuffer(const void *data, size_t bytes);

}  // namespace glintwork
