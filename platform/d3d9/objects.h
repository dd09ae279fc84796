// The objects behind the Direct3D 9 interfaces: the Direct3D object, the device and
// the resources made on it. As in Direct3D 9, a resource that the program holds holds
// its device, so the device goes only after the last of them; the device's bindings
// (stream sources, indices, declaration, shaders) keep a resource alive on their own
// account without counting in its references or holding the device, and a resource
// that is only bound goes when it is unbound or the device goes.
#pragma once

#include <d3d9.h>

#include <SDL2/SDL.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "com_object.h"
#include "diag.h"
#include "gl.h"
#include "shader_code.h"

namespace glintwork {

class Device;

// A resource made by a device (DeviceObject routes its reference count here).
class DeviceChild {
 public:
  explicit DeviceChild(Device *device);
  virtual ~DeviceChild();
  // The device is going away with the resource still held (only when the device was
  // released more often than it was referenced): drop GL objects, answer calls with
  // D3DERR_INVALIDCALL.
  virtual void deviceGone() = 0;
  Device *device() const { return device_; }
  // A binding of the device takes or gives up its hold.
  void bind() { ++bindings_; }
  void unbind();

 protected:
  HRESULT getDevice(IDirect3DDevice9 **ppDevice) const;
  void detach();
  // The program's last reference is gone: the resource lets go of the device and
  // goes too unless the device still binds it.
  void lastReferenceGone();
  // A bound resource handed out again (GetStreamSource and the like) holds the device again.
  void referencedAgainWhileBound();
  Device *device_;

 private:
  unsigned bindings_ = 0;
  bool referenced_ = true;
};

// One of the device's COM objects: Interface's IUnknown over a DeviceChild kind.
template <class Interface, class Child>
class DeviceObject : public Object<Interface>, public Child {
 public:
  using Child::Child;

 protected:
  void unreferenced() override { this->lastReferenceGone(); }
  void referencedAgain() override { this->referencedAgainWhileBound(); }
};

class Direct3D final : public Object<IDirect3D9> {
 public:
  Direct3D();
  ~Direct3D() override;
  UINT STDMETHODCALLTYPE GetAdapterCount() override;
  HRESULT STDMETHODCALLTYPE GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE *pMode) override;
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9 *pCaps) override;
  HRESULT STDMETHODCALLTYPE CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                                         DWORD BehaviorFlags, D3DPRESENT_PARAMETERS *pPresentationParameters,
                                         IDirect3DDevice9 **ppReturnedDeviceInterface) override;
  static void fillCaps(D3DCAPS9 *caps);

 protected:
  bool ownIid(REFIID riid) const override { return riid == IID_IDirect3D9; }

 private:
  bool videoUp_;
};

// A vertex or index buffer: a CPU copy and a GL buffer object.
class Buffer : public DeviceChild {
 public:
  Buffer(Device *device, UINT length, DWORD usage, D3DPOOL pool);
  ~Buffer() override;
  bool createGl(GLenum target);
  void deviceGone() override;
  HRESULT lock(UINT offset, UINT size, void **ppbData, DWORD flags);
  HRESULT unlock();
  GLuint gl() const { return gl_; }
  UINT length() const { return static_cast<UINT>(data_.size()); }
  const unsigned char *data() const { return data_.data(); }

 protected:
  DWORD usage_;
  D3DPOOL pool_;
  std::vector<unsigned char> data_;
  GLuint gl_ = 0;
  GLenum target_ = 0;
  int locks_ = 0;
  size_t dirtyBegin_ = 0, dirtyEnd_ = 0;
};

class VertexBuffer final : public DeviceObject<IDirect3DVertexBuffer9, Buffer> {
 public:
  VertexBuffer(Device *device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
      : DeviceObject(device, length, usage, pool), fvf_(fvf) {}
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9 **ppDevice) override { return getDevice(ppDevice); }
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
  HRESULT STDMETHODCALLTYPE Lock(UINT OffsetToLock, UINT SizeToLock, void **ppbData, DWORD Flags) override;
  HRESULT STDMETHODCALLTYPE Unlock() override;
  HRESULT STDMETHODCALLTYPE GetDesc(D3DVERTEXBUFFER_DESC *pDesc) override;

 private:
  DWORD fvf_;
};

class IndexBuffer final : public DeviceObject<IDirect3DIndexBuffer9, Buffer> {
 public:
  IndexBuffer(Device *device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
      : DeviceObject(device, length, usage, pool), format_(format) {}
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9 **ppDevice) override { return getDevice(ppDevice); }
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
  HRESULT STDMETHODCALLTYPE Lock(UINT OffsetToLock, UINT SizeToLock, void **ppbData, DWORD Flags) override;
  HRESULT STDMETHODCALLTYPE Unlock() override;
  HRESULT STDMETHODCALLTYPE GetDesc(D3DINDEXBUFFER_DESC *pDesc) override;

  UINT indexSize() const { return format_ == D3DFMT_INDEX16 ? 2 : 4; }
  UINT indexCount() const { return length() / indexSize(); }
  // Smallest and largest index among count indices from start (cached until the next write).
  void range(UINT start, UINT count, UINT *lowest, UINT *highest);

 private:
  D3DFORMAT format_;
  UINT cachedStart_ = 0, cachedCount_ = 0, cachedLow_ = 0, cachedHigh_ = 0;
  bool cacheValid_ = false;
};

class VertexDeclaration final : public DeviceObject<IDirect3DVertexDeclaration9, DeviceChild> {
 public:
  VertexDeclaration(Device *device, std::vector<D3DVERTEXELEMENT9> elements, DWORD fvf)
      : DeviceObject(device), elements_(std::move(elements)), fvf_(fvf) {}
  void deviceGone() override { detach(); }
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9 **ppDevice) override { return getDevice(ppDevice); }
  HRESULT STDMETHODCALLTYPE GetDeclaration(D3DVERTEXELEMENT9 *pElement, UINT *pNumElements) override;
  // Without the end marker.
  const std::vector<D3DVERTEXELEMENT9> &elements() const { return elements_; }
  DWORD fvf() const { return fvf_; }

 private:
  std::vector<D3DVERTEXELEMENT9> elements_;
  DWORD fvf_;
};

// What both shader kinds keep: the decoded code, its GL shader object, the uniform
// buffer of its constant block and the register-file generation last uploaded there.
class ShaderBase : public DeviceChild {
 public:
  ShaderBase(Device *device, ShaderCode code, std::vector<uint32_t> words)
      : DeviceChild(device), code_(std::move(code)), words_(std::move(words)) {}
  ~ShaderBase() override;
  bool createGl(GLenum stage, std::string *log);
  void deviceGone() override;
  HRESULT getFunction(void *pData, UINT *pSizeOfData) const;
  // Copies the registers into the constant block when they changed since the last time.
  void uploadConstants(const float (*registers)[4], uint64_t generation);
  const ShaderCode &code() const { return code_; }
  GLuint gl() const { return gl_; }
  GLuint ubo() const { return ubo_; }

 private:
  ShaderCode code_;
  std::vector<uint32_t> words_;
  GLuint gl_ = 0, ubo_ = 0;
  uint64_t uploaded_ = ~uint64_t(0);
  std::vector<unsigned char> block_;
};

class VertexShader final : public DeviceObject<IDirect3DVertexShader9, ShaderBase> {
 public:
  using DeviceObject::DeviceObject;
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9 **ppDevice) override { return getDevice(ppDevice); }
  HRESULT STDMETHODCALLTYPE GetFunction(void *pData, UINT *pSizeOfData) override {
    return getFunction(pData, pSizeOfData);
  }
};

class PixelShader final : public DeviceObject<IDirect3DPixelShader9, ShaderBase> {
 public:
  using DeviceObject::DeviceObject;
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9 **ppDevice) override { return getDevice(ppDevice); }
  HRESULT STDMETHODCALLTYPE GetFunction(void *pData, UINT *pSizeOfData) override {
    return getFunction(pData, pSizeOfData);
  }
};

// A linked GL program and where its vertex inputs live.
struct Program {
  GLuint gl = 0;
  struct Input {
    uint32_t usage, usageIndex;
    GLint location;
  };
  std::vector<Input> inputs;
  // Fixed-function stand-in only.
  GLint worldViewProj = -1, color = -1, useVertexColor = -1;
};

constexpr UINT kVertexRegisters = 256;
constexpr UINT kPixelRegisters = 224;
constexpr UINT kStreams = 16;

class Device final : public Object<IDirect3DDevice9> {
 public:
  Device(Direct3D *d3d, SDL_Window *window, HWND hwnd, const D3DPRESENT_PARAMETERS &pp);
  ~Device() override;
  // Creates the GL context and the back buffer; on failure says why and gives the result.
  HRESULT init();

  HRESULT STDMETHODCALLTYPE GetDirect3D(IDirect3D9 **ppD3D9) override;
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9 *pCaps) override;
  HRESULT STDMETHODCALLTYPE Present(const RECT *pSourceRect, const RECT *pDestRect, HWND hDestWindowOverride,
                                    const RGNDATA *pDirtyRegion) override;
  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                               IDirect3DVertexBuffer9 **ppVertexBuffer,
                                               HANDLE *pSharedHandle) override;
  HRESULT STDMETHODCALLTYPE CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                              IDirect3DIndexBuffer9 **ppIndexBuffer, HANDLE *pSharedHandle) override;
  HRESULT STDMETHODCALLTYPE BeginScene() override;
  HRESULT STDMETHODCALLTYPE EndScene() override;
  HRESULT STDMETHODCALLTYPE Clear(DWORD Count, const D3DRECT *pRects, DWORD Flags, D3DCOLOR Color, float Z,
                                  DWORD Stencil) override;
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX *pMatrix) override;
  HRESULT STDMETHODCALLTYPE GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX *pMatrix) override;
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
  HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE State, DWORD *pValue) override;
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex,
                                                 UINT MinVertexIndex, UINT NumVertices, UINT startIndex,
                                                 UINT primCount) override;
  HRESULT STDMETHODCALLTYPE CreateVertexDeclaration(const D3DVERTEXELEMENT9 *pVertexElements,
                                                    IDirect3DVertexDeclaration9 **ppDecl) override;
  HRESULT STDMETHODCALLTYPE SetVertexDeclaration(IDirect3DVertexDeclaration9 *pDecl) override;
  HRESULT STDMETHODCALLTYPE GetVertexDeclaration(IDirect3DVertexDeclaration9 **ppDecl) override;
  HRESULT STDMETHODCALLTYPE SetFVF(DWORD FVF) override;
  HRESULT STDMETHODCALLTYPE GetFVF(DWORD *pFVF) override;
  HRESULT STDMETHODCALLTYPE CreateVertexShader(const DWORD *pFunction, IDirect3DVertexShader9 **ppShader) override;
  HRESULT STDMETHODCALLTYPE SetVertexShader(IDirect3DVertexShader9 *pShader) override;
  HRESULT STDMETHODCALLTYPE GetVertexShader(IDirect3DVertexShader9 **ppShader) override;
  HRESULT STDMETHODCALLTYPE SetVertexShaderConstantF(UINT StartRegister, const float *pConstantData,
                                                     UINT Vector4fCount) override;
  HRESULT STDMETHODCALLTYPE GetVertexShaderConstantF(UINT StartRegister, float *pConstantData,
                                                     UINT Vector4fCount) override;
  HRESULT STDMETHODCALLTYPE SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9 *pStreamData,
                                            UINT OffsetInBytes, UINT Stride) override;
  HRESULT STDMETHODCALLTYPE GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9 **ppStreamData,
                                            UINT *pOffsetInBytes, UINT *pStride) override;
  HRESULT STDMETHODCALLTYPE SetIndices(IDirect3DIndexBuffer9 *pIndexData) override;
  HRESULT STDMETHODCALLTYPE GetIndices(IDirect3DIndexBuffer9 **ppIndexData) override;
  HRESULT STDMETHODCALLTYPE CreatePixelShader(const DWORD *pFunction, IDirect3DPixelShader9 **ppShader) override;
  HRESULT STDMETHODCALLTYPE SetPixelShader(IDirect3DPixelShader9 *pShader) override;
  HRESULT STDMETHODCALLTYPE GetPixelShader(IDirect3DPixelShader9 **ppShader) override;
  HRESULT STDMETHODCALLTYPE SetPixelShaderConstantF(UINT StartRegister, const float *pConstantData,
                                                    UINT Vector4fCount) override;
  HRESULT STDMETHODCALLTYPE GetPixelShaderConstantF(UINT StartRegister, float *pConstantData,
                                                    UINT Vector4fCount) override;

  // Makes the device's GL context current on this thread.
  void makeCurrent();
  void adopt(DeviceChild *child) { children_.insert(child); }
  void forget(DeviceChild *child);
  // Programs linked with the shader are deleted with it.
  void shaderGone(const ShaderBase *shader);
  // The back buffer (row 0 at the top) or the window's drawable as 0xAARRGGBB pixels.
  HRESULT readBackBuffer(std::vector<uint32_t> *pixels, UINT *width, UINT *height);
  HRESULT readWindow(std::vector<uint32_t> *pixels, UINT *width, UINT *height);

 protected:
  bool ownIid(REFIID riid) const override { return riid == IID_IDirect3DDevice9; }

 private:
  struct Stream {
    VertexBuffer *buffer = nullptr;
    UINT offset = 0, stride = 0;
  };

  HRESULT setConstants(float (*file)[4], UINT size, UINT start, const float *data, UINT count, uint64_t *generation);
  HRESULT getConstants(const float (*file)[4], UINT size, UINT start, float *data, UINT count) const;
  bool buildFixedFunction();
  const Program *programFor(std::string *whyNot);
  void applyRenderStates();
  HRESULT bindVertexInputs(const Program &program, std::string *whyNot);
  void fixedFunctionUniforms(const Program &program);
  VertexDeclaration *declarationForFvf(DWORD fvf, HRESULT *hr);
  template <class T>
  static void rebind(T *&slot, T *object);

  Direct3D *d3d_;
  SDL_Window *window_;
  HWND hwnd_;
  D3DPRESENT_PARAMETERS pp_;
  SDL_GLContext context_ = nullptr;
  GLuint fbo_ = 0, colorRb_ = 0, depthRb_ = 0, vao_ = 0;
  bool hasDepth_ = false, hasStencil_ = false;

  DWORD renderStates_[256];
  std::map<DWORD, D3DMATRIX> transforms_;
  float vsRegisters_[kVertexRegisters][4] = {};
  float psRegisters_[kPixelRegisters][4] = {};
  uint64_t vsGeneration_ = 0, psGeneration_ = 0;
  Stream streams_[kStreams];
  IndexBuffer *indices_ = nullptr;
  VertexDeclaration *declaration_ = nullptr;
  DWORD fvf_ = 0;
  VertexShader *vertexShader_ = nullptr;
  PixelShader *pixelShader_ = nullptr;
  bool inScene_ = false;
  bool statesDirty_ = true;
  uint32_t enabledAttributes_ = 0;  // vertex-array attribute locations switched on

  std::set<DeviceChild *> children_;
  std::map<DWORD, VertexDeclaration *> fvfDeclarations_;
  std::map<std::pair<const ShaderBase *, const ShaderBase *>, Program> programs_;
  Program fixedFunction_;
};

}  // namespace glintwork
