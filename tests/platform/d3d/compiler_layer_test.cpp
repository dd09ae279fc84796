// What only our D3DX layer does (not built for Windows): refusing the profiles of
// later Direct3D versions, which it cannot translate (the real D3DX hands them to
// its newer compiler), refusing a null profile (which Wine's D3DX reads through),
// and the call trace that GLINTWORK_TRACE switches on for
// every module or for the modules it names.
#include <gtest/gtest.h>

#include <d3dx9.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

TEST(CompilerLayer, ProfilesOfLaterDirect3DsAndANullProfileAreRefused) {
  const char source[] = "float4 Main(float4 p : POSITION) : POSITION { return p; }";
  ID3DXBuffer *code = nullptr;
  ID3DXBuffer *messages = nullptr;
  EXPECT_TRUE(FAILED(D3DXCompileShader(source, sizeof source - 1, nullptr, nullptr, "Main", "vs_4_0", 0, &code,
                                       &messages, nullptr)));
  EXPECT_EQ(code, nullptr);
  ASSERT_NE(messages, nullptr);
  EXPECT_NE(std::string(static_cast<const char *>(messages->GetBufferPointer())).find("vs_4_0"), std::string::npos);
  messages->Release();
  EXPECT_EQ(D3DXCompileShader(source, sizeof source - 1, nullptr, nullptr, "Main", nullptr, 0, &code, nullptr,
                              nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(code, nullptr);
}

// Each case runs in a fresh process: the layer reads GLINTWORK_TRACE once.
void compileWithTrace(const char *value) {
  setenv("GLINTWORK_TRACE", value, 1);
  const char source[] = "float4 Main(float4 p : POSITION) : POSITION { return p; }";
  ID3DXBuffer *code = nullptr;
  const HRESULT hr =
      D3DXCompileShader(source, sizeof source - 1, nullptr, nullptr, "Main", "vs_2_0", 0, &code, nullptr, nullptr);
  if (code) code->Release();
  std::fprintf(stderr, "done\n");
  std::exit(SUCCEEDED(hr) ? 0 : 1);
}

TEST(CompilerTrace, GlintworkTraceSwitchesTheCallTraceOnAndModuleNamesNarrowIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(compileWithTrace("1"), ::testing::ExitedWithCode(0),
              "trace: d3dx9: D3DXCompileShader\\([0-9]+ bytes, Main, vs_2_0, 0x0\\)");
  EXPECT_EXIT(compileWithTrace("d3d9,d3dx9"), ::testing::ExitedWithCode(0), "trace: d3dx9: D3DXCompileShader");
  EXPECT_EXIT(compileWithTrace("user32"), ::testing::ExitedWithCode(0), "^done\n$");
  EXPECT_EXIT(compileWithTrace("0"), ::testing::ExitedWithCode(0), "^done\n$");
}

}  // namespace
