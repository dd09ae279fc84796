// PLY mesh import: asks the PLY reader for the "vertex" positions and the "face"
// index lists, checks that the result is a mesh the device can draw with 16-bit
// indices, and computes the normals. Nothing reaches the caller unless the whole
// import succeeds.
#include "mesh/meshimport.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "ply/plyfile.h"

namespace {

constexpr int32_t kMaxVertices = 65536;  // indices 0..65535 of a 16-bit index buffer

// The face list is read with its count as a 32-bit integer, so that a count the
// 8-bit MeshFace::count cannot hold is seen before it is narrowed.
struct FaceRecord {
  int32_t count;
  int32_t* indices;
};

char kNameX[] = "x";
char kNameY[] = "y";
char kNameZ[] = "z";
char kNameIndices[] = "vertex_indices";

PlyPropertyDesc scalarFloat(char* name, int32_t offset) {
  return PlyPropertyDesc{name, PlyValueType::Float, PlyValueType::Float, offset, 0,
                         PlyValueType::Invalid, PlyValueType::Invalid, 0};
}

const PlyPropertyDesc kVertexProperties[3] = {
  scalarFloat(kNameX, offsetof(MeshVertex, x)),
  scalarFloat(kNameY, offsetof(MeshVertex, y)),
  scalarFloat(kNameZ, offsetof(MeshVertex, z)),
};

const PlyPropertyDesc kFaceProperty = {kNameIndices, PlyValueType::Int, PlyValueType::Int,
                                       offsetof(FaceRecord, indices), 1, PlyValueType::UChar,
                                       PlyValueType::Int, offsetof(FaceRecord, count)};

void freeFaces(MeshFace* faces, int32_t count) {
  for (int32_t i = 0; i < count; ++i) std::free(faces[i].indices);
  std::free(faces);
}

// Everything one import holds until it hands the arrays out.
struct ImportState {
  FILE* stream = nullptr;
  PlyReader* reader = nullptr;
  int nameCount = 0;
  char** names = nullptr;
  MeshVertex* vertices = nullptr;
  int32_t vertexCount = 0;
  MeshFace* faces = nullptr;
  int32_t facesRead = 0;

  ~ImportState() {
    for (int i = 0; i < nameCount; ++i) std::free(names[i]);
    std::free(names);
    releasePlyReader(reader);
    if (stream) std::fclose(stream);
    std::free(vertices);
    freeFaces(faces, facesRead);
  }
};

bool fail(MeshImportResult* result, MeshImportFault fault) {
  result->fault = fault;
  return false;
}

void releaseLayout(PlyPropertyDesc** layout, int count) {
  if (layout == nullptr) return;
  for (int i = 0; i < count; ++i) {
    std::free(layout[i]->property_name);
    std::free(layout[i]);
  }
  std::free(layout);
}

// The reader stores a selected property by the kind its header line declares, so a
// coordinate declared as a list would put a count and a block pointer over the
// vertex's floats, and indices declared as a scalar would put a number where the
// face's pointer goes. Such files are refused: the name of the first misdeclared
// property, or null.
const char* misdeclaredProperty(PlyElementDesc* vertex, PlyElementDesc* face) {
  for (const PlyPropertyDesc& wanted : kVertexProperties) {
    int index = -1;
    const PlyPropertyDesc* declared = ply_lookup_property(vertex, wanted.property_name, &index);
    if (declared != nullptr && declared->list_flag != 0) return wanted.property_name;
  }
  int index = -1;
  const PlyPropertyDesc* declared = ply_lookup_property(face, kFaceProperty.property_name, &index);
  if (declared != nullptr && declared->list_flag == 0) return kFaceProperty.property_name;
  return nullptr;
}

// Reads and drops every record of an element the mesh does not use. A binary
// record without properties holds no bytes, so there is nothing to read however
// many the header declares; an ascii one is still a line each.
void skipElement(PlyReader* reader, PlyElementDesc* element) {
  if (element->property_count == 0 && reader->encoding != PlyEncoding::Ascii) return;
  reader->current_element = element;
  unsigned char scratch = 0;
  for (int32_t i = 0; i < element->record_count; ++i) ply_get_element(reader, &scratch);
}

void readVertices(ImportState& s, const char* name, int32_t count) {
  for (const PlyPropertyDesc& p : kVertexProperties) ply_select_property(s.reader, name, &p);
  for (int32_t i = 0; i < count; ++i) ply_get_element(s.reader, &s.vertices[i]);
}

// Owns a face's index list until it joins the face array, so that nothing
// leaks whichever way the read of a face ends.
struct PendingFace {
  FaceRecord record{0, nullptr};
  ~PendingFace() { std::free(record.indices); }
};

bool readFaces(ImportState& s, const char* name, int32_t count, int32_t vertexCount, MeshImportResult* result) {
  ply_select_property(s.reader, name, &kFaceProperty);
  int32_t capacity = 0;
  for (int32_t i = 0; i < count; ++i) {
    PendingFace face;
    ply_get_element(s.reader, &face.record);
    const FaceRecord& record = face.record;
    result->face = i;
    if (record.count < 3 || record.count > 255) {
      result->value = record.count;
      return fail(result, record.count < 3 ? MeshImportFault::TooFewIndices : MeshImportFault::TooManyIndices);
    }
    for (int32_t k = 0; k < record.count; ++k) {
      if (record.indices[k] < 0 || record.indices[k] >= vertexCount) {
        result->value = record.indices[k];
        result->vertexCount = vertexCount;
        return fail(result, MeshImportFault::IndexOutOfRange);
      }
    }
    if (s.facesRead == capacity) {
      // Grown as records arrive, so a false count cannot claim memory the file lacks.
      int64_t grown = capacity == 0 ? 4096 : int64_t{capacity} * 2;
      capacity = static_cast<int32_t>(grown < count ? grown : count);
      void* block = std::realloc(s.faces, sizeof(MeshFace) * static_cast<size_t>(capacity));
      if (block == nullptr) return fail(result, MeshImportFault::OutOfMemory);
      s.faces = static_cast<MeshFace*>(block);
    }
    s.faces[s.facesRead++] = MeshFace{static_cast<uint8_t>(record.count), record.indices};
    face.record.indices = nullptr;
  }
  return true;
}

}  // namespace

void releasePlyReader(PlyReader* reader) {
  if (reader == nullptr) return;
  for (int i = 0; i < reader->element_count; ++i) {
    PlyElementDesc* element = reader->elements[i];
    releaseLayout(element->properties, element->property_count);
    std::free(element->store_flags);
    std::free(element->element_name);
    std::free(element);
  }
  std::free(reader->elements);
  for (int i = 0; i < reader->comment_count; ++i) std::free(reader->comment_texts[i]);
  std::free(reader->comment_texts);
  for (int i = 0; i < reader->info_count; ++i) std::free(reader->info_texts[i]);
  std::free(reader->info_texts);
  std::free(reader);
}

void freeMeshArrays(MeshVertex* vertices, MeshFace* faces, int32_t faceCount) {
  std::free(vertices);
  freeFaces(faces, faceCount);
}

bool importPlyMeshExplained(const char* path, MeshVertex** vertices, int32_t* vertexCount, MeshFace** faces,
                            int32_t* faceCount, MeshImportResult* result) {
  *result = MeshImportResult{};
  ImportState s;
  s.stream = openMeshFile(path);
  if (s.stream == nullptr) return fail(result, MeshImportFault::CannotOpen);
  s.reader = ply_open_header(s.stream, &s.nameCount, &s.names);
  if (s.reader == nullptr) return fail(result, MeshImportFault::HeaderRejected);

  // Check the header's promises before reading a byte of the body.
  int vertexElement = -1, faceElement = -1;
  for (int i = 0; i < s.nameCount; ++i) {
    PlyElementDesc* element = s.reader->elements[i];
    if (element->record_count < 0) {
      result->element = element->element_name;
      result->value = element->record_count;
      return fail(result, MeshImportFault::NegativeCount);
    }
    if (vertexElement < 0 && ply_same_text(s.names[i], "vertex")) vertexElement = i;
    if (faceElement < 0 && ply_same_text(s.names[i], "face")) faceElement = i;
  }
  if (vertexElement < 0) return fail(result, MeshImportFault::NoVertexElement);
  if (faceElement < 0) return fail(result, MeshImportFault::NoFaceElement);
  int32_t nVertices = s.reader->elements[vertexElement]->record_count;
  if (nVertices > kMaxVertices) {
    result->value = nVertices;
    return fail(result, MeshImportFault::TooManyVertices);
  }
  int32_t nFaces = s.reader->elements[faceElement]->record_count;
  if (const char* property = misdeclaredProperty(s.reader->elements[vertexElement], s.reader->elements[faceElement])) {
    result->property = property;
    result->element = property == kFaceProperty.property_name ? "face" : "vertex";
    return fail(result, MeshImportFault::WrongPropertyKind);
  }

  // Vertex fields the file does not provide stay zero.
  s.vertices = static_cast<MeshVertex*>(std::calloc(nVertices > 0 ? static_cast<size_t>(nVertices) : 1,
                                                    sizeof(MeshVertex)));
  if (s.vertices == nullptr) return fail(result, MeshImportFault::OutOfMemory);
  s.vertexCount = nVertices;

  // The body holds the elements in header order: every element up to the later
  // of the two is read, those the mesh does not use only to get past them.
  int last = vertexElement > faceElement ? vertexElement : faceElement;
  for (int i = 0; i <= last; ++i) {
    int recordCount = 0, propertyCount = 0;
    releaseLayout(ply_element_layout(s.reader, s.names[i], &recordCount, &propertyCount), propertyCount);
    if (i == vertexElement) {
      readVertices(s, s.names[i], nVertices);
    } else if (i == faceElement) {
      if (!readFaces(s, s.names[i], nFaces, nVertices, result)) return false;
    } else {
      skipElement(s.reader, s.reader->elements[i]);
    }
  }
  if (s.faces == nullptr) {
    s.faces = static_cast<MeshFace*>(std::malloc(sizeof(MeshFace)));
    if (s.faces == nullptr) return fail(result, MeshImportFault::OutOfMemory);
  }

  computeVertexNormals(s.facesRead, s.vertices, s.vertexCount, s.faces);

  *vertices = s.vertices;
  *vertexCount = s.vertexCount;
  *faces = s.faces;
  *faceCount = s.facesRead;
  s.vertices = nullptr;
  s.faces = nullptr;
  s.facesRead = 0;
  return true;
}

bool importPlyMesh(const char* path, MeshVertex** vertices, int32_t* vertexCount, MeshFace** faces,
                   int32_t* faceCount) {
  MeshImportResult result;
  return importPlyMeshExplained(path, vertices, vertexCount, faces, faceCount, &result);
}

std::string describeMeshImportFault(const MeshImportResult& r) {
  switch (r.fault) {
    case MeshImportFault::None: return "imports";
    case MeshImportFault::CannotOpen: return "the file cannot be opened";
    case MeshImportFault::HeaderRejected: return "the header is not one the PLY reader accepts";
    case MeshImportFault::NoVertexElement: return "there is no \"vertex\" element";
    case MeshImportFault::NoFaceElement: return "there is no \"face\" element";
    case MeshImportFault::NegativeCount:
      return "element \"" + r.element + "\" has a negative count, " + std::to_string(r.value);
    case MeshImportFault::TooManyVertices:
      return std::to_string(r.value) + " vertices, more than the 65536 that 16-bit indices reach";
    case MeshImportFault::TooFewIndices:
      return "face " + std::to_string(r.face) + " has " + std::to_string(r.value) + " indices, fewer than 3";
    case MeshImportFault::TooManyIndices:
      return "face " + std::to_string(r.face) + " has " + std::to_string(r.value) + " indices, more than 255";
    case MeshImportFault::IndexOutOfRange:
      if (r.vertexCount == 0)
        return "face " + std::to_string(r.face) + " has index " + std::to_string(r.value) + ", but there are no vertices";
      return "face " + std::to_string(r.face) + " has index " + std::to_string(r.value) + ", outside 0.." +
             std::to_string(r.vertexCount - 1);
    case MeshImportFault::WrongPropertyKind:
      return "property \"" + r.property + "\" of element \"" + r.element + "\" is " +
             (r.element == "face" ? "a scalar, not a list of indices" : "a list, not a scalar coordinate");
    case MeshImportFault::OutOfMemory: return "not enough memory for the mesh arrays";
  }
  return "unknown fault";
}
