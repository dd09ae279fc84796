// Fixtures for the PLY reader tests: streams holding bytes the test writes, and
// a reader opened on them that cleans up after itself.
#ifndef GLINTWORK_TESTS_PLY_TEST_UTIL_H
#define GLINTWORK_TESTS_PLY_TEST_UTIL_H

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mesh/meshimport.h"
#include "ply/plyfile.h"

// A temporary file holding the given bytes, positioned at its start.
inline FILE* streamOf(const std::string& bytes) {
  FILE* f = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::rewind(f);
  return f;
}

// Bytes of a value in the given byte order.
template <typename T>
std::string bytesOf(T value, bool bigEndian) {
  std::string out(sizeof(T), '\0');
  std::memcpy(&out[0], &value, sizeof(T));
  if (bigEndian) {
    for (size_t i = 0, j = sizeof(T) - 1; i < j; ++i, --j) std::swap(out[i], out[j]);
  }
  return out;
}

struct OpenPly {
  FILE* stream = nullptr;
  PlyReader* reader = nullptr;
  int elementCount = -7;
  char** names = nullptr;

  explicit OpenPly(const std::string& bytes) : stream(streamOf(bytes)) {
    reader = ply_open_header(stream, &elementCount, &names);
  }
  ~OpenPly() {
    if (reader) {
      for (int i = 0; i < elementCount; ++i) std::free(names[i]);
      std::free(names);
      releasePlyReader(reader);
    }
    std::fclose(stream);
  }
  OpenPly(const OpenPly&) = delete;
  OpenPly& operator=(const OpenPly&) = delete;
};

inline PlyPropertyDesc wantScalar(const char* name, PlyValueType stored, int offset) {
  return PlyPropertyDesc{const_cast<char*>(name), PlyValueType::Invalid, stored, offset, 0,
                         PlyValueType::Invalid, PlyValueType::Invalid, 0};
}

inline PlyPropertyDesc wantList(const char* name, PlyValueType stored, int offset, PlyValueType storedCount,
                                int countOffset) {
  return PlyPropertyDesc{const_cast<char*>(name), PlyValueType::Invalid, stored, offset, 1,
                         PlyValueType::Invalid, storedCount, countOffset};
}

#endif
