// What only the layer's device does: the window drawable after Present, read through
// the layer's own hook (readable under the offscreen driver, whose drawables are
// single-buffered); the offscreen driver's fixed display mode; what the layer
// refuses that Windows may accept. The same device tests against Windows are device_test.cpp.
#include "d3d9/readback.h"
#include "device_fixture.h"
#include "png.h"

namespace {

constexpr D3DCOLOR kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kRed = 0xFFFF0000;

const std::vector<uint16_t> kOneTriangle = {0, 1, 2};

TEST_F(DeviceTest, PresentScalesTheBackBufferToTheClientAreaTheRightWayUp) {
  HWND big = createTestWindow(2 * kWidth, 2 * kHeight);
  ASSERT_NE(big, nullptr);
  D3DPRESENT_PARAMETERS pp = programPresentation(big, kWidth, kHeight);
  IDirect3DDevice9 *device = nullptr;
  ASSERT_EQ(
      d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, big, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
      D3D_OK);
  std::swap(device, device_);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
  const D3DRECT leftHalf = {0, 0, LONG(kWidth / 2), LONG(kHeight)};
  device_->Clear(1, &leftHalf, D3DCLEAR_TARGET, kRed, 1.0f, 0);
  // White over the top right quarter: clip +y is up.
  drawColored({{0.1f, 0.95f, 0.5f, kWhite}, {0.95f, 0.95f, 0.5f, kWhite}, {0.95f, 0.1f, 0.5f, kWhite}}, kOneTriangle);
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  std::vector<uint32_t> window;
  UINT w = 0, h = 0;
  ASSERT_EQ(glintwork::readWindowDrawable(device_, &window, &w, &h), D3D_OK);
  RECT client;
  GetClientRect(big, &client);
  EXPECT_EQ(w, UINT(client.right));
  EXPECT_EQ(h, UINT(client.bottom));
  ASSERT_EQ(w, 2 * kWidth);
  auto at = [&](UINT x, UINT y) { return window[size_t(y) * w + x] & 0xFFFFFF; };
  EXPECT_EQ(at(w / 4, h / 2), 0xFF0000u);
  EXPECT_EQ(at(w - 24, 24), 0xFFFFFFu);
  EXPECT_EQ(at(w - 8, h - 8), 0u);
  EXPECT_EQ(at(w / 2 + 4, h / 2 + 4), 0u);
  testpng::write("present_scaled.png", window, w, h);
  for (auto it = owned_.rbegin(); it != owned_.rend(); ++it) (*it)->Release();
  owned_.clear();
  std::swap(device, device_);
  EXPECT_EQ(device->Release(), 0u);
  DestroyWindow(big);
}

TEST_F(DeviceTest, TheOffscreenDriverReportsAFixed1024By768Mode) {
  D3DDISPLAYMODE mode;
  ASSERT_EQ(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
  EXPECT_EQ(mode.Width, 1024u);
  EXPECT_EQ(mode.Height, 768u);
  EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
}

// What the layer cannot honour, refused with the code Direct3D uses for it, and the
// out pointer cleared. (Windows may honour any of these.)
TEST_F(DeviceTest, CreateDeviceRefusesWhatTheLayerCannotHonour) {
  struct Row {
    const char *context;
    void (*change)(D3DPRESENT_PARAMETERS *, D3DDEVTYPE *, HWND *);
    HRESULT expected;
  } rows[] = {
      {"full screen", [](D3DPRESENT_PARAMETERS *pp, D3DDEVTYPE *, HWND *) { pp->Windowed = FALSE; },
       D3DERR_NOTAVAILABLE},
      {"16-bit back buffer",
       [](D3DPRESENT_PARAMETERS *pp, D3DDEVTYPE *, HWND *) { pp->BackBufferFormat = D3DFMT_R5G6B5; },
       D3DERR_NOTAVAILABLE},
      {"15-bit depth with stencil",
       [](D3DPRESENT_PARAMETERS *pp, D3DDEVTYPE *, HWND *) { pp->AutoDepthStencilFormat = D3DFMT_D15S1; },
       D3DERR_NOTAVAILABLE},
      {"multisampling",
       [](D3DPRESENT_PARAMETERS *pp, D3DDEVTYPE *, HWND *) { pp->MultiSampleType = D3DMULTISAMPLE_4_SAMPLES; },
       D3DERR_NOTAVAILABLE},
      {"reference rasteriser", [](D3DPRESENT_PARAMETERS *, D3DDEVTYPE *type, HWND *) { *type = D3DDEVTYPE_REF; },
       D3DERR_NOTAVAILABLE},
      {"a window without a drawable",
       [](D3DPRESENT_PARAMETERS *pp, D3DDEVTYPE *, HWND *focus) {
         pp->hDeviceWindow = reinterpret_cast<HWND>(0x1234);
         *focus = pp->hDeviceWindow;
       },
       D3DERR_INVALIDCALL},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.context);
    D3DPRESENT_PARAMETERS pp = programPresentation(window_, 64, 48);
    D3DDEVTYPE type = D3DDEVTYPE_HAL;
    HWND focus = window_;
    row.change(&pp, &type, &focus);
    IDirect3DDevice9 *device = reinterpret_cast<IDirect3DDevice9 *>(1);
    EXPECT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, type, focus, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
              row.expected);
    EXPECT_EQ(device, nullptr);
  }
  D3DCAPS9 caps;
  EXPECT_EQ(d3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(Direct3DCreate9(31), nullptr);  // only the SDK version the program is built with
}

// The layer checks what Direct3D leaves to the debug runtime or to the caller: draws
// that would read past the buffers, locks past the end, unlocking what is not locked,
// empty buffers, unknown render states; a failed creation clears its out pointer.
TEST_F(DeviceTest, CallsOutOfRangeAreRefused) {
  const std::vector<ColorVertex> vertices = triangleAt(0.5f, kWhite);
  IDirect3DVertexBuffer9 *vb = vertexBuffer(vertices.data(), UINT(vertices.size() * sizeof(ColorVertex)));
  IDirect3DIndexBuffer9 *ib = indexBuffer({0, 1, 2, 0, 2, 3});  // index 3 is past the three vertices
  device_->SetFVF(kColorFvf);
  device_->SetStreamSource(0, vb, 0, sizeof(ColorVertex));
  device_->SetIndices(ib);
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  struct Row {
    const char *context;
    INT base;
    UINT minIndex, vertices, start, primitives;
    HRESULT expected;
  } rows[] = {
      {"the first triangle", 0, 0, 3, 0, 1, D3D_OK},
      {"past the end of the indices", 0, 0, 3, 3, 2, D3DERR_INVALIDCALL},
      {"an index beyond NumVertices", 0, 0, 3, 3, 1, D3DERR_INVALIDCALL},
      {"an index beyond the vertex buffer", 0, 0, 4, 3, 1, D3DERR_INVALIDCALL},
      {"a base vertex that runs off the buffer", 1, 0, 3, 0, 1, D3DERR_INVALIDCALL},
      {"a base vertex below zero", -1, 0, 3, 0, 1, D3DERR_INVALIDCALL},
      {"no primitives", 0, 0, 3, 0, 0, D3DERR_INVALIDCALL},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.context);
    EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, row.base, row.minIndex, row.vertices, row.start,
                                            row.primitives),
              row.expected);
  }
  EXPECT_EQ(device_->EndScene(), D3D_OK);

  void *data = nullptr;
  EXPECT_EQ(vb->Lock(8, UINT(vertices.size() * sizeof(ColorVertex)), &data, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);
  IDirect3DVertexBuffer9 *empty = nullptr;
  EXPECT_EQ(device_->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, &empty, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetRenderState(D3DRENDERSTATETYPE(1000), 0), D3DERR_INVALIDCALL);

  const DWORD junk[] = {0x12345678, 0, 0, 0};
  IDirect3DVertexShader9 *vs = reinterpret_cast<IDirect3DVertexShader9 *>(1);
  EXPECT_EQ(device_->CreateVertexShader(junk, &vs), D3DERR_INVALIDCALL);
  EXPECT_EQ(vs, nullptr);
  ID3DXMesh *sphere = reinterpret_cast<ID3DXMesh *>(1);
  EXPECT_EQ(D3DXCreateSphere(device_, 1.0f, 1, 4, &sphere, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(sphere, nullptr);
}

}  // namespace
