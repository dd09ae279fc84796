// The PLY reader: header parsing, property selection and record reading.
//
// Speed comes from reading without per-call stdio locking, splitting ascii lines
// in place, reading runs of binary scalars with one call, and converting through
// per-type code instead of a switch per item. None of it is visible: every value
// stored, every message, exit code and the stream position after each record are
// those of the plain item-by-item reading described in plyfile.h.
#include "plyfile.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char* const ply_type_name_table[9] = {
  "invalid", "char", "short", "int", "uchar", "ushort", "uint", "float", "double",
};
const int ply_type_size_table[9] = {0, 1, 2, 4, 1, 2, 4, 4, 8};

PlyEncoding ply_host_encoding = static_cast<PlyEncoding>(0);
bool ply_sizes_verified = false;

#ifdef GLINTWORK_PLY_FUZZ
// Fuzzing build: the harness decides what ending the process means, so that the
// documented exits can be told apart from real faults.
[[noreturn]] void ply_fuzz_exit(int code);
[[noreturn]] static void ply_exit(int code) { ply_fuzz_exit(code); }
#else
[[noreturn]] static void ply_exit(int code) { std::exit(code); }
#endif

// ---------------------------------------------------------------------------
// Host stdio without per-call locking: the reader is single-threaded by contract.
// This is the reader's only host difference.

static inline int ply_getc(FILE* stream) {
#if defined(_WIN32)
  return _getc_nolock(stream);
#else
  return getc_unlocked(stream);
#endif
}

static inline size_t ply_read_bytes(void* buffer, size_t size, FILE* stream) {
#if defined(_MSC_VER)
  return _fread_nolock(buffer, 1, size, stream);
#elif defined(__GLIBC__)
  return fread_unlocked(buffer, 1, size, stream);
#else
  return fread(buffer, 1, size, stream);
#endif
}

// ---------------------------------------------------------------------------
// Allocation: every failure reports the requesting line and this file, then ends
// the process, so no caller ever goes on with a null block.

[[noreturn]] static void ply_allocation_failed(int line, const char* file) {
  std::fprintf(stderr, "Memory allocation bombed on line %d in %s\n", line, file);
  ply_exit(1);
}

void* ply_checked_alloc(size_t size, int line, const char* file) {
  void* block = std::malloc(size);
  if (block == nullptr && size != 0) ply_allocation_failed(line, file);
  return block;
}

static void* ply_checked_realloc(void* block, size_t size, int line = __builtin_LINE(),
                                 const char* file = __builtin_FILE()) {
  void* grown = std::realloc(block, size);
  if (grown == nullptr && size != 0) ply_allocation_failed(line, file);
  return grown;
}

static char* ply_checked_strdup(const char* text, int line = __builtin_LINE(),
                                const char* file = __builtin_FILE()) {
  size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  if (copy == nullptr) ply_allocation_failed(line, file);
  std::memcpy(copy, text, size);
  return copy;
}

static double ply_atof(const char* word, size_t length);

// ---------------------------------------------------------------------------
// Texts and types

int ply_same_text(const char* a, const char* b) { return std::strcmp(a, b) == 0 ? 1 : 0; }

PlyValueType ply_type_code(const char* name) {
  for (int code = 1; code <= 8; ++code)
    if (ply_same_text(name, ply_type_name_table[code])) return static_cast<PlyValueType>(code);
  return PlyValueType::Invalid;
}

void ply_verify_type_sizes() {
  const int host_sizes[9] = {0,
                             static_cast<int>(sizeof(char)),
                             static_cast<int>(sizeof(short)),
                             static_cast<int>(sizeof(int)),
                             static_cast<int>(sizeof(unsigned char)),
                             static_cast<int>(sizeof(unsigned short)),
                             static_cast<int>(sizeof(unsigned int)),
                             static_cast<int>(sizeof(float)),
                             static_cast<int>(sizeof(double))};
  for (int code = 1; code <= 8; ++code) {
    if (ply_type_size_table[code] != host_sizes[code]) {
      std::fputs("ply: Type sizes do not match built-in types\n", stderr);
      std::fputs("ply: Exiting...\n", stderr);
      ply_exit(1);
    }
  }
  ply_sizes_verified = true;
}

static inline bool ply_valid_type(PlyValueType type) {
  int code = static_cast<int>(type);
  return code >= 1 && code <= 8;
}

static inline int ply_code(PlyValueType type) { return static_cast<int>(type); }

// ---------------------------------------------------------------------------
// Line reading. ply_line_buffer holds the current line, tabs turned to blanks and
// ended by a NUL where the text ends (at its LF, CR or first NUL byte); words are
// cut in it in place. ply_line_copy keeps the text before cutting.

static char* ply_line_buffer = nullptr;
static size_t ply_line_capacity = 0;
static char* ply_line_copy = nullptr;
static size_t ply_line_copy_capacity = 0;

static void ply_grow_line_buffer(size_t needed) {
  size_t capacity = ply_line_capacity ? ply_line_capacity : 4096;
  while (capacity < needed) capacity *= 2;
  ply_line_buffer = static_cast<char*>(ply_checked_realloc(ply_line_buffer, capacity));
  ply_line_capacity = capacity;
}

// Reads the next line into ply_line_buffer and yields the length of its text, or
// -1 at end of file. The text stops at the first LF, CR or NUL. After an LF the
// stream stands behind it; after a CR behind it and one LF that follows at once.
// A NUL ends the text, but the line (and so what is consumed) still runs to LF.
static long ply_read_line(FILE* stream) {
  size_t length = 0;
  size_t text_length = 0;
  bool text_ended = false;
  bool any = false;
  for (;;) {
    int c = ply_getc(stream);
    if (c > '\r') {  // the common case: a byte with no special meaning
      any = true;
      if (!text_ended) {
        if (length + 1 >= ply_line_capacity) ply_grow_line_buffer(length + 2);
        ply_line_buffer[length++] = static_cast<char>(c);
      }
      continue;
    }
    if (c == EOF) {
      if (!any) return -1;
      break;
    }
    any = true;
    if (c == '\n') break;
    if (text_ended) continue;
    if (c == '\r') {
      int next = ply_getc(stream);
      if (next != '\n' && next != EOF) std::ungetc(next, stream);
      break;
    }
    if (c == '\0') {
      text_ended = true;
      text_length = length;
      continue;
    }
    if (length + 1 >= ply_line_capacity) ply_grow_line_buffer(length + 2);
    ply_line_buffer[length++] = c == '\t' ? ' ' : static_cast<char>(c);
  }
  if (!text_ended) text_length = length;
  if (ply_line_capacity == 0) ply_grow_line_buffer(1);
  ply_line_buffer[text_length] = '\0';
  return static_cast<long>(text_length);
}

char** ply_split_line(FILE* stream, int* word_count, char** line_copy) {
  long length = ply_read_line(stream);
  if (length < 0) {
    *word_count = 0;
    *line_copy = nullptr;
    return nullptr;
  }
  size_t size = static_cast<size_t>(length) + 1;
  if (size > ply_line_copy_capacity) {
    ply_line_copy = static_cast<char*>(ply_checked_realloc(ply_line_copy, size));
    ply_line_copy_capacity = size;
  }
  std::memcpy(ply_line_copy, ply_line_buffer, size);

  int capacity = 10;
  char** words = static_cast<char**>(ply_checked_alloc(sizeof(char*) * capacity));
  int count = 0;
  char* p = ply_line_buffer;
  for (;;) {
    while (*p == ' ') ++p;
    if (*p == '\0') break;
    if (count == capacity) {
      capacity += 10;
      words = static_cast<char**>(ply_checked_realloc(words, sizeof(char*) * capacity));
    }
    words[count++] = p;
    while (*p != ' ' && *p != '\0') ++p;
    if (*p == '\0') break;
    *p++ = '\0';
  }
  *word_count = count;
  *line_copy = ply_line_copy;
  return words;
}

// ---------------------------------------------------------------------------
// Header

static void ply_release_element(PlyElementDesc* element) {
  for (int i = 0; i < element->property_count; ++i) {
    std::free(element->properties[i]->property_name);
    std::free(element->properties[i]);
  }
  std::free(element->properties);
  std::free(element->store_flags);
  std::free(element->element_name);
  std::free(element);
}

// Frees a reader whose header was rejected; the stream stays open.
static void ply_release_rejected(PlyReader* reader) {
  for (int i = 0; i < reader->element_count; ++i) ply_release_element(reader->elements[i]);
  std::free(reader->elements);
  for (int i = 0; i < reader->comment_count; ++i) std::free(reader->comment_texts[i]);
  std::free(reader->comment_texts);
  for (int i = 0; i < reader->info_count; ++i) std::free(reader->info_texts[i]);
  std::free(reader->info_texts);
  std::free(reader);
}

// Appends one entry to a description array: the first entry is a fresh block,
// later ones enlarge the array by one.
template <typename T>
static void ply_append(T**& array, int32_t& count, T* entry) {
  if (count == 0)
    array = static_cast<T**>(ply_checked_alloc(sizeof(T*)));
  else
    array = static_cast<T**>(ply_checked_realloc(array, sizeof(T*) * (static_cast<size_t>(count) + 1)));
  array[count++] = entry;
}

static inline int32_t ply_atoi(const char* text);

int ply_declare_element(PlyReader* reader, char** words, int word_count) {
  if (word_count < 3) return 0;
  PlyElementDesc* element = static_cast<PlyElementDesc*>(ply_checked_alloc(sizeof(PlyElementDesc)));
  element->element_name = ply_checked_strdup(words[1]);
  element->record_count = ply_atoi(words[2]);
  element->property_count = 0;
  element->properties = nullptr;
  element->store_flags = nullptr;
  ply_append(reader->elements, reader->element_count, element);
  return 1;
}

int ply_declare_property(PlyReader* reader, char** words, int word_count) {
  if (reader->element_count == 0) return 0;
  bool list = word_count >= 2 && ply_same_text(words[1], "list");
  if (word_count < (list ? 5 : 3)) return 0;
  PlyPropertyDesc* property = static_cast<PlyPropertyDesc*>(ply_checked_alloc(sizeof(PlyPropertyDesc)));
  property->stored_type = PlyValueType::Invalid;
  property->stored_offset = 0;
  property->stored_count_type = PlyValueType::Invalid;
  property->stored_count_offset = 0;
  if (list) {
    property->count_type = ply_type_code(words[2]);
    property->value_type = ply_type_code(words[3]);
    property->property_name = ply_checked_strdup(words[4]);
    property->list_flag = 1;
  } else {
    property->count_type = PlyValueType::Invalid;
    property->value_type = ply_type_code(words[1]);
    property->property_name = ply_checked_strdup(words[2]);
    property->list_flag = 0;
  }
  PlyElementDesc* element = reader->elements[reader->element_count - 1];
  ply_append(element->properties, element->property_count, property);
  return 1;
}

void ply_keep_comment(PlyReader* reader, const char* text) {
  ply_append(reader->comment_texts, reader->comment_count, ply_checked_strdup(text));
}

void ply_keep_info(PlyReader* reader, const char* text) {
  ply_append(reader->info_texts, reader->info_count, ply_checked_strdup(text));
}

// The free text of a comment or obj_info line: the kept copy after the keyword
// (wherever the keyword stands) and the blanks that follow it.
static const char* ply_text_after_keyword(char* const* words, const char* copy) {
  const char* text = copy + (words[0] - ply_line_buffer) + std::strlen(words[0]);
  while (*text == ' ' || *text == '\t') ++text;
  return text;
}

PlyReader* ply_open_header(FILE* stream, int* element_count, char*** element_names) {
  if (stream == nullptr) return nullptr;
  if (static_cast<int>(ply_host_encoding) == 0) ply_host_encoding = PlyEncoding::BinaryLittleEndian;
  if (!ply_sizes_verified) ply_verify_type_sizes();

  PlyReader* reader = static_cast<PlyReader*>(ply_checked_alloc(sizeof(PlyReader)));
  reader->stream = stream;
  reader->encoding = static_cast<PlyEncoding>(0);
  reader->format_version = 0.0f;
  reader->element_count = 0;
  reader->elements = nullptr;
  reader->comment_count = 0;
  reader->comment_texts = nullptr;
  reader->info_count = 0;
  reader->info_texts = nullptr;
  reader->current_element = nullptr;

  int count = 0;
  char* copy = nullptr;
  char** words = ply_split_line(stream, &count, &copy);
  bool accepted = words != nullptr && count > 0 && ply_same_text(words[0], "ply");
  std::free(words);
  bool have_format = false;

  while (accepted) {
    words = ply_split_line(stream, &count, &copy);
    if (words == nullptr) break;  // end of file ends the header
    bool done = false;
    if (count > 0) {
      const char* keyword = words[0];
      if (ply_same_text(keyword, "format")) {
        if (count != 3) {
          accepted = false;
        } else if (ply_same_text(words[1], "ascii")) {
          reader->encoding = PlyEncoding::Ascii;
        } else if (ply_same_text(words[1], "binary_big_endian")) {
          reader->encoding = PlyEncoding::BinaryBigEndian;
        } else if (ply_same_text(words[1], "binary_little_endian")) {
          reader->encoding = PlyEncoding::BinaryLittleEndian;
        } else {
          accepted = false;
        }
        if (accepted) {
          reader->format_version = static_cast<float>(ply_atof(words[2], std::strlen(words[2])));
          have_format = true;
        }
      } else if (ply_same_text(keyword, "element")) {
        accepted = ply_declare_element(reader, words, count) != 0;
      } else if (ply_same_text(keyword, "property")) {
        accepted = ply_declare_property(reader, words, count) != 0;
      } else if (ply_same_text(keyword, "comment")) {
        ply_keep_comment(reader, ply_text_after_keyword(words, copy));
      } else if (ply_same_text(keyword, "obj_info")) {
        ply_keep_info(reader, ply_text_after_keyword(words, copy));
      } else if (ply_same_text(keyword, "end_header")) {
        done = true;
      }
    }
    std::free(words);
    if (done) break;
  }

  if (!accepted || !have_format) {
    ply_release_rejected(reader);
    return nullptr;
  }

  for (int i = 0; i < reader->element_count; ++i) {
    PlyElementDesc* element = reader->elements[i];
    element->store_flags = static_cast<unsigned char*>(
        ply_checked_alloc(static_cast<size_t>(element->property_count)));
    if (element->property_count > 0) std::memset(element->store_flags, 0, static_cast<size_t>(element->property_count));
  }
  char** names = static_cast<char**>(ply_checked_alloc(sizeof(char*) * static_cast<size_t>(reader->element_count)));
  for (int i = 0; i < reader->element_count; ++i) names[i] = ply_checked_strdup(reader->elements[i]->element_name);

  *element_count = reader->element_count;
  *element_names = names;
  return reader;
}

PlyElementDesc* ply_lookup_element(PlyReader* reader, const char* name) {
  for (int i = 0; i < reader->element_count; ++i)
    if (ply_same_text(reader->elements[i]->element_name, name)) return reader->elements[i];
  return nullptr;
}

PlyPropertyDesc* ply_lookup_property(PlyElementDesc* element, const char* name, int* index) {
  for (int i = 0; i < element->property_count; ++i) {
    if (ply_same_text(element->properties[i]->property_name, name)) {
      *index = i;
      return element->properties[i];
    }
  }
  *index = -1;
  return nullptr;
}

PlyPropertyDesc** ply_element_layout(PlyReader* reader, const char* element_name,
                                     int* record_count, int* property_count) {
  PlyElementDesc* element = ply_lookup_element(reader, element_name);
  if (element == nullptr) return nullptr;
  *record_count = element->record_count;
  *property_count = element->property_count;
  PlyPropertyDesc** copies = static_cast<PlyPropertyDesc**>(
      ply_checked_alloc(sizeof(PlyPropertyDesc*) * static_cast<size_t>(element->property_count)));
  for (int i = 0; i < element->property_count; ++i) {
    copies[i] = static_cast<PlyPropertyDesc*>(ply_checked_alloc(sizeof(PlyPropertyDesc)));
    *copies[i] = *element->properties[i];
    copies[i]->property_name = ply_checked_strdup(element->properties[i]->property_name);
  }
  return copies;
}

void ply_select_property(PlyReader* reader, const char* element_name, const PlyPropertyDesc* wanted) {
  PlyElementDesc* element = ply_lookup_element(reader, element_name);
  reader->current_element = element;
  int index = -1;
  PlyPropertyDesc* property = element ? ply_lookup_property(element, wanted->property_name, &index) : nullptr;
  if (property == nullptr) {
    std::fprintf(stderr, "Warning:  Can't find property '%s' in element '%s'\n", wanted->property_name,
                 element_name);
    return;
  }
  property->stored_type = wanted->stored_type;
  property->stored_offset = wanted->stored_offset;
  property->stored_count_type = wanted->stored_count_type;
  property->stored_count_offset = wanted->stored_count_offset;
  element->store_flags[index] = 1;
}

// ---------------------------------------------------------------------------
// Items: the three values, and storing one of them by destination type

namespace {

struct Item {
  int32_t int_value;
  uint32_t uint_value;
  double double_value;
};

// A floating value truncated toward zero as a signed 32-bit integer; outside the
// range it saturates, and NaN gives 0.
inline int32_t truncate_to_int(double value) {
  if (value >= -2147483648.0 && value < 2147483648.0) return static_cast<int32_t>(value);
  if (value >= 2147483648.0) return INT32_MAX;
  if (value < -2147483648.0) return INT32_MIN;
  return 0;
}

// A floating value truncated toward zero, taken modulo 2^32 (NaN and infinities give 0).
inline uint32_t truncate_modulo(double value) {
  if (value > -2147483648.0 && value < 4294967296.0) {
    double t = std::trunc(value);
    return t < 0 ? static_cast<uint32_t>(static_cast<int32_t>(t)) : static_cast<uint32_t>(t);
  }
  if (!std::isfinite(value)) return 0;
  double r = std::fmod(std::trunc(value), 4294967296.0);
  if (r < 0) r += 4294967296.0;
  return static_cast<uint32_t>(r);
}

template <PlyValueType T> struct Host;
template <> struct Host<PlyValueType::Char> { using type = int8_t; };
template <> struct Host<PlyValueType::Short> { using type = int16_t; };
template <> struct Host<PlyValueType::Int> { using type = int32_t; };
template <> struct Host<PlyValueType::UChar> { using type = uint8_t; };
template <> struct Host<PlyValueType::UShort> { using type = uint16_t; };
template <> struct Host<PlyValueType::UInt> { using type = uint32_t; };
template <> struct Host<PlyValueType::Float> { using type = float; };
template <> struct Host<PlyValueType::Double> { using type = double; };

// The three values of a binary item whose bytes are already in host order.
template <PlyValueType T>
inline Item decode_binary(const unsigned char* bytes) {
  typename Host<T>::type v;
  std::memcpy(&v, bytes, sizeof v);
  Item item;
  if constexpr (T == PlyValueType::Float || T == PlyValueType::Double) {
    item.double_value = static_cast<double>(v);
    item.int_value = truncate_to_int(item.double_value);
    item.uint_value = truncate_modulo(item.double_value);
  } else if constexpr (T == PlyValueType::UInt) {
    item.uint_value = v;
    item.int_value = static_cast<int32_t>(v);
    item.double_value = static_cast<double>(v);
  } else {
    item.int_value = static_cast<int32_t>(v);
    item.uint_value = static_cast<uint32_t>(item.int_value);
    item.double_value = static_cast<double>(v);
  }
  return item;
}

template <PlyValueType S>
inline void store_typed(unsigned char* destination, const Item& item) {
  typename Host<S>::type v;
  if constexpr (S == PlyValueType::Float || S == PlyValueType::Double)
    v = static_cast<typename Host<S>::type>(item.double_value);
  else if constexpr (S == PlyValueType::Char || S == PlyValueType::Short || S == PlyValueType::Int)
    v = static_cast<typename Host<S>::type>(item.int_value);
  else
    v = static_cast<typename Host<S>::type>(item.uint_value);
  std::memcpy(destination, &v, sizeof v);
}

using ConvertFn = void (*)(const unsigned char* source, unsigned char* destination);

// decode_binary then store_typed, computing only the value the destination
// type takes: the same result without the unused conversions.
template <PlyValueType T, PlyValueType S>
void convert(const unsigned char* source, unsigned char* destination) {
  typename Host<T>::type v;
  std::memcpy(&v, source, sizeof v);
  typename Host<S>::type out;
  constexpr bool floatingSource = T == PlyValueType::Float || T == PlyValueType::Double;
  if constexpr (S == PlyValueType::Float || S == PlyValueType::Double) {
    out = static_cast<typename Host<S>::type>(static_cast<double>(v));
  } else if constexpr (S == PlyValueType::Char || S == PlyValueType::Short || S == PlyValueType::Int) {
    if constexpr (floatingSource)
      out = static_cast<typename Host<S>::type>(truncate_to_int(static_cast<double>(v)));
    else
      out = static_cast<typename Host<S>::type>(static_cast<int32_t>(v));
  } else {
    if constexpr (floatingSource)
      out = static_cast<typename Host<S>::type>(truncate_modulo(static_cast<double>(v)));
    else
      out = static_cast<typename Host<S>::type>(static_cast<uint32_t>(v));
  }
  std::memcpy(destination, &out, sizeof out);
}

template <PlyValueType T>
constexpr ConvertFn convert_row[9] = {
  nullptr,
  &convert<T, PlyValueType::Char>, &convert<T, PlyValueType::Short>, &convert<T, PlyValueType::Int>,
  &convert<T, PlyValueType::UChar>, &convert<T, PlyValueType::UShort>, &convert<T, PlyValueType::UInt>,
  &convert<T, PlyValueType::Float>, &convert<T, PlyValueType::Double>,
};

// convert_table[file type][stored type] for valid codes 1..8.
const ConvertFn* const convert_table[9] = {
  nullptr,
  convert_row<PlyValueType::Char>, convert_row<PlyValueType::Short>, convert_row<PlyValueType::Int>,
  convert_row<PlyValueType::UChar>, convert_row<PlyValueType::UShort>, convert_row<PlyValueType::UInt>,
  convert_row<PlyValueType::Float>, convert_row<PlyValueType::Double>,
};

using DecodeFn = Item (*)(const unsigned char* bytes);
const DecodeFn decode_table[9] = {
  nullptr,
  &decode_binary<PlyValueType::Char>, &decode_binary<PlyValueType::Short>, &decode_binary<PlyValueType::Int>,
  &decode_binary<PlyValueType::UChar>, &decode_binary<PlyValueType::UShort>, &decode_binary<PlyValueType::UInt>,
  &decode_binary<PlyValueType::Float>, &decode_binary<PlyValueType::Double>,
};

}  // namespace

void store_item(void* destination, PlyValueType type, int32_t int_value, uint32_t uint_value,
                double double_value) {
  Item item{int_value, uint_value, double_value};
  unsigned char* d = static_cast<unsigned char*>(destination);
  switch (type) {
    case PlyValueType::Char: store_typed<PlyValueType::Char>(d, item); return;
    case PlyValueType::Short: store_typed<PlyValueType::Short>(d, item); return;
    case PlyValueType::Int: store_typed<PlyValueType::Int>(d, item); return;
    case PlyValueType::UChar: store_typed<PlyValueType::UChar>(d, item); return;
    case PlyValueType::UShort: store_typed<PlyValueType::UShort>(d, item); return;
    case PlyValueType::UInt: store_typed<PlyValueType::UInt>(d, item); return;
    case PlyValueType::Float: store_typed<PlyValueType::Float>(d, item); return;
    case PlyValueType::Double: store_typed<PlyValueType::Double>(d, item); return;
    default:
      std::fprintf(stderr, "store_item: bad type = %d\n", ply_code(type));
      ply_exit(-1);
  }
}

static inline void store_item(void* destination, PlyValueType type, const Item& item) {
  store_item(destination, type, item.int_value, item.uint_value, item.double_value);
}

void ply_reverse_bytes(void* buffer, int size) {
  unsigned char* b = static_cast<unsigned char*>(buffer);
  for (int i = 0, j = size - 1; i < j; ++i, --j) {
    unsigned char t = b[i];
    b[i] = b[j];
    b[j] = t;
  }
}

// ---------------------------------------------------------------------------
// Ascii items

// atoi as the reader needs it: leading white space, an optional sign, decimal
// digits up to the first other character; no digits give 0, and values beyond
// the 32-bit signed range saturate.
static inline int32_t ply_atoi(const char* text) {
  const char* p = text;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  if (*p >= '0' && *p <= '9') {
    uint32_t value = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9' && digits < 9) {
      value = value * 10 + static_cast<uint32_t>(*p++ - '0');
      ++digits;
    }
    if (*p < '0' || *p > '9') return negative ? -static_cast<int32_t>(value) : static_cast<int32_t>(value);
  }
  long long value = std::strtoll(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// An ascii uint: the full 0..4294967295 range; negative words give their two's
// complement bits (-1 is all bits set); beyond the range they saturate at
// 4294967295 and -2147483648.
static uint32_t ply_atou(const char* text) {
  long long value = std::strtoll(text, nullptr, 10);
  if (value > 4294967295LL) return 4294967295u;
  if (value < INT32_MIN) return 0x80000000u;
  return static_cast<uint32_t>(value);
}

// NaN as C99's strtod makes it from "nan" or "nan(digits)": quiet, with the sign
// given and, when the parenthesised text is a whole number (decimal, 0 octal or
// 0x hex), its low 51 bits as payload.
static double ply_nan(bool negative, const char* rest) {
  uint64_t bits = 0x7FF8000000000000ull;
  if (*rest == '(') {
    const char* p = rest + 1;
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && std::isxdigit(static_cast<unsigned char>(p[2]))) {
      base = 16;
      p += 2;
    } else if (p[0] == '0') {
      base = 8;
    }
    const char* digits = p;
    uint64_t payload = 0;
    bool saturated = false;
    for (;; ++p) {
      int d = *p >= '0' && *p <= '9' ? *p - '0'
              : *p >= 'a' && *p <= 'z' ? *p - 'a' + 10
              : *p >= 'A' && *p <= 'Z' ? *p - 'A' + 10
              : -1;
      if (d < 0 || d >= base) break;
      if (payload > (UINT64_MAX - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) saturated = true;
      payload = saturated ? UINT64_MAX : payload * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    if (p > digits && *p == ')') bits |= payload & 0x0007FFFFFFFFFFFFull;
  }
  if (negative) bits |= 0x8000000000000000ull;
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

static inline bool ply_is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// atof as C99 defines it (strtod with no end pointer), the same on every host:
// hosts' own atof differ (msvcrt.dll takes neither hex, inf nor nan and reads a
// Fortran 'd' exponent; NaN payloads and the sign of "no number" vary). A
// correctly rounded parse takes the plain decimal form; NaN and "no number" are
// decided here; the rest (hex, inf, out of range, trailing text) goes to the
// host's strtod, which agrees on them.
static double ply_atof(const char* word, size_t length) {
  const char* p = word;
  if (*p == '-') ++p;
  if ((*p >= '0' && *p <= '9') || *p == '.') {
    double value;
    auto [end, error] = std::from_chars(word, word + length, value);
    if (error == std::errc() && end == word + length) return value;
  }
  p = word;
  while (ply_is_space(*p)) ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if ((p[0] | 0x20) == 'n' && (p[1] | 0x20) == 'a' && (p[2] | 0x20) == 'n') return ply_nan(negative, p + 3);
  char* end = nullptr;
  double value = std::strtod(word, &end);
  if (end == word) return 0.0;
  return value;
}

static inline Item ascii_item(const char* word, size_t length, PlyValueType type) {
  Item item;
  switch (type) {
    case PlyValueType::Char:
    case PlyValueType::Short:
    case PlyValueType::Int:
    case PlyValueType::UChar:
    case PlyValueType::UShort:
      item.int_value = ply_atoi(word);
      item.uint_value = static_cast<uint32_t>(item.int_value);
      item.double_value = item.int_value;
      return item;
    case PlyValueType::UInt:
      item.uint_value = ply_atou(word);
      item.int_value = static_cast<int32_t>(item.uint_value);
      item.double_value = item.uint_value;
      return item;
    case PlyValueType::Float:
    case PlyValueType::Double:
      item.double_value = ply_atof(word, length);
      item.int_value = truncate_to_int(item.double_value);
      item.uint_value = static_cast<uint32_t>(item.int_value);
      return item;
    default:
      std::fprintf(stderr, "get_ascii_item: bad type = %d\n", ply_code(type));
      ply_exit(-1);
  }
}

void get_ascii_item(const char* word, PlyValueType type, int32_t* int_value, uint32_t* uint_value,
                    double* double_value) {
  Item item = ascii_item(word, std::strlen(word), type);
  *int_value = item.int_value;
  *uint_value = item.uint_value;
  *double_value = item.double_value;
}

// ---------------------------------------------------------------------------
// Binary items

[[noreturn]] static void ply_fread_failed() {
  std::fputs("PLY ERROR: fread() failed -- aborting.\n", stderr);
  ply_exit(1);
}

[[noreturn]] static void ply_bad_binary_type(PlyValueType type) {
  std::fprintf(stderr, "get_binary_item: bad type = %d\n", ply_code(type));
  ply_exit(-1);
}

static inline void ply_read_exactly(FILE* stream, void* buffer, size_t size) {
  if (ply_read_bytes(buffer, size, stream) != size) ply_fread_failed();
}

static Item binary_item(FILE* stream, PlyEncoding encoding, PlyValueType type) {
  int code = ply_code(type);
  if (code < 0 || code > 8) ply_bad_binary_type(type);
  int size = ply_type_size_table[code];
  unsigned char bytes[8];
  if (size == 0) ply_fread_failed();  // Invalid: nothing can be read as it
  if (size == 1) {
    int c = ply_getc(stream);
    if (c == EOF) ply_fread_failed();
    bytes[0] = static_cast<unsigned char>(c);
  } else {
    ply_read_exactly(stream, bytes, static_cast<size_t>(size));
  }
  if (encoding != ply_host_encoding && size > 1) ply_reverse_bytes(bytes, size);
  return decode_table[code](bytes);
}

void get_binary_item(FILE* stream, PlyEncoding encoding, PlyValueType type, int32_t* int_value,
                     uint32_t* uint_value, double* double_value) {
  Item item = binary_item(stream, encoding, type);
  *int_value = item.int_value;
  *uint_value = item.uint_value;
  *double_value = item.double_value;
}

// ---------------------------------------------------------------------------
// Records

static PlyElementDesc* ply_current_or_exit(PlyReader* reader) {
  if (reader->current_element == nullptr) {
    std::fputs("ply_get_element: no current element (select a property of an element first)\n", stderr);
    ply_exit(-1);
  }
  return reader->current_element;
}

static inline void put_pointer(unsigned char* destination, void* pointer) {
  std::memcpy(destination, &pointer, sizeof pointer);
}

static inline size_t stored_size(PlyValueType type) {
  int code = ply_code(type);
  return code >= 0 && code <= 8 ? static_cast<size_t>(ply_type_size_table[code]) : 0;
}

// A list's block: count items of the stored type, put at the stored offset.
static unsigned char* ply_list_block(unsigned char* record, const PlyPropertyDesc* property, int32_t count) {
  unsigned char* block = static_cast<unsigned char*>(
      ply_checked_alloc(static_cast<size_t>(count) * stored_size(property->stored_type)));
  put_pointer(record + property->stored_offset, block);
  return block;
}

[[noreturn]] static void ply_ascii_line_ended() {
  std::fputs("ply_get_element: unexpected end of file\n", stderr);
  ply_exit(-1);
}

// The next word of the current ascii line, cut in place; a line with no word
// left ends the process as an early end of file would.
static inline char* ply_next_word(char*& cursor, size_t& length) {
  char* p = cursor;
  while (*p == ' ') ++p;
  if (*p == '\0') ply_ascii_line_ended();
  char* word = p;
  while (*p != ' ' && *p != '\0') ++p;
  length = static_cast<size_t>(p - word);
  if (*p != '\0') *p++ = '\0';
  cursor = p;
  return word;
}

// The next item of the line. Words of the atoi-read types are converted while
// they are scanned; other types take the word first.
static inline Item ply_next_ascii_item(char*& cursor, PlyValueType type) {
  if (type == PlyValueType::Int || type == PlyValueType::UChar || type == PlyValueType::Char ||
      type == PlyValueType::Short || type == PlyValueType::UShort) {
    char* p = cursor;
    while (*p == ' ') ++p;
    if (*p == '\0') ply_ascii_line_ended();
    char* word = p;
    bool negative = *p == '-';
    if (negative) ++p;
    uint32_t value = 0;
    int digits = 0;
    while (static_cast<unsigned>(*p - '0') < 10u && digits < 9) {
      value = value * 10 + static_cast<uint32_t>(*p++ - '0');
      ++digits;
    }
    int32_t n;
    if (digits > 0 && (*p == ' ' || *p == '\0')) {
      n = negative ? -static_cast<int32_t>(value) : static_cast<int32_t>(value);
      cursor = *p ? p + 1 : p;
    } else {
      while (*p != ' ' && *p != '\0') ++p;
      if (*p != '\0') *p++ = '\0';
      cursor = p;
      n = ply_atoi(word);
    }
    return Item{n, static_cast<uint32_t>(n), static_cast<double>(n)};
  }
  size_t length = 0;
  char* word = ply_next_word(cursor, length);
  return ascii_item(word, length, type);
}

void ply_read_ascii_record(PlyReader* reader, void* record) {
  PlyElementDesc* element = ply_current_or_exit(reader);
  if (ply_read_line(reader->stream) < 0) ply_ascii_line_ended();
  unsigned char* base = static_cast<unsigned char*>(record);
  char* cursor = ply_line_buffer;
  for (int i = 0; i < element->property_count; ++i) {
    const PlyPropertyDesc* property = element->properties[i];
    bool stored = element->store_flags[i] != 0;
    if (!property->list_flag) {
      Item item = ply_next_ascii_item(cursor, property->value_type);
      if (stored) store_item(base + property->stored_offset, property->stored_type, item);
      continue;
    }
    Item count_item = ply_next_ascii_item(cursor, property->count_type);
    int32_t count = count_item.int_value;
    if (stored) store_item(base + property->stored_count_offset, property->stored_count_type, count_item);
    if (count <= 0) {
      if (stored) put_pointer(base + property->stored_offset, nullptr);
      continue;
    }
    unsigned char* block = stored ? ply_list_block(base, property, count) : nullptr;
    size_t step = stored_size(property->stored_type);
    for (int32_t k = 0; k < count; ++k) {
      Item item = ply_next_ascii_item(cursor, property->value_type);
      if (stored) store_item(block + static_cast<size_t>(k) * step, property->stored_type, item);
    }
  }
}

namespace {

// Decodes `count` items of one type from `bytes` (file order), storing each at
// destination + k * step when destination is set.
void decode_items(unsigned char* bytes, size_t count, PlyValueType file_type, bool reverse,
                  unsigned char* destination, PlyValueType stored_type, size_t step) {
  if (destination == nullptr) return;
  int size = ply_type_size_table[ply_code(file_type)];
  if (reverse && size > 1)
    for (size_t k = 0; k < count; ++k) ply_reverse_bytes(bytes + k * static_cast<size_t>(size), size);
  ConvertFn fn = convert_table[ply_code(file_type)][ply_code(stored_type)];
  for (size_t k = 0; k < count; ++k) fn(bytes + k * static_cast<size_t>(size), destination + k * step);
}

}  // namespace

// Reads a list's items after its count. Runs of items are read with one call,
// so a short file fails where item-by-item reading would, with the same message.
static void ply_read_binary_items(PlyReader* reader, const PlyPropertyDesc* property, unsigned char* block,
                                  int32_t count) {
  FILE* stream = reader->stream;
  PlyValueType type = property->value_type;
  int code = ply_code(type);
  if (code < 0 || code > 8) ply_bad_binary_type(type);
  if (code == 0) ply_fread_failed();
  bool reverse = reader->encoding != ply_host_encoding;
  size_t size = static_cast<size_t>(ply_type_size_table[code]);

  if (block != nullptr && !ply_valid_type(property->stored_type)) {
    // The first item read is stored with a bad type, which ends the process there.
    store_item(block, property->stored_type, binary_item(stream, reader->encoding, type));
  }
  size_t step = stored_size(property->stored_type);
  size_t remaining = static_cast<size_t>(count);
  if (block != nullptr && property->stored_type == type &&
      (code != ply_code(PlyValueType::Float))) {
    // Same type in file and record: the bytes are the values.
    ply_read_exactly(stream, block, remaining * size);
    if (reverse && size > 1)
      for (size_t k = 0; k < remaining; ++k) ply_reverse_bytes(block + k * size, static_cast<int>(size));
    return;
  }
  unsigned char chunk[4096];
  size_t per_chunk = sizeof chunk / size;
  unsigned char* destination = block;
  while (remaining > 0) {
    size_t n = remaining < per_chunk ? remaining : per_chunk;
    ply_read_exactly(stream, chunk, n * size);
    decode_items(chunk, n, type, reverse, destination, property->stored_type, step);
    if (destination) destination += n * step;
    remaining -= n;
  }
}

void ply_read_binary_record(PlyReader* reader, void* record) {
  PlyElementDesc* element = ply_current_or_exit(reader);
  FILE* stream = reader->stream;
  bool reverse = reader->encoding != ply_host_encoding;
  unsigned char* base = static_cast<unsigned char*>(record);
  PlyPropertyDesc* const* properties = element->properties;
  const unsigned char* flags = element->store_flags;
  int n = element->property_count;
  unsigned char run[256];

  int i = 0;
  while (i < n) {
    const PlyPropertyDesc* property = properties[i];
    if (!property->list_flag) {
      // A run of scalars with valid types is read with one call and then decoded.
      int end = i;
      size_t bytes = 0;
      while (end < n && !properties[end]->list_flag && ply_valid_type(properties[end]->value_type) &&
             (!flags[end] || ply_valid_type(properties[end]->stored_type))) {
        size_t size = static_cast<size_t>(ply_type_size_table[ply_code(properties[end]->value_type)]);
        if (bytes + size > sizeof run) break;
        bytes += size;
        ++end;
      }
      if (end == i) {
        Item item = binary_item(stream, reader->encoding, property->value_type);
        if (flags[i]) store_item(base + property->stored_offset, property->stored_type, item);
        ++i;
        continue;
      }
      ply_read_exactly(stream, run, bytes);
      unsigned char* at = run;
      for (; i < end; ++i) {
        const PlyPropertyDesc* p = properties[i];
        int size = ply_type_size_table[ply_code(p->value_type)];
        if (reverse && size > 1) ply_reverse_bytes(at, size);
        if (flags[i]) convert_table[ply_code(p->value_type)][ply_code(p->stored_type)](at, base + p->stored_offset);
        at += size;
      }
      continue;
    }
    bool stored = flags[i] != 0;
    Item count_item = binary_item(stream, reader->encoding, property->count_type);
    int32_t count = count_item.int_value;
    if (stored) store_item(base + property->stored_count_offset, property->stored_count_type, count_item);
    if (count <= 0) {
      if (stored) put_pointer(base + property->stored_offset, nullptr);
    } else {
      unsigned char* block = stored ? ply_list_block(base, property, count) : nullptr;
      ply_read_binary_items(reader, property, block, count);
    }
    ++i;
  }
}

void ply_get_element(PlyReader* reader, void* record) {
  ply_current_or_exit(reader);
  if (reader->encoding == PlyEncoding::Ascii)
    ply_read_ascii_record(reader, record);
  else
    ply_read_binary_record(reader, record);
}
