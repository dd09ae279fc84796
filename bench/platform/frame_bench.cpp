// One frame of the program's shape at 640 × 480 — clear, four vertex constants, an
// indexed 70,000-triangle mesh through a per-pixel Blinn-Phong pair, present — drawn
// through the Direct3D 9 layer and, for comparison, written directly in OpenGL 3.3
// with the same mesh and the same shading. Each frame ends with glFinish so the
// time covers llvmpipe's rendering, not only the submission.
#include <benchmark/benchmark.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>
#include <SDL2/SDL.h>
#include <d3dx9.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/platform/d3d/blinnphong_hlsl.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

struct Vertex {
  float x, y, z, nx, ny, nz;
};

// A bumpy torus of 175 × 200 quads: 35,000 vertices, 70,000 triangles, around
// (0, 0.1, 0) where the program's camera looks, wound counter-clockwise outwards.
void makeMesh(std::vector<Vertex> *vertices, std::vector<uint16_t> *indices) {
  const int rings = 175, sides = 200;
  const float pi = 3.14159265f, major = 0.07f, minor = 0.025f;
  for (int i = 0; i < rings; ++i) {
    const float u = 2 * pi * i / rings;
    for (int j = 0; j < sides; ++j) {
      const float v = 2 * pi * j / sides;
      const float r = minor * (1.0f + 0.08f * std::sin(7 * u) * std::sin(5 * v));
      const float nx = std::cos(v) * std::cos(u), ny = std::sin(v), nz = std::cos(v) * std::sin(u);
      vertices->push_back({(major + r * std::cos(v)) * std::cos(u), 0.1f + r * ny,
                           (major + r * std::cos(v)) * std::sin(u), nx, ny, nz});
    }
  }
  for (int i = 0; i < rings; ++i)
    for (int j = 0; j < sides; ++j) {
      auto at = [&](int a, int b) { return uint16_t(((a % rings) * sides) + (b % sides)); };
      indices->insert(indices->end(), {at(i, j), at(i, j + 1), at(i + 1, j), at(i + 1, j), at(i, j + 1),
                                       at(i + 1, j + 1)});
    }
}

struct Camera {
  D3DXMATRIX world, view, projection, wvp;
  D3DXVECTOR4 eye{-0.1f, 0.2f, 0.28f, 0.0f}, light{0.0f, 0.0f, 0.2f, 0.0f};
  Camera() {
    const D3DXVECTOR3 e(-0.1f, 0.2f, 0.28f), at(0.0f, 0.1f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixIdentity(&world);
    D3DXMatrixLookAtRH(&view, &e, &at, &up);
    D3DXMatrixPerspectiveFovRH(&projection, 0.4f * D3DX_PI, 4.0f / 3.0f, 0.1f, -3000.0f);
    D3DXMatrixMultiply(&wvp, &world, &view);
    D3DXMatrixMultiply(&wvp, &wvp, &projection);
  }
};

// The Blinn-Phong pair of blinnphong_hlsl.h written directly in GLSL.
const char *const kVertexGlsl = R"(#version 330
uniform mat4 matWorldViewProj;
uniform mat4 matWorld;
uniform vec4 vecLightDir;
uniform vec4 vecEyePosition;
in vec3 position;
in vec3 normal;
out vec3 light;
out vec3 norm;
out vec3 view;
void main() {
  vec4 p = vec4(position, 1.0);
  gl_Position = matWorldViewProj * p;
  vec3 world = (matWorld * p).xyz;
  light = vecLightDir.xyz - world;
  view = vecEyePosition.xyz - world;
  norm = (matWorld * vec4(normal, 0.0)).xyz;
})";

const char *const kPixelGlsl = R"(#version 330
uniform vec4 ambientIC;
uniform vec4 diffuseIC;
uniform vec4 specularIC;
in vec3 light;
in vec3 norm;
in vec3 view;
out vec4 color;
void main() {
  vec3 N = normalize(norm);
  vec3 L = normalize(light);
  vec3 H = normalize(L + normalize(view));
  color = ambientIC + diffuseIC * clamp(dot(N, L), 0.0, 1.0) + specularIC * pow(clamp(dot(N, H), 0.0, 1.0), 32.0);
})";

// Pixels of the window's last presented frame that are not the white background: the
// two variants must draw the same picture for their times to compare.
double coveredPixels() {
  std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadPixels(0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
  double covered = 0;
  for (uint32_t p : pixels) covered += (p & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
  return covered;
}

LRESULT CALLBACK benchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND createWindow() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = benchWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"glintworkBench";
  static const bool registered = RegisterClassExW(&wc) != 0;
  if (!registered) return nullptr;
  RECT r = {0, 0, kWidth, kHeight};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
  return CreateWindowExW(0, L"glintworkBench", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, r.right - r.left,
                         r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void BM_LayerFrame(benchmark::State &state) {
  HWND window = createWindow();
  if (!window) {
    state.SkipWithError("CreateWindowExW failed");
    return;
  }
  IDirect3D9 *d3d = Direct3DCreate9(D3D_SDK_VERSION);
  D3DPRESENT_PARAMETERS pp{};
  pp.BackBufferWidth = kWidth;
  pp.BackBufferHeight = kHeight;
  pp.BackBufferFormat = D3DFMT_A8R8G8B8;
  pp.BackBufferCount = 1;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.hDeviceWindow = window;
  pp.Windowed = TRUE;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D24S8;
  pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  IDirect3DDevice9 *device = nullptr;
  if (!d3d || FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                       D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device))) {
    state.SkipWithError("CreateDevice failed");
    return;
  }
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  std::vector<Vertex> vertices;
  std::vector<uint16_t> indices;
  makeMesh(&vertices, &indices);
  IDirect3DVertexBuffer9 *vb = nullptr;
  IDirect3DIndexBuffer9 *ib = nullptr;
  device->CreateVertexBuffer(UINT(vertices.size() * sizeof(Vertex)), D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_NORMAL,
                             D3DPOOL_MANAGED, &vb, nullptr);
  device->CreateIndexBuffer(UINT(indices.size() * 2), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib,
                            nullptr);
  void *p = nullptr;
  vb->Lock(0, 0, &p, 0);
  std::memcpy(p, vertices.data(), vertices.size() * sizeof(Vertex));
  vb->Unlock();
  ib->Lock(0, 0, &p, 0);
  std::memcpy(p, indices.data(), indices.size() * 2);
  ib->Unlock();
  const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                        {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                        D3DDECL_END()};
  IDirect3DVertexDeclaration9 *declaration = nullptr;
  device->CreateVertexDeclaration(elements, &declaration);
  device->SetVertexDeclaration(declaration);
  ID3DXBuffer *vsCode = nullptr, *psCode = nullptr;
  ID3DXConstantTable *vsTable = nullptr, *psTable = nullptr;
  using blinnphong_hlsl::kPixel;
  using blinnphong_hlsl::kVertex;
  D3DXCompileShader(kVertex, UINT(std::strlen(kVertex)), nullptr, nullptr, "Main", "vs_1_0", 0, &vsCode, nullptr,
                    &vsTable);
  D3DXCompileShader(kPixel, UINT(std::strlen(kPixel)), nullptr, nullptr, "Main", "ps_2_0", 0, &psCode, nullptr,
                    &psTable);
  IDirect3DVertexShader9 *vs = nullptr;
  IDirect3DPixelShader9 *ps = nullptr;
  if (!vsCode || !psCode || FAILED(device->CreateVertexShader(static_cast<DWORD *>(vsCode->GetBufferPointer()), &vs)) ||
      FAILED(device->CreatePixelShader(static_cast<DWORD *>(psCode->GetBufferPointer()), &ps))) {
    state.SkipWithError("shaders failed");
    return;
  }
  const D3DXVECTOR4 ambient(0.1f, 0.1f, 0.1f, 1), diffuse(0.6f, 0.5f, 0.4f, 1), specular(0.8f, 0.8f, 0.8f, 1);
  psTable->SetVector(device, psTable->GetConstantByName(nullptr, "ambientIC"), &ambient);
  psTable->SetVector(device, psTable->GetConstantByName(nullptr, "diffuseIC"), &diffuse);
  psTable->SetVector(device, psTable->GetConstantByName(nullptr, "specularIC"), &specular);
  const D3DXHANDLE hWvp = vsTable->GetConstantByName(nullptr, "matWorldViewProj");
  const D3DXHANDLE hWorld = vsTable->GetConstantByName(nullptr, "matWorld");
  const D3DXHANDLE hEye = vsTable->GetConstantByName(nullptr, "vecEyePosition");
  const D3DXHANDLE hLight = vsTable->GetConstantByName(nullptr, "vecLightDir");
  Camera camera;
  for (auto _ : state) {
    vsTable->SetMatrix(device, hWvp, &camera.wvp);
    vsTable->SetMatrix(device, hWorld, &camera.world);
    vsTable->SetVector(device, hEye, &camera.eye);
    vsTable->SetVector(device, hLight, &camera.light);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
    device->BeginScene();
    device->SetStreamSource(0, vb, 0, sizeof(Vertex));
    device->SetIndices(ib);
    device->SetPixelShader(ps);
    device->SetVertexShader(vs);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, UINT(vertices.size()), 0, UINT(indices.size() / 3));
    device->SetPixelShader(nullptr);
    device->SetVertexShader(nullptr);
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    glFinish();
  }
  state.counters["triangles"] = double(indices.size() / 3);
  state.counters["covered"] = coveredPixels();
  vs->Release();
  ps->Release();
  vsCode->Release();
  psCode->Release();
  vsTable->Release();
  psTable->Release();
  declaration->Release();
  vb->Release();
  ib->Release();
  device->Release();
  d3d->Release();
  DestroyWindow(window);
}

GLuint compile(GLenum stage, const char *source) {
  GLuint shader = glCreateShader(stage);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  return shader;
}

// range(0) == 0: drawn straight into the window's framebuffer; 1: into an off-screen
// framebuffer blitted to the window, the way the layer presents its back buffer.
void BM_DirectGLFrame(benchmark::State &state) {
  const bool offscreen = state.range(0) == 1;
  SDL_InitSubSystem(SDL_INIT_VIDEO);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  SDL_Window *window = SDL_CreateWindow("direct", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
  if (!context) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  SDL_GL_MakeCurrent(window, context);
  SDL_GL_SetSwapInterval(0);
  std::vector<Vertex> vertices;
  std::vector<uint16_t> indices;
  makeMesh(&vertices, &indices);
  GLuint vao, buffers[2];
  glGenVertexArrays(1, &vao);
  glBindVertexArray(vao);
  glGenBuffers(2, buffers);
  glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
  glBufferData(GL_ARRAY_BUFFER, vertices.size() * sizeof(Vertex), vertices.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, indices.size() * 2, indices.data(), GL_STATIC_DRAW);
  GLuint program = glCreateProgram();
  GLuint vs = compile(GL_VERTEX_SHADER, kVertexGlsl), ps = compile(GL_FRAGMENT_SHADER, kPixelGlsl);
  glAttachShader(program, vs);
  glAttachShader(program, ps);
  glLinkProgram(program);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    state.SkipWithError("link failed");
    return;
  }
  glUseProgram(program);
  const GLint position = glGetAttribLocation(program, "position"), normal = glGetAttribLocation(program, "normal");
  glEnableVertexAttribArray(position);
  glVertexAttribPointer(position, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
  glEnableVertexAttribArray(normal);
  glVertexAttribPointer(normal, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void *>(12));
  glUniform4f(glGetUniformLocation(program, "ambientIC"), 0.1f, 0.1f, 0.1f, 1);
  glUniform4f(glGetUniformLocation(program, "diffuseIC"), 0.6f, 0.5f, 0.4f, 1);
  glUniform4f(glGetUniformLocation(program, "specularIC"), 0.8f, 0.8f, 0.8f, 1);
  const GLint uWvp = glGetUniformLocation(program, "matWorldViewProj");
  const GLint uWorld = glGetUniformLocation(program, "matWorld");
  const GLint uEye = glGetUniformLocation(program, "vecEyePosition");
  const GLint uLight = glGetUniformLocation(program, "vecLightDir");
  glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(1, 1, 1, 1);
  GLuint fbo = 0, renderbuffers[2] = {};
  if (offscreen) {
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glGenRenderbuffers(2, renderbuffers);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[0]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers[0]);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[1]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, kWidth, kHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, renderbuffers[1]);
  }
  Camera camera;
  for (auto _ : state) {
    // D3DX matrices are row-major with row vectors: read as columns they give M * v.
    glUniformMatrix4fv(uWvp, 1, GL_FALSE, &camera.wvp._11);
    glUniformMatrix4fv(uWorld, 1, GL_FALSE, &camera.world._11);
    glUniform4fv(uEye, 1, &camera.eye.x);
    glUniform4fv(uLight, 1, &camera.light.x);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_SHORT, nullptr);
    if (offscreen) {
      glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
      glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
      glBlitFramebuffer(0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    SDL_GL_SwapWindow(window);
    if (offscreen) glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFinish();
  }
  state.counters["triangles"] = double(indices.size() / 3);
  state.counters["covered"] = coveredPixels();
  if (offscreen) {
    glDeleteFramebuffers(1, &fbo);
    glDeleteRenderbuffers(2, renderbuffers);
  }
  glDeleteProgram(program);
  glDeleteShader(vs);
  glDeleteShader(ps);
  glDeleteBuffers(2, buffers);
  glDeleteVertexArrays(1, &vao);
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

BENCHMARK(BM_DirectGLFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LayerFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
