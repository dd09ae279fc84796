// Helpers every Win32 DLL of the layer shares: one-line diagnostics on standard
// error, the opt-in call trace (GLINTWORK_TRACE=1), UTF-16/UTF-8 conversion, and
// the resource store that GetModuleHandleW's module and FindResourceW read.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace glintwork {

// One line on standard error, prefixed by the module: "user32: CreateWindowExW: ...".
void diag(const char *module, const char *function, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
// The same line only the first time a given module/function pair reports through it.
void diagOnce(const char *module, const char *function, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
// The opt-in call trace: GLINTWORK_TRACE set to anything but "" or "0" turns it on.
// Every call is traced, except the idle polls a frame loop makes without pause
// (a PeekMessageW that finds nothing, QueryPerformanceCounter, GetTickCount).
bool traceOn();
void trace(const char *module, const char *function, const char *format, ...)
    __attribute__((format(printf, 3, 4)));

std::string narrow(const std::wstring &text);
std::string narrow(LPCWSTR text);
std::wstring widen(const std::string &utf8);
// UTF-16 code units (resource strings) to a wchar_t string.
std::wstring fromUtf16(const WORD *units, size_t count);
// A class or resource name for messages: the string, or "#123" for an ordinal.
std::string nameForMessage(LPCWSTR name);
bool equalsNoCase(const std::wstring &a, const std::wstring &b);

// The module handle of the program (GetModuleHandleW(NULL)).
HMODULE programModule();

}  // namespace glintwork

#define GLINTWORK_TRACE(module, ...)                                                  \
  do {                                                                                \
    if (::glintwork::traceOn()) ::glintwork::trace(module, __func__, __VA_ARGS__);  \
  } while (0)

// Called by the code that glintwork_add_resources() generates: hands the layer the
// bytes of a compiled .res file embedded in the program. Returns nonzero when the
// bytes parse as a resource file.
extern "C" int glintworkRegisterResources(const unsigned char *bytes, size_t size);
