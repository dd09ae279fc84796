// A recording Direct3D 9 double: a device, its Direct3D object, buffers, shaders, a
// constant table and a mesh that write every call, in order, into one shared log,
// so tests can pin the renderer's call sequence and arguments. Buffers keep real
// memory; creation calls can be made to fail.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct CallLog {
  std::vector<std::string> calls;
  void add(const std::string &call) { calls.push_back(call); }
  // The calls whose text starts with `prefix`, in order.
  std::vector<std::string> startingWith(const std::string &prefix) const;
};

// "1.5", "0.100000001": enough digits to tell floats apart.
std::string formatFloat(float value);
std::string formatFloats(const float *values, int count);
std::string formatMatrix(const D3DXMATRIX &matrix);

// IUnknown with a reference count; Release logs "Release(label)" every time.
template <class Interface>
struct Recorded : Interface {
  CallLog *log;
  std::string label;
  ULONG references = 1;
  Recorded(CallLog *callLog, std::string name) : log(callLog), label(std::move(name)) {}
  virtual ~Recorded() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void **object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override {
    log->add("Release(" + label + ")");
    return --references;  // the test owns the objects; nothing is deleted here
  }
};

struct RecordingVertexBuffer : Recorded<IDirect3DVertexBuffer9> {
  std::vector<uint8_t> bytes;
  bool failLock = false;
  RecordingVertexBuffer(CallLog *callLog, std::string name, UINT length)
      : Recorded(callLog, std::move(name)), bytes(length) {}
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9 **) override { return E_NOTIMPL; }
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
  HRESULT STDMETHODCALLTYPE Lock(UINT offset, UINT size, void **data, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Unlock() override;
  HRESULT STDMETHODCALLTYPE GetDesc(D3DVERTEXBUFFER_DESC *) override { return E_NOTIMPL; }
};

struct RecordingIndexBuffer : Recorded<IDirect3DIndexBuffer9> {
  std::vector<uint8_t> bytes;
  bool failLock = false;
  RecordingIndexBuffer(CallLog *callLog, std::string name, UINT length)
      : Recorded(callLog, std::move(name)), bytes(length) {}
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9 **) override { return E_NOTIMPL; }
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
  HRESULT STDMETHODCALLTYPE Lock(UINT offset, UINT size, void **data, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Unlock() override;
  HRESULT STDMETHODCALLTYPE GetDesc(D3DINDEXBUFFER_DESC *) override { return E_NOTIMPL; }
  std::vector<uint16_t> indices() const;
};

struct RecordingDeclaration : Recorded<IDirect3DVertexDeclaration9> {
  std::vector<D3DVERTEXELEMENT9> elements;
  using Recorded::Recorded;
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9 **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDeclaration(D3DVERTEXELEMENT9 *, UINT *) override { return E_NOTIMPL; }
};

struct RecordingVertexShader : Recorded<IDirect3DVertexShader9> {
  using Recorded::Recorded;
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9 **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFunction(void *, UINT *) override { return E_NOTIMPL; }
};

struct RecordingPixelShader : Recorded<IDirect3DPixelShader9> {
  using Recorded::Recorded;
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9 **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFunction(void *, UINT *) override { return E_NOTIMPL; }
};

// Which creation calls fail (D3DERR_INVALIDCALL) or lock calls fail.
struct DeviceFaults {
  bool createVertexBuffer = false;
  bool createIndexBuffer = false;
  bool lockVertexBuffer = false;
  bool lockIndexBuffer = false;
  bool createDeclaration = false;
  bool createVertexShader = false;
  bool createPixelShader = false;
};

struct RecordingDevice : Recorded<IDirect3DDevice9> {
  DeviceFaults faults;
  std::vector<std::unique_ptr<RecordingVertexBuffer>> vertexBuffers;
  std::vector<std::unique_ptr<RecordingIndexBuffer>> indexBuffers;
  std::vector<std::unique_ptr<RecordingDeclaration>> declarations;
  std::vector<std::unique_ptr<RecordingVertexShader>> vertexShaders;
  std::vector<std::unique_ptr<RecordingPixelShader>> pixelShaders;
  float vertexConstants[256][4] = {};
  float pixelConstants[224][4] = {};

  explicit RecordingDevice(CallLog *callLog) : Recorded(callLog, "device") {}

  // The label of an object this device made ("vb0", "ib1", "vs0", ...), or "null".
  std::string nameOf(const void *object) const;

  HRESULT STDMETHODCALLTYPE GetDirect3D(IDirect3D9 **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9 *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Present(const RECT *, const RECT *, HWND, const RGNDATA *) override;
  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                               IDirect3DVertexBuffer9 **buffer, HANDLE *shared) override;
  HRESULT STDMETHODCALLTYPE CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                              IDirect3DIndexBuffer9 **buffer, HANDLE *shared) override;
  HRESULT STDMETHODCALLTYPE BeginScene() override;
  HRESULT STDMETHODCALLTYPE EndScene() override;
  HRESULT STDMETHODCALLTYPE Clear(DWORD count, const D3DRECT *rects, DWORD flags, D3DCOLOR colour, float z,
                                  DWORD stencil) override;
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) override;
  HRESULT STDMETHODCALLTYPE GetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE, DWORD *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minVertex,
                                                 UINT vertexCount, UINT startIndex, UINT primitiveCount) override;
  HRESULT STDMETHODCALLTYPE CreateVertexDeclaration(const D3DVERTEXELEMENT9 *elements,
                                                    IDirect3DVertexDeclaration9 **declaration) override;
  HRESULT STDMETHODCALLTYPE SetVertexDeclaration(IDirect3DVertexDeclaration9 *declaration) override;
  HRESULT STDMETHODCALLTYPE GetVertexDeclaration(IDirect3DVertexDeclaration9 **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetFVF(DWORD fvf) override;
  HRESULT STDMETHODCALLTYPE GetFVF(DWORD *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateVertexShader(const DWORD *function, IDirect3DVertexShader9 **shader) override;
  HRESULT STDMETHODCALLTYPE SetVertexShader(IDirect3DVertexShader9 *shader) override;
  HRESULT STDMETHODCALLTYPE GetVertexShader(IDirect3DVertexShader9 **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetVertexShaderConstantF(UINT start, const float *data, UINT count) override;
  HRESULT STDMETHODCALLTYPE GetVertexShaderConstantF(UINT start, float *data, UINT count) override;
  HRESULT STDMETHODCALLTYPE SetStreamSource(UINT stream, IDirect3DVertexBuffer9 *buffer, UINT offset,
                                            UINT stride) override;
  HRESULT STDMETHODCALLTYPE GetStreamSource(UINT, IDirect3DVertexBuffer9 **, UINT *, UINT *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetIndices(IDirect3DIndexBuffer9 *buffer) override;
  HRESULT STDMETHODCALLTYPE GetIndices(IDirect3DIndexBuffer9 **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreatePixelShader(const DWORD *function, IDirect3DPixelShader9 **shader) override;
  HRESULT STDMETHODCALLTYPE SetPixelShader(IDirect3DPixelShader9 *shader) override;
  HRESULT STDMETHODCALLTYPE GetPixelShader(IDirect3DPixelShader9 **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPixelShaderConstantF(UINT start, const float *data, UINT count) override;
  HRESULT STDMETHODCALLTYPE GetPixelShaderConstantF(UINT start, float *data, UINT count) override;
};

// The Direct3D object: answers the display-mode and caps queries as configured and
// records the CreateDevice arguments.
struct RecordingDirect3D : Recorded<IDirect3D9> {
  bool failDisplayMode = false;
  bool failCreateDevice = false;
  bool createReturnsNull = false;
  DWORD devCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
  RecordingDevice *device;  // what CreateDevice hands out
  D3DPRESENT_PARAMETERS parameters = {};
  DWORD behaviourFlags = 0;
  HWND focusWindow = nullptr;

  RecordingDirect3D(CallLog *callLog, RecordingDevice *deviceToReturn)
      : Recorded(callLog, "direct3d"), device(deviceToReturn) {}
  UINT STDMETHODCALLTYPE GetAdapterCount() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE *mode) override;
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9 *caps) override;
  HRESULT STDMETHODCALLTYPE CreateDevice(UINT adapter, D3DDEVTYPE type, HWND window, DWORD flags,
                                         D3DPRESENT_PARAMETERS *parameters,
                                         IDirect3DDevice9 **device) override;
};

// A constant table whose handles are the names it knows; SetMatrix and SetVector log
// "<label>.SetMatrix(name, values)".
struct RecordingConstantTable : Recorded<ID3DXConstantTable> {
  std::set<std::string> names;
  RecordingConstantTable(CallLog *callLog, std::string name, std::set<std::string> known)
      : Recorded(callLog, std::move(name)), names(std::move(known)) {}
  LPVOID STDMETHODCALLTYPE GetBufferPointer() override { return nullptr; }
  DWORD STDMETHODCALLTYPE GetBufferSize() override { return 0; }
  HRESULT STDMETHODCALLTYPE GetDesc(D3DXCONSTANTTABLE_DESC *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetConstantDesc(D3DXHANDLE, D3DXCONSTANT_DESC *, UINT *) override { return E_NOTIMPL; }
  D3DXHANDLE STDMETHODCALLTYPE GetConstant(D3DXHANDLE, UINT) override { return nullptr; }
  D3DXHANDLE STDMETHODCALLTYPE GetConstantByName(D3DXHANDLE parent, LPCSTR name) override;
  HRESULT STDMETHODCALLTYPE SetFloat(LPDIRECT3DDEVICE9, D3DXHANDLE, FLOAT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetFloatArray(LPDIRECT3DDEVICE9, D3DXHANDLE, const FLOAT *, UINT) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetVector(LPDIRECT3DDEVICE9 device, D3DXHANDLE constant,
                                      const D3DXVECTOR4 *vector) override;
  HRESULT STDMETHODCALLTYPE SetMatrix(LPDIRECT3DDEVICE9 device, D3DXHANDLE constant,
                                      const D3DXMATRIX *matrix) override;
  HRESULT STDMETHODCALLTYPE SetMatrixTranspose(LPDIRECT3DDEVICE9, D3DXHANDLE, const D3DXMATRIX *) override {
    return E_NOTIMPL;
  }
};

struct RecordingMesh : Recorded<ID3DXMesh> {
  using Recorded::Recorded;
  HRESULT STDMETHODCALLTYPE DrawSubset(DWORD subset) override;
  DWORD STDMETHODCALLTYPE GetNumFaces() override { return 0; }
  DWORD STDMETHODCALLTYPE GetNumVertices() override { return 0; }
  DWORD STDMETHODCALLTYPE GetFVF() override { return 0; }
  DWORD STDMETHODCALLTYPE GetNumBytesPerVertex() override { return 0; }
  DWORD STDMETHODCALLTYPE GetOptions() override { return 0; }
  HRESULT STDMETHODCALLTYPE GetDevice(LPDIRECT3DDEVICE9 *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVertexBuffer(LPDIRECT3DVERTEXBUFFER9 *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIndexBuffer(LPDIRECT3DINDEXBUFFER9 *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockVertexBuffer(DWORD, LPVOID *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockVertexBuffer() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockIndexBuffer(DWORD, LPVOID *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockIndexBuffer() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockAttributeBuffer(DWORD, DWORD **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockAttributeBuffer() override { return E_NOTIMPL; }
};
