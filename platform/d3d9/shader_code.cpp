// Encoding and checking of the layer's compiled-shader format (see shader_code.h).
#include "shader_code.h"

#include <cstring>

namespace glintwork {
namespace {

// Header words, in order.
enum : uint32_t {
  kMagic,
  kVersion,
  kTotalBytes,
  kGlslOffset,
  kGlslBytes,
  kInputOffset,
  kInputCount,
  kConstantOffset,
  kConstantCount,
  kBlockBytes,
  kHeaderWords
};
constexpr uint32_t kInputWords = 2;
constexpr uint32_t kConstantWords = 5;

bool knownVersion(uint32_t version) {
  const uint32_t kind = version & 0xFFFF0000u;
  const uint32_t major = (version >> 8) & 0xFF;
  return (kind == 0xFFFE0000u || kind == 0xFFFF0000u) && major >= 1 && major <= 3;
}

}  // namespace

std::vector<uint32_t> encodeShaderCode(const ShaderCode &code) {
  const uint32_t glslBytes = static_cast<uint32_t>(code.glsl.size() + 1);
  const uint32_t glslWords = (glslBytes + 3) / 4;
  std::vector<uint32_t> words(kHeaderWords);
  words[kMagic] = kShaderCodeMagic;
  words[kVersion] = code.version;
  words[kGlslOffset] = kHeaderWords * 4;
  words[kGlslBytes] = glslBytes;
  words.resize(kHeaderWords + glslWords, 0);
  std::memcpy(&words[kHeaderWords], code.glsl.c_str(), glslBytes);
  words[kInputOffset] = static_cast<uint32_t>(words.size() * 4);
  words[kInputCount] = static_cast<uint32_t>(code.inputs.size());
  for (const ShaderInput &input : code.inputs) {
    words.push_back(input.usage);
    words.push_back(input.usageIndex);
  }
  words[kConstantOffset] = static_cast<uint32_t>(words.size() * 4);
  words[kConstantCount] = static_cast<uint32_t>(code.constants.size());
  for (const ConstantSlot &slot : code.constants) {
    words.push_back(slot.firstRegister);
    words.push_back(slot.registerCount);
    words.push_back(slot.blockOffset);
    words.push_back(slot.registerStride);
    words.push_back(slot.bytesPerRegister);
  }
  words[kBlockBytes] = code.blockBytes;
  words[kTotalBytes] = static_cast<uint32_t>(words.size() * 4);
  return words;
}

uint32_t shaderCodeBytes(const uint32_t *words) {
  if (!words || words[kMagic] != kShaderCodeMagic) return 0;
  return words[kTotalBytes];
}

bool decodeShaderCode(const uint32_t *words, ShaderCode *code, std::string *whyNot) {
  auto fail = [&](const char *reason) {
    *whyNot = reason;
    return false;
  };
  if (!words) return fail("no code");
  if (words[kMagic] != kShaderCodeMagic) return fail("not code from this layer's D3DXCompileShader");
  const uint32_t total = words[kTotalBytes];
  if (total < kHeaderWords * 4 || total > kShaderCodeMaxBytes || total % 4 != 0) return fail("bad code size");
  if (!knownVersion(words[kVersion])) return fail("unknown shader version");
  auto inside = [&](uint32_t offset, uint64_t bytes) {
    return offset % 4 == 0 && offset >= kHeaderWords * 4 && offset + bytes <= total;
  };
  const uint32_t glslOffset = words[kGlslOffset], glslBytes = words[kGlslBytes];
  if (glslBytes == 0 || !inside(glslOffset, glslBytes)) return fail("GLSL text outside the code");
  const char *glsl = reinterpret_cast<const char *>(words) + glslOffset;
  if (glsl[glslBytes - 1] != '\0' || std::strlen(glsl) != glslBytes - 1) return fail("GLSL text not terminated");
  const uint32_t inputCount = words[kInputCount], constantCount = words[kConstantCount];
  if (!inside(words[kInputOffset], uint64_t(inputCount) * kInputWords * 4)) return fail("input table outside the code");
  if (!inside(words[kConstantOffset], uint64_t(constantCount) * kConstantWords * 4))
    return fail("constant table outside the code");
  const uint32_t blockBytes = words[kBlockBytes];
  if (blockBytes > 65536) return fail("constant block too large");

  ShaderCode result;
  result.version = words[kVersion];
  result.glsl.assign(glsl, glslBytes - 1);
  result.blockBytes = blockBytes;
  const uint32_t *input = words + words[kInputOffset] / 4;
  for (uint32_t i = 0; i < inputCount; ++i, input += kInputWords) {
    if (input[0] > 13 || input[1] > 15) return fail("bad vertex input");
    result.inputs.push_back({input[0], input[1]});
  }
  const uint32_t *slot = words + words[kConstantOffset] / 4;
  for (uint32_t i = 0; i < constantCount; ++i, slot += kConstantWords) {
    ConstantSlot s{slot[0], slot[1], slot[2], slot[3], slot[4]};
    const uint64_t end = uint64_t(s.blockOffset) + uint64_t(s.registerCount ? s.registerCount - 1 : 0) * s.registerStride +
                         s.bytesPerRegister;
    if (s.bytesPerRegister > 16 || s.registerCount == 0 || uint64_t(s.firstRegister) + s.registerCount > 256 ||
        end > blockBytes)
      return fail("constant slot outside the constant block");
    result.constants.push_back(s);
  }
  *code = std::move(result);
  return true;
}

std::string vertexInputName(uint32_t usage, uint32_t usageIndex) {
  return "gw_in_" + std::to_string(usage) + "_" + std::to_string(usageIndex);
}

std::string varyingName(uint32_t usage, uint32_t usageIndex) {
  return "gw_var_" + std::to_string(usage) + "_" + std::to_string(usageIndex);
}

std::string colorOutputName(uint32_t index) { return "gw_out_" + std::to_string(index); }

}  // namespace glintwork
