// Shared set-up of the device tests: a hidden top-level window made by the layer's
// CreateWindowExW, a device on it, buffers and shaders from literal data, and the
// back buffer read back as 0xAARRGGBB pixels with row 0 at the top.
#pragma once

#include <gtest/gtest.h>

#include <d3dx9.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct ColorVertex {
  float x, y, z;
  D3DCOLOR color;
};
constexpr DWORD kColorFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

// A top-level window whose client area is width × height.
HWND createTestWindow(int width, int height);

// The presentation parameters the program uses, for a width × height back buffer.
D3DPRESENT_PARAMETERS programPresentation(HWND window, UINT width, UINT height);

class DeviceTest : public ::testing::Test {
 protected:
  static constexpr UINT kWidth = 160, kHeight = 120;

  void SetUp() override;
  void TearDown() override;

  IDirect3DVertexBuffer9 *vertexBuffer(const void *data, UINT bytes);
  IDirect3DIndexBuffer9 *indexBuffer(const std::vector<uint16_t> &indices);
  // Draws an indexed triangle list of coloured vertices with the given FVF state.
  void drawColored(const std::vector<ColorVertex> &vertices, const std::vector<uint16_t> &indices);
  IDirect3DVertexShader9 *vertexShader(const char *source);
  IDirect3DPixelShader9 *pixelShader(const char *source, ID3DXConstantTable **table = nullptr);
  ID3DXConstantTable *lastVertexTable() { return vsTable_; }

  void readBack();
  uint32_t rgb(int x, int y) const { return pixels_[size_t(y) * width_ + x] & 0xFFFFFF; }
  bool savePng(const std::string &name) const;

  HWND window_ = nullptr;
  IDirect3D9 *d3d_ = nullptr;
  IDirect3DDevice9 *device_ = nullptr;
  std::vector<IUnknown *> owned_;
  ID3DXConstantTable *vsTable_ = nullptr;
  std::vector<uint32_t> pixels_;
  UINT width_ = 0, height_ = 0;
};

// A full-screen-ish triangle at clip depth z.
std::vector<ColorVertex> triangleAt(float z, D3DCOLOR color);
