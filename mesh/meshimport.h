// Mesh records, the import of a PLY file into vertex and face arrays, and the
// per-vertex normals. Arrays come from the heap: release them with
// freeMeshArrays (the vertex array, every face's index list, the face array).
#ifndef GLINTWORK_MESH_MESHIMPORT_H
#define GLINTWORK_MESH_MESHIMPORT_H

#include <cstdint>
#include <cstdio>
#include <string>

struct PlyReader;

// One vertex; its bytes are the vertex buffer's layout (position, normal).
struct MeshVertex {
  float x, y, z;
  float nx, ny, nz;
};
static_assert(sizeof(MeshVertex) == 24, "MeshVertex is the 24-byte vertex-buffer layout");

// One polygon: count indices into the vertex array, in the file's order.
struct MeshFace {
  uint8_t count;
  int32_t* indices;
};

// Reads the file's "vertex" and "face" elements (other elements are read and
// discarded) and computes the normals. True on success, with the caller owning
// both arrays; false, with nothing written or kept, when the file cannot be
// opened, its header is rejected, or it is not a mesh the device can draw
// (see MeshImportFault). A damaged body ends the process from inside the reader.
bool importPlyMesh(const char* path, MeshVertex** vertices, int32_t* vertexCount, MeshFace** faces,
                   int32_t* faceCount);

// Gives every vertex the normalised sum of the unit normals of the faces that
// use it (right-hand rule over first, second and last index); unused vertices
// get (0, 0, 0). Single precision throughout.
void computeVertexNormals(int32_t faceCount, MeshVertex* vertices, int32_t vertexCount, const MeshFace* faces);

void freeMeshArrays(MeshVertex* vertices, MeshFace* faces, int32_t faceCount);

// Why an import failed, for tools that explain it.
enum class MeshImportFault {
  None,
  CannotOpen,
  HeaderRejected,
  NoVertexElement,
  NoFaceElement,
  NegativeCount,      // element: which one; value: the count
  TooManyVertices,    // value: the vertex count
  TooFewIndices,      // face: which one; value: its index count
  TooManyIndices,     // face: which one; value: its index count
  IndexOutOfRange,    // face, value: the index; vertexCount
  WrongPropertyKind,  // element, property: a coordinate declared as a list or the indices as a scalar
  OutOfMemory,
};

struct MeshImportResult {
  MeshImportFault fault = MeshImportFault::None;
  std::string element;     // the element a count or property fault is about
  std::string property;    // the property a kind fault is about
  int32_t face = 0;
  int64_t value = 0;
  int32_t vertexCount = 0;
};

// importPlyMesh with the reason for a failure.
bool importPlyMeshExplained(const char* path, MeshVertex** vertices, int32_t* vertexCount, MeshFace** faces,
                            int32_t* faceCount, MeshImportResult* result);

// One line saying why an import failed ("face 12 has index 70000, outside 0..35946").
std::string describeMeshImportFault(const MeshImportResult& result);

// Opens a program path ("data\\bun_zipper.ply") for binary reading on this host.
FILE* openMeshFile(const char* path);

// Releases a reader with all of its descriptions and kept texts (not its stream).
void releasePlyReader(PlyReader* reader);

#endif
