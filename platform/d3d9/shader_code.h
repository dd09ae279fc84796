// The layer's own compiled-shader format: what D3DXCompileShader produces and what
// CreateVertexShader / CreatePixelShader accept. A little-endian DWORD stream that
// starts with a header giving its total size (Direct3D passes the code without a
// length), then GLSL 330 source, the vertex inputs by usage, and how each float4
// constant register lands in the shader's constant block.
//
// Names in the GLSL are fixed by usage so the two stages and the device agree without
// looking at declaration order: vertex inputs gw_in_<usage>_<index>, values passed
// from vertex to pixel shader gw_var_<usage>_<index>, colour outputs gw_out_<index>
// (at location <index>), constant blocks GwVertexConstants / GwPixelConstants.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glintwork {

constexpr uint32_t kShaderCodeMagic = 0x48535747;  // "GWSH"
constexpr uint32_t kShaderCodeMaxBytes = 16u << 20;
constexpr const char *kVertexConstantBlock = "GwVertexConstants";
constexpr const char *kPixelConstantBlock = "GwPixelConstants";

struct ShaderInput {
  uint32_t usage;  // D3DDECLUSAGE
  uint32_t usageIndex;
};

// Registers firstRegister .. firstRegister + registerCount - 1 are copied to the
// constant block: register k goes to blockOffset + k * registerStride, bytesPerRegister
// bytes of it (4 for a scalar, 16 for a float4 or a matrix row).
struct ConstantSlot {
  uint32_t firstRegister;
  uint32_t registerCount;
  uint32_t blockOffset;
  uint32_t registerStride;
  uint32_t bytesPerRegister;
};

struct ShaderCode {
  uint32_t version = 0;  // D3DVS_VERSION / D3DPS_VERSION of the profile
  std::string glsl;
  std::vector<ShaderInput> inputs;
  std::vector<ConstantSlot> constants;
  uint32_t blockBytes = 0;  // 0: the shader has no constant block

  bool isVertexShader() const { return (version & 0xFFFF0000u) == 0xFFFE0000u; }
};

// The DWORD stream of the code.
std::vector<uint32_t> encodeShaderCode(const ShaderCode &code);
// Reads and checks a stream; on failure says why in *whyNot.
bool decodeShaderCode(const uint32_t *words, ShaderCode *code, std::string *whyNot);
// Total size in bytes announced by a stream's header, 0 when it is not one.
uint32_t shaderCodeBytes(const uint32_t *words);

// GLSL names of the inputs and outputs.
std::string vertexInputName(uint32_t usage, uint32_t usageIndex);
std::string varyingName(uint32_t usage, uint32_t usageIndex);
std::string colorOutputName(uint32_t index);

}  // namespace glintwork
