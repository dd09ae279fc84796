// Developer diagnostics of the Direct3D 9 and D3DX 9 parts of the layer: one-line
// messages on standard error prefixed by the module ("d3d9: ...", "d3dx9: ..."),
// messages that are said once per process, and the opt-in call trace. The trace is
// on when GLINTWORK_TRACE is set to anything but "0"; a comma list of module names
// ("d3d9,d3dx9") limits it to those.
#pragma once

#include <cstdarg>

namespace glintwork {

enum class Module { D3D9, D3DX9 };

// "d3d9: <text>" on stderr.
void report(Module module, const char *format, ...) __attribute__((format(printf, 2, 3)));
// As report, but only the first time this exact text is produced.
void reportOnce(Module module, const char *format, ...) __attribute__((format(printf, 2, 3)));
// True when the call trace of the module is switched on.
bool tracing(Module module);
// "trace: d3d9: <text>" on stderr when tracing(module), as the other DLLs of the layer trace.
void trace(Module module, const char *format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace glintwork

#define GW_TRACE(module, ...)                                                   \
  do {                                                                          \
    if (::glintwork::tracing(module)) ::glintwork::trace(module, __VA_ARGS__);  \
  } while (0)
