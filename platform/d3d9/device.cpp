// IDirect3DDevice9 over an OpenGL 3.3+ core context on the device window: the back
// buffer is an off-screen framebuffer of the requested size that Present scales to the
// window's drawable. Clip-space z runs from 0 to 1 (glClipControl), the picture keeps
// Direct3D's orientation, culling follows Direct3D's screen-space winding, and vertex
// inputs bind by usage. With no shaders bound a built-in program stands in for the
// fixed-function pipeline: world × view × projection, and with lighting on the colour
// the default material gives without lights (the ambient state times a black material),
// else the vertex colour or white. Left out: lights, materials, textures, viewports,
// blending, alpha test, stencil operations, fog, and every draw call but
// DrawIndexedPrimitive; render states the layer does not model are stored and reported.
#include <algorithm>
#include <cstring>
#include <new>

#include "../user32/window_host.h"
#include "objects.h"

namespace glintwork {
namespace {

struct StateInfo {
  D3DRENDERSTATETYPE state;
  DWORD value;  // Direct3D's default
  bool modelled;
};

const DWORD kOne = 0x3f800000;  // 1.0f
const StateInfo kStates[] = {
    {D3DRS_ZENABLE, D3DZB_TRUE, true},  // D3DZB_FALSE without an automatic depth buffer
    {D3DRS_FILLMODE, D3DFILL_SOLID, true},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD, false},
    {D3DRS_ZWRITEENABLE, TRUE, true},
    {D3DRS_ALPHATESTENABLE, FALSE, false},
    {D3DRS_LASTPIXEL, TRUE, false},
    {D3DRS_SRCBLEND, D3DBLEND_ONE, false},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO, false},
    {D3DRS_CULLMODE, D3DCULL_CCW, true},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL, true},
    {D3DRS_ALPHAREF, 0, false},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS, false},
    {D3DRS_DITHERENABLE, FALSE, false},
    {D3DRS_ALPHABLENDENABLE, FALSE, false},
    {D3DRS_FOGENABLE, FALSE, false},
    {D3DRS_SPECULARENABLE, FALSE, false},
    {D3DRS_FOGCOLOR, 0, false},
    {D3DRS_FOGTABLEMODE, D3DFOG_NONE, false},
    {D3DRS_FOGSTART, 0, false},
    {D3DRS_FOGEND, kOne, false},
    {D3DRS_FOGDENSITY, kOne, false},
    {D3DRS_RANGEFOGENABLE, FALSE, false},
    {D3DRS_STENCILENABLE, FALSE, false},
    {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP, false},
    {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP, false},
    {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP, false},
    {D3DRS_STENCILFUNC, D3DCMP_ALWAYS, false},
    {D3DRS_STENCILREF, 0, false},
    {D3DRS_STENCILMASK, 0xFFFFFFFF, false},
    {D3DRS_STENCILWRITEMASK, 0xFFFFFFFF, false},
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF, false},
    {D3DRS_CLIPPING, TRUE, false},
    {D3DRS_LIGHTING, TRUE, true},
    {D3DRS_AMBIENT, 0, true},
    {D3DRS_FOGVERTEXMODE, D3DFOG_NONE, false},
    {D3DRS_COLORVERTEX, TRUE, false},
    {D3DRS_LOCALVIEWER, TRUE, false},
    {D3DRS_NORMALIZENORMALS, FALSE, false},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1, false},
    {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2, false},
    {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL, false},
    {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL, false},
    {D3DRS_VERTEXBLEND, D3DVBF_DISABLE, false},
    {D3DRS_CLIPPLANEENABLE, 0, false},
    {D3DRS_POINTSIZE, kOne, false},
    {D3DRS_MULTISAMPLEANTIALIAS, TRUE, false},
    {D3DRS_MULTISAMPLEMASK, 0xFFFFFFFF, false},
    {D3DRS_COLORWRITEENABLE, 0xF, true},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD, false},
    {D3DRS_SCISSORTESTENABLE, FALSE, false},
};

const StateInfo *stateInfo(DWORD state) {
  for (const StateInfo &info : kStates)
    if (DWORD(info.state) == state) return &info;
  return nullptr;
}

bool validTransform(DWORD state) {
  return state == D3DTS_VIEW || state == D3DTS_PROJECTION || (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) ||
         (state >= 256 && state < 512);
}

D3DMATRIX identity() {
  D3DMATRIX m;
  std::memset(&m, 0, sizeof m);
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

GLenum compareFunc(DWORD f) {
  switch (f) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
  }
}

struct AttribFormat {
  GLint size;
  GLenum type;
  GLboolean normalized;
  UINT bytes;
};

bool attribFormat(BYTE type, AttribFormat *f) {
  switch (type) {
    case D3DDECLTYPE_FLOAT1: *f = {1, GL_FLOAT, GL_FALSE, 4}; return true;
    case D3DDECLTYPE_FLOAT2: *f = {2, GL_FLOAT, GL_FALSE, 8}; return true;
    case D3DDECLTYPE_FLOAT3: *f = {3, GL_FLOAT, GL_FALSE, 12}; return true;
    case D3DDECLTYPE_FLOAT4: *f = {4, GL_FLOAT, GL_FALSE, 16}; return true;
    case D3DDECLTYPE_D3DCOLOR: *f = {GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4}; return true;
    case D3DDECLTYPE_UBYTE4: *f = {4, GL_UNSIGNED_BYTE, GL_FALSE, 4}; return true;
    case D3DDECLTYPE_SHORT2: *f = {2, GL_SHORT, GL_FALSE, 4}; return true;
    case D3DDECLTYPE_SHORT4: *f = {4, GL_SHORT, GL_FALSE, 8}; return true;
    case D3DDECLTYPE_UBYTE4N: *f = {4, GL_UNSIGNED_BYTE, GL_TRUE, 4}; return true;
    case D3DDECLTYPE_SHORT2N: *f = {2, GL_SHORT, GL_TRUE, 4}; return true;
    case D3DDECLTYPE_SHORT4N: *f = {4, GL_SHORT, GL_TRUE, 8}; return true;
    case D3DDECLTYPE_USHORT2N: *f = {2, GL_UNSIGNED_SHORT, GL_TRUE, 4}; return true;
    case D3DDECLTYPE_USHORT4N: *f = {4, GL_UNSIGNED_SHORT, GL_TRUE, 8}; return true;
    case D3DDECLTYPE_FLOAT16_2: *f = {2, GL_HALF_FLOAT, GL_FALSE, 4}; return true;
    case D3DDECLTYPE_FLOAT16_4: *f = {4, GL_HALF_FLOAT, GL_FALSE, 8}; return true;
    default: return false;
  }
}

const char *const kFixedVertex = R"(#version 330
uniform mat4 gw_world_view_proj;
uniform vec4 gw_color;
uniform bool gw_use_vertex_color;
in vec3 gw_in_0_0;
in vec4 gw_in_10_0;
out vec4 gw_var_10_0;
void main() {
  gl_Position = gw_world_view_proj * vec4(gw_in_0_0, 1.0);
  gw_var_10_0 = gw_use_vertex_color ? gw_in_10_0 : gw_color;
}
)";

const char *const kFixedPixel = R"(#version 330
in vec4 gw_var_10_0;
layout(location = 0) out vec4 gw_out_0;
void main() { gw_out_0 = gw_var_10_0; }
)";

// The pixel stage when only a vertex shader is bound: its first colour output, else white.
const char *const kPassPixel = R"(#version 330
layout(location = 0) out vec4 gw_out_0;
void main() { gw_out_0 = vec4(1.0); }
)";

GLuint compileStage(GLenum stage, const char *source) {
  GLuint shader = glCreateShader(stage);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    report(Module::D3D9, "built-in shader failed to compile: %s", log);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

// Links the two stages; on failure the log goes to *whyNot.
GLuint link(GLuint vs, GLuint ps, std::string *whyNot) {
  GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, ps);
  glLinkProgram(program);
  glDetachShader(program, vs);
  glDetachShader(program, ps);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    *whyNot = log;
    glDeleteProgram(program);
    return 0;
  }
  return program;
}

UINT indexCountOf(D3DPRIMITIVETYPE type, UINT primitives, GLenum *mode) {
  switch (type) {
    case D3DPT_POINTLIST: *mode = GL_POINTS; return primitives;
    case D3DPT_LINELIST: *mode = GL_LINES; return primitives * 2;
    case D3DPT_LINESTRIP: *mode = GL_LINE_STRIP; return primitives + 1;
    case D3DPT_TRIANGLELIST: *mode = GL_TRIANGLES; return primitives * 3;
    case D3DPT_TRIANGLESTRIP: *mode = GL_TRIANGLE_STRIP; return primitives + 2;
    case D3DPT_TRIANGLEFAN: *mode = GL_TRIANGLE_FAN; return primitives + 2;
    default: return 0;
  }
}

}  // namespace

void checkGl(const char *call, const char *file, int line) {
  for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
    report(Module::D3D9, "GL error 0x%04x from %s (%s:%d)", error, call, file, line);
}

Device::Device(Direct3D *d3d, SDL_Window *window, HWND hwnd, const D3DPRESENT_PARAMETERS &pp)
    : d3d_(d3d), window_(window), hwnd_(hwnd), pp_(pp) {
  d3d_->AddRef();
  std::memset(renderStates_, 0, sizeof renderStates_);
  for (const StateInfo &info : kStates) renderStates_[info.state] = info.value;
  renderStates_[D3DRS_ZENABLE] = pp.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
  transforms_[D3DTS_WORLD] = transforms_[D3DTS_VIEW] = transforms_[D3DTS_PROJECTION] = identity();
}

HRESULT Device::init() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  context_ = SDL_GL_CreateContext(window_);
  if (!context_) {
    report(Module::D3D9, "CreateDevice: SDL_GL_CreateContext failed: %s", SDL_GetError());
    return D3DERR_NOTAVAILABLE;
  }
  makeCurrent();
  GLint major = 0, minor = 0;
  glGetIntegerv(GL_MAJOR_VERSION, &major);
  glGetIntegerv(GL_MINOR_VERSION, &minor);
  if (major < 4 || (major == 4 && minor < 5)) {
    bool clipControl = false;
    GLint extensions = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &extensions);
    for (GLint i = 0; i < extensions; ++i)
      if (std::strcmp(reinterpret_cast<const char *>(glGetStringi(GL_EXTENSIONS, i)), "GL_ARB_clip_control") == 0)
        clipControl = true;
    if (!clipControl) {
      report(Module::D3D9, "CreateDevice: OpenGL %d.%d without GL_ARB_clip_control cannot give clip z in [0, 1]",
             major, minor);
      return D3DERR_NOTAVAILABLE;
    }
  }
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
  if (pp_.BackBufferWidth > UINT(maxSize) || pp_.BackBufferHeight > UINT(maxSize)) {
    report(Module::D3D9, "CreateDevice: back buffer %ux%u exceeds the GL limit %d", pp_.BackBufferWidth,
           pp_.BackBufferHeight, maxSize);
    return D3DERR_NOTAVAILABLE;
  }
  // Presenting never waits for the retrace unless asked to.
  const int interval = pp_.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1;
  if (SDL_GL_SetSwapInterval(interval) != 0)
    reportOnce(Module::D3D9, "CreateDevice: SDL_GL_SetSwapInterval(%d) failed: %s", interval, SDL_GetError());

  glGenFramebuffers(1, &fbo_);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  glGenRenderbuffers(1, &colorRb_);
  glBindRenderbuffer(GL_RENDERBUFFER, colorRb_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, pp_.BackBufferWidth, pp_.BackBufferHeight);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorRb_);
  if (pp_.EnableAutoDepthStencil) {
    GLenum format = GL_DEPTH24_STENCIL8;
    hasDepth_ = true;
    hasStencil_ = pp_.AutoDepthStencilFormat == D3DFMT_D24S8;
    if (pp_.AutoDepthStencilFormat == D3DFMT_D24X8) format = GL_DEPTH_COMPONENT24;
    if (pp_.AutoDepthStencilFormat == D3DFMT_D16) format = GL_DEPTH_COMPONENT16;
    if (pp_.AutoDepthStencilFormat == D3DFMT_D32) format = GL_DEPTH_COMPONENT32;
    glGenRenderbuffers(1, &depthRb_);
    glBindRenderbuffer(GL_RENDERBUFFER, depthRb_);
    glRenderbufferStorage(GL_RENDERBUFFER, format, pp_.BackBufferWidth, pp_.BackBufferHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, hasStencil_ ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                              GL_RENDERBUFFER, depthRb_);
  }
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    report(Module::D3D9, "CreateDevice: the back buffer framebuffer is incomplete");
    return D3DERR_NOTAVAILABLE;
  }
  glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
  glViewport(0, 0, pp_.BackBufferWidth, pp_.BackBufferHeight);
  glDepthRange(0.0, 1.0);
  glFrontFace(GL_CCW);
  glGenVertexArrays(1, &vao_);
  glBindVertexArray(vao_);
  if (!buildFixedFunction()) return D3DERR_NOTAVAILABLE;
  // Direct3D's back buffer starts undefined; start it black and the depth buffer far.
  return Clear(0, nullptr, D3DCLEAR_TARGET | (hasDepth_ ? D3DCLEAR_ZBUFFER : 0u), 0, 1.0f, 0);
}

bool Device::buildFixedFunction() {
  GLuint vs = compileStage(GL_VERTEX_SHADER, kFixedVertex);
  GLuint ps = compileStage(GL_FRAGMENT_SHADER, kFixedPixel);
  std::string log;
  GLuint program = vs && ps ? link(vs, ps, &log) : 0;
  if (vs) glDeleteShader(vs);
  if (ps) glDeleteShader(ps);
  if (!program) {
    report(Module::D3D9, "CreateDevice: the fixed-function stand-in failed to link: %s", log.c_str());
    return false;
  }
  fixedFunction_.gl = program;
  fixedFunction_.inputs = {{D3DDECLUSAGE_POSITION, 0, glGetAttribLocation(program, "gw_in_0_0")},
                           {D3DDECLUSAGE_COLOR, 0, glGetAttribLocation(program, "gw_in_10_0")}};
  fixedFunction_.worldViewProj = glGetUniformLocation(program, "gw_world_view_proj");
  fixedFunction_.color = glGetUniformLocation(program, "gw_color");
  fixedFunction_.useVertexColor = glGetUniformLocation(program, "gw_use_vertex_color");
  return true;
}

Device::~Device() {
  if (context_) makeCurrent();
  for (Stream &s : streams_) rebind(s.buffer, static_cast<VertexBuffer *>(nullptr));
  rebind(indices_, static_cast<IndexBuffer *>(nullptr));
  rebind(declaration_, static_cast<VertexDeclaration *>(nullptr));
  rebind(vertexShader_, static_cast<VertexShader *>(nullptr));
  rebind(pixelShader_, static_cast<PixelShader *>(nullptr));
  for (auto &entry : fvfDeclarations_) entry.second->unbind();
  fvfDeclarations_.clear();
  // Resources the program holds hold the device, so none are left unless the device
  // was released once too often; those outlive it without their GL objects.
  while (!children_.empty()) (*children_.begin())->deviceGone();
  if (context_) {
    for (auto &entry : programs_) glDeleteProgram(entry.second.gl);
    if (fixedFunction_.gl) glDeleteProgram(fixedFunction_.gl);
    if (vao_) glDeleteVertexArrays(1, &vao_);
    if (fbo_) glDeleteFramebuffers(1, &fbo_);
    if (colorRb_) glDeleteRenderbuffers(1, &colorRb_);
    if (depthRb_) glDeleteRenderbuffers(1, &depthRb_);
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(context_);
  }
  d3d_->Release();
}

void Device::makeCurrent() {
  if (SDL_GL_GetCurrentContext() != context_) SDL_GL_MakeCurrent(window_, context_);
}

void Device::forget(DeviceChild *child) { children_.erase(child); }

void Device::shaderGone(const ShaderBase *shader) {
  for (auto it = programs_.begin(); it != programs_.end();) {
    if (it->first.first == shader || it->first.second == shader) {
      if (context_) glDeleteProgram(it->second.gl);
      it = programs_.erase(it);
    } else {
      ++it;
    }
  }
}

template <class T>
void Device::rebind(T *&slot, T *object) {
  if (object) object->bind();
  T *old = slot;
  slot = object;
  if (old) old->unbind();
}

HRESULT STDMETHODCALLTYPE Device::GetDirect3D(IDirect3D9 **ppD3D9) {
  if (!ppD3D9) return D3DERR_INVALIDCALL;
  d3d_->AddRef();
  *ppD3D9 = d3d_;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::GetDeviceCaps(D3DCAPS9 *pCaps) {
  if (!pCaps) return D3DERR_INVALIDCALL;
  Direct3D::fillCaps(pCaps);
  return D3D_OK;
}

// ---- Presentation ----

HRESULT STDMETHODCALLTYPE Device::Present(const RECT *pSourceRect, const RECT *pDestRect, HWND hDestWindowOverride,
                                          const RGNDATA *pDirtyRegion) {
  GW_TRACE(Module::D3D9, "Present(%p, %p, %p, %p)", static_cast<const void *>(pSourceRect),
           static_cast<const void *>(pDestRect), static_cast<void *>(hDestWindowOverride),
           static_cast<const void *>(pDirtyRegion));
  if (pSourceRect || pDestRect) {
    if (pp_.SwapEffect != D3DSWAPEFFECT_COPY) return D3DERR_INVALIDCALL;
    reportOnce(Module::D3D9, "Present: source and destination rectangles are not supported");
    return D3DERR_INVALIDCALL;
  }
  if (hDestWindowOverride && hDestWindowOverride != hwnd_) {
    reportOnce(Module::D3D9, "Present: presenting to another window is not supported");
    return D3DERR_INVALIDCALL;
  }
  makeCurrent();
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window_, &width, &height);
  if (width > 0 && height > 0) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    const bool same = UINT(width) == pp_.BackBufferWidth && UINT(height) == pp_.BackBufferHeight;
    GL_CHECKED(glBlitFramebuffer(0, 0, pp_.BackBufferWidth, pp_.BackBufferHeight, 0, 0, width, height,
                                 GL_COLOR_BUFFER_BIT, same ? GL_NEAREST : GL_LINEAR));
    SDL_GL_SwapWindow(window_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    statesDirty_ = true;
  }
  return D3D_OK;
}

// ---- Resources ----

HRESULT STDMETHODCALLTYPE Device::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                                     IDirect3DVertexBuffer9 **ppVertexBuffer, HANDLE *pSharedHandle) {
  GW_TRACE(Module::D3D9, "CreateVertexBuffer(%u, 0x%x, 0x%x, %d)", Length, Usage, FVF, Pool);
  if (!ppVertexBuffer) return D3DERR_INVALIDCALL;
  *ppVertexBuffer = nullptr;
  if (pSharedHandle) {
    reportOnce(Module::D3D9, "CreateVertexBuffer: shared handles are not supported");
    return D3DERR_INVALIDCALL;
  }
  if (Length == 0 || Pool > D3DPOOL_SYSTEMMEM || (Usage & ~DWORD(0x3F8))) return D3DERR_INVALIDCALL;
  VertexBuffer *buffer = nullptr;
  try {
    buffer = new VertexBuffer(this, Length, Usage, FVF, Pool);
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  }
  makeCurrent();
  if (!buffer->createGl(GL_ARRAY_BUFFER)) {
    buffer->Release();
    return D3DERR_OUTOFVIDEOMEMORY;
  }
  *ppVertexBuffer = buffer;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                    IDirect3DIndexBuffer9 **ppIndexBuffer, HANDLE *pSharedHandle) {
  GW_TRACE(Module::D3D9, "CreateIndexBuffer(%u, 0x%x, %d, %d)", Length, Usage, Format, Pool);
  if (!ppIndexBuffer) return D3DERR_INVALIDCALL;
  *ppIndexBuffer = nullptr;
  if (pSharedHandle) {
    reportOnce(Module::D3D9, "CreateIndexBuffer: shared handles are not supported");
    return D3DERR_INVALIDCALL;
  }
  if ((Format != D3DFMT_INDEX16 && Format != D3DFMT_INDEX32) || Pool > D3DPOOL_SYSTEMMEM ||
      (Usage & ~DWORD(0x3F8)))
    return D3DERR_INVALIDCALL;
  if (Length < (Format == D3DFMT_INDEX16 ? 2u : 4u)) return D3DERR_INVALIDCALL;
  IndexBuffer *buffer = nullptr;
  try {
    buffer = new IndexBuffer(this, Length, Usage, Format, Pool);
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  }
  makeCurrent();
  if (!buffer->createGl(GL_ELEMENT_ARRAY_BUFFER)) {
    buffer->Release();
    return D3DERR_OUTOFVIDEOMEMORY;
  }
  *ppIndexBuffer = buffer;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::CreateVertexDeclaration(const D3DVERTEXELEMENT9 *pVertexElements,
                                                          IDirect3DVertexDeclaration9 **ppDecl) {
  GW_TRACE(Module::D3D9, "CreateVertexDeclaration(%p)", static_cast<const void *>(pVertexElements));
  if (!ppDecl) return D3DERR_INVALIDCALL;
  *ppDecl = nullptr;
  if (!pVertexElements) return D3DERR_INVALIDCALL;
  std::vector<D3DVERTEXELEMENT9> elements;
  for (UINT i = 0;; ++i) {
    if (i >= MAXD3DDECLLENGTH) return D3DERR_INVALIDCALL;
    const D3DVERTEXELEMENT9 &e = pVertexElements[i];
    if (e.Stream == 0xFF) break;
    AttribFormat format;
    if (e.Stream >= kStreams || e.Usage > D3DDECLUSAGE_SAMPLE || e.UsageIndex > 15) return D3DERR_INVALIDCALL;
    if (!attribFormat(e.Type, &format)) {
      if (e.Type == D3DDECLTYPE_UDEC3 || e.Type == D3DDECLTYPE_DEC3N)
        reportOnce(Module::D3D9, "CreateVertexDeclaration: UDEC3 and DEC3N elements are not supported");
      return D3DERR_INVALIDCALL;
    }
    if (e.Method != D3DDECLMETHOD_DEFAULT) {
      reportOnce(Module::D3D9, "CreateVertexDeclaration: tessellation methods are not supported");
      return D3DERR_INVALIDCALL;
    }
    for (const D3DVERTEXELEMENT9 &other : elements)
      if (other.Usage == e.Usage && other.UsageIndex == e.UsageIndex) return D3DERR_INVALIDCALL;
    elements.push_back(e);
  }
  VertexDeclaration *declaration = new (std::nothrow) VertexDeclaration(this, std::move(elements), 0);
  if (!declaration) return E_OUTOFMEMORY;
  *ppDecl = declaration;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::CreateVertexShader(const DWORD *pFunction, IDirect3DVertexShader9 **ppShader) {
  GW_TRACE(Module::D3D9, "CreateVertexShader(%p)", static_cast<const void *>(pFunction));
  if (!ppShader) return D3DERR_INVALIDCALL;
  *ppShader = nullptr;
  ShaderCode code;
  std::string why;
  if (!decodeShaderCode(pFunction, &code, &why)) {
    report(Module::D3D9, "CreateVertexShader: %s", why.c_str());
    return D3DERR_INVALIDCALL;
  }
  if (!code.isVertexShader()) {
    report(Module::D3D9, "CreateVertexShader: the code is a pixel shader");
    return D3DERR_INVALIDCALL;
  }
  std::vector<uint32_t> words(pFunction, pFunction + shaderCodeBytes(pFunction) / 4);
  VertexShader *shader = new (std::nothrow) VertexShader(this, std::move(code), std::move(words));
  if (!shader) return E_OUTOFMEMORY;
  makeCurrent();
  if (!shader->createGl(GL_VERTEX_SHADER, &why)) {
    report(Module::D3D9, "CreateVertexShader: GLSL did not compile: %s", why.c_str());
    shader->Release();
    return D3DERR_INVALIDCALL;
  }
  *ppShader = shader;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::CreatePixelShader(const DWORD *pFunction, IDirect3DPixelShader9 **ppShader) {
  GW_TRACE(Module::D3D9, "CreatePixelShader(%p)", static_cast<const void *>(pFunction));
  if (!ppShader) return D3DERR_INVALIDCALL;
  *ppShader = nullptr;
  ShaderCode code;
  std::string why;
  if (!decodeShaderCode(pFunction, &code, &why)) {
    report(Module::D3D9, "CreatePixelShader: %s", why.c_str());
    return D3DERR_INVALIDCALL;
  }
  if (code.isVertexShader()) {
    report(Module::D3D9, "CreatePixelShader: the code is a vertex shader");
    return D3DERR_INVALIDCALL;
  }
  std::vector<uint32_t> words(pFunction, pFunction + shaderCodeBytes(pFunction) / 4);
  PixelShader *shader = new (std::nothrow) PixelShader(this, std::move(code), std::move(words));
  if (!shader) return E_OUTOFMEMORY;
  makeCurrent();
  if (!shader->createGl(GL_FRAGMENT_SHADER, &why)) {
    report(Module::D3D9, "CreatePixelShader: GLSL did not compile: %s", why.c_str());
    shader->Release();
    return D3DERR_INVALIDCALL;
  }
  *ppShader = shader;
  return D3D_OK;
}

// ---- Scenes, clearing ----

HRESULT STDMETHODCALLTYPE Device::BeginScene() {
  GW_TRACE(Module::D3D9, "BeginScene()");
  if (inScene_) return D3DERR_INVALIDCALL;
  inScene_ = true;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::EndScene() {
  GW_TRACE(Module::D3D9, "EndScene()");
  if (!inScene_) return D3DERR_INVALIDCALL;
  inScene_ = false;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::Clear(DWORD Count, const D3DRECT *pRects, DWORD Flags, D3DCOLOR Color, float Z,
                                        DWORD Stencil) {
  GW_TRACE(Module::D3D9, "Clear(%u, %p, 0x%x, 0x%08x, %g, %u)", Count, static_cast<const void *>(pRects), Flags,
           Color, Z, Stencil);
  if (Count && !pRects) return D3DERR_INVALIDCALL;
  if (Flags == 0 || (Flags & ~DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL))) return D3DERR_INVALIDCALL;
  if ((Flags & D3DCLEAR_ZBUFFER) && !hasDepth_) return D3DERR_INVALIDCALL;
  if ((Flags & D3DCLEAR_STENCIL) && !hasStencil_) return D3DERR_INVALIDCALL;
  if ((Flags & D3DCLEAR_ZBUFFER) && !(Z >= 0.0f && Z <= 1.0f)) return D3DERR_INVALIDCALL;
  makeCurrent();
  glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  GLbitfield mask = 0;
  if (Flags & D3DCLEAR_TARGET) {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(((Color >> 16) & 0xFF) / 255.0f, ((Color >> 8) & 0xFF) / 255.0f, (Color & 0xFF) / 255.0f,
                 ((Color >> 24) & 0xFF) / 255.0f);
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if (Flags & D3DCLEAR_ZBUFFER) {
    glDepthMask(GL_TRUE);
    glClearDepth(Z);
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  if (Flags & D3DCLEAR_STENCIL) {
    glStencilMask(0xFF);
    glClearStencil(static_cast<GLint>(Stencil & 0xFF));
    mask |= GL_STENCIL_BUFFER_BIT;
  }
  const LONG width = static_cast<LONG>(pp_.BackBufferWidth), height = static_cast<LONG>(pp_.BackBufferHeight);
  if (Count == 0) {
    glDisable(GL_SCISSOR_TEST);
    GL_CHECKED(glClear(mask));
  } else {
    glEnable(GL_SCISSOR_TEST);
    for (DWORD i = 0; i < Count; ++i) {
      const LONG x1 = std::max<LONG>(0, pRects[i].x1), y1 = std::max<LONG>(0, pRects[i].y1);
      const LONG x2 = std::min(width, pRects[i].x2), y2 = std::min(height, pRects[i].y2);
      if (x2 <= x1 || y2 <= y1) continue;
      // Direct3D's rows count from the top, the framebuffer's from the bottom.
      glScissor(x1, height - y2, x2 - x1, y2 - y1);
      GL_CHECKED(glClear(mask));
    }
    glDisable(GL_SCISSOR_TEST);
  }
  statesDirty_ = true;
  return D3D_OK;
}

// ---- States ----

HRESULT STDMETHODCALLTYPE Device::SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX *pMatrix) {
  GW_TRACE(Module::D3D9, "SetTransform(%d, %p)", State, static_cast<const void *>(pMatrix));
  if (!pMatrix || !validTransform(State)) return D3DERR_INVALIDCALL;
  transforms_[State] = *pMatrix;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX *pMatrix) {
  if (!pMatrix || !validTransform(State)) return D3DERR_INVALIDCALL;
  auto it = transforms_.find(State);
  *pMatrix = it == transforms_.end() ? identity() : it->second;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
  GW_TRACE(Module::D3D9, "SetRenderState(%d, 0x%x)", State, Value);
  const StateInfo *info = stateInfo(State);
  if (!info) {
    reportOnce(Module::D3D9, "SetRenderState: render state %d is unknown to this layer", State);
    return D3DERR_INVALIDCALL;
  }
  if (!info->modelled && Value != info->value)
    reportOnce(Module::D3D9, "SetRenderState: render state %d is stored but has no effect in this layer", State);
  if (State == D3DRS_ZENABLE && Value == D3DZB_USEW)
    reportOnce(Module::D3D9, "SetRenderState: w-buffering is not supported; z-buffering is used");
  renderStates_[State] = Value;
  statesDirty_ = true;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::GetRenderState(D3DRENDERSTATETYPE State, DWORD *pValue) {
  if (!pValue || !stateInfo(State)) return D3DERR_INVALIDCALL;
  *pValue = renderStates_[State];
  return D3D_OK;
}

void Device::applyRenderStates() {
  if (!statesDirty_) return;
  glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_STENCIL_TEST);
  if (hasDepth_ && renderStates_[D3DRS_ZENABLE] != D3DZB_FALSE) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(compareFunc(renderStates_[D3DRS_ZFUNC]));
  } else {
    glDisable(GL_DEPTH_TEST);
  }
  glDepthMask(renderStates_[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
  // The framebuffer keeps Direct3D's orientation, so what runs clockwise on screen
  // runs clockwise in window coordinates too.
  switch (renderStates_[D3DRS_CULLMODE]) {
    case D3DCULL_CW:
      glEnable(GL_CULL_FACE);
      glCullFace(GL_BACK);
      break;
    case D3DCULL_CCW:
      glEnable(GL_CULL_FACE);
      glCullFace(GL_FRONT);
      break;
    default:
      glDisable(GL_CULL_FACE);
      break;
  }
  const DWORD fill = renderStates_[D3DRS_FILLMODE];
  glPolygonMode(GL_FRONT_AND_BACK, fill == D3DFILL_POINT ? GL_POINT : fill == D3DFILL_WIREFRAME ? GL_LINE : GL_FILL);
  const DWORD write = renderStates_[D3DRS_COLORWRITEENABLE];
  glColorMask(write & 1, (write >> 1) & 1, (write >> 2) & 1, (write >> 3) & 1);
  statesDirty_ = false;
}

// ---- Vertex formats ----

VertexDeclaration *Device::declarationForFvf(DWORD fvf, HRESULT *hr) {
  auto cached = fvfDeclarations_.find(fvf);
  if (cached != fvfDeclarations_.end()) return cached->second;
  std::vector<D3DVERTEXELEMENT9> elements;
  WORD offset = 0;
  auto add = [&](BYTE type, BYTE usage, BYTE index, WORD bytes) {
    elements.push_back({0, offset, type, D3DDECLMETHOD_DEFAULT, usage, index});
    offset = static_cast<WORD>(offset + bytes);
  };
  const DWORD known = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                      D3DFVF_TEXCOUNT_MASK | 0xFFFF0000u;
  *hr = D3DERR_INVALIDCALL;
  if (fvf & ~known) return nullptr;
  switch (fvf & D3DFVF_POSITION_MASK) {
    case 0: break;
    case D3DFVF_XYZ: add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0, 12); break;
    case D3DFVF_XYZW: add(D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITION, 0, 16); break;
    case D3DFVF_XYZRHW: add(D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT, 0, 16); break;
    default:
      reportOnce(Module::D3D9, "SetFVF: blended positions are not supported");
      return nullptr;
  }
  if (fvf & D3DFVF_NORMAL) add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0, 12);
  if (fvf & D3DFVF_PSIZE) add(D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_PSIZE, 0, 4);
  if (fvf & D3DFVF_DIFFUSE) add(D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0, 4);
  if (fvf & D3DFVF_SPECULAR) add(D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1, 4);
  const DWORD sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if (sets > 8) return nullptr;
  for (DWORD i = 0; i < sets; ++i) {
    static const BYTE types[] = {D3DDECLTYPE_FLOAT2, D3DDECLTYPE_FLOAT3, D3DDECLTYPE_FLOAT4, D3DDECLTYPE_FLOAT1};
    static const WORD sizes[] = {8, 12, 16, 4};
    const DWORD code = (fvf >> (16 + 2 * i)) & 3;
    add(types[code], D3DDECLUSAGE_TEXCOORD, static_cast<BYTE>(i), sizes[code]);
  }
  VertexDeclaration *declaration = new (std::nothrow) VertexDeclaration(this, std::move(elements), fvf);
  if (!declaration) {
    *hr = E_OUTOFMEMORY;
    return nullptr;
  }
  // The device keeps it by a binding only, which does not hold the device itself.
  declaration->bind();
  declaration->Release();
  fvfDeclarations_[fvf] = declaration;
  *hr = D3D_OK;
  return declaration;
}

HRESULT STDMETHODCALLTYPE Device::SetFVF(DWORD FVF) {
  GW_TRACE(Module::D3D9, "SetFVF(0x%x)", FVF);
  if (FVF == 0) {
    rebind(declaration_, static_cast<VertexDeclaration *>(nullptr));
    fvf_ = 0;
    return D3D_OK;
  }
  HRESULT hr;
  VertexDeclaration *declaration = declarationForFvf(FVF, &hr);
  if (!declaration) return hr;
  rebind(declaration_, declaration);
  fvf_ = FVF;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::GetFVF(DWORD *pFVF) {
  if (!pFVF) return D3DERR_INVALIDCALL;
  *pFVF = fvf_;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::SetVertexDeclaration(IDirect3DVertexDeclaration9 *pDecl) {
  GW_TRACE(Module::D3D9, "SetVertexDeclaration(%p)", static_cast<void *>(pDecl));
  VertexDeclaration *declaration = static_cast<VertexDeclaration *>(pDecl);
  if (declaration && declaration->device() != this) return D3DERR_INVALIDCALL;
  rebind(declaration_, declaration);
  fvf_ = declaration ? declaration->fvf() : 0;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::GetVertexDeclaration(IDirect3DVertexDeclaration9 **ppDecl) {
  if (!ppDecl) return D3DERR_INVALIDCALL;
  *ppDecl = declaration_;
  if (declaration_) declaration_->AddRef();
  return D3D_OK;
}

// ---- Shaders and constants ----

HRESULT STDMETHODCALLTYPE Device::SetVertexShader(IDirect3DVertexShader9 *pShader) {
  GW_TRACE(Module::D3D9, "SetVertexShader(%p)", static_cast<void *>(pShader));
  VertexShader *shader = static_cast<VertexShader *>(pShader);
  if (shader && shader->device() != this) return D3DERR_INVALIDCALL;
  rebind(vertexShader_, shader);
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::GetVertexShader(IDirect3DVertexShader9 **ppShader) {
  if (!ppShader) return D3DERR_INVALIDCALL;
  *ppShader = vertexShader_;
  if (vertexShader_) vertexShader_->AddRef();
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::SetPixelShader(IDirect3DPixelShader9 *pShader) {
  GW_TRACE(Module::D3D9, "SetPixelShader(%p)", static_cast<void *>(pShader));
  PixelShader *shader = static_cast<PixelShader *>(pShader);
  if (shader && shader->device() != this) return D3DERR_INVALIDCALL;
  rebind(pixelShader_, shader);
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::GetPixelShader(IDirect3DPixelShader9 **ppShader) {
  if (!ppShader) return D3DERR_INVALIDCALL;
  *ppShader = pixelShader_;
  if (pixelShader_) pixelShader_->AddRef();
  return D3D_OK;
}

HRESULT Device::setConstants(float (*file)[4], UINT size, UINT start, const float *data, UINT count,
                             uint64_t *generation) {
  if (!data || start > size || count > size - start) return D3DERR_INVALIDCALL;
  std::memcpy(file[start], data, sizeof(float) * 4 * count);
  ++*generation;
  return D3D_OK;
}

HRESULT Device::getConstants(const float (*file)[4], UINT size, UINT start, float *data, UINT count) const {
  if (!data || start > size || count > size - start) return D3DERR_INVALIDCALL;
  std::memcpy(data, file[start], sizeof(float) * 4 * count);
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::SetVertexShaderConstantF(UINT StartRegister, const float *pConstantData,
                                                           UINT Vector4fCount) {
  GW_TRACE(Module::D3D9, "SetVertexShaderConstantF(%u, %p, %u)", StartRegister,
           static_cast<const void *>(pConstantData), Vector4fCount);
  return setConstants(vsRegisters_, kVertexRegisters, StartRegister, pConstantData, Vector4fCount, &vsGeneration_);
}

HRESULT STDMETHODCALLTYPE Device::GetVertexShaderConstantF(UINT StartRegister, float *pConstantData,
                                                           UINT Vector4fCount) {
  return getConstants(vsRegisters_, kVertexRegisters, StartRegister, pConstantData, Vector4fCount);
}

HRESULT STDMETHODCALLTYPE Device::SetPixelShaderConstantF(UINT StartRegister, const float *pConstantData,
                                                          UINT Vector4fCount) {
  GW_TRACE(Module::D3D9, "SetPixelShaderConstantF(%u, %p, %u)", StartRegister,
           static_cast<const void *>(pConstantData), Vector4fCount);
  return setConstants(psRegisters_, kPixelRegisters, StartRegister, pConstantData, Vector4fCount, &psGeneration_);
}

HRESULT STDMETHODCALLTYPE Device::GetPixelShaderConstantF(UINT StartRegister, float *pConstantData,
                                                          UINT Vector4fCount) {
  return getConstants(psRegisters_, kPixelRegisters, StartRegister, pConstantData, Vector4fCount);
}

// ---- Streams and indices ----

HRESULT STDMETHODCALLTYPE Device::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9 *pStreamData,
                                                  UINT OffsetInBytes, UINT Stride) {
  GW_TRACE(Module::D3D9, "SetStreamSource(%u, %p, %u, %u)", StreamNumber, static_cast<void *>(pStreamData),
           OffsetInBytes, Stride);
  if (StreamNumber >= kStreams) return D3DERR_INVALIDCALL;
  VertexBuffer *buffer = static_cast<VertexBuffer *>(pStreamData);
  if (buffer && buffer->device() != this) return D3DERR_INVALIDCALL;
  if (OffsetInBytes % 4 != 0 || Stride > 2048) return D3DERR_INVALIDCALL;
  rebind(streams_[StreamNumber].buffer, buffer);
  streams_[StreamNumber].offset = OffsetInBytes;
  streams_[StreamNumber].stride = Stride;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9 **ppStreamData,
                                                  UINT *pOffsetInBytes, UINT *pStride) {
  if (StreamNumber >= kStreams || !ppStreamData || !pOffsetInBytes || !pStride) return D3DERR_INVALIDCALL;
  const Stream &s = streams_[StreamNumber];
  *ppStreamData = s.buffer;
  if (s.buffer) s.buffer->AddRef();
  *pOffsetInBytes = s.offset;
  *pStride = s.stride;
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::SetIndices(IDirect3DIndexBuffer9 *pIndexData) {
  GW_TRACE(Module::D3D9, "SetIndices(%p)", static_cast<void *>(pIndexData));
  IndexBuffer *buffer = static_cast<IndexBuffer *>(pIndexData);
  if (buffer && buffer->device() != this) return D3DERR_INVALIDCALL;
  rebind(indices_, buffer);
  return D3D_OK;
}

HRESULT STDMETHODCALLTYPE Device::GetIndices(IDirect3DIndexBuffer9 **ppIndexData) {
  if (!ppIndexData) return D3DERR_INVALIDCALL;
  *ppIndexData = indices_;
  if (indices_) indices_->AddRef();
  return D3D_OK;
}

// ---- Drawing ----

const Program *Device::programFor(std::string *whyNot) {
  if (!vertexShader_) {
    if (pixelShader_) {
      *whyNot = "a pixel shader without a vertex shader is not supported";
      return nullptr;
    }
    return &fixedFunction_;
  }
  const auto key = std::make_pair(static_cast<const ShaderBase *>(vertexShader_),
                                  static_cast<const ShaderBase *>(pixelShader_));
  auto found = programs_.find(key);
  if (found != programs_.end()) return found->second.gl ? &found->second : nullptr;
  Program program;
  GLuint pixel = pixelShader_ ? pixelShader_->gl() : compileStage(GL_FRAGMENT_SHADER, kPassPixel);
  program.gl = link(vertexShader_->gl(), pixel, whyNot);
  if (!pixelShader_ && pixel) glDeleteShader(pixel);
  if (program.gl) {
    for (const ShaderInput &input : vertexShader_->code().inputs)
      program.inputs.push_back({input.usage, input.usageIndex,
                                glGetAttribLocation(program.gl, vertexInputName(input.usage, input.usageIndex).c_str())});
    const GLuint vsBlock = glGetUniformBlockIndex(program.gl, kVertexConstantBlock);
    if (vsBlock != GL_INVALID_INDEX) glUniformBlockBinding(program.gl, vsBlock, 0);
    const GLuint psBlock = glGetUniformBlockIndex(program.gl, kPixelConstantBlock);
    if (psBlock != GL_INVALID_INDEX) glUniformBlockBinding(program.gl, psBlock, 1);
  } else {
    report(Module::D3D9, "DrawIndexedPrimitive: the shader pair does not link: %s", whyNot->c_str());
  }
  Program &stored = programs_[key] = program;
  return stored.gl ? &stored : nullptr;
}

HRESULT Device::bindVertexInputs(const Program &program, std::string *whyNot) {
  uint32_t enabled = 0;
  for (const Program::Input &input : program.inputs) {
    if (input.location < 0 || input.location >= 32) continue;
    const D3DVERTEXELEMENT9 *element = nullptr;
    for (const D3DVERTEXELEMENT9 &e : declaration_->elements())
      if (e.Usage == input.usage && e.UsageIndex == input.usageIndex) element = &e;
    if (!element) {
      // An input the declaration does not feed reads (0, 0, 0, 1).
      glVertexAttrib4f(input.location, 0.0f, 0.0f, 0.0f, 1.0f);
      continue;
    }
    const Stream &stream = streams_[element->Stream];
    if (!stream.buffer || !stream.buffer->gl()) {
      *whyNot = "stream " + std::to_string(element->Stream) + " has no vertex buffer";
      return D3DERR_INVALIDCALL;
    }
    AttribFormat format;
    attribFormat(element->Type, &format);
    glBindBuffer(GL_ARRAY_BUFFER, stream.buffer->gl());
    glEnableVertexAttribArray(input.location);
    enabled |= 1u << input.location;
    glVertexAttribPointer(input.location, format.size, format.type, format.normalized, stream.stride,
                          reinterpret_cast<const void *>(uintptr_t(stream.offset) + element->Offset));
  }
  // Inputs of an earlier program stay off, so nothing reads buffers this draw does not name.
  for (GLuint location = 0; location < 32; ++location)
    if ((enabledAttributes_ & ~enabled) & (1u << location)) glDisableVertexAttribArray(location);
  enabledAttributes_ = enabled;
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return D3D_OK;
}

void Device::fixedFunctionUniforms(const Program &program) {
  D3DMATRIX product = transforms_[D3DTS_WORLD], temp;
  auto multiply = [](const D3DMATRIX &a, const D3DMATRIX &b, D3DMATRIX *out) {
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c)
        out->m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] + a.m[r][3] * b.m[3][c];
  };
  multiply(product, transforms_[D3DTS_VIEW], &temp);
  multiply(temp, transforms_[D3DTS_PROJECTION], &product);
  // Row vectors: GL reading the row-major array as columns gives the transpose, so
  // M * v in GLSL is v × M.
  glUniformMatrix4fv(program.worldViewProj, 1, GL_FALSE, &product._11);
  bool vertexColor = false;
  for (const D3DVERTEXELEMENT9 &e : declaration_->elements())
    if (e.Usage == D3DDECLUSAGE_COLOR && e.UsageIndex == 0) vertexColor = true;
  if (renderStates_[D3DRS_LIGHTING]) {
    // No lights, the default material (all zero): ambient × 0 + emissive 0, alpha 0.
    glUniform1i(program.useVertexColor, 0);
    glUniform4f(program.color, 0.0f, 0.0f, 0.0f, 0.0f);
  } else {
    glUniform1i(program.useVertexColor, vertexColor ? 1 : 0);
    glUniform4f(program.color, 1.0f, 1.0f, 1.0f, 1.0f);
  }
}

HRESULT STDMETHODCALLTYPE Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex,
                                                       UINT MinVertexIndex, UINT NumVertices, UINT startIndex,
                                                       UINT primCount) {
  GW_TRACE(Module::D3D9, "DrawIndexedPrimitive(%d, %d, %u, %u, %u, %u)", PrimitiveType, BaseVertexIndex,
           MinVertexIndex, NumVertices, startIndex, primCount);
  GLenum mode = GL_TRIANGLES;
  const UINT count = indexCountOf(PrimitiveType, primCount, &mode);
  if (!inScene_) {
    reportOnce(Module::D3D9, "DrawIndexedPrimitive: called outside BeginScene/EndScene");
    return D3DERR_INVALIDCALL;
  }
  if (count == 0 || primCount == 0 || NumVertices == 0 || !indices_ || !declaration_ || !indices_->gl())
    return D3DERR_INVALIDCALL;
  if (uint64_t(startIndex) + count > indices_->indexCount()) return D3DERR_INVALIDCALL;
  UINT lowest = 0, highest = 0;
  indices_->range(startIndex, count, &lowest, &highest);
  // Indices must stay inside the range the call announces and inside every stream.
  if (lowest < MinVertexIndex || uint64_t(highest) >= uint64_t(MinVertexIndex) + NumVertices) {
    reportOnce(Module::D3D9, "DrawIndexedPrimitive: indices outside MinVertexIndex .. MinVertexIndex + NumVertices");
    return D3DERR_INVALIDCALL;
  }
  if (int64_t(BaseVertexIndex) + lowest < 0) return D3DERR_INVALIDCALL;
  const int64_t lastVertex = int64_t(BaseVertexIndex) + highest;
  for (const D3DVERTEXELEMENT9 &e : declaration_->elements()) {
    const Stream &s = streams_[e.Stream];
    if (!s.buffer) continue;
    if (s.stride == 0) {
      // GL would read stride 0 as tightly packed, not as one vertex repeated.
      reportOnce(Module::D3D9, "DrawIndexedPrimitive: streams with stride 0 are not supported");
      return D3DERR_INVALIDCALL;
    }
    AttribFormat format;
    attribFormat(e.Type, &format);
    if (uint64_t(s.offset) + uint64_t(lastVertex) * s.stride + e.Offset + format.bytes > s.buffer->length()) {
      reportOnce(Module::D3D9, "DrawIndexedPrimitive: vertices beyond the end of a stream's buffer");
      return D3DERR_INVALIDCALL;
    }
  }
  makeCurrent();
  std::string why;
  const Program *program = programFor(&why);
  if (!program) {
    reportOnce(Module::D3D9, "DrawIndexedPrimitive: %s", why.c_str());
    return D3DERR_INVALIDCALL;
  }
  if (!vertexShader_) {
    for (const D3DVERTEXELEMENT9 &e : declaration_->elements())
      if (e.Usage == D3DDECLUSAGE_POSITIONT) {
        reportOnce(Module::D3D9, "DrawIndexedPrimitive: transformed vertices are not supported");
        return D3DERR_INVALIDCALL;
      }
  }
  applyRenderStates();
  glBindVertexArray(vao_);
  HRESULT hr = bindVertexInputs(*program, &why);
  if (FAILED(hr)) {
    reportOnce(Module::D3D9, "DrawIndexedPrimitive: %s", why.c_str());
    return hr;
  }
  glUseProgram(program->gl);
  if (program == &fixedFunction_) {
    fixedFunctionUniforms(*program);
  } else {
    vertexShader_->uploadConstants(vsRegisters_, vsGeneration_);
    if (vertexShader_->ubo()) glBindBufferBase(GL_UNIFORM_BUFFER, 0, vertexShader_->ubo());
    if (pixelShader_) {
      pixelShader_->uploadConstants(psRegisters_, psGeneration_);
      if (pixelShader_->ubo()) glBindBufferBase(GL_UNIFORM_BUFFER, 1, pixelShader_->ubo());
    }
  }
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_->gl());
  GL_CHECKED(glDrawElementsBaseVertex(mode, count, indices_->indexSize() == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT,
                                      reinterpret_cast<const void *>(uintptr_t(startIndex) * indices_->indexSize()),
                                      BaseVertexIndex));
  glUseProgram(0);
  return D3D_OK;
}

// ---- Read-back ----

HRESULT Device::readBackBuffer(std::vector<uint32_t> *pixels, UINT *width, UINT *height) {
  makeCurrent();
  const UINT w = pp_.BackBufferWidth, h = pp_.BackBufferHeight;
  std::vector<uint32_t> rows(size_t(w) * h);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  GL_CHECKED(glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data()));
  pixels->resize(rows.size());
  for (UINT y = 0; y < h; ++y) std::memcpy(&(*pixels)[size_t(y) * w], &rows[size_t(h - 1 - y) * w], w * 4);
  *width = w;
  *height = h;
  return D3D_OK;
}

HRESULT Device::readWindow(std::vector<uint32_t> *pixels, UINT *width, UINT *height) {
  makeCurrent();
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(window_, &w, &h);
  std::vector<uint32_t> rows(size_t(w) * h);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  GL_CHECKED(glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data()));
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
  pixels->resize(rows.size());
  for (int y = 0; y < h; ++y) std::memcpy(&(*pixels)[size_t(y) * w], &rows[size_t(h - 1 - y) * w], size_t(w) * 4);
  *width = UINT(w);
  *height = UINT(h);
  return D3D_OK;
}

}  // namespace glintwork
