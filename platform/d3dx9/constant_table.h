// The constant table that D3DXCompileShader hands out: the uniform globals of an HLSL
// program with the float4 registers D3DX gives them, and the setters that write
// D3DX's register layout through the device's constant setters.
#pragma once

#include <string>
#include <vector>

#include "internal.h"

namespace glintwork {

struct ConstantInfo {
  std::string name;
  D3DXCONSTANT_DESC desc;  // desc.Name points into name once the table owns it
};

// A new table for a program of the given version (D3DVS_VERSION / D3DPS_VERSION);
// null when memory runs out.
ID3DXConstantTable *newConstantTable(DWORD version, std::vector<ConstantInfo> constants);

}  // namespace glintwork
