// D3DXCompileShaderFromFileW and D3DXCompileShader: HLSL for the Direct3D 9 vertex and
// pixel profiles, compiled by glslang's HLSL front end to SPIR-V and translated by
// SPIRV-Cross to GLSL 330, packed in the layer's own code format (d3d9/shader_code.h)
// with an ID3DXConstantTable of the program's uniform globals. Messages come back as
// "file(line,col): error|warning: text". Left out: samplers and textures, integer and
// boolean constants, non-square matrices, structures, explicit register() bindings,
// D3DXSHADER_PACKMATRIX_ROWMAJOR, and the instruction limits of the old profiles.
#define ENABLE_HLSL
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv_cross/spirv_glsl.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>

#include "../d3d9/shader_code.h"
#include "../kernel32/layer_support.h"
#include "constant_table.h"
#include "internal.h"

namespace glintwork {
namespace {

constexpr HRESULT kFileNotFound = (HRESULT)0x80070002L;  // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)

struct Profile {
  const char *name;
  DWORD version;
};

const Profile kProfiles[] = {
    {"vs_1_0", D3DVS_VERSION(1, 0)}, {"vs_1_1", D3DVS_VERSION(1, 1)}, {"vs_2_0", D3DVS_VERSION(2, 0)},
    {"vs_2_a", D3DVS_VERSION(2, 1)}, {"vs_2_sw", D3DVS_VERSION(2, 0)}, {"vs_3_0", D3DVS_VERSION(3, 0)},
    {"vs_3_sw", D3DVS_VERSION(3, 0)}, {"ps_1_1", D3DPS_VERSION(1, 1)}, {"ps_1_2", D3DPS_VERSION(1, 2)},
    {"ps_1_3", D3DPS_VERSION(1, 3)}, {"ps_1_4", D3DPS_VERSION(1, 4)}, {"ps_2_0", D3DPS_VERSION(2, 0)},
    {"ps_2_a", D3DPS_VERSION(2, 1)}, {"ps_2_b", D3DPS_VERSION(2, 2)}, {"ps_2_sw", D3DPS_VERSION(2, 0)},
    {"ps_3_0", D3DPS_VERSION(3, 0)}, {"ps_3_sw", D3DPS_VERSION(3, 0)},
};

const char *const kUsageNames[] = {"POSITION", "BLENDWEIGHT", "BLENDINDICES", "NORMAL",    "PSIZE",
                                   "TEXCOORD", "TANGENT",     "BINORMAL",     "TESSFACTOR", "POSITIONT",
                                   "COLOR",    "FOG",         "DEPTH",        "SAMPLE"};

// Collected messages of one compile, in D3DX's text form.
class Messages {
 public:
  void add(const std::string &where, int line, int column, bool error, const std::string &text) {
    std::ostringstream out;
    out << where;
    if (line > 0) out << "(" << line << "," << (column > 0 ? column : 1) << ")";
    out << ": " << (error ? "error" : "warning") << ": " << text << "\n";
    text_ += out.str();
    if (error) errors_ = true;
  }
  void addError(const std::string &where, const std::string &text) { add(where, 0, 0, true, text); }
  bool empty() const { return text_.empty(); }
  bool hasErrors() const { return errors_; }
  const std::string &text() const { return text_; }

 private:
  std::string text_;
  bool errors_ = false;
};

class CompileError : public std::runtime_error {
 public:
  CompileError(HRESULT hr, const std::string &what) : std::runtime_error(what), hr_(hr) {}
  HRESULT hr() const { return hr_; }

 private:
  HRESULT hr_;
};


// The program writes Windows paths; on this host '\' separates directories too.
std::string hostPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

bool readFile(const std::string &path, std::string *text) {
  std::ifstream in(hostPath(path), std::ios::binary);
  if (!in) return false;
  std::ostringstream data;
  data << in.rdbuf();
  *text = data.str();
  return true;
}

std::string directoryOf(const std::string &path) {
  const std::string host = hostPath(path);
  const size_t slash = host.rfind('/');
  return slash == std::string::npos ? std::string() : host.substr(0, slash + 1);
}

// Resolves #include for glslang: through the program's ID3DXInclude when it gives one,
// else from files relative to the including file.
class Includer : public glslang::TShader::Includer {
 public:
  Includer(ID3DXInclude *handler, std::string mainName, std::map<std::string, std::string> *texts)
      : handler_(handler), mainName_(std::move(mainName)), texts_(texts) {}

  IncludeResult *includeLocal(const char *headerName, const char *includerName, size_t) override {
    return include(D3DXINC_LOCAL, headerName, includerName);
  }
  IncludeResult *includeSystem(const char *headerName, const char *includerName, size_t) override {
    return include(D3DXINC_SYSTEM, headerName, includerName);
  }
  void releaseInclude(IncludeResult *result) override {
    if (!result) return;
    Opened *opened = static_cast<Opened *>(result->userData);
    if (opened->fromHandler) handler_->Close(opened->data);
    delete opened;
    delete result;
  }

 private:
  struct Opened {
    bool fromHandler;
    LPCVOID data;
    std::string text;
  };

  IncludeResult *include(D3DXINCLUDE_TYPE type, const char *headerName, const char *includerName) {
    Opened *opened = new Opened{handler_ != nullptr, nullptr, {}};
    std::string name = headerName;
    if (handler_) {
      UINT bytes = 0;
      if (FAILED(handler_->Open(type, headerName, nullptr, &opened->data, &bytes)) || !opened->data) {
        delete opened;
        return nullptr;
      }
      opened->text.assign(static_cast<const char *>(opened->data), bytes);
    } else {
      const std::string base = directoryOf(includerName && *includerName ? includerName : mainName_);
      name = base + hostPath(headerName);
      if (!readFile(name, &opened->text)) {
        delete opened;
        return nullptr;
      }
    }
    (*texts_)[name] = opened->text;
    return new IncludeResult(name, opened->text.data(), opened->text.size(), opened);
  }

  ID3DXInclude *handler_;
  std::string mainName_;
  std::map<std::string, std::string> *texts_;
};

// Column of a quoted token ('foo') of a glslang message within the source line.
int columnOf(const std::string &message, const std::string *source, int line) {
  if (!source || line <= 0) return 1;
  const size_t open = message.find('\'');
  const size_t close = open == std::string::npos ? open : message.find('\'', open + 1);
  if (close == std::string::npos || close == open + 1) return 1;
  const std::string token = message.substr(open + 1, close - open - 1);
  std::istringstream lines(*source);
  std::string text;
  for (int i = 0; i < line && std::getline(lines, text); ++i) {
  }
  const size_t at = text.find(token);
  return at == std::string::npos ? 1 : static_cast<int>(at) + 1;
}

// glslang's log: "ERROR: name:line: text", "WARNING: name:line: text", and for parse
// failures "name(line): error at column N, ...", which gives the column of the error.
void collectLog(const char *log, const std::string &fallbackName, const std::map<std::string, std::string> &texts,
                Messages *messages) {
  struct Entry {
    std::string name;
    int line;
    bool error;
    std::string text;
  };
  std::vector<Entry> entries;
  std::map<std::pair<std::string, int>, int> parseColumns;
  std::istringstream in(log ? log : "");
  std::string row;
  while (std::getline(in, row)) {
    if (!row.empty() && row.back() == '\r') row.pop_back();
    bool error = false;
    std::string rest;
    if (row.rfind("ERROR: ", 0) == 0) {
      error = true;
      rest = row.substr(7);
    } else if (row.rfind("WARNING: ", 0) == 0) {
      rest = row.substr(9);
    } else {
      const size_t at = row.find("): error at column ");
      const size_t open = row.rfind('(', at);
      if (at != std::string::npos && open != std::string::npos) {
        const int line = std::atoi(row.c_str() + open + 1);
        const int column = std::atoi(row.c_str() + at + 19);
        parseColumns[{row.substr(0, open), line}] = column;
      }
      continue;
    }
    // "<name>:<line>: <text>"; the name may itself hold colons.
    size_t colon = rest.find(':');
    int line = 0;
    std::string name;
    while (colon != std::string::npos) {
      size_t digits = colon + 1;
      while (digits < rest.size() && std::isdigit(static_cast<unsigned char>(rest[digits]))) ++digits;
      if (digits > colon + 1 && digits < rest.size() && rest[digits] == ':') {
        name = rest.substr(0, colon);
        line = std::atoi(rest.c_str() + colon + 1);
        rest = rest.substr(digits + 1);
        break;
      }
      colon = rest.find(':', colon + 1);
    }
    while (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
    while (!rest.empty() && rest.back() == ' ') rest.pop_back();
    if (line == 0) {
      if (rest.find("compilation errors") != std::string::npos || rest.find("compilation terminated") != std::string::npos)
        continue;
      if (rest.rfind("Linking ", 0) == 0) {
        const size_t sep = rest.find(": ");
        if (sep != std::string::npos) rest = rest.substr(sep + 2);
      }
      name = fallbackName;
    }
    if (rest.empty()) continue;
    entries.push_back({name, line, error, rest});
  }
  for (const Entry &e : entries) {
    int column = 0;
    auto parse = parseColumns.find({e.name, e.line});
    if (parse != parseColumns.end()) {
      column = parse->second;
    } else {
      auto text = texts.find(e.name);
      column = columnOf(e.text, text == texts.end() ? nullptr : &text->second, e.line);
    }
    messages->add(e.name, e.line, column, e.error, e.text);
  }
}

bool parseSemantic(std::string semantic, uint32_t *usage, uint32_t *index) {
  for (char &c : semantic) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  size_t digits = semantic.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(semantic[digits - 1]))) --digits;
  *index = digits < semantic.size() ? static_cast<uint32_t>(std::atoi(semantic.c_str() + digits)) : 0;
  std::string base = semantic.substr(0, digits);
  if (base == "SV_POSITION") base = "POSITION";
  if (base == "SV_TARGET") base = "COLOR";
  for (uint32_t u = 0; u < sizeof kUsageNames / sizeof kUsageNames[0]; ++u) {
    if (base == kUsageNames[u]) {
      *usage = u;
      return *index <= 15;
    }
  }
  return false;
}

struct Translation {
  ShaderCode code;
  std::vector<ConstantInfo> constants;
};

// Registers follow the declaration order of the globals, each constant starting at a
// new register: one per scalar or vector element, one per column of a matrix.
void translateConstants(spirv_cross::CompilerGLSL &glsl, const spirv_cross::ShaderResources &resources, bool vertex,
                        Translation *out) {
  using spirv_cross::SPIRType;
  if (!resources.sampled_images.empty() || !resources.separate_images.empty() ||
      !resources.separate_samplers.empty() || !resources.storage_buffers.empty() || !resources.storage_images.empty())
    throw CompileError(E_NOTIMPL, std::string() + "samplers and textures are not supported by this layer");
  if (resources.uniform_buffers.size() > 1)
    throw CompileError(E_NOTIMPL, std::string() + "constant buffers besides the globals are not supported");
  if (resources.uniform_buffers.empty()) return;
  const spirv_cross::Resource &block = resources.uniform_buffers[0];
  const SPIRType &type = glsl.get_type(block.base_type_id);
  glsl.set_name(block.base_type_id, vertex ? kVertexConstantBlock : kPixelConstantBlock);
  glsl.set_name(block.id, vertex ? "gw_vc" : "gw_pc");
  glsl.unset_decoration(block.id, spv::DecorationBinding);
  glsl.unset_decoration(block.id, spv::DecorationDescriptorSet);
  out->code.blockBytes = static_cast<uint32_t>(glsl.get_declared_struct_size(type));

  uint32_t nextRegister = 0;
  for (uint32_t i = 0; i < type.member_types.size(); ++i) {
    const std::string name = glsl.get_member_name(type.self, i);
    const SPIRType &member = glsl.get_type(type.member_types[i]);
    if (member.basetype == SPIRType::Struct)
      throw CompileError(E_NOTIMPL, std::string() + "structure constant '" + name + "' is not supported");
    if (member.basetype != SPIRType::Float)
      throw CompileError(E_NOTIMPL, std::string() + "constant '" + name + "' is not float; only float constants are supported");
    if (member.array.size() > 1)
      throw CompileError(E_NOTIMPL, std::string() + "multi-dimensional array '" + name + "' is not supported");
    const bool matrix = member.columns > 1;
    if (matrix && member.columns != member.vecsize)
      throw CompileError(E_NOTIMPL, std::string() + "non-square matrix '" + name + "' is not supported");
    const uint32_t elements = member.array.empty() ? 1 : member.array[0];
    const uint32_t perElement = matrix ? member.columns : 1;
    const uint32_t offset = glsl.type_struct_member_offset(type, i);

    ConstantSlot slot{};
    slot.firstRegister = nextRegister;
    slot.registerCount = elements * perElement;
    slot.blockOffset = offset;
    if (matrix) {
      slot.registerStride = glsl.type_struct_member_matrix_stride(type, i);
      slot.bytesPerRegister = member.vecsize * 4;
      if (elements > 1 && glsl.type_struct_member_array_stride(type, i) != slot.registerStride * perElement)
        throw CompileError(E_NOTIMPL, std::string() + "layout of matrix array '" + name + "' is not supported");
    } else {
      slot.registerStride = elements > 1 ? glsl.type_struct_member_array_stride(type, i) : 16;
      slot.bytesPerRegister = member.vecsize * 4;
    }
    if (slot.firstRegister + slot.registerCount > (vertex ? 256u : 224u))
      throw CompileError(E_FAIL, std::string() + "constants need more registers than the profile has");
    out->code.constants.push_back(slot);

    ConstantInfo info;
    info.name = name;
    std::memset(&info.desc, 0, sizeof info.desc);
    info.desc.RegisterSet = D3DXRS_FLOAT4;
    info.desc.RegisterIndex = nextRegister;
    info.desc.RegisterCount = slot.registerCount;
    // glslang marks HLSL's default column_major matrices RowMajor in SPIR-V.
    info.desc.Class = !matrix ? (member.vecsize == 1 ? D3DXPC_SCALAR : D3DXPC_VECTOR)
                      : glsl.has_member_decoration(type.self, i, spv::DecorationColMajor) ? D3DXPC_MATRIX_ROWS
                                                                                           : D3DXPC_MATRIX_COLUMNS;
    info.desc.Type = D3DXPT_FLOAT;
    info.desc.Rows = matrix ? member.columns : 1;
    info.desc.Columns = member.vecsize;
    info.desc.Elements = elements;
    info.desc.Bytes = info.desc.Rows * info.desc.Columns * elements * 4;
    out->constants.push_back(info);
    nextRegister += slot.registerCount;
  }
}

void translateInterface(spirv_cross::CompilerGLSL &glsl, const spirv_cross::ShaderResources &resources, bool vertex,
                        Translation *out) {
  auto semanticOf = [&](const spirv_cross::Resource &r, uint32_t *usage, uint32_t *index) {
    const std::string semantic = glsl.get_decoration_string(r.id, spv::DecorationUserSemantic);
    if (!parseSemantic(semantic, usage, index))
      throw CompileError(E_FAIL, std::string() + "'" + r.name + "' has the unsupported semantic '" + semantic + "'");
  };
  for (const spirv_cross::Resource &input : resources.stage_inputs) {
    if (glsl.has_decoration(input.id, spv::DecorationBuiltIn)) continue;
    uint32_t usage = 0, index = 0;
    semanticOf(input, &usage, &index);
    if (vertex) {
      glsl.set_name(input.id, vertexInputName(usage, index));
      out->code.inputs.push_back({usage, index});
    } else {
      glsl.set_name(input.id, varyingName(usage, index));
    }
    glsl.unset_decoration(input.id, spv::DecorationLocation);
  }
  for (const spirv_cross::Resource &output : resources.stage_outputs) {
    if (glsl.has_decoration(output.id, spv::DecorationBuiltIn)) continue;
    uint32_t usage = 0, index = 0;
    semanticOf(output, &usage, &index);
    if (vertex) {
      glsl.set_name(output.id, varyingName(usage, index));
      glsl.unset_decoration(output.id, spv::DecorationLocation);
    } else {
      if (usage != D3DDECLUSAGE_COLOR)
        throw CompileError(E_FAIL, std::string() + "pixel shader output '" + output.name + "' is not a colour");
      glsl.set_name(output.id, colorOutputName(index));
      glsl.set_decoration(output.id, spv::DecorationLocation, index);
    }
  }
}

Translation translate(std::vector<uint32_t> spirv, bool vertex, DWORD version) {
  Translation out;
  spirv_cross::CompilerGLSL glsl(std::move(spirv));
  spirv_cross::CompilerGLSL::Options options;
  options.version = 330;
  options.es = false;
  options.enable_420pack_extension = false;
  glsl.set_common_options(options);
  const spirv_cross::ShaderResources resources = glsl.get_shader_resources();
  translateConstants(glsl, resources, vertex, &out);
  translateInterface(glsl, resources, vertex, &out);
  out.code.version = version;
  out.code.glsl = glsl.compile();
  return out;
}

std::once_flag glslangReady;

struct Outputs {
  LPD3DXBUFFER *code;
  LPD3DXBUFFER *messages;
  LPD3DXCONSTANTTABLE *table;
};

HRESULT finish(HRESULT hr, const Messages &messages, const Outputs &outputs) {
  if (outputs.messages && !messages.empty()) {
    *outputs.messages = newBuffer(messages.text().c_str(), messages.text().size() + 1);
    if (!*outputs.messages) return E_OUTOFMEMORY;
  }
  return hr;
}

HRESULT compile(const std::string &source, const std::string &where, const D3DXMACRO *defines,
                ID3DXInclude *include, LPCSTR entry, LPCSTR profileName, DWORD flags, const Outputs &outputs) {
  Messages messages;
  const Profile *profile = nullptr;
  for (const Profile &p : kProfiles)
    if (std::strcmp(p.name, profileName) == 0) profile = &p;
  if (!profile) {
    messages.addError(where, std::string("invalid target profile '") + profileName + "' for Direct3D 9");
    return finish(E_FAIL, messages, outputs);
  }
  if (flags & D3DXSHADER_PACKMATRIX_ROWMAJOR) {
    reportOnce(Module::D3DX9, "D3DXCompileShader: D3DXSHADER_PACKMATRIX_ROWMAJOR is not supported");
    messages.addError(where, "D3DXSHADER_PACKMATRIX_ROWMAJOR is not supported by this layer");
    return finish(E_NOTIMPL, messages, outputs);
  }
  const bool vertex = profile->name[0] == 'v';
  const EShLanguage stage = vertex ? EShLangVertex : EShLangFragment;

  std::call_once(glslangReady, [] { glslang::InitializeProcess(); });
  // Direct3D 9's POSITION is the clip-space position glslang knows as SV_Position.
  std::string preamble = "#define POSITION SV_Position\n";
  for (const D3DXMACRO *d = defines; d && d->Name; ++d)
    preamble += std::string("#define ") + d->Name + " " + (d->Definition ? d->Definition : "") + "\n";

  std::map<std::string, std::string> texts{{where, source}};
  glslang::TShader shader(stage);
  const char *strings[] = {source.c_str()};
  const int lengths[] = {static_cast<int>(source.size())};
  const char *names[] = {where.c_str()};
  shader.setStringsWithLengthsAndNames(strings, lengths, names, 1);
  shader.setPreamble(preamble.c_str());
  shader.setEntryPoint(entry);
  shader.setSourceEntryPoint(entry);
  shader.setEnvInput(glslang::EShSourceHlsl, stage, glslang::EShClientVulkan, 100);
  shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
  shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
  shader.setEnvTargetHlslFunctionality1();
  shader.setAutoMapBindings(true);
  shader.setAutoMapLocations(true);
  const EShMessages rules = static_cast<EShMessages>(EShMsgSpvRules | EShMsgVulkanRules | EShMsgReadHlsl);
  Includer includer(include, where, &texts);
  const bool parsed = shader.parse(GetDefaultResources(), 100, false, rules, includer);
  collectLog(shader.getInfoLog(), where, texts, &messages);
  if (!parsed || messages.hasErrors()) {
    if (!messages.hasErrors()) messages.addError(where, "compilation failed");
    return finish(E_FAIL, messages, outputs);
  }
  glslang::TProgram program;
  program.addShader(&shader);
  const bool linked = program.link(rules);
  // glslang only warns when the entry point is missing; D3DX refuses the compile.
  std::string linkLog = program.getInfoLog();
  if (linkLog.find("Entry point not found") != std::string::npos) {
    messages.addError(where, std::string("entry point '") + entry + "' not found");
    return finish(E_FAIL, messages, outputs);
  }
  collectLog(linkLog.c_str(), where, texts, &messages);
  if (!linked || messages.hasErrors() || !program.getIntermediate(stage)) {
    if (!messages.hasErrors()) messages.addError(where, std::string("entry point '") + entry + "' not found");
    return finish(E_FAIL, messages, outputs);
  }
  std::vector<uint32_t> spirv;
  spv::SpvBuildLogger logger;
  glslang::SpvOptions spvOptions;
  spvOptions.generateDebugInfo = false;
  glslang::GlslangToSpv(*program.getIntermediate(stage), spirv, &logger, &spvOptions);
  if (spirv.empty()) {
    messages.addError(where, "SPIR-V generation failed: " + logger.getAllMessages());
    return finish(E_FAIL, messages, outputs);
  }

  Translation translation;
  try {
    translation = translate(std::move(spirv), vertex, profile->version);
  } catch (const CompileError &e) {
    messages.addError(where, e.what());
    return finish(e.hr(), messages, outputs);
  } catch (const spirv_cross::CompilerError &e) {
    messages.addError(where, std::string("translation to GLSL failed: ") + e.what());
    return finish(E_FAIL, messages, outputs);
  }

  const std::vector<uint32_t> words = encodeShaderCode(translation.code);
  if (outputs.code) {
    *outputs.code = newBuffer(words.data(), words.size() * 4);
    if (!*outputs.code) return E_OUTOFMEMORY;
  }
  if (outputs.table) {
    *outputs.table = newConstantTable(profile->version, std::move(translation.constants));
    if (!*outputs.table) return E_OUTOFMEMORY;
  }
  return finish(D3D_OK, messages, outputs);
}

HRESULT compileChecked(const std::string &source, const std::string &where, const D3DXMACRO *defines,
                       ID3DXInclude *include, LPCSTR entry, LPCSTR profile, DWORD flags, const Outputs &outputs) {
  try {
    return compile(source, where, defines, include, entry, profile, flags, outputs);
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  }
}

void clearOutputs(const Outputs &outputs) {
  if (outputs.code) *outputs.code = nullptr;
  if (outputs.messages) *outputs.messages = nullptr;
  if (outputs.table) *outputs.table = nullptr;
}

}  // namespace
}  // namespace glintwork

HRESULT WINAPI D3DXCompileShaderFromFileW(LPCWSTR pSrcFile, const D3DXMACRO *pDefines, LPD3DXINCLUDE pInclude,
                                          LPCSTR pFunctionName, LPCSTR pProfile, DWORD Flags,
                                          LPD3DXBUFFER *ppShader, LPD3DXBUFFER *ppErrorMsgs,
                                          LPD3DXCONSTANTTABLE *ppConstantTable) {
  using namespace glintwork;
  const Outputs outputs{ppShader, ppErrorMsgs, ppConstantTable};
  clearOutputs(outputs);
  const std::string path = pSrcFile ? narrow(pSrcFile) : std::string();
  GW_TRACE(Module::D3DX9, "D3DXCompileShaderFromFileW(\"%s\", %s, %s, 0x%x)", path.c_str(),
           pFunctionName ? pFunctionName : "(null)", pProfile ? pProfile : "(null)", Flags);
  if (!pSrcFile || !pFunctionName || !pProfile) return D3DERR_INVALIDCALL;
  std::string source;
  if (!readFile(path, &source)) {
    Messages messages;
    messages.addError(path, "cannot open the file");
    return finish(kFileNotFound, messages, outputs);
  }
  return compileChecked(source, path, pDefines, pInclude, pFunctionName, pProfile, Flags, outputs);
}

HRESULT WINAPI D3DXCompileShader(LPCSTR pSrcData, UINT SrcDataLen, const D3DXMACRO *pDefines,
                                 LPD3DXINCLUDE pInclude, LPCSTR pFunctionName, LPCSTR pProfile, DWORD Flags,
                                 LPD3DXBUFFER *ppShader, LPD3DXBUFFER *ppErrorMsgs,
                                 LPD3DXCONSTANTTABLE *ppConstantTable) {
  using namespace glintwork;
  const Outputs outputs{ppShader, ppErrorMsgs, ppConstantTable};
  clearOutputs(outputs);
  GW_TRACE(Module::D3DX9, "D3DXCompileShader(%u bytes, %s, %s, 0x%x)", SrcDataLen,
           pFunctionName ? pFunctionName : "(null)", pProfile ? pProfile : "(null)", Flags);
  if (!pSrcData || !pFunctionName || !pProfile) return D3DERR_INVALIDCALL;
  return compileChecked(std::string(pSrcData, SrcDataLen), "memory", pDefines, pInclude, pFunctionName, pProfile,
                        Flags, outputs);
}
