// The device tests' shared set-up (see device_fixture.h).
#include "device_fixture.h"

#include <cstring>

#include "png.h"

namespace {

LRESULT CALLBACK testWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND createTestWindow(int width, int height) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = testWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"glintworkD3DTest";
    registered = RegisterClassExW(&wc) != 0;
  }
  RECT r = {0, 0, width, height};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
  return CreateWindowExW(0, L"glintworkD3DTest", L"d3d test", WS_OVERLAPPEDWINDOW, 0, 0, r.right - r.left,
                         r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

D3DPRESENT_PARAMETERS programPresentation(HWND window, UINT width, UINT height) {
  D3DPRESENT_PARAMETERS pp{};
  pp.BackBufferWidth = width;
  pp.BackBufferHeight = height;
  pp.BackBufferFormat = D3DFMT_A8R8G8B8;
  pp.BackBufferCount = 1;
  pp.MultiSampleType = D3DMULTISAMPLE_NONE;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.hDeviceWindow = window;
  pp.Windowed = TRUE;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D24S8;
  pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  return pp;
}

void DeviceTest::SetUp() {
  window_ = createTestWindow(kWidth, kHeight);
  ASSERT_NE(window_, nullptr);
  d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d_, nullptr);
  D3DPRESENT_PARAMETERS pp = programPresentation(window_, kWidth, kHeight);
  ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                               &device_),
            D3D_OK);
  ASSERT_NE(device_, nullptr);
}

void DeviceTest::TearDown() {
  for (auto it = owned_.rbegin(); it != owned_.rend(); ++it) (*it)->Release();
  owned_.clear();
  if (device_) {
    EXPECT_EQ(device_->Release(), 0u);
  }
  if (d3d_) {
    EXPECT_EQ(d3d_->Release(), 0u);
  }
  if (window_) DestroyWindow(window_);
}

IDirect3DVertexBuffer9 *DeviceTest::vertexBuffer(const void *data, UINT bytes) {
  IDirect3DVertexBuffer9 *vb = nullptr;
  EXPECT_EQ(device_->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
  void *p = nullptr;
  EXPECT_EQ(vb->Lock(0, 0, &p, 0), D3D_OK);
  std::memcpy(p, data, bytes);
  EXPECT_EQ(vb->Unlock(), D3D_OK);
  owned_.push_back(vb);
  return vb;
}

IDirect3DIndexBuffer9 *DeviceTest::indexBuffer(const std::vector<uint16_t> &indices) {
  IDirect3DIndexBuffer9 *ib = nullptr;
  const UINT bytes = UINT(indices.size() * 2);
  EXPECT_EQ(device_->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr),
            D3D_OK);
  void *p = nullptr;
  EXPECT_EQ(ib->Lock(0, 0, &p, 0), D3D_OK);
  std::memcpy(p, indices.data(), bytes);
  EXPECT_EQ(ib->Unlock(), D3D_OK);
  owned_.push_back(ib);
  return ib;
}

void DeviceTest::drawColored(const std::vector<ColorVertex> &vertices, const std::vector<uint16_t> &indices) {
  IDirect3DVertexBuffer9 *vb = vertexBuffer(vertices.data(), UINT(vertices.size() * sizeof(ColorVertex)));
  IDirect3DIndexBuffer9 *ib = indexBuffer(indices);
  EXPECT_EQ(device_->SetFVF(kColorFvf), D3D_OK);
  EXPECT_EQ(device_->SetStreamSource(0, vb, 0, sizeof(ColorVertex)), D3D_OK);
  EXPECT_EQ(device_->SetIndices(ib), D3D_OK);
  EXPECT_EQ(device_->BeginScene(), D3D_OK);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, UINT(vertices.size()), 0,
                                          UINT(indices.size() / 3)),
            D3D_OK);
  EXPECT_EQ(device_->EndScene(), D3D_OK);
}

IDirect3DVertexShader9 *DeviceTest::vertexShader(const char *source) {
  ID3DXBuffer *code = nullptr, *messages = nullptr;
  HRESULT hr = D3DXCompileShader(source, UINT(std::strlen(source)), nullptr, nullptr, "Main", "vs_2_0", 0, &code,
                                 &messages, &vsTable_);
  EXPECT_EQ(hr, D3D_OK) << (messages ? static_cast<const char *>(messages->GetBufferPointer()) : "");
  if (messages) messages->Release();
  if (!code) return nullptr;
  owned_.push_back(vsTable_);
  IDirect3DVertexShader9 *shader = nullptr;
  EXPECT_EQ(device_->CreateVertexShader(static_cast<const DWORD *>(code->GetBufferPointer()), &shader), D3D_OK);
  code->Release();
  if (shader) owned_.push_back(shader);
  return shader;
}

IDirect3DPixelShader9 *DeviceTest::pixelShader(const char *source, ID3DXConstantTable **table) {
  ID3DXBuffer *code = nullptr, *messages = nullptr;
  ID3DXConstantTable *constants = nullptr;
  HRESULT hr = D3DXCompileShader(source, UINT(std::strlen(source)), nullptr, nullptr, "Main", "ps_2_0", 0, &code,
                                 &messages, &constants);
  EXPECT_EQ(hr, D3D_OK) << (messages ? static_cast<const char *>(messages->GetBufferPointer()) : "");
  if (messages) messages->Release();
  if (!code) return nullptr;
  owned_.push_back(constants);
  if (table) *table = constants;
  IDirect3DPixelShader9 *shader = nullptr;
  EXPECT_EQ(device_->CreatePixelShader(static_cast<const DWORD *>(code->GetBufferPointer()), &shader), D3D_OK);
  code->Release();
  if (shader) owned_.push_back(shader);
  return shader;
}

bool DeviceTest::savePng(const std::string &name) const { return testpng::write(name, pixels_, width_, height_); }

std::vector<ColorVertex> triangleAt(float z, D3DCOLOR color) {
  return {{-0.9f, 0.9f, z, color}, {0.9f, 0.9f, z, color}, {0.0f, -0.9f, z, color}};
}
