// What the tests need from the host they run on, the one place where building the
// tests for Windows (mingw-w64, run under Wine or on Windows) differs from Linux.
#ifndef GLINTWORK_TESTS_HOST_TEST_HOST_H
#define GLINTWORK_TESTS_HOST_TEST_HOST_H

#include <cstddef>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace test_host {

// The exit status a parent sees when a process ends with exit(-1): the low eight
// bits (255) on POSIX, the whole 32-bit value on Windows.
#if defined(_WIN32)
constexpr int kExitStatusOfMinusOne = -1;
#else
constexpr int kExitStatusOfMinusOne = 255;
#endif

// Caps the memory the calling process may allocate from now on (for good: call
// it in a death test's child). False when the host refuses.
inline bool limitProcessMemory(size_t bytes) {
#if defined(_WIN32)
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) return false;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION info = {};
  info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY;
  info.ProcessMemoryLimit = bytes;
  return SetInformationJobObject(job, JobObjectExtendedLimitInformation, &info, sizeof info) &&
         AssignProcessToJobObject(job, GetCurrentProcess());
#else
  struct rlimit limit = {bytes, bytes};
  return setrlimit(RLIMIT_AS, &limit) == 0;
#endif
}

// True when a Windows build runs under Wine (its ntdll exports wine_get_version).
inline bool underWine() {
#if defined(_WIN32)
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

}  // namespace test_host

#endif
