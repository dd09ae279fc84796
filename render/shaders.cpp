// Shader programs: the mesh vertex layout, the Blinn-Phong vertex and pixel programs
// compiled from their HLSL sources, their constant handles and the start values of
// the three illumination terms. Any compiler message, a warning included, fails.
#include "renderer.h"

namespace {

const D3DVERTEXELEMENT9 meshVertexElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    D3DDECL_END()};

// Compiles one program. The message buffer is tested before the result, so a
// compile that succeeds with warnings fails too.
ID3DXBuffer *compileProgram(const wchar_t *path, const char *profile, ID3DXConstantTable **constants) {
  ID3DXBuffer *code = nullptr;
  ID3DXBuffer *messages = nullptr;
  HRESULT result = D3DXCompileShaderFromFileW(path, nullptr, nullptr, "Main", profile,
                                              D3DXSHADER_DEBUG, &code, &messages, constants);
  if (messages != nullptr) {
    messages->Release();
    if (code != nullptr) {
      code->Release();
    }
    return nullptr;
  }
  if (FAILED(result)) {
    return nullptr;
  }
  return code;
}

}  // namespace

bool createShaders(Renderer &renderer) {
  IDirect3DVertexDeclaration9 *declaration = nullptr;
  if (FAILED(renderer.device->CreateVertexDeclaration(meshVertexElements, &declaration))) {
    return false;
  }
  // The declaration stays set for the whole run; the device owns it from here on.
  renderer.device->SetVertexDeclaration(declaration);
  if (!createVertexShader(renderer)) {
    return false;
  }
  return createPixelShader(renderer);
}

bool createVertexShader(Renderer &renderer) {
  ID3DXBuffer *code = compileProgram(L"hlsl\\blinnphong.vsh", "vs_1_0", &renderer.vsConstants);
  if (code == nullptr) {
    return false;
  }
  HRESULT result = renderer.device->CreateVertexShader(
      static_cast<const DWORD *>(code->GetBufferPointer()), &renderer.vertexShader);
  code->Release();
  if (FAILED(result)) {
    return false;
  }
  renderer.device->SetVertexShader(renderer.vertexShader);

  ID3DXConstantTable *constants = renderer.vsConstants;
  renderer.hWorldViewProj = constants->GetConstantByName(nullptr, "matWorldViewProj");
  renderer.hWorld = constants->GetConstantByName(nullptr, "matWorld");
  renderer.hLightDir = constants->GetConstantByName(nullptr, "vecLightDir");
  renderer.hEyePosition = constants->GetConstantByName(nullptr, "vecEyePosition");
  return true;
}

bool createPixelShader(Renderer &renderer) {
  ID3DXBuffer *code = compileProgram(L"hlsl\\blinnphong.psh", "ps_2_0", &renderer.psConstants);
  if (code == nullptr) {
    return false;
  }
  HRESULT result = renderer.device->CreatePixelShader(
      static_cast<const DWORD *>(code->GetBufferPointer()), &renderer.pixelShader);
  code->Release();
  if (FAILED(result)) {
    return false;
  }
  renderer.device->SetPixelShader(renderer.pixelShader);

  ID3DXConstantTable *constants = renderer.psConstants;
  const char *names[termCount] = {"ambientIC", "diffuseIC", "specularIC"};
  for (int term = 0; term < termCount; ++term) {
    renderer.hTermIC[term] = constants->GetConstantByName(nullptr, names[term]);
  }
  for (int term = 0; term < termCount; ++term) {
    renderer.termIntensity[term] = 0.0f;
    renderer.termColor[term] = D3DXVECTOR4(0.0f, 0.0f, 0.0f, 1.0f);
  }
  // The constants start with the colour itself; later changes send intensity x colour.
  for (int term = 0; term < termCount; ++term) {
    constants->SetVector(renderer.device, renderer.hTermIC[term], &renderer.termColor[term]);
  }
  return true;
}
