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

bool traceSwitch(const char *name) {
  const char *value = std::getenv("GLINTWORK_TRACE");
  if (!value) return false;
  std::string list = std::string(",") + value + ",";
  return list == ",1," || list.find(",all,") != std::string::npos ||
         list.find(std::string(",") + name + ",") != std::string::npos;
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
  std::fprintf(stderr, "%s: trace: %s\n", prefix(module), text.c_str());
}

}  // namespace glintwork
