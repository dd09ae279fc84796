// The PLY reader: line splitting, type names, header grammar, selection and
// record reading with conversion, and every way a damaged body ends the process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "ply_test_util.h"
#include "tests/host/test_host.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::ExitedWithCode;
using ::testing::HasSubstr;

namespace {

struct SplitLine {
  std::vector<std::string> words;
  std::string copy;
  long positionAfter;
};

// Splits every line of the bytes, noting the stream position after each.
std::vector<SplitLine> splitAll(const std::string& bytes) {
  FILE* f = streamOf(bytes);
  std::vector<SplitLine> lines;
  for (;;) {
    int count = -1;
    char* copy = reinterpret_cast<char*>(1);
    char** words = ply_split_line(f, &count, &copy);
    if (words == nullptr) {
      EXPECT_EQ(count, 0);
      EXPECT_EQ(copy, nullptr);
      break;
    }
    SplitLine line;
    for (int i = 0; i < count; ++i) line.words.emplace_back(words[i]);
    line.copy = copy;
    line.positionAfter = std::ftell(f);
    lines.push_back(line);
    std::free(words);
  }
  std::fclose(f);
  return lines;
}

TEST(PlySplitLine, CutsWordsAndKeepsTheLineText) {
  auto lines = splitAll("  a\tb   c\n");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_THAT(lines[0].words, ElementsAre("a", "b", "c"));
  EXPECT_EQ(lines[0].copy, "  a b   c");
}

TEST(PlySplitLine, EndsLinesAtLfCrLfAndLoneCrLeavingTheStreamAfterTheTerminator) {
  struct Case {
    const char* label;
    std::string bytes;
    std::vector<std::vector<std::string>> words;
    std::vector<long> positions;
  };
  const Case cases[] = {
    {"line feed", "ab c\nd\n", {{"ab", "c"}, {"d"}}, {5, 7}},
    {"carriage return and line feed", "ab c\r\nd\r\n", {{"ab", "c"}, {"d"}}, {6, 9}},
    {"lone carriage returns", "ab c\rd\re f\r", {{"ab", "c"}, {"d"}, {"e", "f"}}, {5, 7, 11}},
    {"mixed, last line unterminated", "a\r\rb\nc", {{"a"}, {}, {"b"}, {"c"}}, {2, 3, 5, 6}},
    {"blanks and tabs only", " \t \n", {{}}, {4}},
    {"text after a NUL is not part of the line", std::string("a b\0c d\r\ne\n", 11), {{"a", "b"}, {"e"}}, {9, 11}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto lines = splitAll(c.bytes);
    ASSERT_EQ(lines.size(), c.words.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_THAT(lines[i].words, ElementsAreArray(c.words[i])) << "line " << i;
      EXPECT_EQ(lines[i].positionAfter, c.positions[i]) << "line " << i;
    }
  }
}

TEST(PlySplitLine, KeepsLinesOfAnyLengthWholeAndAnyNumberOfWords) {
  std::string longWord(10000, 'x');
  std::string many;
  for (int i = 0; i < 25; ++i) many += "w" + std::to_string(i) + " ";
  auto lines = splitAll(longWord + "\n" + many + "\n");
  ASSERT_EQ(lines.size(), 2u);
  ASSERT_EQ(lines[0].words.size(), 1u);
  EXPECT_EQ(lines[0].words[0], longWord);
  EXPECT_EQ(lines[0].copy, longWord);
  ASSERT_EQ(lines[1].words.size(), 25u);
  EXPECT_EQ(lines[1].words[24], "w24");
}

TEST(PlySplitLine, YieldsNullAtEndOfFile) { EXPECT_TRUE(splitAll("").empty()); }

TEST(PlyTypes, NamesMapToCodesExactly) {
  struct Case {
    const char* name;
    PlyValueType code;
  };
  const Case cases[] = {
    {"char", PlyValueType::Char},   {"short", PlyValueType::Short},   {"int", PlyValueType::Int},
    {"uchar", PlyValueType::UChar}, {"ushort", PlyValueType::UShort}, {"uint", PlyValueType::UInt},
    {"float", PlyValueType::Float}, {"double", PlyValueType::Double}, {"invalid", PlyValueType::Invalid},
    {"Float", PlyValueType::Invalid}, {"float32", PlyValueType::Invalid}, {"uint8", PlyValueType::Invalid},
    {"", PlyValueType::Invalid},
  };
  for (const Case& c : cases) EXPECT_EQ(ply_type_code(c.name), c.code) << "'" << c.name << "'";
  EXPECT_EQ(ply_same_text("", ""), 1);
  EXPECT_EQ(ply_same_text("ply", "PLY"), 0);
  EXPECT_EQ(ply_same_text("ab", "abc"), 0);
}

// ---------------------------------------------------------------------------
// Header

TEST(PlyOpenHeader, AcceptsAndRejectsHeaders) {
  struct Case {
    const char* label;
    std::string header;
    bool accepted;
  };
  const Case cases[] = {
    {"minimal", "ply\nformat ascii 1.0\nend_header\n", true},
    {"words after ply ignored", "ply extra\nformat ascii 1.0\nend_header\n", true},
    {"unknown keywords and blank lines ignored", "ply\n\nformat ascii 1.0\nweird 1 2\n\nend_header\n", true},
    {"end of file before end_header", "ply\nformat ascii 1.0\nelement vertex 3\n", true},
    {"later format line overrides", "ply\nformat ascii 1.0\nformat binary_big_endian 1.0\nend_header\n", true},
    {"empty file", "", false},
    {"capital PLY", "PLY\nformat ascii 1.0\nend_header\n", false},
    {"blank first line", "\nply\nformat ascii 1.0\nend_header\n", false},
    {"format with two words", "ply\nformat ascii\nend_header\n", false},
    {"format with four words", "ply\nformat ascii 1.0 x\nend_header\n", false},
    {"encoding binary", "ply\nformat binary 1.0\nend_header\n", false},
    {"encoding ASCII", "ply\nformat ASCII 1.0\nend_header\n", false},
    {"no format line", "ply\nelement vertex 1\nend_header\n", false},
    {"element line too short", "ply\nformat ascii 1.0\nelement vertex\nend_header\n", false},
    {"property line too short", "ply\nformat ascii 1.0\nelement vertex 1\nproperty float\nend_header\n", false},
    {"list property line too short",
     "ply\nformat ascii 1.0\nelement face 1\nproperty list uchar int\nend_header\n", false},
    {"property before any element", "ply\nformat ascii 1.0\nproperty float x\nend_header\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    OpenPly ply(c.header);
    EXPECT_EQ(ply.reader != nullptr, c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(ply.elementCount, -7) << "output places stay untouched";
    }
  }
  int count = -7;
  char** names = nullptr;
  EXPECT_EQ(ply_open_header(nullptr, &count, &names), nullptr);
  EXPECT_EQ(ply_host_encoding, PlyEncoding::BinaryLittleEndian);
  EXPECT_TRUE(ply_sizes_verified);
}

TEST(PlyOpenHeader, DescribesElementsPropertiesCommentsAndInfo) {
  OpenPly ply(
      "ply\n"
      "format binary_big_endian 1.5\n"
      "comment   a  b \n"
      "comment\n"
      "obj_info\tscanner 7\n"
      "element vertex 12\n"
      "property float x\n"
      "property float32 q\n"
      "element face many\n"
      "property list uchar int vertex_indices\n"
      "element vertex 99\n"
      "end_header\n");
  ASSERT_NE(ply.reader, nullptr);
  PlyReader& r = *ply.reader;
  EXPECT_EQ(r.encoding, PlyEncoding::BinaryBigEndian);
  EXPECT_FLOAT_EQ(r.format_version, 1.5f);
  ASSERT_EQ(ply.elementCount, 3);
  EXPECT_STREQ(ply.names[0], "vertex");
  EXPECT_STREQ(ply.names[1], "face");
  EXPECT_STREQ(ply.names[2], "vertex");
  ASSERT_EQ(r.comment_count, 2);
  EXPECT_STREQ(r.comment_texts[0], "a  b ");
  EXPECT_STREQ(r.comment_texts[1], "");
  ASSERT_EQ(r.info_count, 1);
  EXPECT_STREQ(r.info_texts[0], "scanner 7");
  EXPECT_EQ(r.elements[0]->record_count, 12);
  EXPECT_EQ(r.elements[1]->record_count, 0) << "a count that is not a number";
  EXPECT_EQ(r.elements[0]->properties[1]->value_type, PlyValueType::Invalid);
  EXPECT_EQ(ply_lookup_element(ply.reader, "vertex"), r.elements[0]) << "the first of two of one name";
  EXPECT_EQ(ply_lookup_element(ply.reader, "edge"), nullptr);
  EXPECT_EQ(r.current_element, nullptr);

  int index = 5;
  EXPECT_EQ(ply_lookup_property(r.elements[0], "q", &index), r.elements[0]->properties[1]);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(ply_lookup_property(r.elements[0], "w", &index), nullptr);
  EXPECT_EQ(index, -1);

  int records = -1, properties = -1;
  PlyPropertyDesc** layout = ply_element_layout(ply.reader, "face", &records, &properties);
  ASSERT_NE(layout, nullptr);
  EXPECT_EQ(records, 0);
  ASSERT_EQ(properties, 1);
  EXPECT_STREQ(layout[0]->property_name, "vertex_indices");
  EXPECT_NE(layout[0]->property_name, r.elements[1]->properties[0]->property_name) << "a copy";
  EXPECT_EQ(layout[0]->list_flag, 1);
  EXPECT_EQ(layout[0]->count_type, PlyValueType::UChar);
  EXPECT_EQ(layout[0]->value_type, PlyValueType::Int);
  std::free(layout[0]->property_name);
  std::free(layout[0]);
  std::free(layout);
  EXPECT_EQ(ply_element_layout(ply.reader, "edge", &records, &properties), nullptr);
  EXPECT_EQ(r.current_element, nullptr) << "layout does not select";
}

TEST(PlyOpenHeader, LeavesTheStreamRightAfterTheEndHeaderTerminator) {
  const char* endings[] = {"\n", "\r\n", "\r"};
  for (const char* end : endings) {
    SCOPED_TRACE(testing::PrintToString(std::string(end)));
    std::string header = std::string("ply") + end + "format binary_little_endian 1.0" + end + "end_header" + end;
    OpenPly ply(header + "\x01\x02");
    ASSERT_NE(ply.reader, nullptr);
    EXPECT_EQ(std::ftell(ply.stream), static_cast<long>(header.size()));
  }
}

TEST(PlySelectProperty, StoresLayoutSwitchesElementAndWarnsForMissingNames) {
  OpenPly ply("ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nelement face 1\n"
              "property list uchar int vertex_indices\nend_header\n");
  ASSERT_NE(ply.reader, nullptr);
  PlyElementDesc* vertex = ply.reader->elements[0];
  PlyPropertyDesc want = wantScalar("x", PlyValueType::Double, 8);
  want.value_type = PlyValueType::Char;  // ignored: the header's type stays
  ply_select_property(ply.reader, "vertex", &want);
  EXPECT_EQ(ply.reader->current_element, vertex);
  EXPECT_EQ(vertex->store_flags[0], 1);
  EXPECT_EQ(vertex->properties[0]->stored_type, PlyValueType::Double);
  EXPECT_EQ(vertex->properties[0]->stored_offset, 8);
  EXPECT_EQ(vertex->properties[0]->value_type, PlyValueType::Float);

  testing::internal::CaptureStderr();
  PlyPropertyDesc missing = wantScalar("nx", PlyValueType::Float, 0);
  ply_select_property(ply.reader, "face", &missing);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning:  Can't find property 'nx' in element 'face'\n");
  EXPECT_EQ(ply.reader->current_element, ply.reader->elements[1]) << "a failed selection still switches";
  EXPECT_EQ(ply.reader->elements[1]->store_flags[0], 0);

  testing::internal::CaptureStderr();
  ply_select_property(ply.reader, "edge", &missing);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning:  Can't find property 'nx' in element 'edge'\n");
  EXPECT_EQ(ply.reader->current_element, nullptr);
}

// ---------------------------------------------------------------------------
// Records

// A record layout wide enough for every stored type at fixed offsets.
struct Slot {
  unsigned char bytes[16];
  template <typename T>
  T as() const {
    T v;
    std::memcpy(&v, bytes, sizeof v);
    return v;
  }
};

// Reads one scalar property "v" of the given declared type from a body and
// stores it as `stored` at offset 0 of a slot.
Slot readScalar(const std::string& format, const char* declared, const std::string& body, PlyValueType stored) {
  OpenPly ply("ply\nformat " + format + " 1.0\nelement e 1\nproperty " + declared + " v\nend_header\n" + body);
  EXPECT_NE(ply.reader, nullptr);
  Slot slot;
  std::memset(slot.bytes, 0xAB, sizeof slot.bytes);
  PlyPropertyDesc want = wantScalar("v", stored, 0);
  ply_select_property(ply.reader, "e", &want);
  ply_get_element(ply.reader, &slot);
  return slot;
}

TEST(PlyGetElement, ConvertsScalarsByFileAndStoredType) {
  const std::string be = "binary_big_endian", le = "binary_little_endian", ascii = "ascii";
  EXPECT_EQ(readScalar(be, "int", std::string("\x00\x00\x01\x02", 4), PlyValueType::Int).as<int32_t>(), 258);
  EXPECT_EQ(readScalar(le, "int", std::string("\x02\x01\x00\x00", 4), PlyValueType::Int).as<int32_t>(), 258);
  EXPECT_EQ(readScalar(le, "uchar", "\xFF", PlyValueType::Int).as<int32_t>(), 255);
  EXPECT_EQ(readScalar(le, "char", "\xFF", PlyValueType::Int).as<int32_t>(), -1);
  EXPECT_EQ(readScalar(be, "short", std::string("\xFF\xFE", 2), PlyValueType::Int).as<int32_t>(), -2);
  EXPECT_EQ(readScalar(be, "ushort", std::string("\xFF\xFE", 2), PlyValueType::Int).as<int32_t>(), 65534);
  EXPECT_EQ(readScalar(le, "uint", bytesOf<uint32_t>(4000000000u, false), PlyValueType::Double).as<double>(),
            4000000000.0);
  EXPECT_EQ(readScalar(le, "uint", bytesOf<uint32_t>(4000000000u, false), PlyValueType::Int).as<int32_t>(),
            static_cast<int32_t>(4000000000u));
  EXPECT_EQ(readScalar(ascii, "int", "3.9\n", PlyValueType::Int).as<int32_t>(), 3);
  EXPECT_EQ(readScalar(ascii, "float", "-2.5\n", PlyValueType::Int).as<int32_t>(), -2);
  EXPECT_EQ(readScalar(ascii, "float", "-2.5\n", PlyValueType::UInt).as<uint32_t>(), 0xFFFFFFFEu);
  EXPECT_EQ(readScalar(ascii, "uint", "4294967295\n", PlyValueType::UInt).as<uint32_t>(), 4294967295u);
  EXPECT_EQ(readScalar(ascii, "uint", "4294967295\n", PlyValueType::Double).as<double>(), 4294967295.0);
  EXPECT_EQ(readScalar(ascii, "uint", "-1\n", PlyValueType::UInt).as<uint32_t>(), 0xFFFFFFFFu);
  EXPECT_EQ(readScalar(ascii, "uint", "-1\n", PlyValueType::Double).as<double>(), 4294967295.0);
  EXPECT_EQ(readScalar(ascii, "int", "99999999999\n", PlyValueType::Int).as<int32_t>(), 2147483647);
  EXPECT_EQ(readScalar(ascii, "short", "70000\n", PlyValueType::Short).as<int16_t>(), static_cast<int16_t>(70000));
  EXPECT_EQ(readScalar(ascii, "int", "abc\n", PlyValueType::Int).as<int32_t>(), 0);
  EXPECT_EQ(readScalar(ascii, "int", "+5\n", PlyValueType::Int).as<int32_t>(), 5);
  EXPECT_EQ(readScalar(ascii, "int", "-7\n", PlyValueType::Int).as<int32_t>(), -7);
  EXPECT_EQ(readScalar(ascii, "int", "12abc\n", PlyValueType::Int).as<int32_t>(), 12);
  EXPECT_EQ(readScalar(ascii, "int", "-2147483648\n", PlyValueType::Int).as<int32_t>(), INT32_MIN);
  EXPECT_EQ(readScalar(ascii, "int", "\v42\n", PlyValueType::Int).as<int32_t>(), 42) << "atoi skips white space";
  EXPECT_EQ(readScalar(ascii, "int", "300\n", PlyValueType::UChar).as<uint8_t>(), 44);
  EXPECT_EQ(readScalar(le, "float", bytesOf(0.1f, false), PlyValueType::Double).as<double>(),
            static_cast<double>(0.1f)) << "widened exactly";
  EXPECT_EQ(readScalar(be, "double", bytesOf(0.1, true), PlyValueType::Float).as<float>(), 0.1f);
  EXPECT_EQ(readScalar(le, "double", bytesOf(-3e9, false), PlyValueType::UInt).as<uint32_t>(),
            static_cast<uint32_t>(4294967296.0 - 3e9)) << "truncated modulo 2^32";
}

// Ascii floats read as C99's atof reads them, whatever the host's C runtime does
// (msvcrt.dll's atof takes neither hex, inf nor nan and reads "1d5" as 1e5).
TEST(PlyGetElement, ReadsAsciiFloatsAsC99AtofOnEveryHost) {
  struct Case {
    const char* word;
    uint64_t bits;  // the double's bits
  };
  const Case cases[] = {
      {"0.1", 0x3FB999999999999Aull},
      {"-0", 0x8000000000000000ull},
      {".5", 0x3FE0000000000000ull},
      {"5.", 0x4014000000000000ull},
      {"+1.5", 0x3FF8000000000000ull},
      {"1.5abc", 0x3FF8000000000000ull},
      {"\v1.5", 0x3FF8000000000000ull},
      {"0.30000000000000004441", 0x3FD3333333333334ull},
      {"123456789012345678901234567890", 0x45F8EE90FF6C373Eull},
      {"3.4028235e38", 0x47EFFFFFE54DAFF8ull},
      {"2.2250738585072011e-308", 0x000FFFFFFFFFFFFFull},
      {"1e-320", 0x00000000000007E8ull},
      {"2.4703282292062328e-324", 0x0000000000000001ull},
      {"1e-400", 0x0000000000000000ull},
      {"1e400", 0x7FF0000000000000ull},
      {"-1e400", 0xFFF0000000000000ull},
      {"1e", 0x3FF0000000000000ull},
      {"1d5", 0x3FF0000000000000ull},
      {"-", 0x0000000000000000ull},
      {"-.e1", 0x0000000000000000ull},
      {"0x1p3", 0x4020000000000000ull},
      {"0X1P-2", 0x3FD0000000000000ull},
      {"0x1.8p1", 0x4008000000000000ull},
      {"-0x", 0x8000000000000000ull},
      {"inf", 0x7FF0000000000000ull},
      {"-Infinity", 0xFFF0000000000000ull},
      {"nan", 0x7FF8000000000000ull},
      {"-nan", 0xFFF8000000000000ull},
      {"nan(123)", 0x7FF800000000007Bull},
      {"NaN(0XAB)", 0x7FF80000000000ABull},
      {"nan(abc)", 0x7FF8000000000000ull},
      {"nan(12", 0x7FF8000000000000ull},
  };
  for (const Case& c : cases) {
    int32_t i = 0;
    uint32_t u = 0;
    double d = 0;
    get_ascii_item(c.word, PlyValueType::Double, &i, &u, &d);
    uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    EXPECT_EQ(bits, c.bits) << c.word << ": " << d;
  }
}

TEST(PlyGetElement, StoresListsIntoBlocksTheCallerOwns) {
  struct Face {
    uint8_t count;
    int32_t* items;
  };
  struct Case {
    const char* label;
    const char* countType;
    std::string body;  // ascii
    int storedCount;
    std::vector<int32_t> items;
    bool nullBlock;
  };
  const Case cases[] = {
    {"three items", "uchar", "3 7 8 9\n", 3, {7, 8, 9}, false},
    {"empty list", "uchar", "0\n", 0, {}, true},
    {"negative count", "int", "-2 5 6\n", 254, {}, true},
    {"count wider than stored", "ushort", "300" + [] {
       std::string s;
       for (int i = 0; i < 300; ++i) s += " " + std::to_string(i);
       return s + "\n";
     }(), 44, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    for (const char* format : {"ascii", "binary_big_endian"}) {
      SCOPED_TRACE(format);
      std::string body = c.body;
      bool binary = std::string(format) != "ascii";
      if (binary) {
        // The same list as binary: count in its declared type, then ints.
        std::vector<long> words;
        const char* p = c.body.c_str();
        char* end = nullptr;
        for (long v = std::strtol(p, &end, 10); end != p; v = std::strtol(p, &end, 10)) {
          words.push_back(v);
          p = end;
        }
        std::string ct = c.countType;
        body = ct == "uchar" ? std::string(1, static_cast<char>(words[0]))
               : ct == "ushort" ? bytesOf<uint16_t>(static_cast<uint16_t>(words[0]), true)
                                : bytesOf<int32_t>(static_cast<int32_t>(words[0]), true);
        if (words[0] > 0)
          for (size_t k = 1; k < words.size(); ++k) body += bytesOf<int32_t>(static_cast<int32_t>(words[k]), true);
      }
      OpenPly ply(std::string("ply\nformat ") + format + " 1.0\nelement face 1\nproperty list " + c.countType +
                  " int vertex_indices\nelement tail 1\nproperty uchar t\nend_header\n" + body +
                  (binary ? "\x2A" : "42\n"));
      ASSERT_NE(ply.reader, nullptr);
      PlyPropertyDesc want = wantList("vertex_indices", PlyValueType::Int, offsetof(Face, items),
                                      PlyValueType::UChar, offsetof(Face, count));
      ply_select_property(ply.reader, "face", &want);
      Face face{99, reinterpret_cast<int32_t*>(&face)};
      ply_get_element(ply.reader, &face);
      EXPECT_EQ(face.count, c.storedCount);
      if (c.nullBlock) {
        EXPECT_EQ(face.items, nullptr);
      } else {
        ASSERT_NE(face.items, nullptr);
        for (size_t k = 0; k < c.items.size(); ++k) EXPECT_EQ(face.items[k], c.items[k]);
        if (c.storedCount == 44) {
          EXPECT_EQ(face.items[299], 299) << "the block holds every item";
        }
      }
      std::free(face.items);
      // The next element reads from where the list ended.
      PlyPropertyDesc tail = wantScalar("t", PlyValueType::Int, 0);
      ply_select_property(ply.reader, "tail", &tail);
      int32_t t = 0;
      ply_get_element(ply.reader, &t);
      EXPECT_EQ(t, 42);
    }
  }
}

TEST(PlyGetElement, ConsumesUnselectedPropertiesAndIgnoresExtraWords) {
  struct Case {
    const char* label;
    std::string format;
    std::string body;
  };
  std::string binaryBody = bytesOf(1.5f, false) + std::string("\x02", 1) + bytesOf<int32_t>(4, false) +
                           bytesOf<int32_t>(5, false) + bytesOf(2.5f, false) + bytesOf(9.0f, false) +
                           std::string("\x00", 1) + bytesOf(3.5f, false);
  const Case cases[] = {
    {"ascii", "ascii", "1.5 2 4 5 2.5 extra words\n9 0 3.5\n"},
    {"ascii, CR LF lines", "ascii", "1.5 2 4 5 2.5\r\n9 0 3.5\r\n"},
    {"binary", "binary_little_endian", binaryBody},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    OpenPly ply("ply\nformat " + c.format +
                " 1.0\nelement v 2\nproperty float a\nproperty list uchar int l\nproperty float b\nend_header\n" +
                c.body);
    ASSERT_NE(ply.reader, nullptr);
    PlyPropertyDesc want = wantScalar("b", PlyValueType::Float, 4);
    ply_select_property(ply.reader, "v", &want);
    float record[2] = {-1.0f, -1.0f};
    ply_get_element(ply.reader, record);
    EXPECT_EQ(record[0], -1.0f) << "unselected: untouched";
    EXPECT_EQ(record[1], 2.5f);
    ply_get_element(ply.reader, record);
    EXPECT_EQ(record[1], 3.5f);
    EXPECT_EQ(std::fgetc(ply.stream), EOF) << "each record consumed exactly";
  }
}

TEST(PlyGetElement, ReadsOneLinePerRecordForAnElementWithoutProperties) {
  OpenPly ply("ply\nformat ascii 1.0\nelement empty 2\nelement v 1\nproperty int a\nend_header\n\nanything\n7\n");
  ASSERT_NE(ply.reader, nullptr);
  ply.reader->current_element = ply.reader->elements[0];
  int32_t a = 0;
  ply_get_element(ply.reader, &a);
  ply_get_element(ply.reader, &a);
  PlyPropertyDesc want = wantScalar("a", PlyValueType::Int, 0);
  ply_select_property(ply.reader, "v", &want);
  ply_get_element(ply.reader, &a);
  EXPECT_EQ(a, 7);
}

TEST(PlyStoreItem, WritesTheLowBitsOfTheValueForTheDestinationType) {
  unsigned char out[8];
  store_item(out, PlyValueType::Char, 0x1FF, 0x1FF, 0);
  EXPECT_EQ(static_cast<int8_t>(out[0]), -1);
  store_item(out, PlyValueType::UShort, 0, 0x12345, 0);
  uint16_t us;
  std::memcpy(&us, out, 2);
  EXPECT_EQ(us, 0x2345);
  store_item(out, PlyValueType::Float, 0, 0, 0.1);
  float f;
  std::memcpy(&f, out, 4);
  EXPECT_EQ(f, 0.1f);
  unsigned char buffer[] = {1, 2, 3, 4, 5};
  ply_reverse_bytes(buffer, 5);
  EXPECT_THAT(buffer, ElementsAre(5, 4, 3, 2, 1));
}

// ---------------------------------------------------------------------------
// Process exits

// Opens the header and reads one record of element "e" with property "v" stored
// as `stored` — for use inside death tests.
void readOne(const std::string& file, PlyValueType stored = PlyValueType::Int) {
  FILE* f = streamOf(file);
  int n = 0;
  char** names = nullptr;
  PlyReader* r = ply_open_header(f, &n, &names);
  if (r == nullptr) std::exit(100);
  PlyPropertyDesc want = wantList("v", stored, 8, stored, 0);
  ply_select_property(r, "e", &want);
  unsigned char record[16];
  ply_get_element(r, record);
  std::exit(0);
}

TEST(PlyDeathTest, DamagedBodiesEndTheProcessWithTheirMessageAndCode) {
  const std::string ascii = "ply\nformat ascii 1.0\nelement e 2\n";
  const std::string binary = "ply\nformat binary_little_endian 1.0\nelement e 2\n";
  const char* eof = "^ply_get_element: unexpected end of file\n$";
  const char* fread = "^PLY ERROR: fread\\(\\) failed -- aborting\\.\n$";
  EXPECT_EXIT(readOne(ascii + "property int v\nend_header\n"), ExitedWithCode(test_host::kExitStatusOfMinusOne), eof);
  EXPECT_EXIT(readOne(ascii + "property int v\nproperty int w\nend_header\n1\n"), ExitedWithCode(test_host::kExitStatusOfMinusOne), eof)
      << "a line with too few words";
  EXPECT_EXIT(readOne(ascii + "property list uchar int v\nend_header\n3 1 2\n"), ExitedWithCode(test_host::kExitStatusOfMinusOne), eof)
      << "a list with too few items";
  EXPECT_EXIT(readOne(ascii + "property int v\nend_header\n\n"), ExitedWithCode(test_host::kExitStatusOfMinusOne), eof) << "a blank line";
  EXPECT_EXIT(readOne(binary + "property int v\nend_header\n\x01\x02"), ExitedWithCode(1), fread);
  EXPECT_EXIT(readOne(binary + "property list uchar int v\nend_header\n\x02\x01\x00\x00\x00"), ExitedWithCode(1),
              fread);
  EXPECT_EXIT(readOne(binary + "property float32 v\nend_header\n\x01\x02\x03\x04"), ExitedWithCode(1), fread);
  EXPECT_EXIT(readOne(ascii + "property float32 v\nend_header\n1\n"), ExitedWithCode(test_host::kExitStatusOfMinusOne),
              "^get_ascii_item: bad type = 0\n$");
  EXPECT_EXIT(readOne(ascii + "property int v\nend_header\n1\n", PlyValueType::Invalid), ExitedWithCode(test_host::kExitStatusOfMinusOne),
              "^store_item: bad type = 0\n$");
  EXPECT_EXIT(readOne(binary + "property list uchar int v\nend_header\n\x01\x05\x00\x00\x00",
                      static_cast<PlyValueType>(12)),
              ExitedWithCode(test_host::kExitStatusOfMinusOne), "^store_item: bad type = 12\n$");
}

TEST(PlyDeathTest, BadTypeCodesInDescriptionsEndTheProcess) {
  auto readWithType = [](const char* format, int code) {
    FILE* f = streamOf(std::string("ply\nformat ") + format + " 1.0\nelement e 1\nproperty int v\nend_header\n1234\n");
    int n = 0;
    char** names = nullptr;
    PlyReader* r = ply_open_header(f, &n, &names);
    r->elements[0]->properties[0]->value_type = static_cast<PlyValueType>(code);
    r->current_element = r->elements[0];
    int32_t record = 0;
    ply_get_element(r, &record);
    std::exit(0);
  };
  EXPECT_EXIT(readWithType("binary_big_endian", 9), ExitedWithCode(test_host::kExitStatusOfMinusOne), "^get_binary_item: bad type = 9\n$");
  EXPECT_EXIT(readWithType("ascii", -3), ExitedWithCode(test_host::kExitStatusOfMinusOne), "^get_ascii_item: bad type = -3\n$");
}

TEST(PlyDeathTest, ReadingWithoutACurrentElementEndsTheProcess) {
  auto readUnselected = [](const char* select) {
    FILE* f = streamOf("ply\nformat ascii 1.0\nelement e 1\nproperty int v\nend_header\n1\n");
    int n = 0;
    char** names = nullptr;
    PlyReader* r = ply_open_header(f, &n, &names);
    if (select) {
      PlyPropertyDesc want = wantScalar("v", PlyValueType::Int, 0);
      ply_select_property(r, select, &want);
    }
    int32_t record = 0;
    ply_get_element(r, &record);
    std::exit(0);
  };
  EXPECT_EXIT(readUnselected(nullptr), ExitedWithCode(test_host::kExitStatusOfMinusOne), "^ply_get_element: no current element");
  EXPECT_EXIT(readUnselected("edge"), ExitedWithCode(test_host::kExitStatusOfMinusOne),
              "^Warning:  Can't find property 'v' in element 'edge'\nply_get_element: no current element");
}

TEST(PlyDeathTest, AFailedAllocationNamesItsLineAndFileAndEndsTheProcess) {
  volatile size_t huge = std::numeric_limits<size_t>::max() / 2;
  // The message names the caller's own line and file.
  const std::string here = "Memory allocation bombed on line " + std::to_string(__LINE__ + 1) + " in " + __FILE__ + "\n";
  EXPECT_EXIT(ply_checked_alloc(huge), ExitedWithCode(1), ::testing::StrEq(here));
  void* none = ply_checked_alloc(0);
  std::free(none);
}

TEST(PlyDeathTest, AFailedListBlockAllocationNamesTheReadersLineAndEndsTheProcess) {
  if (test_host::underWine())
    GTEST_SKIP() << "Wine accepts a job's process memory limit but does not enforce it, so the 16 GB list "
                    "block cannot be made to fail";
  // A list block larger than the memory the child may use.
  auto limited = [](const std::string& file, PlyValueType stored) {
    if (!test_host::limitProcessMemory(size_t{1} << 30)) std::exit(101);
    readOne(file, stored);
  };
  EXPECT_EXIT(limited("ply\nformat binary_little_endian 1.0\nelement e 1\nproperty list int double v\n"
                      "end_header\n\xFF\xFF\xFF\x7F",
                      PlyValueType::Double),
              ExitedWithCode(1),
              ::testing::AllOf(::testing::StartsWith("Memory allocation bombed on line "),
                               ::testing::EndsWith("ply/plyfile.cpp\n")));
}

}  // namespace
