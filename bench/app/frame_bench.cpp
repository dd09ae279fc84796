// Frame cost of every catalogue mesh: the program's own set-up chain on the real
// layer (offscreen), then renderFrame for each mesh in turn. Each frame ends with
// glFinish so the time covers llvmpipe's rendering, not only the submission.
// Run from the folder that holds data/ and hlsl/:
//   cd build/bin && SDL_VIDEODRIVER=offscreen ./glintwork_frame_bench
#include "mesh/catalogue.h"
#include "mesh/meshbuffers.h"
#include "render/renderer.h"

#include <GL/gl.h>  // after <windows.h>, as on Windows
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

Renderer *setUp() {
  static Renderer renderer = {};
  static bool ready = false;
  if (ready) return &renderer;
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"frameBench";
  RegisterClassExW(&windowClass);
  renderer.window = CreateWindowExW(WS_EX_CLIENTEDGE, L"frameBench", L"frame bench",
                                    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 640, 480, nullptr, nullptr, windowClass.hInstance, nullptr);
  renderer.width = 640;
  renderer.height = 480;
  renderer.lightAxis = RotationAxis::Y;
  renderer.lightSpeed = 1.0f;
  ready = createDevice(renderer) && setupScene(renderer) && loadMeshes(renderer) && createShaders(renderer);
  if (!ready) {
    std::fprintf(stderr, "frame bench: set-up failed (run from the folder with data/ and hlsl/)\n");
    return nullptr;
  }
  for (int term = 0; term < termCount; ++term) {
    setTermColor(renderer, static_cast<IlluminationTerm>(term), 1.0f, 0.8f, 0.6f);
    setTermIntensity(renderer, static_cast<IlluminationTerm>(term), term == 0 ? 0.1f : 0.7f);
  }
  return &renderer;
}

void BM_RenderFrame(benchmark::State &state) {
  Renderer *renderer = setUp();
  if (renderer == nullptr) {
    state.SkipWithError("set-up failed");
    return;
  }
  renderer->currentMesh = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    renderFrame(*renderer, 1.0f / 60.0f);
    glFinish();
  }
  const MeshBuffers &mesh = *renderer->meshes[static_cast<size_t>(state.range(0))];
  state.SetLabel(meshCatalogue()[static_cast<size_t>(state.range(0))] + ", " + std::to_string(mesh.faceCount) +
                 " triangles");
}
BENCHMARK(BM_RenderFrame)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
