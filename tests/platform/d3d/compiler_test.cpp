// D3DXCompileShaderFromFileW: the program's Blinn-Phong pair compiles for vs_1_0 and
// ps_2_0 with its globals in the constant table; warnings alone still give a message
// buffer; errors come back as file(line,col); bad inputs fail with a message.
// (What only our layer does, such as its call trace, is in compiler_layer_test.cpp.)
#include <gtest/gtest.h>

#include <d3dx9.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <string>

#include "../../host/test_host.h"
#include "blinnphong_hlsl.h"

namespace {

class CompilerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      (std::string("glintwork-hlsl-") + test->name() + "-" +
                                       std::to_string(std::random_device()()));
    std::filesystem::remove_all(dir);
    ASSERT_TRUE(std::filesystem::create_directories(dir));
    dir_ = dir.string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Writes the file and gives its path the way the program spells paths, with '\'.
  std::wstring write(const std::string &name, const std::string &text) {
    std::ofstream(dir_ + "/" + name) << text;
    std::string windowsPath = dir_ + "\\" + name;
    return std::wstring(windowsPath.begin(), windowsPath.end());
  }

  HRESULT compile(const std::wstring &path, const char *entry, const char *profile) {
    release();
    return D3DXCompileShaderFromFileW(path.c_str(), nullptr, nullptr, entry, profile, D3DXSHADER_DEBUG, &code_,
                                      &messages_, &table_);
  }

  std::string messages() const {
    return messages_ ? std::string(static_cast<const char *>(messages_->GetBufferPointer())) : std::string();
  }

  void release() {
    if (code_) code_->Release();
    if (messages_) messages_->Release();
    if (table_) table_->Release();
    code_ = messages_ = nullptr;
    table_ = nullptr;
  }

  ~CompilerTest() override { release(); }

  std::string dir_;
  ID3DXBuffer *code_ = nullptr;
  ID3DXBuffer *messages_ = nullptr;
  ID3DXConstantTable *table_ = nullptr;
};

struct Expected {
  const char *name;
  UINT registerIndex, registerCount;
  D3DXPARAMETER_CLASS cls;
  UINT rows, columns;
};

void expectConstants(ID3DXConstantTable *table, const std::vector<Expected> &expected) {
  D3DXCONSTANTTABLE_DESC desc;
  ASSERT_EQ(table->GetDesc(&desc), D3D_OK);
  ASSERT_EQ(desc.Constants, expected.size());
  for (const Expected &e : expected) {
    SCOPED_TRACE(e.name);
    D3DXHANDLE handle = table->GetConstantByName(nullptr, e.name);
    ASSERT_NE(handle, nullptr);
    D3DXCONSTANT_DESC c;
    UINT count = 1;
    ASSERT_EQ(table->GetConstantDesc(handle, &c, &count), D3D_OK);
    EXPECT_STREQ(c.Name, e.name);
    EXPECT_EQ(c.RegisterSet, D3DXRS_FLOAT4);
    EXPECT_EQ(c.RegisterIndex, e.registerIndex);
    EXPECT_EQ(c.RegisterCount, e.registerCount);
    EXPECT_EQ(c.Class, e.cls);
    EXPECT_EQ(c.Type, D3DXPT_FLOAT);
    EXPECT_EQ(c.Rows, e.rows);
    EXPECT_EQ(c.Columns, e.columns);
  }
}

TEST_F(CompilerTest, BlinnPhongPairCompilesForTheProgramsProfilesAndListsItsGlobals) {
  if (test_host::underWine())
    GTEST_SKIP() << "Wine 8's HLSL compiler cannot yet translate dot, rsq or saturate for the Direct3D 9 "
                    "shader models";
  ASSERT_EQ(compile(write("blinnphong.vsh", blinnphong_hlsl::kVertex), "Main", "vs_1_0"), D3D_OK) << messages();
  EXPECT_EQ(messages_, nullptr) << messages();
  ASSERT_NE(code_, nullptr);
  EXPECT_GT(code_->GetBufferSize(), 0u);
  EXPECT_EQ(code_->GetBufferSize() % 4, 0u);
  ASSERT_NE(table_, nullptr);
  D3DXCONSTANTTABLE_DESC desc;
  table_->GetDesc(&desc);
  EXPECT_EQ(desc.Version, DWORD(D3DVS_VERSION(1, 0)));
  expectConstants(table_, {{"matWorldViewProj", 0, 4, D3DXPC_MATRIX_COLUMNS, 4, 4},
                           {"matWorld", 4, 4, D3DXPC_MATRIX_COLUMNS, 4, 4},
                           {"vecLightDir", 8, 1, D3DXPC_VECTOR, 1, 4},
                           {"vecEyePosition", 9, 1, D3DXPC_VECTOR, 1, 4}});
  EXPECT_EQ(table_->GetConstantByName(nullptr, "vecLightDirection"), nullptr);
  EXPECT_EQ(table_->GetConstantByName(nullptr, "ambientIC"), nullptr);

  ASSERT_EQ(compile(write("blinnphong.psh", blinnphong_hlsl::kPixel), "Main", "ps_2_0"), D3D_OK) << messages();
  EXPECT_EQ(messages_, nullptr) << messages();
  ASSERT_NE(table_, nullptr);
  expectConstants(table_, {{"ambientIC", 0, 1, D3DXPC_VECTOR, 1, 4},
                           {"diffuseIC", 1, 1, D3DXPC_VECTOR, 1, 4},
                           {"specularIC", 2, 1, D3DXPC_VECTOR, 1, 4}});
}

TEST_F(CompilerTest, AWarningAloneStillGivesCodeAndAMessageBuffer) {
  if (test_host::underWine())
    GTEST_SKIP() << "Wine 8's HLSL compiler rejects unknown attributes and does not warn about implicit "
                    "truncation";
  struct Row {
    const char *context;
    const char *source;
    int line;
  } rows[] = {
      {"unknown attribute", "float4 Main(float4 p : POSITION) : POSITION {\n  [foo] return p;\n}\n", 2},
      {"mul of a float3 by a 4x4 matrix", "float4x4 m;\nfloat4 Main(float3 p : POSITION) : POSITION {\n"
                                          "  return float4(mul(p, m).xyz, 1);\n}\n", 3},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.context);
    EXPECT_EQ(compile(write("warn.vsh", row.source), "Main", "vs_2_0"), D3D_OK);
    ASSERT_NE(messages_, nullptr);
    EXPECT_NE(code_, nullptr);
    const std::regex form(".*warn\\.vsh\\(" + std::to_string(row.line) + ",[0-9]+\\): warning( X[0-9]+)?: .+\n");
    EXPECT_TRUE(std::regex_match(messages(), form)) << messages();
    EXPECT_EQ(messages().find("error"), std::string::npos) << messages();
  }
}

TEST_F(CompilerTest, ASyntaxErrorFailsWithFileLineAndColumn) {
  const std::wstring path = write("broken.vsh", "float4 Main(float4 p : POSITION) : POSITION {\n"
                                                "  float x = 1\n"
                                                "  return p * x;\n"
                                                "}\n");
  EXPECT_TRUE(FAILED(compile(path, "Main", "vs_1_0")));
  EXPECT_EQ(code_, nullptr);
  EXPECT_EQ(table_, nullptr);
  const std::string text = messages();
  if (test_host::underWine())
    GTEST_SKIP() << "Wine 8's HLSL compiler writes its messages as file:line:col: E5000: text, not in "
                    "D3DX's file(line,col): error X3000: text form";
  const std::string file = dir_ + "\\broken.vsh";
  EXPECT_EQ(text.rfind(file + "(3,", 0), 0u) << text;
  // D3DX gives each message its code ("error X3000: "); the code is optional here.
  EXPECT_TRUE(std::regex_search(text, std::regex("broken\\.vsh\\(3,[0-9]+\\): error( X[0-9]+)?: "))) << text;
}

TEST_F(CompilerTest, RefusedInputsFailWithAMessage) {
  const std::wstring good = write("good.vsh", blinnphong_hlsl::kVertex);
  struct Row {
    const char *context;
    std::wstring path;
    const char *entry, *profile;
    const char *mentions;
  } rows[] = {
      {"missing file", good + L"-missing", "Main", "vs_1_0", nullptr},
      {"wrong entry point", good, "VertexMain", "vs_1_0", "VertexMain"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.context);
    EXPECT_TRUE(FAILED(compile(row.path, row.entry, row.profile)));
    EXPECT_EQ(code_, nullptr);
    // A missing file may be told by the result alone (Wine's D3DX gives no message buffer).
    if (row.mentions == nullptr && messages_ == nullptr) continue;
    ASSERT_NE(messages_, nullptr);
    if (row.mentions) {
      EXPECT_NE(messages().find(row.mentions), std::string::npos) << messages();
    }
  }
}

TEST_F(CompilerTest, MacrosAndIncludesRelativeToTheFileAreHonoured) {
  write("common.hlsl", "#define SCALE(p) ((p) * FACTOR)\n");
  const std::wstring path = write("main.vsh", "#include \"common.hlsl\"\n"
                                              "float4 Main(float4 p : POSITION) : POSITION { return SCALE(p); }\n");
  const D3DXMACRO macros[] = {{"FACTOR", "2.0"}, {nullptr, nullptr}};
  EXPECT_EQ(D3DXCompileShaderFromFileW(path.c_str(), macros, nullptr, "Main", "vs_2_0", 0, &code_, &messages_,
                                       &table_),
            D3D_OK)
      << messages();
  EXPECT_NE(code_, nullptr);
}

}  // namespace
