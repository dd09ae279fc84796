// Direct3DCreate9 and IDirect3D9: one adapter (the default), a HAL device with hardware
// transform and lighting and shader model 3.0, windowed devices only. The display mode
// is SDL's desktop mode, or a fixed 1024 × 768 X8R8G8B8 mode under the offscreen driver.
#include <cstring>
#include <new>

#include "../user32/window_host.h"
#include "objects.h"

namespace glintwork {
namespace {

bool knownFormat(D3DFORMAT f) {
  switch (f) {
    case D3DFMT_UNKNOWN: case D3DFMT_R8G8B8: case D3DFMT_A8R8G8B8: case D3DFMT_X8R8G8B8: case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5: case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4: case D3DFMT_A2R10G10B10:
    case D3DFMT_D16_LOCKABLE: case D3DFMT_D32: case D3DFMT_D15S1: case D3DFMT_D24S8: case D3DFMT_D24X8:
    case D3DFMT_D24X4S4: case D3DFMT_D16:
      return true;
    default:
      return false;
  }
}

bool depthFormat(D3DFORMAT f) {
  return f == D3DFMT_D16_LOCKABLE || f == D3DFMT_D32 || f == D3DFMT_D15S1 || f == D3DFMT_D24S8 ||
         f == D3DFMT_D24X8 || f == D3DFMT_D24X4S4 || f == D3DFMT_D16;
}

// Checks the presentation parameters and fills in what Direct3D derives (a zero size
// from the window, an unknown format from the display); the result says why not.
HRESULT checkPresentation(D3DPRESENT_PARAMETERS *pp, SDL_Window *window) {
  if (!pp->Windowed) {
    reportOnce(Module::D3D9, "CreateDevice: full-screen devices are not supported");
    return D3DERR_NOTAVAILABLE;
  }
  if (pp->FullScreen_RefreshRateInHz != 0) return D3DERR_INVALIDCALL;
  if (!knownFormat(pp->BackBufferFormat) || depthFormat(pp->BackBufferFormat)) return D3DERR_INVALIDCALL;
  if (pp->BackBufferFormat != D3DFMT_A8R8G8B8 && pp->BackBufferFormat != D3DFMT_X8R8G8B8 &&
      pp->BackBufferFormat != D3DFMT_UNKNOWN) {
    report(Module::D3D9, "CreateDevice: back-buffer format %d is not available", pp->BackBufferFormat);
    return D3DERR_NOTAVAILABLE;
  }
  if (pp->BackBufferCount > 3) return D3DERR_INVALIDCALL;
  if (pp->SwapEffect < D3DSWAPEFFECT_DISCARD || pp->SwapEffect > D3DSWAPEFFECT_COPY) return D3DERR_INVALIDCALL;
  if (pp->MultiSampleType != D3DMULTISAMPLE_NONE) {
    report(Module::D3D9, "CreateDevice: multisampling is not available");
    return D3DERR_NOTAVAILABLE;
  }
  if (pp->EnableAutoDepthStencil) {
    if (!depthFormat(pp->AutoDepthStencilFormat)) return D3DERR_INVALIDCALL;
    const D3DFORMAT f = pp->AutoDepthStencilFormat;
    if (f != D3DFMT_D24S8 && f != D3DFMT_D24X8 && f != D3DFMT_D16 && f != D3DFMT_D32) {
      report(Module::D3D9, "CreateDevice: depth-stencil format %d is not available", f);
      return D3DERR_NOTAVAILABLE;
    }
  }
  const UINT interval = pp->PresentationInterval;
  if (interval != D3DPRESENT_INTERVAL_IMMEDIATE && interval != D3DPRESENT_INTERVAL_DEFAULT &&
      interval != D3DPRESENT_INTERVAL_ONE) {
    report(Module::D3D9, "CreateDevice: presentation interval 0x%x is not available", interval);
    return D3DERR_NOTAVAILABLE;
  }
  int width = 0, height = 0;
  SDL_GetWindowSize(window, &width, &height);
  if (pp->BackBufferWidth == 0) pp->BackBufferWidth = width > 0 ? UINT(width) : 1;
  if (pp->BackBufferHeight == 0) pp->BackBufferHeight = height > 0 ? UINT(height) : 1;
  if (pp->BackBufferFormat == D3DFMT_UNKNOWN) pp->BackBufferFormat = D3DFMT_X8R8G8B8;
  if (pp->BackBufferCount == 0) pp->BackBufferCount = 1;
  return D3D_OK;
}

}  // namespace

Direct3D::Direct3D() : videoUp_(SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
  if (!videoUp_) report(Module::D3D9, "Direct3DCreate9: SDL video failed to start: %s", SDL_GetError());
}

Direct3D::~Direct3D() {
  if (videoUp_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

UINT STDMETHODCALLTYPE Direct3D::GetAdapterCount() { return 1; }

HRESULT STDMETHODCALLTYPE Direct3D::GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE *pMode) {
  GW_TRACE(Module::D3D9, "IDirect3D9::GetAdapterDisplayMode(%u)", Adapter);
  if (Adapter != D3DADAPTER_DEFAULT || !pMode) return D3DERR_INVALIDCALL;
  const char *driver = SDL_GetCurrentVideoDriver();
  SDL_DisplayMode mode;
  if (driver && std::strcmp(driver, "offscreen") == 0) {
    *pMode = {1024, 768, 60, D3DFMT_X8R8G8B8};
    return D3D_OK;
  }
  if (!videoUp_ || SDL_GetDesktopDisplayMode(0, &mode) != 0) {
    report(Module::D3D9, "GetAdapterDisplayMode: SDL_GetDesktopDisplayMode failed: %s", SDL_GetError());
    return D3DERR_NOTAVAILABLE;
  }
  pMode->Width = UINT(mode.w);
  pMode->Height = UINT(mode.h);
  pMode->RefreshRate = UINT(mode.refresh_rate);
  pMode->Format = SDL_BITSPERPIXEL(mode.format) == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
  return D3D_OK;
}

void Direct3D::fillCaps(D3DCAPS9 *caps) {
  std::memset(caps, 0, sizeof *caps);
  caps->DeviceType = D3DDEVTYPE_HAL;
  caps->AdapterOrdinal = 0;
  caps->PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
  caps->DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_DRAWPRIMITIVES2 |
                  D3DDEVCAPS_DRAWPRIMITIVES2EX | D3DDEVCAPS_EXECUTEVIDEOMEMORY | D3DDEVCAPS_TLVERTEXVIDEOMEMORY;
  caps->PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW |
                            D3DPMISCCAPS_COLORWRITEENABLE;
  caps->ZCmpCaps = D3DPCMPCAPS_NEVER | D3DPCMPCAPS_LESS | D3DPCMPCAPS_EQUAL | D3DPCMPCAPS_LESSEQUAL |
                   D3DPCMPCAPS_GREATER | D3DPCMPCAPS_NOTEQUAL | D3DPCMPCAPS_GREATEREQUAL | D3DPCMPCAPS_ALWAYS;
  caps->MaxVertexW = 1.0e10f;
  caps->GuardBandLeft = caps->GuardBandTop = -32768.0f;
  caps->GuardBandRight = caps->GuardBandBottom = 32768.0f;
  caps->FVFCaps = 8;
  caps->MaxActiveLights = 0;  // lights are not modelled
  caps->MaxPointSize = 1.0f;
  caps->MaxPrimitiveCount = 0xFFFFFF;
  caps->MaxVertexIndex = 0xFFFFFF;
  caps->MaxStreams = kStreams;
  caps->MaxStreamStride = 2048;
  caps->VertexShaderVersion = D3DVS_VERSION(3, 0);
  caps->MaxVertexShaderConst = kVertexRegisters;
  caps->PixelShaderVersion = D3DPS_VERSION(3, 0);
  caps->PixelShader1xMaxValue = 65504.0f;
  caps->MasterAdapterOrdinal = 0;
  caps->AdapterOrdinalInGroup = 0;
  caps->NumberOfAdaptersInGroup = 1;
  caps->DeclTypes = D3DDTCAPS_UBYTE4 | D3DDTCAPS_UBYTE4N | D3DDTCAPS_SHORT2N | D3DDTCAPS_SHORT4N |
                    D3DDTCAPS_USHORT2N | D3DDTCAPS_USHORT4N;
  caps->NumSimultaneousRTs = 1;
  caps->VS20Caps = {0, 24, 32, 4};
  caps->PS20Caps = {0, 24, 32, 4, 512};
  caps->MaxVShaderInstructionsExecuted = 65535;
  caps->MaxPShaderInstructionsExecuted = 65535;
  caps->MaxVertexShader30InstructionSlots = 32768;
  caps->MaxPixelShader30InstructionSlots = 32768;
}

HRESULT STDMETHODCALLTYPE Direct3D::GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9 *pCaps) {
  GW_TRACE(Module::D3D9, "IDirect3D9::GetDeviceCaps(%u, %d)", Adapter, DeviceType);
  if (Adapter != D3DADAPTER_DEFAULT || !pCaps) return D3DERR_INVALIDCALL;
  if (DeviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  fillCaps(pCaps);
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Direct3D::CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                                                 DWORD BehaviorFlags, D3DPRESENT_PARAMETERS *pPresentationParameters,
                                                 IDirect3DDevice9 **ppReturnedDeviceInterface) {
  GW_TRACE(Module::D3D9, "IDirect3D9::CreateDevice(%u, %d, %p, 0x%x, %p)", Adapter, DeviceType,
           static_cast<void *>(hFocusWindow), BehaviorFlags, static_cast<void *>(pPresentationParameters));
  if (!ppReturnedDeviceInterface) return D3DERR_INVALIDCALL;
  *ppReturnedDeviceInterface = nullptr;
  if (Adapter != D3DADAPTER_DEFAULT || !pPresentationParameters) return D3DERR_INVALIDCALL;
  if (DeviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  const DWORD processing = BehaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                            D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING);
  if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
      processing != D3DCREATE_MIXED_VERTEXPROCESSING)
    return D3DERR_INVALIDCALL;
  HWND hwnd = pPresentationParameters->hDeviceWindow ? pPresentationParameters->hDeviceWindow : hFocusWindow;
  if (!hwnd) return D3DERR_INVALIDCALL;
  SDL_Window *window = glintworkWindowDrawable(hwnd);
  if (!window) {
    report(Module::D3D9, "CreateDevice: window %p has no drawable", static_cast<void *>(hwnd));
    return D3DERR_INVALIDCALL;
  }
  D3DPRESENT_PARAMETERS pp = *pPresentationParameters;
  HRESULT hr = checkPresentation(&pp, window);
  if (FAILED(hr)) return hr;
  pp.hDeviceWindow = hwnd;
  Device *device = new (std::nothrow) Device(this, window, hwnd, pp);
  if (!device) return E_OUTOFMEMORY;
  hr = device->init();
  if (FAILED(hr)) {
    device->Release();
    return hr;
  }
  *pPresentationParameters = pp;
  *ppReturnedDeviceInterface = device;
  return D3D_OK;
}

}  // namespace glintwork

extern "C" IDirect3D9 *WINAPI Direct3DCreate9(UINT SDKVersion) {
  GW_TRACE(glintwork::Module::D3D9, "Direct3DCreate9(%u)", SDKVersion);
  if (SDKVersion != D3D_SDK_VERSION) {
    glintwork::report(glintwork::Module::D3D9, "Direct3DCreate9: SDK version %u is not %d", SDKVersion,
                      D3D_SDK_VERSION);
    return nullptr;
  }
  return new (std::nothrow) glintwork::Direct3D();
}
