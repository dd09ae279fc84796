// createShaders with the real compiler and the recording device: the declaration,
// both programs bound, the handles, the terms' start values, and the order in which
// failures stop set-up.
#include "render/renderer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "recording_device.h"

namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

const char *const warningVertexProgram =
    "float4x4 matWorldViewProj;\n"
    "float4 Main(float4 p : POSITION) : POSITION {\n  [unknownattribute] return mul(p, matWorldViewProj);\n}\n";
const char *const brokenProgram = "float4 Main(float4 p : POSITION) : POSITION {\n  return p\n}\n";

class ShadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    freshDirectory();
  }
  // An empty working directory holding only hlsl/ with the real program sources.
  void freshDirectory() {
    fs::current_path(previous_);
    directory_ = fs::temp_directory_path() /
                 (std::string("glintwork-shaders-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(directory_);
    fs::create_directories(directory_ / "hlsl");
    fs::copy(fs::path(GLINTWORK_HLSL_DIR) / "blinnphong.vsh", directory_ / "hlsl" / "blinnphong.vsh");
    fs::copy(fs::path(GLINTWORK_HLSL_DIR) / "blinnphong.psh", directory_ / "hlsl" / "blinnphong.psh");
    fs::current_path(directory_);
    releaseTables();
    log_.calls.clear();
    device_.faults = {};
    renderer_ = {};
    renderer_.device = &device_;
  }
  void releaseTables() {
    if (renderer_.vsConstants != nullptr) renderer_.vsConstants->Release();
    if (renderer_.psConstants != nullptr) renderer_.psConstants->Release();
  }
  void TearDown() override {
    releaseTables();
    fs::current_path(previous_);
    fs::remove_all(directory_);
  }
  static void write(const char *path, const char *text) { std::ofstream(path, std::ios::trunc) << text; }

  CallLog log_;
  RecordingDevice device_{&log_};
  Renderer renderer_ = {};
  fs::path previous_, directory_;
};

TEST_F(ShadersTest, CreatesAndBindsBothProgramsAndStartsTheTermsAtOpaqueBlack) {
  ASSERT_TRUE(createShaders(renderer_));
  const Calls created = {"CreateVertexDeclaration({0 0 2 0 0 0}{0 12 2 0 3 0}{255 0 17 0 0 0})",
                         "SetVertexDeclaration(decl0)", "CreateVertexShader(code)", "SetVertexShader(vs0)",
                         "CreatePixelShader(code)", "SetPixelShader(ps0)"};
  ASSERT_GE(log_.calls.size(), created.size());
  EXPECT_EQ(Calls(log_.calls.begin(), log_.calls.begin() + 6), created);
  // Each pixel constant starts with the colour itself, (0, 0, 0, 1).
  EXPECT_EQ(log_.startingWith("SetPixelShaderConstantF"),
            (Calls{"SetPixelShaderConstantF(0, 0 0 0 1)", "SetPixelShaderConstantF(1, 0 0 0 1)",
                   "SetPixelShaderConstantF(2, 0 0 0 1)"}));
  for (D3DXHANDLE handle : {renderer_.hWorldViewProj, renderer_.hWorld, renderer_.hEyePosition, renderer_.hLightDir,
                            renderer_.hTermIC[0], renderer_.hTermIC[1], renderer_.hTermIC[2]}) {
    EXPECT_NE(handle, nullptr);
  }
  for (int term = 0; term < termCount; ++term) {
    EXPECT_EQ(renderer_.termIntensity[term], 0.0f);
    EXPECT_EQ(formatFloats(&renderer_.termColor[term].x, 4), "0 0 0 1");
  }
}

TEST_F(ShadersTest, AnyMessageOrFailureStopsSetUpAndAFailedVertexProgramSkipsThePixelProgram) {
  struct Case { const char *label; const char *file; const char *text; DeviceFaults faults; bool vertexCreated; };
  DeviceFaults none, declaration, vertexObject, pixelObject;
  declaration.createDeclaration = true;
  vertexObject.createVertexShader = true;
  pixelObject.createPixelShader = true;
  const Case cases[] = {
      {"vertex program with only a warning", "hlsl/blinnphong.vsh", warningVertexProgram, none, false},
      {"vertex program that does not compile", "hlsl/blinnphong.vsh", brokenProgram, none, false},
      {"vertex program missing", "hlsl/blinnphong.vsh", nullptr, none, false},
      {"declaration refused", nullptr, nullptr, declaration, false},
      {"vertex shader object refused", nullptr, nullptr, vertexObject, false},
      {"pixel program that does not compile", "hlsl/blinnphong.psh", brokenProgram, none, true},
      {"pixel shader object refused", nullptr, nullptr, pixelObject, true},
  };
  for (const Case &c : cases) {
    freshDirectory();
    if (c.file != nullptr && c.text != nullptr) write(c.file, c.text);
    if (c.file != nullptr && c.text == nullptr) fs::remove(c.file);
    device_.faults = c.faults;
    EXPECT_FALSE(createShaders(renderer_)) << c.label;
    EXPECT_EQ(log_.startingWith("SetVertexShader(vs").size(), c.vertexCreated ? 1u : 0u) << c.label;
    EXPECT_TRUE(log_.startingWith("SetPixelShader").empty()) << c.label;
    if (!c.vertexCreated) {
      EXPECT_EQ(renderer_.psConstants, nullptr) << c.label << ": the pixel program is never compiled";
    }
  }
}

}  // namespace
