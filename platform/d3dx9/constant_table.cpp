// ID3DXConstantTable over float4 registers. Handles are pointers to the table's own
// records; as in D3DX, a handle argument may also be the constant's name. Only float
// constants exist (the compiler refuses others), in the FLOAT4 register set.
#include "../d3d9/com_object.h"
#include "constant_table.h"

#include <cstring>
#include <new>

namespace glintwork {
namespace {

class ConstantTable final : public Object<ID3DXConstantTable> {
 public:
  ConstantTable(DWORD version, std::vector<ConstantInfo> constants)
      : version_(version), constants_(std::move(constants)) {
    for (ConstantInfo &c : constants_) c.desc.Name = c.name.c_str();
    blob_.resize(constants_.size() * sizeof(D3DXCONSTANT_DESC));
    for (size_t i = 0; i < constants_.size(); ++i)
      std::memcpy(&blob_[i * sizeof(D3DXCONSTANT_DESC)], &constants_[i].desc, sizeof(D3DXCONSTANT_DESC));
  }

  // The table's bytes are its constant descriptions, one after the other.
  LPVOID STDMETHODCALLTYPE GetBufferPointer() override { return blob_.empty() ? nullptr : blob_.data(); }
  DWORD STDMETHODCALLTYPE GetBufferSize() override { return static_cast<DWORD>(blob_.size()); }

  HRESULT STDMETHODCALLTYPE GetDesc(D3DXCONSTANTTABLE_DESC *pDesc) override {
    if (!pDesc) return D3DERR_INVALIDCALL;
    pDesc->Creator = "Glintwork HLSL compiler (glslang, SPIRV-Cross)";
    pDesc->Version = version_;
    pDesc->Constants = static_cast<UINT>(constants_.size());
    return D3D_OK;
  }

  HRESULT STDMETHODCALLTYPE GetConstantDesc(D3DXHANDLE hConstant, D3DXCONSTANT_DESC *pConstantDesc,
                                            UINT *pCount) override {
    const ConstantInfo *c = find(hConstant);
    if (!c) return D3DERR_INVALIDCALL;
    if (pConstantDesc) *pConstantDesc = c->desc;
    if (pCount) *pCount = 1;
    return D3D_OK;
  }

  D3DXHANDLE STDMETHODCALLTYPE GetConstant(D3DXHANDLE hConstant, UINT Index) override {
    if (hConstant) return nullptr;  // no structures: constants have no members
    return Index < constants_.size() ? handle(constants_[Index]) : nullptr;
  }

  D3DXHANDLE STDMETHODCALLTYPE GetConstantByName(D3DXHANDLE hConstant, LPCSTR pName) override {
    GW_TRACE(Module::D3DX9, "ID3DXConstantTable::GetConstantByName(%p, \"%s\")", static_cast<const void *>(hConstant),
             pName ? pName : "(null)");
    if (hConstant || !pName) return nullptr;
    for (const ConstantInfo &c : constants_)
      if (c.name == pName) return handle(c);
    return nullptr;
  }

  HRESULT STDMETHODCALLTYPE SetFloat(LPDIRECT3DDEVICE9 pDevice, D3DXHANDLE hConstant, FLOAT f) override {
    return SetFloatArray(pDevice, hConstant, &f, 1);
  }

  // Scalars and vectors: one value per component, each element in its own register;
  // the components of a register beyond the constant's columns are kept.
  HRESULT STDMETHODCALLTYPE SetFloatArray(LPDIRECT3DDEVICE9 pDevice, D3DXHANDLE hConstant, const FLOAT *pf,
                                          UINT Count) override {
    const ConstantInfo *c = find(hConstant);
    if (!pDevice || !c || (Count && !pf)) return D3DERR_INVALIDCALL;
    const D3DXCONSTANT_DESC &d = c->desc;
    if (d.Class == D3DXPC_MATRIX_ROWS || d.Class == D3DXPC_MATRIX_COLUMNS) return setMatrixFloats(pDevice, c, pf, Count);
    UINT used = 0;
    for (UINT r = 0; r < d.RegisterCount && used < Count; ++r) {
      float reg[4];
      HRESULT hr = getRegister(pDevice, d.RegisterIndex + r, reg);
      if (FAILED(hr)) return hr;
      for (UINT k = 0; k < d.Columns && used < Count; ++k) reg[k] = pf[used++];
      hr = setRegisters(pDevice, d.RegisterIndex + r, reg, 1);
      if (FAILED(hr)) return hr;
    }
    return D3D_OK;
  }

  HRESULT STDMETHODCALLTYPE SetVector(LPDIRECT3DDEVICE9 pDevice, D3DXHANDLE hConstant,
                                      const D3DXVECTOR4 *pVector) override {
    GW_TRACE(Module::D3DX9, "ID3DXConstantTable::SetVector(%p, %p)", static_cast<void *>(pDevice),
             static_cast<const void *>(hConstant));
    const ConstantInfo *c = find(hConstant);
    if (!pDevice || !c || !pVector) return D3DERR_INVALIDCALL;
    const D3DXCONSTANT_DESC &d = c->desc;
    if (d.Class != D3DXPC_SCALAR && d.Class != D3DXPC_VECTOR) return D3DERR_INVALIDCALL;
    float reg[4];
    HRESULT hr = getRegister(pDevice, d.RegisterIndex, reg);
    if (FAILED(hr)) return hr;
    std::memcpy(reg, &pVector->x, sizeof(float) * (d.Columns < 4 ? d.Columns : 4));
    return setRegisters(pDevice, d.RegisterIndex, reg, 1);
  }

  HRESULT STDMETHODCALLTYPE SetMatrix(LPDIRECT3DDEVICE9 pDevice, D3DXHANDLE hConstant,
                                      const D3DXMATRIX *pMatrix) override {
    GW_TRACE(Module::D3DX9, "ID3DXConstantTable::SetMatrix(%p, %p)", static_cast<void *>(pDevice),
             static_cast<const void *>(hConstant));
    return writeMatrix(pDevice, hConstant, pMatrix, false);
  }

  HRESULT STDMETHODCALLTYPE SetMatrixTranspose(LPDIRECT3DDEVICE9 pDevice, D3DXHANDLE hConstant,
                                               const D3DXMATRIX *pMatrix) override {
    return writeMatrix(pDevice, hConstant, pMatrix, true);
  }

 private:
  static D3DXHANDLE handle(const ConstantInfo &c) { return reinterpret_cast<D3DXHANDLE>(&c); }

  // A handle of this table, or else a constant's name.
  const ConstantInfo *find(D3DXHANDLE h) const {
    if (!h) return nullptr;
    const void *p = h;
    for (const ConstantInfo &c : constants_)
      if (p == static_cast<const void *>(&c)) return &c;
    for (const ConstantInfo &c : constants_)
      if (c.name == h) return &c;
    return nullptr;
  }

  bool vertex() const { return (version_ & 0xFFFF0000u) == 0xFFFE0000u; }

  HRESULT getRegister(IDirect3DDevice9 *device, UINT reg, float out[4]) const {
    return vertex() ? device->GetVertexShaderConstantF(reg, out, 1) : device->GetPixelShaderConstantF(reg, out, 1);
  }
  HRESULT setRegisters(IDirect3DDevice9 *device, UINT reg, const float *data, UINT count) const {
    return vertex() ? device->SetVertexShaderConstantF(reg, data, count)
                    : device->SetPixelShaderConstantF(reg, data, count);
  }

  // D3DX's layout: a column-major matrix keeps one column per register, so register k
  // holds column k of the D3DX matrix (its transpose); a row-major one keeps rows.
  HRESULT writeMatrix(IDirect3DDevice9 *device, D3DXHANDLE h, const D3DXMATRIX *m, bool transposed) {
    return writeMatrixTo(device, find(h), m, transposed);
  }
  HRESULT writeMatrixTo(IDirect3DDevice9 *device, const ConstantInfo *c, const D3DXMATRIX *m, bool transposed) {
    if (!device || !c || !m) return D3DERR_INVALIDCALL;
    const D3DXCONSTANT_DESC &d = c->desc;
    if (d.Class != D3DXPC_MATRIX_ROWS && d.Class != D3DXPC_MATRIX_COLUMNS) return D3DERR_INVALIDCALL;
    const bool byColumn = (d.Class == D3DXPC_MATRIX_COLUMNS) != transposed;
    const UINT perElement = d.Class == D3DXPC_MATRIX_COLUMNS ? d.Columns : d.Rows;
    const UINT registers = perElement < d.RegisterCount ? perElement : d.RegisterCount;
    float data[16] = {};
    for (UINT k = 0; k < registers; ++k)
      for (UINT i = 0; i < 4; ++i) data[k * 4 + i] = byColumn ? m->m[i][k] : m->m[k][i];
    return setRegisters(device, d.RegisterIndex, data, registers);
  }

  // SetFloatArray on a matrix: the floats are rows of the matrix, as D3DX takes them.
  HRESULT setMatrixFloats(IDirect3DDevice9 *device, const ConstantInfo *c, const FLOAT *pf, UINT count) {
    const D3DXCONSTANT_DESC &d = c->desc;
    if (count < d.Rows * d.Columns) return D3DERR_INVALIDCALL;
    D3DXMATRIX m;
    std::memset(&m, 0, sizeof m);
    for (UINT r = 0; r < d.Rows; ++r)
      for (UINT col = 0; col < d.Columns; ++col) m.m[r][col] = pf[r * d.Columns + col];
    return writeMatrixTo(device, c, &m, false);
  }

  DWORD version_;
  std::vector<ConstantInfo> constants_;
  std::vector<unsigned char> blob_;
};

}  // namespace

ID3DXConstantTable *newConstantTable(DWORD version, std::vector<ConstantInfo> constants) {
  return new (std::nothrow) ConstantTable(version, std::move(constants));
}

}  // namespace glintwork
