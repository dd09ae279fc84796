// Start-up failures of the real program, each run as a process on the real layer
// (offscreen, or with a display that cannot be opened): one "Error!" box, the
// window never shown, exit 0 — or, for a damaged mesh body, the reader's own
// message and exit code.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
  int exitCode;
  std::string errors;  // standard error, with the layer's trace switched on
};

int countLines(const std::string &text, const std::string &line) {
  int count = 0;
  std::istringstream lines(text);
  for (std::string each; std::getline(lines, each);) count += each == line;
  return count;
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() /
                 (std::string("glintwork-startup-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(directory_);
    fs::create_directories(directory_);
    fs::copy(fs::path(GLINTWORK_RUNTIME_DIR) / "data", directory_ / "data");
    fs::copy(fs::path(GLINTWORK_RUNTIME_DIR) / "hlsl", directory_ / "hlsl");
  }
  void TearDown() override { fs::remove_all(directory_); }

  void write(const std::string &relative, const std::string &text) {
    std::ofstream(directory_ / relative, std::ios::binary | std::ios::trunc) << text;
  }

  // Runs the program in the test's folder; `environment` is put before it on the
  // shell's command line.
  ProgramRun run(const std::string &environment = "SDL_VIDEODRIVER=offscreen") {
    const std::string command = "cd '" + directory_.string() + "' && " + environment +
                                " GLINTWORK_TRACE=1 timeout 60 '" GLINTWORK_EXE "' 2>&1 >/dev/null";
    FILE *pipe = popen(command.c_str(), "r");
    ProgramRun result{-1, ""};
    std::array<char, 4096> buffer;
    for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) result.errors.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
  }

  fs::path directory_;
};

TEST_F(StartupTest, EachRendererFailureShowsOneBoxAndNeverShowsTheWindow) {
  struct Case { const char *label; const char *file; const char *text; };
  const Case cases[] = {
      {"a missing catalogue file", "data/bun_zipper_res3.ply", nullptr},
      {"a vertex shader that compiles with a warning", "hlsl/blinnphong.vsh",
       "float4x4 matWorldViewProj;\n"
       "float4 Main(float4 p : POSITION) : POSITION {\n  [unknownattribute] return mul(p, matWorldViewProj);\n}\n"},
      {"a vertex shader that does not compile", "hlsl/blinnphong.vsh",
       "float4 Main(float4 p : POSITION) : POSITION {\n  return p\n}\n"},
      {"a pixel shader that does not compile", "hlsl/blinnphong.psh", "float4 Main() : COLOR { return 1 }\n"},
  };
  for (const Case &c : cases) {
    SetUp();
    if (c.text == nullptr) {
      fs::remove(directory_ / c.file);
    } else {
      write(c.file, c.text);
    }
    const ProgramRun result = run();
    EXPECT_EQ(result.exitCode, 0) << c.label;
    EXPECT_EQ(countLines(result.errors, "Error!: Render initialization failed"), 1) << c.label << "\n" << result.errors;
    EXPECT_EQ(result.errors.find("MessageBoxW"), result.errors.rfind("MessageBoxW")) << c.label << ": one box";
    EXPECT_EQ(result.errors.find("user32: ShowWindow"), std::string::npos) << c.label << ": the window stays hidden";
  }
}

TEST_F(StartupTest, ATruncatedBinaryMeshEndsTheProcessWithTheReadersMessage) {
  // A little-endian header that promises three vertices and delivers one and a half.
  std::string mesh = "ply\nformat binary_little_endian 1.0\nelement vertex 3\nproperty float x\n"
                     "property float y\nproperty float z\nelement face 1\n"
                     "property list uchar int vertex_indices\nend_header\n";
  mesh.append(18, '\0');
  write("data/bun_zipper_res2.ply", mesh);
  const ProgramRun result = run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.errors.find("PLY ERROR: fread() failed -- aborting.\n"), std::string::npos) << result.errors;
  EXPECT_EQ(result.errors.find("MessageBoxW"), std::string::npos) << "no box for a damaged body";
}

TEST_F(StartupTest, WithNoDisplayToOpenTheWindowCannotBeCreatedAndTheProgramSaysSo) {
  // A display number nobody serves, and no offscreen driver asked for: the program
  // must not run on with a window nobody can see.
  int number = 900;
  while (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) ++number;
  const ProgramRun result =
      run("env -u SDL_VIDEODRIVER DISPLAY=:" + std::to_string(number) + " WAYLAND_DISPLAY=glintwork-none");
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(countLines(result.errors, "Error!: Window Creation Failed!"), 1) << result.errors;
  EXPECT_NE(result.errors.find("no display could be opened (DISPLAY=:" + std::to_string(number)), std::string::npos)
      << result.errors;
  EXPECT_EQ(result.errors.find("user32: ShowWindow"), std::string::npos) << "the window stays hidden";
}

}  // namespace
