// Resources of the device: vertex and index buffers (a CPU copy in every pool, uploaded
// to a GL buffer on Unlock), vertex declarations, and shader objects made from the
// layer's compiled code.
#include <cstring>
#include <new>

#include "objects.h"

namespace glintwork {

DeviceChild::DeviceChild(Device *device) : device_(device) {
  device_->adopt(this);
  device_->AddRef();
}

DeviceChild::~DeviceChild() { detach(); }

void DeviceChild::unbind() {
  if (--bindings_ == 0 && !referenced_) delete this;
}

void DeviceChild::lastReferenceGone() {
  referenced_ = false;
  Device *device = device_;
  if (bindings_ == 0) delete this;
  // The device may go now, and unbind (and so delete) this resource as it goes.
  if (device) device->Release();
}

void DeviceChild::referencedAgainWhileBound() {
  referenced_ = true;
  if (device_) device_->AddRef();
}

void DeviceChild::detach() {
  if (device_) device_->forget(this);
  device_ = nullptr;
}

HRESULT DeviceChild::getDevice(IDirect3DDevice9 **ppDevice) const {
  if (!ppDevice) return D3DERR_INVALIDCALL;
  *ppDevice = device_;
  if (!device_) return D3DERR_INVALIDCALL;
  device_->AddRef();
  return D3D_OK;
}

// ---- Buffers ----

Buffer::Buffer(Device *device, UINT length, DWORD usage, D3DPOOL pool)
    : DeviceChild(device), usage_(usage), pool_(pool), data_(length) {}

Buffer::~Buffer() {
  if (device_ && gl_) {
    device_->makeCurrent();
    glDeleteBuffers(1, &gl_);
  }
}

bool Buffer::createGl(GLenum target) {
  target_ = target;
  glGenBuffers(1, &gl_);
  // The element-array binding belongs to the bound vertex array, so upload through the
  // array target, which holds no other state of the layer.
  glBindBuffer(GL_ARRAY_BUFFER, gl_);
  glBufferData(GL_ARRAY_BUFFER, data_.size(), data_.data(),
               (usage_ & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return glGetError() == GL_NO_ERROR;
}

void Buffer::deviceGone() {
  if (gl_) glDeleteBuffers(1, &gl_);
  gl_ = 0;
  detach();
}

HRESULT Buffer::lock(UINT offset, UINT size, void **ppbData, DWORD flags) {
  if (!ppbData) return D3DERR_INVALIDCALL;
  *ppbData = nullptr;
  if (offset > data_.size() || (size && size > data_.size() - offset)) return D3DERR_INVALIDCALL;
  if (size == 0) size = static_cast<UINT>(data_.size() - offset);
  *ppbData = data_.data() + offset;
  if (!(flags & D3DLOCK_READONLY)) {
    if (dirtyBegin_ == dirtyEnd_) {
      dirtyBegin_ = offset;
      dirtyEnd_ = offset + size;
    } else {
      dirtyBegin_ = std::min<size_t>(dirtyBegin_, offset);
      dirtyEnd_ = std::max<size_t>(dirtyEnd_, size_t(offset) + size);
    }
  }
  ++locks_;
  return D3D_OK;
}

HRESULT Buffer::unlock() {
  if (locks_ == 0) return D3DERR_INVALIDCALL;
  if (--locks_ > 0 || dirtyBegin_ == dirtyEnd_) return D3D_OK;
  if (device_ && gl_) {
    device_->makeCurrent();
    glBindBuffer(GL_ARRAY_BUFFER, gl_);
    GL_CHECKED(glBufferSubData(GL_ARRAY_BUFFER, dirtyBegin_, dirtyEnd_ - dirtyBegin_, data_.data() + dirtyBegin_));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
  }
  dirtyBegin_ = dirtyEnd_ = 0;
  return device_ ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT STDMETHODCALLTYPE VertexBuffer::Lock(UINT OffsetToLock, UINT SizeToLock, void **ppbData, DWORD Flags) {
  GW_TRACE(Module::D3D9, "IDirect3DVertexBuffer9::Lock(%u, %u, 0x%x)", OffsetToLock, SizeToLock, Flags);
  return lock(OffsetToLock, SizeToLock, ppbData, Flags);
}

HRESULT STDMETHODCALLTYPE VertexBuffer::Unlock() {
  GW_TRACE(Module::D3D9, "IDirect3DVertexBuffer9::Unlock()");
  return unlock();
}

HRESULT STDMETHODCALLTYPE VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC *pDesc) {
  if (!pDesc) return D3DERR_INVALIDCALL;
  *pDesc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage_, pool_, length(), fvf_};
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE IndexBuffer::Lock(UINT OffsetToLock, UINT SizeToLock, void **ppbData, DWORD Flags) {
  GW_TRACE(Module::D3D9, "IDirect3DIndexBuffer9::Lock(%u, %u, 0x%x)", OffsetToLock, SizeToLock, Flags);
  if (!(Flags & D3DLOCK_READONLY)) cacheValid_ = false;
  return lock(OffsetToLock, SizeToLock, ppbData, Flags);
}

HRESULT STDMETHODCALLTYPE IndexBuffer::Unlock() {
  GW_TRACE(Module::D3D9, "IDirect3DIndexBuffer9::Unlock()");
  cacheValid_ = false;
  return unlock();
}

HRESULT STDMETHODCALLTYPE IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC *pDesc) {
  if (!pDesc) return D3DERR_INVALIDCALL;
  *pDesc = {format_, D3DRTYPE_INDEXBUFFER, usage_, pool_, length()};
  return D3D_OK;
}

void IndexBuffer::range(UINT start, UINT count, UINT *lowest, UINT *highest) {
  if (!cacheValid_ || start != cachedStart_ || count != cachedCount_) {
    UINT low = ~0u, high = 0;
    for (UINT i = start; i < start + count; ++i) {
      UINT index;
      if (format_ == D3DFMT_INDEX16) {
        uint16_t v;
        std::memcpy(&v, &data_[i * 2], 2);
        index = v;
      } else {
        std::memcpy(&index, &data_[i * 4], 4);
      }
      low = std::min(low, index);
      high = std::max(high, index);
    }
    cachedStart_ = start;
    cachedCount_ = count;
    cachedLow_ = low;
    cachedHigh_ = high;
    cacheValid_ = true;
  }
  *lowest = cachedLow_;
  *highest = cachedHigh_;
}

// ---- Vertex declarations ----

HRESULT STDMETHODCALLTYPE VertexDeclaration::GetDeclaration(D3DVERTEXELEMENT9 *pElement, UINT *pNumElements) {
  if (!pNumElements) return D3DERR_INVALIDCALL;
  *pNumElements = static_cast<UINT>(elements_.size() + 1);
  if (pElement) {
    std::copy(elements_.begin(), elements_.end(), pElement);
    pElement[elements_.size()] = D3DVERTEXELEMENT9 D3DDECL_END();
  }
  return D3D_OK;
}

// ---- Shaders ----

ShaderBase::~ShaderBase() {
  if (device_) {
    device_->makeCurrent();
    device_->shaderGone(this);
    if (gl_) glDeleteShader(gl_);
    if (ubo_) glDeleteBuffers(1, &ubo_);
  }
}

bool ShaderBase::createGl(GLenum stage, std::string *log) {
  gl_ = glCreateShader(stage);
  const char *source = code_.glsl.c_str();
  glShaderSource(gl_, 1, &source, nullptr);
  glCompileShader(gl_);
  GLint ok = GL_FALSE;
  glGetShaderiv(gl_, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char text[2048] = {};
    glGetShaderInfoLog(gl_, sizeof text, nullptr, text);
    *log = text;
    return false;
  }
  if (code_.blockBytes) {
    glGenBuffers(1, &ubo_);
    glBindBuffer(GL_UNIFORM_BUFFER, ubo_);
    glBufferData(GL_UNIFORM_BUFFER, code_.blockBytes, nullptr, GL_DYNAMIC_DRAW);
    glBindBuffer(GL_UNIFORM_BUFFER, 0);
    block_.assign(code_.blockBytes, 0);
  }
  return true;
}

void ShaderBase::deviceGone() {
  if (gl_) glDeleteShader(gl_);
  if (ubo_) glDeleteBuffers(1, &ubo_);
  gl_ = ubo_ = 0;
  detach();
}

HRESULT ShaderBase::getFunction(void *pData, UINT *pSizeOfData) const {
  if (!pSizeOfData) return D3DERR_INVALIDCALL;
  const UINT bytes = static_cast<UINT>(words_.size() * 4);
  if (!pData) {
    *pSizeOfData = bytes;
    return D3D_OK;
  }
  if (*pSizeOfData < bytes) return D3DERR_INVALIDCALL;
  std::memcpy(pData, words_.data(), bytes);
  *pSizeOfData = bytes;
  return D3D_OK;
}

void ShaderBase::uploadConstants(const float (*registers)[4], uint64_t generation) {
  if (!ubo_ || generation == uploaded_) return;
  for (const ConstantSlot &slot : code_.constants)
    for (uint32_t k = 0; k < slot.registerCount; ++k)
      std::memcpy(&block_[slot.blockOffset + k * slot.registerStride], registers[slot.firstRegister + k],
                  slot.bytesPerRegister);
  glBindBuffer(GL_UNIFORM_BUFFER, ubo_);
  GL_CHECKED(glBufferSubData(GL_UNIFORM_BUFFER, 0, block_.size(), block_.data()));
  glBindBuffer(GL_UNIFORM_BUFFER, 0);
  uploaded_ = generation;
}

}  // namespace glintwork
