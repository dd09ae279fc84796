// plyinfo FILE...: what a PLY file declares (format, elements with their counts
// and properties, comments) and whether it imports as a Glintwork mesh; when it
// does not, one line says why. Exit status 0 when every file imports, 1 when one
// does not. A damaged body ends the run with the reader's own message and exit
// code, as it would end the program.
#include <cstdio>
#include <cstdlib>

#include "mesh/meshimport.h"
#include "ply/plyfile.h"

namespace {

const char* encodingName(PlyEncoding encoding) {
  switch (encoding) {
    case PlyEncoding::Ascii: return "ascii";
    case PlyEncoding::BinaryBigEndian: return "binary_big_endian";
    case PlyEncoding::BinaryLittleEndian: return "binary_little_endian";
  }
  return "unknown";
}

const char* typeName(PlyValueType type) {
  int code = static_cast<int>(type);
  return code >= 0 && code <= 8 ? ply_type_name_table[code] : "invalid";
}

void printHeader(const PlyReader& reader) {
  std::printf("  format %s %.1f\n", encodingName(reader.encoding), static_cast<double>(reader.format_version));
  for (int i = 0; i < reader.comment_count; ++i) std::printf("  comment %s\n", reader.comment_texts[i]);
  for (int i = 0; i < reader.info_count; ++i) std::printf("  obj_info %s\n", reader.info_texts[i]);
  for (int i = 0; i < reader.element_count; ++i) {
    const PlyElementDesc& element = *reader.elements[i];
    std::printf("  element %s %d\n", element.element_name, element.record_count);
    for (int k = 0; k < element.property_count; ++k) {
      const PlyPropertyDesc& p = *element.properties[k];
      if (p.list_flag)
        std::printf("    property list %s %s %s\n", typeName(p.count_type), typeName(p.value_type), p.property_name);
      else
        std::printf("    property %s %s\n", typeName(p.value_type), p.property_name);
    }
  }
}

// Describes one file; true when it imports as a mesh.
bool inspect(const char* path) {
  std::printf("%s\n", path);
  FILE* stream = openMeshFile(path);
  if (stream != nullptr) {
    int count = 0;
    char** names = nullptr;
    PlyReader* reader = ply_open_header(stream, &count, &names);
    if (reader != nullptr) {
      printHeader(*reader);
      for (int i = 0; i < count; ++i) std::free(names[i]);
      std::free(names);
      releasePlyReader(reader);
    }
    std::fclose(stream);
  }
  std::fflush(stdout);

  MeshVertex* vertices = nullptr;
  MeshFace* faces = nullptr;
  int32_t vertexCount = 0, faceCount = 0;
  MeshImportResult result;
  if (!importPlyMeshExplained(path, &vertices, &vertexCount, &faces, &faceCount, &result)) {
    std::printf("  does not import: %s\n", describeMeshImportFault(result).c_str());
    return false;
  }
  std::printf("  imports: %d vertices, %d faces\n", vertexCount, faceCount);
  freeMeshArrays(vertices, faces, faceCount);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: plyinfo FILE...\n");
    return 2;
  }
  bool all = true;
  for (int i = 1; i < argc; ++i) all = inspect(argv[i]) && all;
  return all ? 0 : 1;
}
