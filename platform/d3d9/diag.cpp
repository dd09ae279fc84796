// Diagnostics and the call trace of the Direct3D 9 and D3DX 9 parts (see diag.h).
#include "diag.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace glintwork {
namespace {

const char *prefix(Module module) { return module == Module::D3D9 ? "d3d9" : "d3dx9"; }

std::string format(const char *fmt, va_list args) {
  char buffer[1024];
  std::vsnprintf(buffer, sizeof buffer, fmt, args);
  return buffer;
}

// Any value but "0" switches tracing on, as in the other DLLs of the layer; a comma
// list of module names ("d3d9,d3dx9") limits it to those modules.
bool traceSwitch(const char *name) {
  const char *value = std::getenv("GLINTWORK_TRACE");
  if (!value || !*value || std::strcmp(value, "0") == 0) return false;
  const std::string list = std::string(",") + value + ",";
  bool namesModules = false;
  for (const char *module : {"kernel32", "user32", "comctl32", "d3d9", "d3dx9"})
    namesModules = namesModules || list.find(std::string(",") + module + ",") != std::string::npos;
  return !namesModules || list.find(std::string(",") + name + ",") != std::string::npos;
}

}  // namespace

void report(Module module, const char *fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = format(fmt, args);
  va_end(args);
  std::fprintf(stderr, "%s: %s\n", prefix(module), text.c_str());
}

void reportOnce(Module module, const char *fmt, ...) {
  static std::mutex lock;
  static std::set<std::string> said;
  va_list args;
  va_start(args, fmt);
  std::string text = std::string(prefix(module)) + ": " + format(fmt, args);
  va_end(args);
  std::lock_guard<std::mutex> guard(lock);
  if (said.insert(text).second) std::fprintf(stderr, "%s\n", text.c_str());
}

bool tracing(Module module) {
  static const bool d3d9 = traceSwitch("d3d9");
  static const bool d3dx9 = traceSwitch("d3dx9");
  return module == Module::D3D9 ? d3d9 : d3dx9;
}

void trace(Module module, const char *fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = format(fmt, args);
  va_end(args);
  std::fprintf(stderr, "trace: %s: %s\n", prefix(module), text.c_str());
}

}  // namespace glintwork
