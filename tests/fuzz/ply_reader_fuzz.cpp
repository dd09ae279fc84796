// Fuzz target: the PLY header and body reader. Every property of every element
// is selected (stored as its own type, or as double), and every record is read;
// the reader's documented exits for damaged bodies are expected outcomes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_exit.h"
#include "mesh/meshimport.h"
#include "ply/plyfile.h"

namespace {

// Each property owns 16 bytes of the record: the value or list count at 0,
// the list block pointer at 8.
constexpr int kSlot = 16;

void releaseBlocks(const PlyElementDesc* element, std::vector<unsigned char>& record) {
  for (int i = 0; i < element->property_count; ++i) {
    if (!element->properties[i]->list_flag) continue;
    void* block;
    std::memcpy(&block, &record[static_cast<size_t>(i) * kSlot + 8], sizeof block);
    std::free(block);
  }
  std::fill(record.begin(), record.end(), 0);
}

void readEverything(PlyReader* reader, const unsigned char* data, size_t size) {
  for (int e = 0; e < reader->element_count; ++e) {
    PlyElementDesc* element = reader->elements[e];
    for (int i = 0; i < element->property_count; ++i) {
      // Selection by name reaches the first property of that name: lay the
      // value out in that property's own slot.
      int index = -1;
      const PlyPropertyDesc* p = ply_lookup_property(element, element->properties[i]->property_name, &index);
      // Vary the stored types with the input so that conversions between all pairs are reached.
      bool asDouble = (data[(static_cast<size_t>(e) * 7 + static_cast<size_t>(i)) % size] & 1) != 0;
      PlyPropertyDesc want = *p;
      want.stored_type = asDouble ? PlyValueType::Double : p->value_type;
      if (!asDouble && static_cast<int>(want.stored_type) == 0) want.stored_type = PlyValueType::Int;
      want.stored_offset = index * kSlot + (p->list_flag ? 8 : 0);
      want.stored_count_type = PlyValueType::Int;
      want.stored_count_offset = index * kSlot;
      ply_select_property(reader, element->element_name, &want);
    }
    reader->current_element = element;  // also for elements without properties
    std::vector<unsigned char> record(static_cast<size_t>(element->property_count) * kSlot + 1, 0);
    // Binary records without properties consume nothing: a few of them suffice.
    int32_t records = element->record_count;
    if (element->property_count == 0 && reader->encoding != PlyEncoding::Ascii && records > 16) records = 16;
    try {
      for (int32_t r = 0; r < records; ++r) {
        ply_get_element(reader, record.data());
        releaseBlocks(element, record);
      }
    } catch (const PlyExit&) {
      releaseBlocks(element, record);
      throw;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (stream == nullptr) return 0;
  int count = 0;
  char** names = nullptr;
  PlyReader* reader = nullptr;
  try {
    reader = ply_open_header(stream, &count, &names);
    if (reader != nullptr) readEverything(reader, data, size);
  } catch (const PlyExit& exit) {
    if (exit.code != 1 && exit.code != -1) std::abort();  // only the documented codes
  }
  if (reader != nullptr) {
    for (int i = 0; i < count; ++i) std::free(names[i]);
    std::free(names);
    releasePlyReader(reader);
  }
  std::fclose(stream);
  return 0;
}
