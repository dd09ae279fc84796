// The PLY reader: parses a PLY header into element and property descriptions,
// lets the caller choose which properties to store and where in its own record
// layout, and reads the body (ascii, or binary in either byte order) one record
// at a time with type conversion.
//
// Every string and array the reader hands out comes from the heap and is
// released with free(). A damaged body ends the process with a message on
// standard error (exit code 1 for a failed binary read, a type-size mismatch or
// a failed allocation, -1 otherwise); a rejected header yields null silently.
// One thread at a time: the line buffers are shared by every reader.
#ifndef GLINTWORK_PLY_PLYFILE_H
#define GLINTWORK_PLY_PLYFILE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

enum class PlyEncoding : int32_t {
  Ascii = 1,
  BinaryBigEndian = 2,
  BinaryLittleEndian = 3,
};

enum class PlyValueType : int32_t {
  Invalid = 0,
  Char = 1,
  Short = 2,
  Int = 3,
  UChar = 4,
  UShort = 5,
  UInt = 6,
  Float = 7,
  Double = 8,
};

struct PlyPropertyDesc {
  char* property_name;
  PlyValueType value_type;          // type in the file; for a list, of each item
  PlyValueType stored_type;         // type in the caller's record
  int32_t stored_offset;            // where the value (a list: the block pointer) goes
  int32_t list_flag;                // 1 for a list property
  PlyValueType count_type;          // list: type of the item count in the file
  PlyValueType stored_count_type;   // list: type of the stored count
  int32_t stored_count_offset;      // list: where the count goes
};

struct PlyElementDesc {
  char* element_name;
  int32_t record_count;
  int32_t property_count;
  PlyPropertyDesc** properties;
  unsigned char* store_flags;       // one per property; non-zero: stored
};

struct PlyReader {
  FILE* stream;                     // not owned: the reader never closes it
  PlyEncoding encoding;
  float format_version;
  int32_t element_count;
  PlyElementDesc** elements;
  int32_t comment_count;
  char** comment_texts;
  int32_t info_count;
  char** info_texts;
  PlyElementDesc* current_element;  // what ply_get_element reads; not owned
};

// Names and sizes by PlyValueType code (0..8).
extern const char* const ply_type_name_table[9];
extern const int ply_type_size_table[9];

// Process-wide: the byte order binary items are converted to (little-endian,
// set by the first ply_open_header; zero before) and the one-time size check.
extern PlyEncoding ply_host_encoding;
extern bool ply_sizes_verified;

int ply_same_text(const char* a, const char* b);
PlyValueType ply_type_code(const char* name);
void ply_verify_type_sizes();

// malloc() that reports a failure with the requesting line and source file
// ("Memory allocation bombed on line %d in %s") and ends the process (exit 1).
// A request for zero bytes is not a failure.
void* ply_checked_alloc(size_t size, int line = __builtin_LINE(),
                        const char* file = __builtin_FILE());

// The stream's next line cut into words (blank- or tab-separated), or null at
// end of file. Lines end at LF, CR LF or a lone CR, and the stream is left right
// after the terminator. Lines of any length are returned whole. The words and
// the kept copy (the line's text, tabs turned to blanks, without terminator)
// stay valid until the next call on any stream; the array is the caller's.
char** ply_split_line(FILE* stream, int* word_count, char** line_copy);

// Reads the header from the stream's start. Yields null (no message) for a null
// stream or a rejected header; otherwise the reader, with the element count and
// a new array of new copies of the element names. The stream then stands at the
// first byte of the body.
PlyReader* ply_open_header(FILE* stream, int* element_count, char*** element_names);

// Copies of an element's property descriptions (the caller's), with its record
// and property counts; null for an undeclared element.
PlyPropertyDesc** ply_element_layout(PlyReader* reader, const char* element_name,
                                     int* record_count, int* property_count);

// Makes the named element current and has the described property stored as the
// caller's record layout says (stored_type, stored_offset, stored_count_type,
// stored_count_offset); warns when the property (or the element) is missing.
void ply_select_property(PlyReader* reader, const char* element_name,
                         const PlyPropertyDesc* wanted);

// Reads the next record of the current element into the caller's record.
void ply_get_element(PlyReader* reader, void* record);

PlyElementDesc* ply_lookup_element(PlyReader* reader, const char* name);
PlyPropertyDesc* ply_lookup_property(PlyElementDesc* element, const char* name, int* index);

// Header line handlers. The declarations yield 0 for a line the grammar cannot
// take (too few words, a property before any element), which rejects the header.
int ply_declare_element(PlyReader* reader, char** words, int word_count);
int ply_declare_property(PlyReader* reader, char** words, int word_count);
void ply_keep_comment(PlyReader* reader, const char* text);
void ply_keep_info(PlyReader* reader, const char* text);

void ply_read_ascii_record(PlyReader* reader, void* record);
void ply_read_binary_record(PlyReader* reader, void* record);

// One item as its three values: the same 32 bits as signed and unsigned (binary
// floats outside the signed range differ), and as a double.
void get_ascii_item(const char* word, PlyValueType type, int32_t* int_value,
                    uint32_t* uint_value, double* double_value);
void get_binary_item(FILE* stream, PlyEncoding encoding, PlyValueType type,
                     int32_t* int_value, uint32_t* uint_value, double* double_value);
void store_item(void* destination, PlyValueType type, int32_t int_value,
                uint32_t uint_value, double double_value);
void ply_reverse_bytes(void* buffer, int size);

#endif
