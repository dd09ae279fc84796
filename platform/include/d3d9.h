/* The Direct3D 9 subset Glintwork calls, for non-Windows hosts: Direct3DCreate9, the
 * IDirect3D9 object, the device and the resources it draws with. Interfaces carry the
 * methods the program uses, with Direct3D's names and argument lists, in Direct3D's
 * order; methods the layer does not implement are not declared. */
#ifndef GLINTWORK_D3D9_H
#define GLINTWORK_D3D9_H

#include "unknwn.h"
#include "d3d9types.h"
#include "d3d9caps.h"

#define D3D_SDK_VERSION 32
#define D3DADAPTER_DEFAULT 0

/* Behaviour flags of CreateDevice */
#define D3DCREATE_FPU_PRESERVE 0x00000002L
#define D3DCREATE_MULTITHREADED 0x00000004L
#define D3DCREATE_PUREDEVICE 0x00000010L
#define D3DCREATE_SOFTWARE_VERTEXPROCESSING 0x00000020L
#define D3DCREATE_HARDWARE_VERTEXPROCESSING 0x00000040L
#define D3DCREATE_MIXED_VERTEXPROCESSING 0x00000080L

/* Results */
#define _FACD3D 0x876
#define MAKE_D3DHRESULT(code) MAKE_HRESULT(1, _FACD3D, code)
#define MAKE_D3DSTATUS(code) MAKE_HRESULT(0, _FACD3D, code)
#define D3D_OK S_OK
#define D3DERR_WRONGTEXTUREFORMAT MAKE_D3DHRESULT(2072)
#define D3DERR_UNSUPPORTEDCOLOROPERATION MAKE_D3DHRESULT(2073)
#define D3DERR_DRIVERINTERNALERROR MAKE_D3DHRESULT(2087)
#define D3DERR_NOTFOUND MAKE_D3DHRESULT(2150)
#define D3DERR_MOREDATA MAKE_D3DHRESULT(2151)
#define D3DERR_DEVICELOST MAKE_D3DHRESULT(2152)
#define D3DERR_DEVICENOTRESET MAKE_D3DHRESULT(2153)
#define D3DERR_NOTAVAILABLE MAKE_D3DHRESULT(2154)
#define D3DERR_OUTOFVIDEOMEMORY MAKE_D3DHRESULT(380)
#define D3DERR_INVALIDDEVICE MAKE_D3DHRESULT(2155)
#define D3DERR_INVALIDCALL MAKE_D3DHRESULT(2156)
#define D3DERR_DRIVERINVALIDCALL MAKE_D3DHRESULT(2157)
#define D3DERR_WASSTILLDRAWING MAKE_D3DHRESULT(540)

interface IDirect3D9;
interface IDirect3DDevice9;
interface IDirect3DResource9;
interface IDirect3DVertexBuffer9;
interface IDirect3DIndexBuffer9;
interface IDirect3DVertexDeclaration9;
interface IDirect3DVertexShader9;
interface IDirect3DPixelShader9;

/* {81BDCBCA-64D4-426D-AE8D-AD0147F4275C} */
static const IID IID_IDirect3D9 = {0x81bdcbca, 0x64d4, 0x426d, {0xae, 0x8d, 0xad, 0x01, 0x47, 0xf4, 0x27, 0x5c}};
/* {D0223B96-BF7A-43FD-92BD-A43B0D82B9EB} */
static const IID IID_IDirect3DDevice9 = {0xd0223b96, 0xbf7a, 0x43fd, {0x92, 0xbd, 0xa4, 0x3b, 0x0d, 0x82, 0xb9, 0xeb}};

DECLARE_INTERFACE_(IDirect3D9, IUnknown) {
  STDMETHOD_(UINT, GetAdapterCount)(THIS) PURE;
  STDMETHOD(GetAdapterDisplayMode)(THIS_ UINT Adapter, D3DDISPLAYMODE *pMode) PURE;
  STDMETHOD(GetDeviceCaps)(THIS_ UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9 *pCaps) PURE;
  STDMETHOD(CreateDevice)(THIS_ UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD BehaviorFlags,
                          D3DPRESENT_PARAMETERS *pPresentationParameters,
                          IDirect3DDevice9 **ppReturnedDeviceInterface) PURE;
};

DECLARE_INTERFACE_(IDirect3DDevice9, IUnknown) {
  STDMETHOD(GetDirect3D)(THIS_ IDirect3D9 **ppD3D9) PURE;
  STDMETHOD(GetDeviceCaps)(THIS_ D3DCAPS9 *pCaps) PURE;
  STDMETHOD(Present)(THIS_ const RECT *pSourceRect, const RECT *pDestRect, HWND hDestWindowOverride,
                     const RGNDATA *pDirtyRegion) PURE;
  STDMETHOD(CreateVertexBuffer)(THIS_ UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                IDirect3DVertexBuffer9 **ppVertexBuffer, HANDLE *pSharedHandle) PURE;
  STDMETHOD(CreateIndexBuffer)(THIS_ UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                               IDirect3DIndexBuffer9 **ppIndexBuffer, HANDLE *pSharedHandle) PURE;
  STDMETHOD(BeginScene)(THIS) PURE;
  STDMETHOD(EndScene)(THIS) PURE;
  STDMETHOD(Clear)(THIS_ DWORD Count, const D3DRECT *pRects, DWORD Flags, D3DCOLOR Color, float Z,
                   DWORD Stencil) PURE;
  STDMETHOD(SetTransform)(THIS_ D3DTRANSFORMSTATETYPE State, const D3DMATRIX *pMatrix) PURE;
  STDMETHOD(GetTransform)(THIS_ D3DTRANSFORMSTATETYPE State, D3DMATRIX *pMatrix) PURE;
  STDMETHOD(SetRenderState)(THIS_ D3DRENDERSTATETYPE State, DWORD Value) PURE;
  STDMETHOD(GetRenderState)(THIS_ D3DRENDERSTATETYPE State, DWORD *pValue) PURE;
  STDMETHOD(DrawIndexedPrimitive)(THIS_ D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex, UINT MinVertexIndex,
                                  UINT NumVertices, UINT startIndex, UINT primCount) PURE;
  STDMETHOD(CreateVertexDeclaration)(THIS_ const D3DVERTEXELEMENT9 *pVertexElements,
                                     IDirect3DVertexDeclaration9 **ppDecl) PURE;
  STDMETHOD(SetVertexDeclaration)(THIS_ IDirect3DVertexDeclaration9 *pDecl) PURE;
  STDMETHOD(GetVertexDeclaration)(THIS_ IDirect3DVertexDeclaration9 **ppDecl) PURE;
  STDMETHOD(SetFVF)(THIS_ DWORD FVF) PURE;
  STDMETHOD(GetFVF)(THIS_ DWORD *pFVF) PURE;
  STDMETHOD(CreateVertexShader)(THIS_ const DWORD *pFunction, IDirect3DVertexShader9 **ppShader) PURE;
  STDMETHOD(SetVertexShader)(THIS_ IDirect3DVertexShader9 *pShader) PURE;
  STDMETHOD(GetVertexShader)(THIS_ IDirect3DVertexShader9 **ppShader) PURE;
  STDMETHOD(SetVertexShaderConstantF)(THIS_ UINT StartRegister, const float *pConstantData,
                                      UINT Vector4fCount) PURE;
  STDMETHOD(GetVertexShaderConstantF)(THIS_ UINT StartRegister, float *pConstantData, UINT Vector4fCount) PURE;
  STDMETHOD(SetStreamSource)(THIS_ UINT StreamNumber, IDirect3DVertexBuffer9 *pStreamData, UINT OffsetInBytes,
                             UINT Stride) PURE;
  STDMETHOD(GetStreamSource)(THIS_ UINT StreamNumber, IDirect3DVertexBuffer9 **ppStreamData, UINT *pOffsetInBytes,
                             UINT *pStride) PURE;
  STDMETHOD(SetIndices)(THIS_ IDirect3DIndexBuffer9 *pIndexData) PURE;
  STDMETHOD(GetIndices)(THIS_ IDirect3DIndexBuffer9 **ppIndexData) PURE;
  STDMETHOD(CreatePixelShader)(THIS_ const DWORD *pFunction, IDirect3DPixelShader9 **ppShader) PURE;
  STDMETHOD(SetPixelShader)(THIS_ IDirect3DPixelShader9 *pShader) PURE;
  STDMETHOD(GetPixelShader)(THIS_ IDirect3DPixelShader9 **ppShader) PURE;
  STDMETHOD(SetPixelShaderConstantF)(THIS_ UINT StartRegister, const float *pConstantData,
                                     UINT Vector4fCount) PURE;
  STDMETHOD(GetPixelShaderConstantF)(THIS_ UINT StartRegister, float *pConstantData, UINT Vector4fCount) PURE;
};

DECLARE_INTERFACE_(IDirect3DResource9, IUnknown) {
  STDMETHOD(GetDevice)(THIS_ IDirect3DDevice9 **ppDevice) PURE;
  STDMETHOD_(D3DRESOURCETYPE, GetType)(THIS) PURE;
};

DECLARE_INTERFACE_(IDirect3DVertexBuffer9, IDirect3DResource9) {
  STDMETHOD(Lock)(THIS_ UINT OffsetToLock, UINT SizeToLock, void **ppbData, DWORD Flags) PURE;
  STDMETHOD(Unlock)(THIS) PURE;
  STDMETHOD(GetDesc)(THIS_ D3DVERTEXBUFFER_DESC *pDesc) PURE;
};

DECLARE_INTERFACE_(IDirect3DIndexBuffer9, IDirect3DResource9) {
  STDMETHOD(Lock)(THIS_ UINT OffsetToLock, UINT SizeToLock, void **ppbData, DWORD Flags) PURE;
  STDMETHOD(Unlock)(THIS) PURE;
  STDMETHOD(GetDesc)(THIS_ D3DINDEXBUFFER_DESC *pDesc) PURE;
};

DECLARE_INTERFACE_(IDirect3DVertexDeclaration9, IUnknown) {
  STDMETHOD(GetDevice)(THIS_ IDirect3DDevice9 **ppDevice) PURE;
  STDMETHOD(GetDeclaration)(THIS_ D3DVERTEXELEMENT9 *pElement, UINT *pNumElements) PURE;
};

DECLARE_INTERFACE_(IDirect3DVertexShader9, IUnknown) {
  STDMETHOD(GetDevice)(THIS_ IDirect3DDevice9 **ppDevice) PURE;
  STDMETHOD(GetFunction)(THIS_ void *pData, UINT *pSizeOfData) PURE;
};

DECLARE_INTERFACE_(IDirect3DPixelShader9, IUnknown) {
  STDMETHOD(GetDevice)(THIS_ IDirect3DDevice9 **ppDevice) PURE;
  STDMETHOD(GetFunction)(THIS_ void *pData, UINT *pSizeOfData) PURE;
};

typedef IDirect3D9 *LPDIRECT3D9, *PDIRECT3D9;
typedef IDirect3DDevice9 *LPDIRECT3DDEVICE9, *PDIRECT3DDEVICE9;
typedef IDirect3DResource9 *LPDIRECT3DRESOURCE9, *PDIRECT3DRESOURCE9;
typedef IDirect3DVertexBuffer9 *LPDIRECT3DVERTEXBUFFER9, *PDIRECT3DVERTEXBUFFER9;
typedef IDirect3DIndexBuffer9 *LPDIRECT3DINDEXBUFFER9, *PDIRECT3DINDEXBUFFER9;
typedef IDirect3DVertexDeclaration9 *LPDIRECT3DVERTEXDECLARATION9, *PDIRECT3DVERTEXDECLARATION9;
typedef IDirect3DVertexShader9 *LPDIRECT3DVERTEXSHADER9, *PDIRECT3DVERTEXSHADER9;
typedef IDirect3DPixelShader9 *LPDIRECT3DPIXELSHADER9, *PDIRECT3DPIXELSHADER9;

extern "C" IDirect3D9 *WINAPI Direct3DCreate9(UINT SDKVersion);

#endif
