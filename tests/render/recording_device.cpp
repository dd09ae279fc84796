#include "recording_device.h"

#include <cstdio>
#include <cstring>

std::vector<std::string> CallLog::startingWith(const std::string &prefix) const {
  std::vector<std::string> matching;
  for (const std::string &call : calls) {
    if (call.compare(0, prefix.size(), prefix) == 0) matching.push_back(call);
  }
  return matching;
}

std::string formatFloat(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

std::string formatFloats(const float *values, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += formatFloat(values[i]);
  }
  return text;
}

std::string formatMatrix(const D3DXMATRIX &matrix) { return formatFloats(&matrix.m[0][0], 16); }

namespace {

std::string hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
  return text;
}

std::string num(long long value) { return std::to_string(value); }

template <class Buffer>
HRESULT lockBuffer(Buffer &buffer, bool fail, const char *what, UINT offset, UINT size, void **data,
                   DWORD flags) {
  buffer.log->add(std::string(what) + ".Lock(" + buffer.label + ", " + num(offset) + ", " + num(size) + ", " +
                  num(flags) + ")");
  if (fail) {
    *data = nullptr;
    return D3DERR_INVALIDCALL;
  }
  *data = buffer.bytes.data() + offset;
  return D3D_OK;
}

template <class Object>
std::string findName(const std::vector<std::unique_ptr<Object>> &objects, const void *object) {
  for (const auto &candidate : objects) {
    if (static_cast<const void *>(candidate.get()) == object) return candidate->label;
  }
  return "";
}

}  // namespace

HRESULT RecordingVertexBuffer::Lock(UINT offset, UINT size, void **data, DWORD flags) {
  return lockBuffer(*this, failLock, "VertexBuffer", offset, size, data, flags);
}

HRESULT RecordingVertexBuffer::Unlock() {
  log->add("VertexBuffer.Unlock(" + label + ")");
  return D3D_OK;
}

HRESULT RecordingIndexBuffer::Lock(UINT offset, UINT size, void **data, DWORD flags) {
  return lockBuffer(*this, failLock, "IndexBuffer", offset, size, data, flags);
}

HRESULT RecordingIndexBuffer::Unlock() {
  log->add("IndexBuffer.Unlock(" + label + ")");
  return D3D_OK;
}

std::vector<uint16_t> RecordingIndexBuffer::indices() const {
  std::vector<uint16_t> values(bytes.size() / 2);
  std::memcpy(values.data(), bytes.data(), values.size() * 2);
  return values;
}

std::string RecordingDevice::nameOf(const void *object) const {
  if (object == nullptr) return "null";
  for (const std::string &name :
       {findName(vertexBuffers, object), findName(indexBuffers, object), findName(declarations, object),
        findName(vertexShaders, object), findName(pixelShaders, object)}) {
    if (!name.empty()) return name;
  }
  return "unknown";
}

HRESULT RecordingDevice::Present(const RECT *source, const RECT *destination, HWND window, const RGNDATA *dirty) {
  const bool allNull = source == nullptr && destination == nullptr && window == nullptr && dirty == nullptr;
  log->add(allNull ? "Present(null, null, null, null)" : "Present(non-null)");
  return D3D_OK;
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer9 **buffer, HANDLE *shared) {
  log->add("CreateVertexBuffer(" + num(length) + ", " + hex(usage) + ", " + hex(fvf) + ", " + num(pool) + ", " +
           (shared == nullptr ? "null" : "handle") + ")");
  if (faults.createVertexBuffer) {
    return D3DERR_INVALIDCALL;
  }
  vertexBuffers.push_back(
      std::make_unique<RecordingVertexBuffer>(log, "vb" + num(vertexBuffers.size()), length));
  vertexBuffers.back()->failLock = faults.lockVertexBuffer;
  *buffer = vertexBuffers.back().get();
  return D3D_OK;
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer9 **buffer, HANDLE *shared) {
  log->add("CreateIndexBuffer(" + num(length) + ", " + hex(usage) + ", " + num(format) + ", " + num(pool) + ", " +
           (shared == nullptr ? "null" : "handle") + ")");
  if (faults.createIndexBuffer) {
    return D3DERR_INVALIDCALL;
  }
  indexBuffers.push_back(std::make_unique<RecordingIndexBuffer>(log, "ib" + num(indexBuffers.size()), length));
  indexBuffers.back()->failLock = faults.lockIndexBuffer;
  *buffer = indexBuffers.back().get();
  return D3D_OK;
}

HRESULT RecordingDevice::BeginScene() {
  log->add("BeginScene()");
  return D3D_OK;
}

HRESULT RecordingDevice::EndScene() {
  log->add("EndScene()");
  return D3D_OK;
}

HRESULT RecordingDevice::Clear(DWORD count, const D3DRECT *rects, DWORD flags, D3DCOLOR colour, float z,
                               DWORD stencil) {
  log->add("Clear(" + num(count) + ", " + (rects == nullptr ? "null" : "rects") + ", " + num(flags) + ", " +
           hex(colour) + ", " + formatFloat(z) + ", " + num(stencil) + ")");
  return D3D_OK;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) {
  log->add("SetTransform(" + num(state) + ", " + formatFloats(&matrix->m[0][0], 16) + ")");
  return D3D_OK;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  log->add("SetRenderState(" + num(state) + ", " + num(value) + ")");
  return D3D_OK;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minVertex,
                                              UINT vertexCount, UINT startIndex, UINT primitiveCount) {
  log->add("DrawIndexedPrimitive(" + num(type) + ", " + num(baseVertex) + ", " + num(minVertex) + ", " +
           num(vertexCount) + ", " + num(startIndex) + ", " + num(primitiveCount) + ")");
  return D3D_OK;
}

HRESULT RecordingDevice::CreateVertexDeclaration(const D3DVERTEXELEMENT9 *elements,
                                                 IDirect3DVertexDeclaration9 **declaration) {
  std::string text = "CreateVertexDeclaration(";
  auto made = std::make_unique<RecordingDeclaration>(log, "decl" + num(declarations.size()));
  for (const D3DVERTEXELEMENT9 *element = elements;; ++element) {
    made->elements.push_back(*element);
    text += "{" + num(element->Stream) + " " + num(element->Offset) + " " + num(element->Type) + " " +
            num(element->Method) + " " + num(element->Usage) + " " + num(element->UsageIndex) + "}";
    if (element->Stream == 0xFF) break;
  }
  log->add(text + ")");
  if (faults.createDeclaration) {
    return D3DERR_INVALIDCALL;
  }
  declarations.push_back(std::move(made));
  *declaration = declarations.back().get();
  return D3D_OK;
}

HRESULT RecordingDevice::SetVertexDeclaration(IDirect3DVertexDeclaration9 *declaration) {
  log->add("SetVertexDeclaration(" + nameOf(declaration) + ")");
  return D3D_OK;
}

HRESULT RecordingDevice::SetFVF(DWORD fvf) {
  log->add("SetFVF(" + hex(fvf) + ")");
  return D3D_OK;
}

HRESULT RecordingDevice::CreateVertexShader(const DWORD *function, IDirect3DVertexShader9 **shader) {
  log->add(std::string("CreateVertexShader(") + (function == nullptr ? "null" : "code") + ")");
  if (faults.createVertexShader || function == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  vertexShaders.push_back(std::make_unique<RecordingVertexShader>(log, "vs" + num(vertexShaders.size())));
  *shader = vertexShaders.back().get();
  return D3D_OK;
}

HRESULT RecordingDevice::SetVertexShader(IDirect3DVertexShader9 *shader) {
  log->add("SetVertexShader(" + nameOf(shader) + ")");
  return D3D_OK;
}

HRESULT RecordingDevice::SetVertexShaderConstantF(UINT start, const float *data, UINT count) {
  log->add("SetVertexShaderConstantF(" + num(start) + ", " + formatFloats(data, static_cast<int>(count * 4)) +
           ")");
  if (start + count <= 256) std::memcpy(vertexConstants[start], data, count * 16);
  return D3D_OK;
}

HRESULT RecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9 *buffer, UINT offset, UINT stride) {
  log->add("SetStreamSource(" + num(stream) + ", " + nameOf(buffer) + ", " + num(offset) + ", " + num(stride) +
           ")");
  return D3D_OK;
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer9 *buffer) {
  log->add("SetIndices(" + nameOf(buffer) + ")");
  return D3D_OK;
}

HRESULT RecordingDevice::CreatePixelShader(const DWORD *function, IDirect3DPixelShader9 **shader) {
  log->add(std::string("CreatePixelShader(") + (function == nullptr ? "null" : "code") + ")");
  if (faults.createPixelShader || function == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  pixelShaders.push_back(std::make_unique<RecordingPixelShader>(log, "ps" + num(pixelShaders.size())));
  *shader = pixelShaders.back().get();
  return D3D_OK;
}

HRESULT RecordingDevice::SetPixelShader(IDirect3DPixelShader9 *shader) {
  log->add("SetPixelShader(" + nameOf(shader) + ")");
  return D3D_OK;
}

HRESULT RecordingDevice::SetPixelShaderConstantF(UINT start, const float *data, UINT count) {
  log->add("SetPixelShaderConstantF(" + num(start) + ", " + formatFloats(data, static_cast<int>(count * 4)) +
           ")");
  if (start + count <= 224) std::memcpy(pixelConstants[start], data, count * 16);
  return D3D_OK;
}

// Reads back the register files, as the constant table does before a partial write.
HRESULT RecordingDevice::GetVertexShaderConstantF(UINT start, float *data, UINT count) {
  if (start + count > 256) return D3DERR_INVALIDCALL;
  std::memcpy(data, vertexConstants[start], count * 16);
  return D3D_OK;
}

HRESULT RecordingDevice::GetPixelShaderConstantF(UINT start, float *data, UINT count) {
  if (start + count > 224) return D3DERR_INVALIDCALL;
  std::memcpy(data, pixelConstants[start], count * 16);
  return D3D_OK;
}

HRESULT RecordingDirect3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE *mode) {
  log->add("GetAdapterDisplayMode(" + num(adapter) + ")");
  if (failDisplayMode) {
    return D3DERR_INVALIDCALL;
  }
  *mode = D3DDISPLAYMODE{1920, 1080, 60, D3DFMT_X8R8G8B8};
  return D3D_OK;
}

HRESULT RecordingDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9 *caps) {
  log->add("GetDeviceCaps(" + num(adapter) + ", " + num(type) + ")");
  *caps = D3DCAPS9{};
  caps->DevCaps = devCaps;
  return D3D_OK;
}

HRESULT RecordingDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND window, DWORD flags,
                                        D3DPRESENT_PARAMETERS *presentation, IDirect3DDevice9 **created) {
  log->add("CreateDevice(" + num(adapter) + ", " + num(type) + ", " + hex(flags) + ")");
  parameters = *presentation;
  behaviourFlags = flags;
  focusWindow = window;
  if (failCreateDevice) {
    return D3DERR_NOTAVAILABLE;
  }
  *created = createReturnsNull ? nullptr : device;
  return D3D_OK;
}

D3DXHANDLE RecordingConstantTable::GetConstantByName(D3DXHANDLE parent, LPCSTR name) {
  log->add(label + ".GetConstantByName(" + (parent == nullptr ? "null" : "parent") + ", " + name + ")");
  auto found = names.find(name);
  return found == names.end() ? nullptr : found->c_str();
}

HRESULT RecordingConstantTable::SetVector(LPDIRECT3DDEVICE9, D3DXHANDLE constant, const D3DXVECTOR4 *vector) {
  log->add(label + ".SetVector(" + (constant == nullptr ? "null" : constant) + ", " +
           formatFloats(&vector->x, 4) + ")");
  return D3D_OK;
}

HRESULT RecordingConstantTable::SetMatrix(LPDIRECT3DDEVICE9, D3DXHANDLE constant, const D3DXMATRIX *matrix) {
  log->add(label + ".SetMatrix(" + (constant == nullptr ? "null" : constant) + ", " + formatMatrix(*matrix) + ")");
  return D3D_OK;
}

HRESULT RecordingMesh::DrawSubset(DWORD subset) {
  log->add(label + ".DrawSubset(" + num(subset) + ")");
  return D3D_OK;
}
