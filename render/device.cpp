// Device creation and release: one windowed HAL device on the main window with an
// automatic D24S8 depth-stencil buffer, presenting immediately; released last.
#include "renderer.h"

#include "mesh/meshbuffers.h"

namespace {

D3DPRESENT_PARAMETERS presentationParameters(const Renderer &renderer) {
  D3DPRESENT_PARAMETERS parameters = {};
  parameters.BackBufferWidth = static_cast<UINT>(renderer.width);
  parameters.BackBufferHeight = static_cast<UINT>(renderer.height);
  parameters.BackBufferFormat = D3DFMT_A8R8G8B8;  // whatever the desktop runs in
  parameters.BackBufferCount = 1;
  parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
  parameters.MultiSampleQuality = 0;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.hDeviceWindow = renderer.window;
  parameters.Windowed = TRUE;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
  parameters.Flags = 0;
  parameters.FullScreen_RefreshRateInHz = 0;
  parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;  // the 60 Hz tick bounds the rate
  return parameters;
}

// Hardware vertex processing when the adapter can transform and light, else software.
DWORD behaviourFlags(IDirect3D9 *direct3d) {
  D3DCAPS9 caps = {};
  if (FAILED(direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) {
    return D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  }
  return (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                          : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
}

}  // namespace

bool createDevice(Renderer &renderer) {
  return createDeviceOn(renderer, Direct3DCreate9(D3D_SDK_VERSION));
}

bool createDeviceOn(Renderer &renderer, IDirect3D9 *direct3d) {
  if (direct3d == nullptr) {
    return false;
  }
  // The mode only proves the adapter answers; the back-buffer format is fixed.
  D3DDISPLAYMODE mode;
  if (FAILED(direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) {
    direct3d->Release();
    return false;
  }
  DWORD flags = behaviourFlags(direct3d);
  D3DPRESENT_PARAMETERS parameters = presentationParameters(renderer);
  HRESULT result = direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, renderer.window,
                                          flags, &parameters, &renderer.device);
  direct3d->Release();
  if (FAILED(result) || renderer.device == nullptr) {
    return false;
  }
  renderer.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  renderer.device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  return true;
}

bool releaseResources(Renderer &renderer) {
  for (MeshBuffers *mesh : renderer.meshes) {
    mesh->vertexBuffer->Release();
    mesh->indexBuffer->Release();
  }
  renderer.lightMarker->Release();
  renderer.pixelShader->Release();
  renderer.vertexShader->Release();
  renderer.device->Release();
  return true;
}
