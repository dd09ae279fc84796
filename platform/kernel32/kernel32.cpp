// KERNEL32 for the layer: the program's module handle, its resources (the .res
// bytes that glintwork_add_resources() embeds, found by type and name), the
// performance counter on the monotonic clock, the thread's last-error value, and
// the diagnostics and trace helpers the other DLLs share. Only the program's own
// module exists: no DLL loading, no resource languages (the first match wins).
#include "layer_support.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <ctime>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace glintwork {

namespace {

__attribute__((format(printf, 4, 0))) void vline(const char *prefix, const char *module, const char *function,
                                               const char *format, va_list args) {
  char text[1024];
  std::vsnprintf(text, sizeof text, format, args);
  std::fprintf(stderr, "%s%s: %s: %s\n", prefix, module, function, text);
  std::fflush(stderr);
}

}  // namespace

void diag(const char *module, const char *function, const char *format, ...) {
  va_list args;
  va_start(args, format);
  vline("", module, function, format, args);
  va_end(args);
}

void diagOnce(const char *module, const char *function, const char *format, ...) {
  static std::set<std::string> said;
  if (!said.insert(std::string(module) + ":" + function).second) return;
  va_list args;
  va_start(args, format);
  vline("", module, function, format, args);
  va_end(args);
}

bool traceOn() {
  static const bool on = [] {
    const char *value = std::getenv("GLINTWORK_TRACE");
    return value && *value && std::strcmp(value, "0") != 0;
  }();
  return on;
}

void trace(const char *module, const char *function, const char *format, ...) {
  va_list args;
  va_start(args, format);
  vline("trace: ", module, function, format, args);
  va_end(args);
}

std::string narrow(const std::wstring &text) {
  std::string out;
  for (wchar_t wc : text) {
    auto c = static_cast<uint32_t>(wc);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string narrow(LPCWSTR text) { return text ? narrow(std::wstring(text)) : std::string("(null)"); }

std::wstring widen(const std::string &utf8) {
  std::wstring out;
  size_t i = 0;
  while (i < utf8.size()) {
    auto c = static_cast<unsigned char>(utf8[i]);
    uint32_t cp = 0xFFFD;
    size_t extra = 0;
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      extra = 3;
    }
    ++i;
    for (size_t k = 0; k < extra; ++k, ++i) {
      if (i >= utf8.size() || (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
        cp = 0xFFFD;
        break;
      }
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    }
    out += static_cast<wchar_t>(cp);
  }
  return out;
}

std::wstring fromUtf16(const WORD *units, size_t count) {
  std::wstring out;
  for (size_t i = 0; i < count; ++i) {
    uint32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    }
    out += static_cast<wchar_t>(u);
  }
  return out;
}

std::string nameForMessage(LPCWSTR name) {
  if (!name) return "(null)";
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
  return "\"" + narrow(name) + "\"";
}

bool equalsNoCase(const std::wstring &a, const std::wstring &b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
  return true;
}

namespace {

// Any distinct non-null address serves as the program's module handle.
char moduleTag;

DWORD lastError = 0;

// One resource of a .res file: its type and name (ordinal or upper-case string)
// and where its bytes lie.
struct Resource {
  WORD typeOrdinal = 0;
  std::wstring typeName;
  WORD nameOrdinal = 0;
  std::wstring nameString;
  const unsigned char *data = nullptr;
  DWORD size = 0;
};

std::vector<std::unique_ptr<Resource>> &resources() {
  static std::vector<std::unique_ptr<Resource>> all;
  return all;
}

uint32_t readDword(const unsigned char *p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
WORD readWord(const unsigned char *p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

// Reads an ordinal-or-string field of a resource header; false if it runs past `end`.
bool readNameField(const unsigned char *&p, const unsigned char *end, WORD &ordinal, std::wstring &name) {
  if (end - p < 2) return false;
  if (readWord(p) == 0xFFFF) {
    if (end - p < 4) return false;
    ordinal = readWord(p + 2);
    p += 4;
    return true;
  }
  std::vector<WORD> units;
  while (true) {
    if (end - p < 2) return false;
    WORD u = readWord(p);
    p += 2;
    if (u == 0) break;
    units.push_back(u);
  }
  name = fromUtf16(units.data(), units.size());
  return true;
}

bool matches(WORD ordinal, const std::wstring &string, LPCWSTR wanted) {
  if (IS_INTRESOURCE(wanted))
    return string.empty() && ordinal == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(wanted));
  std::wstring w(wanted);
  if (w.size() > 1 && w[0] == L'#') {
    wchar_t *stop = nullptr;
    unsigned long n = std::wcstoul(w.c_str() + 1, &stop, 10);
    if (stop && *stop == 0 && n <= 0xFFFF) return string.empty() && ordinal == n;
  }
  return !string.empty() && equalsNoCase(string, w);
}

}  // namespace

HMODULE programModule() { return reinterpret_cast<HMODULE>(&moduleTag); }

}  // namespace glintwork

using namespace glintwork;

extern "C" int glintworkRegisterResources(const unsigned char *bytes, size_t size) {
  std::vector<std::unique_ptr<Resource>> parsed;
  const unsigned char *p = bytes;
  const unsigned char *end = bytes + size;
  while (end - p >= 8) {
    const unsigned char *entry = p;
    uint32_t dataSize = readDword(p);
    uint32_t headerSize = readDword(p + 4);
    if (headerSize < 16 || headerSize > static_cast<size_t>(end - entry) ||
        dataSize > static_cast<size_t>(end - entry) - headerSize) {
      diag("kernel32", "glintworkRegisterResources", "malformed resource header at offset %zu",
           static_cast<size_t>(entry - bytes));
      return 0;
    }
    auto res = std::make_unique<Resource>();
    const unsigned char *field = entry + 8;
    const unsigned char *headerEnd = entry + headerSize;
    if (!readNameField(field, headerEnd, res->typeOrdinal, res->typeName) ||
        !readNameField(field, headerEnd, res->nameOrdinal, res->nameString)) {
      diag("kernel32", "glintworkRegisterResources", "malformed resource name at offset %zu",
           static_cast<size_t>(entry - bytes));
      return 0;
    }
    res->data = headerEnd;
    res->size = dataSize;
    // The leading empty entry of every .res file has type and name 0.
    if (!(res->typeName.empty() && res->typeOrdinal == 0)) parsed.push_back(std::move(res));
    size_t next = headerSize + ((dataSize + 3u) & ~3u);
    if (next > static_cast<size_t>(end - entry)) break;
    p = entry + next;
  }
  if (p != end && end - p >= 8) return 0;
  for (auto &r : parsed) resources().push_back(std::move(r));
  GLINTWORK_TRACE("kernel32", "%zu bytes, %zu resources", size, resources().size());
  return 1;
}

extern "C" {

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName) {
  GLINTWORK_TRACE("kernel32", "%s", moduleName ? narrow(moduleName).c_str() : "NULL");
  if (moduleName) {
    diag("kernel32", "GetModuleHandleW", "no module %s is loaded (only the program's own)",
         narrow(moduleName).c_str());
    lastError = ERROR_MOD_NOT_FOUND;
    return nullptr;
  }
  return programModule();
}

// The counter runs on CLOCK_MONOTONIC at a fixed 10,000,000 counts per second
// (100 ns units), the frequency Windows reports on most current machines.
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER *frequency) {
  GLINTWORK_TRACE("kernel32", "%s", "10000000 per second");
  if (!frequency) {
    diag("kernel32", "QueryPerformanceFrequency", "null pointer");
    lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  frequency->QuadPart = 10000000;
  return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER *count) {
  if (!count) {
    diag("kernel32", "QueryPerformanceCounter", "null pointer");
    lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  count->QuadPart = static_cast<LONGLONG>(now.tv_sec) * 10000000 + now.tv_nsec / 100;
  return TRUE;
}

DWORD WINAPI GetTickCount(void) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

void WINAPI Sleep(DWORD milliseconds) {
  timespec delay{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
  }
}

HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
  GLINTWORK_TRACE("kernel32", "name %s type %s", nameForMessage(name).c_str(), nameForMessage(type).c_str());
  if (module && module != programModule()) {
    diag("kernel32", "FindResourceW", "unknown module %p", static_cast<void *>(module));
    lastError = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  if (!name || !type) {
    diag("kernel32", "FindResourceW", "null name or type");
    lastError = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  for (auto &r : resources())
    if (matches(r->typeOrdinal, r->typeName, type) && matches(r->nameOrdinal, r->nameString, name))
      return reinterpret_cast<HRSRC>(r.get());
  diag("kernel32", "FindResourceW", "no resource %s of type %s in the program", nameForMessage(name).c_str(),
       nameForMessage(type).c_str());
  lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
  return nullptr;
}

static Resource *checkResource(HRSRC handle, const char *function) {
  for (auto &r : resources())
    if (reinterpret_cast<HRSRC>(r.get()) == handle) return r.get();
  diag("kernel32", function, "invalid resource handle %p", static_cast<void *>(handle));
  lastError = ERROR_INVALID_PARAMETER;
  return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource) {
  GLINTWORK_TRACE("kernel32", "%p", static_cast<void *>(resource));
  (void)module;
  Resource *r = checkResource(resource, "LoadResource");
  return r ? const_cast<unsigned char *>(r->data) : nullptr;
}

// Resource bytes stay where they are embedded; locking is the identity.
LPVOID WINAPI LockResource(HGLOBAL data) { return data; }

DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource) {
  GLINTWORK_TRACE("kernel32", "%p", static_cast<void *>(resource));
  (void)module;
  Resource *r = checkResource(resource, "SizeofResource");
  return r ? r->size : 0;
}

DWORD WINAPI GetLastError(void) { return lastError; }
void WINAPI SetLastError(DWORD error) { lastError = error; }

}  // extern "C"
