// The renderer's operations against the recording device: call order and arguments.
#include "render/renderer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "mesh/meshbuffers.h"
#include "recording_device.h"

namespace {

using Calls = std::vector<std::string>;

std::string vector4(float x, float y, float z, float w) {
  const float values[4] = {x, y, z, w};
  return formatFloats(values, 4);
}

TEST(CreateDevice, PassesThePresentationParametersAndChoosesVertexProcessingFromTheCaps) {
  struct Case { const char *label; DWORD devCaps; DWORD flags; };
  const Case cases[] = {
      {"hardware transform and light", D3DDEVCAPS_HWTRANSFORMANDLIGHT | 0x10, D3DCREATE_HARDWARE_VERTEXPROCESSING},
      {"no hardware transform and light", 0x10, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
  };
  for (const Case &c : cases) {
    CallLog log;
    RecordingDevice device(&log);
    RecordingDirect3D direct3d(&log, &device);
    direct3d.devCaps = c.devCaps;
    Renderer renderer = {};
    renderer.width = 640;
    renderer.height = 480;
    renderer.window = reinterpret_cast<HWND>(0x1234);

    ASSERT_TRUE(createDeviceOn(renderer, &direct3d)) << c.label;
    EXPECT_EQ(renderer.device, &device) << c.label;
    EXPECT_EQ(direct3d.behaviourFlags, c.flags) << c.label;
    EXPECT_EQ(direct3d.focusWindow, renderer.window) << c.label;
    const D3DPRESENT_PARAMETERS &p = direct3d.parameters;
    EXPECT_EQ(p.BackBufferWidth, 640u);
    EXPECT_EQ(p.BackBufferHeight, 480u);
    EXPECT_EQ(p.BackBufferFormat, D3DFMT_A8R8G8B8);
    EXPECT_EQ(p.BackBufferCount, 1u);
    EXPECT_EQ(p.MultiSampleType, D3DMULTISAMPLE_NONE);
    EXPECT_EQ(p.MultiSampleQuality, 0u);
    EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(p.hDeviceWindow, renderer.window);
    EXPECT_EQ(p.Windowed, TRUE);
    EXPECT_EQ(p.EnableAutoDepthStencil, TRUE);
    EXPECT_EQ(p.AutoDepthStencilFormat, D3DFMT_D24S8);
    EXPECT_EQ(p.Flags, 0u);
    EXPECT_EQ(p.FullScreen_RefreshRateInHz, 0u);
    EXPECT_EQ(p.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    const char *flags = c.flags == D3DCREATE_HARDWARE_VERTEXPROCESSING ? "0x40" : "0x20";
    EXPECT_EQ(log.calls, (Calls{"GetAdapterDisplayMode(0)", "GetDeviceCaps(0, 1)",
                                std::string("CreateDevice(0, 1, ") + flags + ")", "Release(direct3d)",
                                "SetRenderState(22, 2)", "SetRenderState(8, 3)"}))
        << c.label;
  }
}

TEST(CreateDevice, EachFailureStopsAtOnce) {
  struct Case { const char *label; bool displayMode; bool create; bool null; const char *lastCall; };
  const Case cases[] = {
      {"display mode query fails", true, false, false, "GetAdapterDisplayMode(0)"},
      {"device creation fails", false, true, false, "CreateDevice(0, 1, 0x40)"},
      {"success without a device", false, false, true, "CreateDevice(0, 1, 0x40)"},
  };
  for (const Case &c : cases) {
    CallLog log;
    RecordingDevice device(&log);
    RecordingDirect3D direct3d(&log, &device);
    direct3d.failDisplayMode = c.displayMode;
    direct3d.failCreateDevice = c.create;
    direct3d.createReturnsNull = c.null;
    Renderer renderer = {};
    EXPECT_FALSE(createDeviceOn(renderer, &direct3d)) << c.label;
    EXPECT_TRUE(log.startingWith("SetRenderState").empty()) << c.label;
    EXPECT_EQ(log.startingWith(c.lastCall).size(), 1u) << c.label;
  }
  Renderer renderer = {};
  EXPECT_FALSE(createDeviceOn(renderer, nullptr)) << "no Direct3D object";
}

TEST(SetupScene, SetsProjectionViewAndWorldAndPlacesTheLight) {
  CallLog log;
  RecordingDevice device(&log);
  Renderer renderer = {};
  renderer.device = &device;
  ASSERT_TRUE(setupScene(renderer));

  D3DXMATRIX projection, view, identity;
  D3DXMatrixPerspectiveFovRH(&projection, 1.2566371f, 1.3333334f, 0.1f, -3000.0f);
  const D3DXVECTOR3 eye(-0.1f, 0.2f, 0.28f), at(0.0f, 0.1f, 0.0f), up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtRH(&view, &eye, &at, &up);
  D3DXMatrixIdentity(&identity);
  EXPECT_EQ(log.calls, (Calls{"SetTransform(3, " + formatMatrix(projection) + ")",
                              "SetTransform(2, " + formatMatrix(view) + ")",
                              "SetTransform(256, " + formatMatrix(identity) + ")"}));
  EXPECT_EQ(formatFloats(&renderer.lightPosition.x, 3), "0 0 0.200000003");
  EXPECT_EQ(formatFloats(&renderer.eye.x, 3), formatFloats(&eye.x, 3));
  // Depth at distance d in front of the camera is -_33 + _43 / d: 0 at the near
  // plane, about 0.9 at 1, and still below 1 far away (the far value is -3000).
  const auto depth = [&](float d) { return -renderer.projection._33 + renderer.projection._43 / d; };
  EXPECT_NEAR(depth(0.1f), 0.0f, 1e-6f);
  EXPECT_NEAR(depth(1.0f), 0.9f, 1e-4f);
  EXPECT_NEAR(depth(10000.0f), 0.99996f, 1e-5f);
  EXPECT_LT(depth(10000.0f), 1.0f);
}

// A renderer with eight meshes, both shaders, the marker and recording constants.
struct ReadyRenderer {
  CallLog log;
  RecordingDevice device{&log};
  RecordingMesh marker{&log, "marker"};
  RecordingConstantTable vsConstants{&log, "vsConstants",
                                     {"matWorldViewProj", "matWorld", "vecEyePosition", "vecLightDir"}};
  RecordingConstantTable psConstants{&log, "psConstants", {"ambientIC", "diffuseIC", "specularIC"}};
  std::vector<MeshBuffers> meshes;
  Renderer renderer = {};

  ReadyRenderer() {
    renderer.device = &device;
    setupScene(renderer);
    for (int i = 0; i < 8; ++i) {
      IDirect3DVertexBuffer9 *vertices = nullptr;
      IDirect3DIndexBuffer9 *indices = nullptr;
      device.CreateVertexBuffer(24 * 10, 0, 0, D3DPOOL_MANAGED, &vertices, nullptr);
      device.CreateIndexBuffer(6 * 4, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr);
      meshes.push_back(MeshBuffers{vertices, indices, 100 + i, 200 + i});
    }
    for (MeshBuffers &mesh : meshes) renderer.meshes.push_back(&mesh);
    IDirect3DVertexShader9 *vs = nullptr;
    IDirect3DPixelShader9 *ps = nullptr;
    const DWORD code[1] = {0};
    device.CreateVertexShader(code, &vs);
    device.CreatePixelShader(code, &ps);
    renderer.vertexShader = vs;
    renderer.pixelShader = ps;
    renderer.lightMarker = &marker;
    renderer.vsConstants = &vsConstants;
    renderer.psConstants = &psConstants;
    renderer.hWorldViewProj = vsConstants.GetConstantByName(nullptr, "matWorldViewProj");
    renderer.hWorld = vsConstants.GetConstantByName(nullptr, "matWorld");
    renderer.hLightDir = vsConstants.GetConstantByName(nullptr, "vecLightDir");
    renderer.hEyePosition = vsConstants.GetConstantByName(nullptr, "vecEyePosition");
    const char *terms[3] = {"ambientIC", "diffuseIC", "specularIC"};
    for (int t = 0; t < 3; ++t) {
      renderer.hTermIC[t] = psConstants.GetConstantByName(nullptr, terms[t]);
      renderer.termColor[t] = D3DXVECTOR4(0.0f, 0.0f, 0.0f, 1.0f);
    }
    renderer.lightAxis = RotationAxis::X;
    log.calls.clear();
  }
};

TEST(ReleaseResources, ReleasesTwentyObjectsInOrderTheDeviceLast) {
  ReadyRenderer ready;
  ASSERT_TRUE(releaseResources(ready.renderer));
  Calls expected;
  for (int i = 0; i < 8; ++i) {
    expected.push_back("Release(vb" + std::to_string(i) + ")");
    expected.push_back("Release(ib" + std::to_string(i) + ")");
  }
  expected.insert(expected.end(), {"Release(marker)", "Release(ps0)", "Release(vs0)", "Release(device)"});
  EXPECT_EQ(ready.log.calls, expected);
}

TEST(RenderFrame, DrawsTheSelectedMeshThenTheMarkerAndPresents) {
  ReadyRenderer ready;
  Renderer &renderer = ready.renderer;
  renderer.currentMesh = 5;
  ASSERT_TRUE(renderFrame(renderer, 1.0f / 60.0f));

  D3DXMATRIX identity, worldView, worldViewProjection, marker;
  D3DXMatrixIdentity(&identity);
  D3DXMatrixMultiply(&worldView, &identity, &renderer.view);
  D3DXMatrixMultiply(&worldViewProjection, &worldView, &renderer.projection);
  D3DXMatrixTranslation(&marker, 0.0f, 0.1f, 0.2f);
  EXPECT_EQ(ready.log.calls,
            (Calls{"SetTransform(256, " + formatMatrix(identity) + ")",
                   "vsConstants.SetMatrix(matWorldViewProj, " + formatMatrix(worldViewProjection) + ")",
                   "vsConstants.SetMatrix(matWorld, " + formatMatrix(identity) + ")",
                   "vsConstants.SetVector(vecEyePosition, " + vector4(-0.1f, 0.2f, 0.28f, 0.0f) + ")",
                   "vsConstants.SetVector(vecLightDir, " + vector4(0.0f, 0.0f, 0.2f, 0.0f) + ")",
                   "Clear(0, null, 3, 0xffffffff, 1, 0)", "BeginScene()", "SetStreamSource(0, vb5, 0, 24)",
                   "SetIndices(ib5)", "SetPixelShader(ps0)", "SetVertexShader(vs0)",
                   "DrawIndexedPrimitive(4, 0, 0, 105, 0, 205)", "SetPixelShader(null)", "SetVertexShader(null)",
                   "SetTransform(256, " + formatMatrix(marker) + ")", "marker.DrawSubset(0)", "EndScene()",
                   "Present(null, null, null, null)"}));
}

TEST(RenderFrame, TurnsTheLightAboutItsAxisAndKeepsItsDistance) {
  struct Case { const char *label; RotationAxis axis; float speed; float seconds; float x, y, z; };
  const float quarter = 0.25f * D3DX_PI;
  const Case cases[] = {
      {"no speed", RotationAxis::X, 0.0f, 0.5f, 0.0f, 0.0f, 0.2f},
      {"no time", RotationAxis::Y, 3.0f, 0.0f, 0.0f, 0.0f, 0.2f},
      {"about X", RotationAxis::X, quarter, 2.0f, 0.0f, -0.2f, 0.0f},
      {"about Y", RotationAxis::Y, quarter, 2.0f, 0.2f, 0.0f, 0.0f},
      {"about Z from the start position", RotationAxis::Z, 5.0f, 1.0f, 0.0f, 0.0f, 0.2f},
      {"unknown axis", static_cast<RotationAxis>(7), 5.0f, 1.0f, 0.0f, 0.0f, 0.2f},
  };
  for (const Case &c : cases) {
    ReadyRenderer ready;
    ready.renderer.lightAxis = c.axis;
    ready.renderer.lightSpeed = c.speed;
    renderFrame(ready.renderer, c.seconds);
    const D3DXVECTOR3 &light = ready.renderer.lightPosition;
    EXPECT_NEAR(light.x, c.x, 1e-6f) << c.label;
    EXPECT_NEAR(light.y, c.y, 1e-6f) << c.label;
    EXPECT_NEAR(light.z, c.z, 1e-6f) << c.label;
    EXPECT_NEAR(std::sqrt(light.x * light.x + light.y * light.y + light.z * light.z), 0.2f, 1e-6f) << c.label;
    // The program gets the position itself (w = 0); the marker sits 0.1 above it.
    EXPECT_EQ(ready.log.startingWith("vsConstants.SetVector(vecLightDir").at(0),
              "vsConstants.SetVector(vecLightDir, " + vector4(light.x, light.y, light.z, 0.0f) + ")")
        << c.label;
    D3DXMATRIX marker;
    D3DXMatrixTranslation(&marker, light.x, light.y + 0.1f, light.z);
    EXPECT_EQ(ready.log.startingWith("SetTransform(256").at(1), "SetTransform(256, " + formatMatrix(marker) + ")")
        << c.label;
  }
}

TEST(RenderFrame, RotationAccumulatesFromFrameToFrame) {
  ReadyRenderer ready;
  ready.renderer.lightAxis = RotationAxis::Y;
  ready.renderer.lightSpeed = 0.25f * D3DX_PI;
  renderFrame(ready.renderer, 1.0f);
  renderFrame(ready.renderer, 1.0f);
  EXPECT_NEAR(ready.renderer.lightPosition.x, 0.2f, 1e-6f);
  EXPECT_NEAR(ready.renderer.lightPosition.z, 0.0f, 1e-6f);
}

TEST(Illumination, SendsIntensityTimesColourForTheTerm) {
  struct Step { IlluminationTerm term; bool colour; float a, b, c; const char *sent; };
  struct Case { const char *label; std::vector<Step> steps; };
  const Case cases[] = {
      {"colour while the intensity is 0", {{IlluminationTerm::Diffuse, true, 1.0f, 0.5f, 0.25f, "diffuseIC, 0 0 0 0"}}},
      {"intensity then colour",
       {{IlluminationTerm::Specular, false, 0.5f, 0, 0, "specularIC, 0 0 0 0.5"},
        {IlluminationTerm::Specular, true, 1.0f, 0.5f, 0.25f, "specularIC, 0.5 0.25 0.125 0.5"}}},
      {"colour then intensity",
       {{IlluminationTerm::Ambient, true, 1.0f, 0.5f, 0.25f, "ambientIC, 0 0 0 0"},
        {IlluminationTerm::Ambient, false, 0.5f, 0, 0, "ambientIC, 0.5 0.25 0.125 0.5"}}},
      {"the same value again is sent again",
       {{IlluminationTerm::Diffuse, false, 1.0f, 0, 0, "diffuseIC, 0 0 0 1"},
        {IlluminationTerm::Diffuse, false, 1.0f, 0, 0, "diffuseIC, 0 0 0 1"}}},
  };
  for (const Case &c : cases) {
    ReadyRenderer ready;
    Calls expected;
    for (const Step &step : c.steps) {
      if (step.colour) {
        setTermColor(ready.renderer, step.term, step.a, step.b, step.c);
      } else {
        setTermIntensity(ready.renderer, step.term, step.a);
      }
      expected.push_back(std::string("psConstants.SetVector(") + step.sent + ")");
    }
    EXPECT_EQ(ready.log.calls, expected) << c.label;
    for (int t = 0; t < 3; ++t) {
      EXPECT_EQ(ready.renderer.termColor[t].w, 1.0f) << c.label << ": alpha stays 1";
    }
  }
}

TEST(Illumination, ChangingOneTermLeavesTheOthersAlone) {
  ReadyRenderer ready;
  setTermIntensity(ready.renderer, IlluminationTerm::Specular, 0.75f);
  EXPECT_EQ(ready.log.calls, (Calls{"psConstants.SetVector(specularIC, 0 0 0 0.75)"}));
  EXPECT_EQ(ready.renderer.termIntensity[0], 0.0f);
  EXPECT_EQ(ready.renderer.termIntensity[1], 0.0f);
  EXPECT_EQ(ready.renderer.termIntensity[2], 0.75f);
}

}  // namespace
