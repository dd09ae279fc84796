// The Direct3D 9 device, checked by reading pixels back: clearing, culling by screen
// winding, depth, shaders fed through constant tables, the fixed-function stand-in,
// Present between draws; plus reference counts and refusals. (What only the layer
// does is in device_layer_test.cpp.)
#include <cmath>
#include <cstring>

#include "../../host/test_host.h"
#include "blinnphong_hlsl.h"
#include "device_fixture.h"
#include "png.h"

namespace {

constexpr D3DCOLOR kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

const std::vector<uint16_t> kOneTriangle = {0, 1, 2};

TEST_F(DeviceTest, ClearFillsTheTargetRectanglesFromTheTopAndTheDepthBuffer) {
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF336699, 0.5f, 0), D3D_OK);
  readBack();
  EXPECT_EQ(rgb(0, 0), 0x336699u);
  EXPECT_EQ(rgb(kWidth - 1, kHeight - 1), 0x336699u);

  const D3DRECT topLeft = {0, 0, LONG(kWidth / 2), LONG(kHeight / 2)};
  ASSERT_EQ(device_->Clear(1, &topLeft, D3DCLEAR_TARGET, kRed, 1.0f, 0), D3D_OK);
  readBack();
  EXPECT_EQ(rgb(5, 5), 0xFF0000u);
  EXPECT_EQ(rgb(kWidth - 5, kHeight - 5), 0x336699u);
  EXPECT_EQ(rgb(kWidth / 2 - 1, kHeight / 2 - 1), 0xFF0000u);
  EXPECT_EQ(rgb(kWidth / 2, kHeight / 2), 0x336699u);

  // Depth cleared to 0.5: a triangle behind it is hidden, one in front shows.
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  drawColored(triangleAt(0.7f, kWhite), kOneTriangle);
  readBack();
  EXPECT_EQ(rgb(kWidth / 2, kHeight / 2), 0x336699u);
  drawColored(triangleAt(0.3f, kWhite), kOneTriangle);
  readBack();
  EXPECT_EQ(rgb(kWidth / 2, kHeight / 2), 0xFFFFFFu);
}

TEST_F(DeviceTest, CullModesFollowDirect3DsScreenWinding) {
  // (-0.9, 0.9) → (0.9, 0.9) → (0, -0.9) runs clockwise on screen (clip +y is the top).
  const std::vector<ColorVertex> clockwise = triangleAt(0.5f, kWhite);
  const std::vector<ColorVertex> counterClockwise = {clockwise[0], clockwise[2], clockwise[1]};
  struct Row {
    const char *context;
    DWORD cull;
    const std::vector<ColorVertex> *triangle;
    bool drawn;
  } rows[] = {
      {"CW culls the clockwise one", D3DCULL_CW, &clockwise, false},
      {"CW keeps the counter-clockwise one", D3DCULL_CW, &counterClockwise, true},
      {"CCW keeps the clockwise one", D3DCULL_CCW, &clockwise, true},
      {"CCW culls the counter-clockwise one", D3DCULL_CCW, &counterClockwise, false},
      {"none keeps the clockwise one", D3DCULL_NONE, &clockwise, true},
      {"none keeps the counter-clockwise one", D3DCULL_NONE, &counterClockwise, true},
  };
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  for (const Row &row : rows) {
    SCOPED_TRACE(row.context);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, row.cull), D3D_OK);
    drawColored(*row.triangle, kOneTriangle);
    readBack();
    EXPECT_EQ(rgb(kWidth / 2, kHeight / 2), row.drawn ? 0xFFFFFFu : 0u);
  }
}

TEST_F(DeviceTest, DepthStatesDecideWhichOfTwoTrianglesShows) {
  struct Row {
    const char *context;
    D3DRENDERSTATETYPE state;
    DWORD value;
    uint32_t expected;
  } rows[] = {
      {"default LESSEQUAL keeps the nearer red", D3DRS_ZFUNC, D3DCMP_LESSEQUAL, 0xFF0000},
      {"z disabled lets the later blue win", D3DRS_ZENABLE, D3DZB_FALSE, 0x0000FF},
      {"ALWAYS lets the later blue win", D3DRS_ZFUNC, D3DCMP_ALWAYS, 0x0000FF},
      {"no z writes leave nothing for blue to fail", D3DRS_ZWRITEENABLE, FALSE, 0x0000FF},
  };
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  for (const Row &row : rows) {
    SCOPED_TRACE(row.context);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    device_->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    device_->SetRenderState(row.state, row.value);
    drawColored(triangleAt(0.3f, kRed), kOneTriangle);
    drawColored(triangleAt(0.6f, kBlue), kOneTriangle);
    readBack();
    EXPECT_EQ(rgb(kWidth / 2, kHeight / 2), row.expected);
  }
}

TEST_F(DeviceTest, PresentInBetweenLeavesTheDrawingStateAlone) {
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
  drawColored(triangleAt(0.3f, kRed), kOneTriangle);
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  drawColored(triangleAt(0.6f, kBlue), kOneTriangle);
  readBack();
  EXPECT_EQ(rgb(kWidth / 2, kHeight / 2), 0xFF0000u);
}

TEST_F(DeviceTest, WireframeFillLeavesTheInsideUndrawn) {
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
  ASSERT_EQ(device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME), D3D_OK);
  drawColored(triangleAt(0.5f, kWhite), kOneTriangle);
  readBack();
  EXPECT_EQ(rgb(kWidth / 2, kHeight / 2), 0u);
  int lit = 0;
  for (UINT x = 0; x < kWidth; ++x) lit += rgb(x, int(kHeight * 0.05f)) == 0xFFFFFF ? 1 : 0;
  EXPECT_GT(lit, 0);  // the top edge, 0.9 up in clip space
}

// World → pixel coordinates (continuous, origin at the top-left corner) of the CPU math.
D3DXVECTOR3 toPixels(const D3DXVECTOR3 &world, const D3DXMATRIX &wvp, UINT width, UINT height) {
  D3DXVECTOR3 clip;
  D3DXVec3TransformCoord(&clip, &world, &wvp);
  return D3DXVECTOR3((clip.x + 1.0f) * 0.5f * width, (1.0f - clip.y) * 0.5f * height, clip.z);
}

D3DXMATRIX programCamera() {
  const D3DXVECTOR3 eye(-0.1f, 0.2f, 0.28f), at(0.0f, 0.1f, 0.0f), up(0.0f, 1.0f, 0.0f);
  D3DXMATRIX view, projection, product;
  D3DXMatrixLookAtRH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovRH(&projection, 0.4f * D3DX_PI, 4.0f / 3.0f, 0.1f, -3000.0f);
  D3DXMatrixMultiply(&product, &view, &projection);
  return product;
}

const char *const kTransformVertex = R"(float4x4 matWorldViewProj;
float4 Main(float4 pos : POSITION) : POSITION { return mul(pos, matWorldViewProj); })";

const char *const kTintPixel = R"(float4 base;
float4 tint;
float4 Main() : COLOR { return tint + base * 0.0; })";

TEST_F(DeviceTest, AVertexTransformedBySetMatrixLandsWhereTheCpuMathPutsIt) {
  IDirect3DVertexShader9 *vs = vertexShader(kTransformVertex);
  ID3DXConstantTable *psTable = nullptr;
  IDirect3DPixelShader9 *ps = pixelShader(kTintPixel, &psTable);
  ASSERT_TRUE(vs && ps);
  D3DXMATRIX world, wvp;
  D3DXMatrixRotationY(&world, 0.3f);
  const D3DXMATRIX camera = programCamera();
  D3DXMatrixMultiply(&wvp, &world, &camera);
  const D3DXHANDLE matrix = lastVertexTable()->GetConstantByName(nullptr, "matWorldViewProj");
  ASSERT_EQ(lastVertexTable()->SetMatrix(device_, matrix, &wvp), D3D_OK);
  // D3DX's layout for a column-major matrix: its k-th register holds column k. Which
  // registers the compiler chose is the constant table's to say.
  D3DXCONSTANT_DESC desc;
  UINT count = 1;
  ASSERT_EQ(lastVertexTable()->GetConstantDesc(matrix, &desc, &count), D3D_OK);
  ASSERT_EQ(desc.RegisterCount, 4u);
  float registers[16];
  ASSERT_EQ(device_->GetVertexShaderConstantF(desc.RegisterIndex, registers, 4), D3D_OK);
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i < 4; ++i) EXPECT_EQ(registers[k * 4 + i], wvp.m[i][k]) << "register " << k << " row " << i;
  const D3DXVECTOR4 green(0.0f, 1.0f, 0.0f, 1.0f);
  ASSERT_EQ(psTable->SetVector(device_, psTable->GetConstantByName(nullptr, "tint"), &green), D3D_OK);

  const D3DXVECTOR3 corner(0.01f, 0.12f, 0.02f);
  const D3DXVECTOR3 points[] = {corner, corner + D3DXVECTOR3(0.04f, 0, 0), corner + D3DXVECTOR3(0, -0.04f, 0)};
  const D3DXVECTOR3 screen[] = {toPixels(points[0], wvp, kWidth, kHeight), toPixels(points[1], wvp, kWidth, kHeight),
                                toPixels(points[2], wvp, kWidth, kHeight)};
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
  device_->SetVertexShader(vs);
  device_->SetPixelShader(ps);
  std::vector<ColorVertex> vertices;
  for (const D3DXVECTOR3 &p : points) vertices.push_back({p.x, p.y, p.z, 0});
  drawColored(vertices, kOneTriangle);
  readBack();

  // Three pixels into the corner along the bisector of its edges: drawn; three out: not.
  D3DXVECTOR3 a = screen[1] - screen[0], b = screen[2] - screen[0], bisector;
  D3DXVec3Normalize(&a, &a);
  D3DXVec3Normalize(&b, &b);
  D3DXVECTOR3 sum = a + b;
  D3DXVec3Normalize(&bisector, &sum);
  const D3DXVECTOR3 inside = screen[0] + bisector * 3.0f, outside = screen[0] - bisector * 3.0f;
  ASSERT_GT(inside.x, 0);
  ASSERT_LT(inside.y, float(kHeight));
  EXPECT_EQ(rgb(int(inside.x), int(inside.y)), 0x00FF00u) << "corner at " << screen[0].x << "," << screen[0].y;
  EXPECT_EQ(rgb(int(outside.x), int(outside.y)), 0u);
}

TEST_F(DeviceTest, APixelShaderConstantSetBySetVectorIsThePixelsColour) {
  IDirect3DVertexShader9 *vs = vertexShader(kTransformVertex);
  ID3DXConstantTable *psTable = nullptr;
  IDirect3DPixelShader9 *ps = pixelShader(kTintPixel, &psTable);
  ASSERT_TRUE(vs && ps);
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  lastVertexTable()->SetMatrix(device_, "matWorldViewProj", &identity);  // a name serves as a handle
  const D3DXVECTOR4 base(1.0f, 1.0f, 1.0f, 1.0f), tint(0.2f, 0.4f, 0.6f, 1.0f);
  // base * 0.0 may be optimised away, and base with it: its result is not checked.
  psTable->SetVector(device_, psTable->GetConstantByName(nullptr, "base"), &base);
  const D3DXHANDLE tintHandle = psTable->GetConstantByName(nullptr, "tint");
  ASSERT_EQ(psTable->SetVector(device_, tintHandle, &tint), D3D_OK);
  // The register is the one the constant table names for tint.
  D3DXCONSTANT_DESC desc;
  UINT count = 1;
  ASSERT_EQ(psTable->GetConstantDesc(tintHandle, &desc, &count), D3D_OK);
  float registers[4];
  ASSERT_EQ(device_->GetPixelShaderConstantF(desc.RegisterIndex, registers, 1), D3D_OK);
  EXPECT_EQ(registers[0], 0.2f);
  EXPECT_EQ(registers[2], 0.6f);
  device_->SetVertexShader(vs);
  device_->SetPixelShader(ps);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
  drawColored(triangleAt(0.5f, 0), kOneTriangle);
  readBack();
  const uint32_t p = rgb(kWidth / 2, kHeight / 2);
  EXPECT_NEAR(int((p >> 16) & 0xFF), 51, 1);
  EXPECT_NEAR(int((p >> 8) & 0xFF), 102, 1);
  EXPECT_NEAR(int(p & 0xFF), 153, 1);
}

TEST_F(DeviceTest, VertexInputsAndVaryingsMatchBySemanticNotByOrder) {
  // The declaration lists the normal before the position; the pixel shader declares
  // its inputs in the opposite order to the vertex shader's outputs.
  struct Vertex {
    float nx, ny, nz, x, y, z;
  };
  const Vertex v[] = {{1, 0.5f, 0, -0.9f, 0.9f, 0.5f}, {1, 0.5f, 0, 0.9f, 0.9f, 0.5f}, {1, 0.5f, 0, 0, -0.9f, 0.5f}};
  const D3DVERTEXELEMENT9 elements[] = {
      {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
      {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
      D3DDECL_END()};
  IDirect3DVertexDeclaration9 *declaration = nullptr;
  ASSERT_EQ(device_->CreateVertexDeclaration(elements, &declaration), D3D_OK);
  owned_.push_back(declaration);
  IDirect3DVertexShader9 *vs = vertexShader(R"(struct Out { float4 p : POSITION; float3 a : TEXCOORD1; float3 b : TEXCOORD0; };
Out Main(float3 n : NORMAL, float4 p : POSITION) { Out o; o.p = p; o.a = 1 - n; o.b = n; return o; })");
  IDirect3DPixelShader9 *ps =
      pixelShader("float4 Main(float3 b : TEXCOORD0, float3 a : TEXCOORD1) : COLOR { return float4(b, 1); }");
  ASSERT_TRUE(vs && ps);
  IDirect3DVertexBuffer9 *vb = vertexBuffer(v, sizeof v);
  IDirect3DIndexBuffer9 *ib = indexBuffer(kOneTriangle);
  device_->SetVertexDeclaration(declaration);
  device_->SetVertexShader(vs);
  device_->SetPixelShader(ps);
  device_->SetStreamSource(0, vb, 0, sizeof(Vertex));
  device_->SetIndices(ib);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
  device_->BeginScene();
  ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3D_OK);
  device_->EndScene();
  readBack();
  const uint32_t p = rgb(kWidth / 2, kHeight / 2);
  EXPECT_EQ(p >> 16, 0xFFu);
  EXPECT_NEAR(int((p >> 8) & 0xFF), 128, 1);
  EXPECT_EQ(p & 0xFF, 0u);
}

TEST_F(DeviceTest, FixedFunctionMarkerIsBlackWithLightingOnAndWhiteWithItOff) {
  ID3DXMesh *sphere = nullptr;
  ASSERT_EQ(D3DXCreateSphere(device_, 0.02f, 10, 10, &sphere, nullptr), D3D_OK);
  owned_.push_back(sphere);
  const D3DXVECTOR3 eye(-0.1f, 0.2f, 0.28f), at(0.0f, 0.1f, 0.0f), up(0.0f, 1.0f, 0.0f);
  D3DXMATRIX view, projection, world;
  D3DXMatrixLookAtRH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovRH(&projection, 0.4f * D3DX_PI, 4.0f / 3.0f, 0.1f, -3000.0f);
  D3DXMatrixTranslation(&world, 0.0f, 0.1f, 0.0f);
  device_->SetTransform(D3DTS_VIEW, &view);
  device_->SetTransform(D3DTS_PROJECTION, &projection);
  device_->SetTransform(D3DTS_WORLD, &world);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);  // as the program sets it
  struct Row {
    const char *context;
    BOOL lighting;
    D3DCOLOR clear;
    uint32_t marker;
  } rows[] = {{"lighting on, no lights", TRUE, kWhite, 0x000000}, {"lighting off", FALSE, kBlack, 0xFFFFFF}};
  for (const Row &row : rows) {
    SCOPED_TRACE(row.context);
    device_->SetRenderState(D3DRS_LIGHTING, row.lighting);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, row.clear, 1.0f, 0);
    device_->BeginScene();
    ASSERT_EQ(sphere->DrawSubset(0), D3D_OK);
    device_->EndScene();
    readBack();
    // The target is at the centre of the view.
    EXPECT_EQ(rgb(kWidth / 2, kHeight / 2), row.marker);
    EXPECT_EQ(rgb(2, 2), row.clear & 0xFFFFFF);
  }
}

TEST_F(DeviceTest, BlinnPhongPairShadesASphereLitFromTheUpperRight) {
  if (test_host::underWine())
    GTEST_SKIP() << "Wine 8's HLSL compiler cannot yet translate dot, rsq, saturate or pow for the Direct3D 9 "
                    "shader models: it reports them as not implemented yet still returns D3D_OK and code without them";
  ID3DXMesh *sphere = nullptr;
  ASSERT_EQ(D3DXCreateSphere(device_, 0.05f, 32, 32, &sphere, nullptr), D3D_OK);
  owned_.push_back(sphere);
  IDirect3DVertexShader9 *vs = vertexShader(blinnphong_hlsl::kVertex);
  ID3DXConstantTable *vsTable = lastVertexTable();
  ID3DXConstantTable *psTable = nullptr;
  IDirect3DPixelShader9 *ps = pixelShader(blinnphong_hlsl::kPixel, &psTable);
  ASSERT_TRUE(vs && ps);
  D3DXMATRIX world, wvp;
  D3DXMatrixTranslation(&world, 0.0f, 0.1f, 0.0f);
  const D3DXMATRIX camera = programCamera();
  D3DXMatrixMultiply(&wvp, &world, &camera);
  vsTable->SetMatrix(device_, vsTable->GetConstantByName(nullptr, "matWorldViewProj"), &wvp);
  vsTable->SetMatrix(device_, vsTable->GetConstantByName(nullptr, "matWorld"), &world);
  const D3DXVECTOR4 eye(-0.1f, 0.2f, 0.28f, 0.0f), light(0.3f, 0.4f, 0.3f, 0.0f);
  vsTable->SetVector(device_, vsTable->GetConstantByName(nullptr, "vecEyePosition"), &eye);
  vsTable->SetVector(device_, vsTable->GetConstantByName(nullptr, "vecLightDir"), &light);
  const D3DXVECTOR4 ambient(0.1f, 0.0f, 0.0f, 1.0f), diffuse(0.7f, 0.1f, 0.1f, 1.0f), specular(1, 1, 1, 1);
  psTable->SetVector(device_, psTable->GetConstantByName(nullptr, "ambientIC"), &ambient);
  psTable->SetVector(device_, psTable->GetConstantByName(nullptr, "diffuseIC"), &diffuse);
  psTable->SetVector(device_, psTable->GetConstantByName(nullptr, "specularIC"), &specular);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF202040, 1.0f, 0);
  device_->SetVertexShader(vs);
  device_->SetPixelShader(ps);
  device_->BeginScene();
  ASSERT_EQ(sphere->DrawSubset(0), D3D_OK);
  device_->EndScene();
  readBack();
  EXPECT_TRUE(savePng("blinnphong_sphere.png"));

  // Outside the sphere: the clear colour. On it: red shades, a near-white highlight
  // on the side facing the light (upper right), the far side close to the ambient.
  EXPECT_EQ(rgb(2, 2), 0x202040u);
  int brightest = 0, darkest = 255, reddish = 0;
  for (UINT y = 0; y < kHeight; ++y)
    for (UINT x = 0; x < kWidth; ++x) {
      const uint32_t p = rgb(int(x), int(y));
      if (p == 0x202040u) continue;
      const int r = int(p >> 16), g = int((p >> 8) & 0xFF);
      brightest = std::max(brightest, g);
      darkest = std::min(darkest, r);
      reddish += r > g ? 1 : 0;
    }
  EXPECT_GT(reddish, 500);
  EXPECT_GT(brightest, 200);  // the specular highlight
  EXPECT_LT(darkest, 60);     // the unlit side keeps only the ambient red
  const uint32_t upperRight = rgb(kWidth / 2 + 8, kHeight / 2 - 8), lowerLeft = rgb(kWidth / 2 - 8, kHeight / 2 + 8);
  EXPECT_GT(upperRight >> 16, lowerLeft >> 16);
}

TEST_F(DeviceTest, SphereHasD3DXsTopologyWithOutwardFacesInOneSubset) {
  const UINT slices = 6, stacks = 4;
  const float radius = 2.0f;
  ID3DXMesh *sphere = nullptr;
  ASSERT_EQ(D3DXCreateSphere(device_, radius, slices, stacks, &sphere, nullptr), D3D_OK);
  owned_.push_back(sphere);
  EXPECT_EQ(sphere->GetNumVertices(), slices * (stacks - 1) + 2);
  EXPECT_EQ(sphere->GetNumFaces(), 2 * slices * (stacks - 1));
  EXPECT_EQ(sphere->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));
  EXPECT_EQ(sphere->GetNumBytesPerVertex(), 24u);
  struct V {
    D3DXVECTOR3 p, n;
  };
  void *data = nullptr;
  ASSERT_EQ(sphere->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
  const std::vector<V> v(static_cast<V *>(data), static_cast<V *>(data) + sphere->GetNumVertices());
  sphere->UnlockVertexBuffer();
  ASSERT_EQ(sphere->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
  const std::vector<uint16_t> idx(static_cast<uint16_t *>(data), static_cast<uint16_t *>(data) + 3 * sphere->GetNumFaces());
  sphere->UnlockIndexBuffer();

  // Poles on the z axis, first +z and last -z; rings in between from +z down.
  EXPECT_EQ(v.front().p, D3DXVECTOR3(0, 0, radius));
  EXPECT_EQ(v.back().p, D3DXVECTOR3(0, 0, -radius));
  for (UINT ring = 0; ring < stacks - 1; ++ring)
    for (UINT s = 0; s < slices; ++s) {
      SCOPED_TRACE(ring * 100 + s);
      const V &x = v[1 + ring * slices + s];
      EXPECT_NEAR(x.p.z, radius * std::cos(D3DX_PI * (ring + 1) / stacks), 1e-5f);
      EXPECT_NEAR(D3DXVec3Length(&x.p), radius, 1e-5f);
      EXPECT_NEAR(x.n.x * radius, x.p.x, 1e-5f);
      EXPECT_NEAR(x.n.y * radius, x.p.y, 1e-5f);
      EXPECT_NEAR(x.n.z * radius, x.p.z, 1e-5f);
    }
  // Every face turns counter-clockwise about its outward normal (right-handed), so
  // the program's CW culling keeps the outside; every vertex is used.
  std::vector<int> used(v.size(), 0);
  for (size_t f = 0; f < idx.size(); f += 3) {
    const D3DXVECTOR3 a = v[idx[f]].p, b = v[idx[f + 1]].p, c = v[idx[f + 2]].p;
    D3DXVECTOR3 ab = b - a, ac = c - a, normal, centre = (a + b + c) * (1.0f / 3);
    D3DXVec3Cross(&normal, &ab, &ac);
    EXPECT_GT(D3DXVec3Dot(&normal, &centre), 0.0f) << "face " << f / 3;
    for (int k = 0; k < 3; ++k) used[idx[f + k]]++;
  }
  for (size_t i = 0; i < used.size(); ++i) EXPECT_GT(used[i], 0) << "vertex " << i;
  DWORD *attributes = nullptr;
  ASSERT_EQ(sphere->LockAttributeBuffer(D3DLOCK_READONLY, &attributes), D3D_OK);
  for (DWORD f = 0; f < sphere->GetNumFaces(); ++f) EXPECT_EQ(attributes[f], 0u);
  sphere->UnlockAttributeBuffer();

  ID3DXMesh *bad = nullptr;
  EXPECT_EQ(D3DXCreateSphere(device_, 1.0f, 1, 4, &bad, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXCreateSphere(device_, 1.0f, 4, 1, &bad, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXCreateSphere(device_, -1.0f, 4, 4, &bad, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXCreateSphere(nullptr, 1.0f, 4, 4, &bad, nullptr), D3DERR_INVALIDCALL);
}

// ---- Reference counts and refusals ----

ULONG referencesOf(IUnknown *object) {
  object->AddRef();
  return object->Release();
}

TEST_F(DeviceTest, ReferenceCountsFollowCreationAndRelease) {
  EXPECT_EQ(device_->AddRef(), 2u);
  EXPECT_EQ(device_->Release(), 1u);
  // The device keeps the Direct3D object it came from.
  EXPECT_EQ(d3d_->AddRef(), 3u);
  EXPECT_EQ(d3d_->Release(), 2u);
  IDirect3D9 *parent = nullptr;
  ASSERT_EQ(device_->GetDirect3D(&parent), D3D_OK);
  EXPECT_EQ(parent, d3d_);
  EXPECT_EQ(parent->Release(), 2u);

  // GetDevice hands out a reference of its own.
  IDirect3DVertexBuffer9 *vb = nullptr;
  ASSERT_EQ(device_->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
  EXPECT_EQ(vb->AddRef(), 2u);
  EXPECT_EQ(vb->Release(), 1u);
  const ULONG withBuffer = referencesOf(device_);
  IDirect3DDevice9 *owner = nullptr;
  ASSERT_EQ(vb->GetDevice(&owner), D3D_OK);
  EXPECT_EQ(owner, device_);
  EXPECT_EQ(owner->Release(), withBuffer);
  EXPECT_EQ(vb->Release(), 0u);

  // A D3DX mesh holds the device until it goes.
  const ULONG alone = referencesOf(device_);
  ID3DXMesh *sphere = nullptr;
  ASSERT_EQ(D3DXCreateSphere(device_, 1.0f, 4, 3, &sphere, nullptr), D3D_OK);
  EXPECT_GT(referencesOf(device_), alone);
  EXPECT_EQ(sphere->Release(), 0u);
  EXPECT_EQ(referencesOf(device_), alone);
}

// A resource the program holds holds its device; a binding keeps a resource alive
// without counting in its references, so a buffer released while bound still draws,
// and GetStreamSource hands it out again with a reference that holds the device.
TEST_F(DeviceTest, ResourcesHoldTheirDeviceAndBindingsKeepWhatTheyBindUncounted) {
  const ULONG alone = referencesOf(device_);
  const std::vector<ColorVertex> vertices = triangleAt(0.5f, kWhite);
  IDirect3DVertexBuffer9 *vb = nullptr;
  const UINT bytes = UINT(vertices.size() * sizeof(ColorVertex));
  ASSERT_EQ(device_->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
  void *data = nullptr;
  ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
  std::memcpy(data, vertices.data(), bytes);
  vb->Unlock();
  EXPECT_EQ(referencesOf(device_), alone + 1);
  ASSERT_EQ(device_->SetStreamSource(0, vb, 0, sizeof(ColorVertex)), D3D_OK);
  EXPECT_EQ(referencesOf(vb), 1u);
  EXPECT_EQ(vb->Release(), 0u);
  EXPECT_EQ(referencesOf(device_), alone);

  IDirect3DIndexBuffer9 *ib = indexBuffer(kOneTriangle);
  device_->SetIndices(ib);
  device_->SetFVF(kColorFvf);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
  device_->BeginScene();
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3D_OK);
  device_->EndScene();
  readBack();
  EXPECT_EQ(rgb(kWidth / 2, kHeight / 2), 0xFFFFFFu);

  const ULONG unheld = referencesOf(device_);
  IDirect3DVertexBuffer9 *again = nullptr;
  UINT offset = 1, stride = 0;
  ASSERT_EQ(device_->GetStreamSource(0, &again, &offset, &stride), D3D_OK);
  ASSERT_EQ(again, vb);
  EXPECT_EQ(offset, 0u);
  EXPECT_EQ(stride, sizeof(ColorVertex));
  EXPECT_EQ(referencesOf(device_), unheld + 1);
  EXPECT_EQ(again->Release(), 0u);
  EXPECT_EQ(referencesOf(device_), unheld);
  EXPECT_EQ(device_->SetStreamSource(0, nullptr, 0, 0), D3D_OK);  // the buffer goes now
}

TEST_F(DeviceTest, CreateDeviceRefusesFormatsInTheWrongRole) {
  struct Row {
    const char *context;
    D3DFORMAT backBuffer, depth;
  } rows[] = {
      {"depth format as back buffer", D3DFMT_D24S8, D3DFMT_D24S8},
      {"colour format as depth buffer", D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.context);
    D3DPRESENT_PARAMETERS pp = programPresentation(window_, 64, 48);
    pp.BackBufferFormat = row.backBuffer;
    pp.AutoDepthStencilFormat = row.depth;
    IDirect3DDevice9 *device = nullptr;
    EXPECT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                 &device),
              D3DERR_INVALIDCALL);
    if (device) device->Release();
  }
}

// Calls that Direct3D's reference rules out in so many words ("must be NULL unless",
// "must be set to 0 if", "only one vertex processing flag", "must call BeginScene
// before performing any rendering").
TEST_F(DeviceTest, CallsTheDocumentationRulesOutAreRefused) {
  if (test_host::underWine())
    GTEST_SKIP() << "Wine 8's d3d9 accepts each of these calls: CreateDevice with no window at all, with a back "
                    "buffer format that is no format or with two vertex processing flags; a draw outside "
                    "BeginScene/EndScene; Clear with a count and no rectangles; Present with a rectangle on a "
                    "discarding swap chain; an index buffer in a colour format";
  const std::vector<ColorVertex> vertices = triangleAt(0.5f, kWhite);
  IDirect3DVertexBuffer9 *vb = vertexBuffer(vertices.data(), UINT(vertices.size() * sizeof(ColorVertex)));
  IDirect3DIndexBuffer9 *ib = indexBuffer(kOneTriangle);
  device_->SetFVF(kColorFvf);
  device_->SetStreamSource(0, vb, 0, sizeof(ColorVertex));
  device_->SetIndices(ib);
  auto createDevice = [this](void (*change)(D3DPRESENT_PARAMETERS *, HWND *, DWORD *)) {
    D3DPRESENT_PARAMETERS pp = programPresentation(window_, 64, 48);
    HWND focus = window_;
    DWORD flags = D3DCREATE_HARDWARE_VERTEXPROCESSING;
    change(&pp, &focus, &flags);
    IDirect3DDevice9 *device = nullptr;
    const HRESULT hr = d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, focus, flags, &pp, &device);
    if (device) device->Release();
    return hr;
  };
  const RECT rect = {0, 0, 8, 8};
  IDirect3DIndexBuffer9 *colourIndices = nullptr;
  struct Row {
    const char *context;
    HRESULT result;
  } rows[] = {
      {"CreateDevice with neither a focus nor a device window",
       createDevice([](D3DPRESENT_PARAMETERS *pp, HWND *focus, DWORD *) {
         pp->hDeviceWindow = nullptr;
         *focus = nullptr;
       })},
      {"CreateDevice with a back buffer format that is no format",
       createDevice([](D3DPRESENT_PARAMETERS *pp, HWND *, DWORD *) { pp->BackBufferFormat = D3DFORMAT(1234); })},
      {"CreateDevice with two vertex processing flags", createDevice([](D3DPRESENT_PARAMETERS *, HWND *, DWORD *flags) {
         *flags |= D3DCREATE_SOFTWARE_VERTEXPROCESSING;
       })},
      {"a draw outside BeginScene/EndScene", device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1)},
      {"Clear with a count and no rectangles", device_->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0)},
      {"Present with a source rectangle on a discarding swap chain",
       device_->Present(&rect, nullptr, nullptr, nullptr)},
      {"an index buffer in a colour format",
       device_->CreateIndexBuffer(12, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &colourIndices, nullptr)},
  };
  if (colourIndices) colourIndices->Release();
  for (const Row &row : rows) EXPECT_EQ(row.result, D3DERR_INVALIDCALL) << row.context;
}

TEST_F(DeviceTest, AdapterReportsHardwareTransformShaderModel3AndA32BitDesktopMode) {
  D3DCAPS9 caps;
  ASSERT_EQ(d3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
  EXPECT_EQ(caps.VertexShaderVersion, DWORD(D3DVS_VERSION(3, 0)));
  EXPECT_EQ(caps.PixelShaderVersion, DWORD(D3DPS_VERSION(3, 0)));
  EXPECT_EQ(d3d_->GetDeviceCaps(1, D3DDEVTYPE_HAL, &caps), D3DERR_INVALIDCALL);
  D3DDISPLAYMODE mode;
  ASSERT_EQ(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
  EXPECT_GT(mode.Width, 0u);
  EXPECT_GT(mode.Height, 0u);
  EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(d3d_->GetAdapterDisplayMode(1, &mode), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, RenderStatesStartAtDirect3DsDefaults) {
  struct Row {
    D3DRENDERSTATETYPE state;
    DWORD value;
  } rows[] = {{D3DRS_ZENABLE, D3DZB_TRUE},      {D3DRS_ZWRITEENABLE, TRUE},   {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
              {D3DRS_CULLMODE, D3DCULL_CCW},    {D3DRS_FILLMODE, D3DFILL_SOLID}, {D3DRS_LIGHTING, TRUE},
              {D3DRS_AMBIENT, 0},               {D3DRS_ALPHABLENDENABLE, FALSE}, {D3DRS_COLORWRITEENABLE, 0xF},
              {D3DRS_SHADEMODE, D3DSHADE_GOURAUD}};
  for (const Row &row : rows) {
    SCOPED_TRACE(row.state);
    DWORD value = 0xDEAD;
    ASSERT_EQ(device_->GetRenderState(row.state, &value), D3D_OK);
    EXPECT_EQ(value, row.value);
  }
  D3DMATRIX m;
  ASSERT_EQ(device_->GetTransform(D3DTS_WORLD, &m), D3D_OK);
  EXPECT_EQ(m._11, 1.0f);
  EXPECT_EQ(m._12, 0.0f);
}

TEST_F(DeviceTest, ScenesNestNeitherWayAndConstantsAndShadersStayInRange) {
  const std::vector<ColorVertex> vertices = triangleAt(0.5f, kWhite);
  IDirect3DVertexBuffer9 *vb = vertexBuffer(vertices.data(), UINT(vertices.size() * sizeof(ColorVertex)));
  IDirect3DIndexBuffer9 *ib = indexBuffer(kOneTriangle);
  device_->SetFVF(kColorFvf);
  device_->SetStreamSource(0, vb, 0, sizeof(ColorVertex));
  device_->SetIndices(ib);

  EXPECT_EQ(device_->EndScene(), D3DERR_INVALIDCALL);
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  EXPECT_EQ(device_->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3D_OK);
  EXPECT_EQ(device_->EndScene(), D3D_OK);

  void *data = nullptr;
  EXPECT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);  // 0, 0: the whole buffer
  EXPECT_EQ(static_cast<ColorVertex *>(data)[2].y, -0.9f);
  EXPECT_EQ(vb->Unlock(), D3D_OK);

  const DWORD junk[] = {0x12345678, 0, 0, 0};
  IDirect3DVertexShader9 *vs = nullptr;
  EXPECT_EQ(device_->CreateVertexShader(junk, &vs), D3DERR_INVALIDCALL);
  ID3DXBuffer *code = nullptr;
  ASSERT_EQ(D3DXCompileShader(kTransformVertex, UINT(std::strlen(kTransformVertex)), nullptr, nullptr, "Main",
                              "vs_1_1", 0, &code, nullptr, nullptr),
            D3D_OK);
  IDirect3DPixelShader9 *ps = nullptr;
  EXPECT_EQ(device_->CreatePixelShader(static_cast<const DWORD *>(code->GetBufferPointer()), &ps),
            D3DERR_INVALIDCALL);
  code->Release();

  const float four[8] = {};
  EXPECT_EQ(device_->SetVertexShaderConstantF(255, four, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetPixelShaderConstantF(223, four, 1), D3D_OK);
  EXPECT_EQ(device_->SetPixelShaderConstantF(224, four, 1), D3DERR_INVALIDCALL);
}

}  // namespace
