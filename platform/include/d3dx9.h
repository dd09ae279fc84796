/* The D3DX 9 subset Glintwork calls, for non-Windows hosts: vector and matrix math in
 * D3DX's row-vector, right-handed conventions, the HLSL compiler with its constant
 * table, buffers, and the sphere mesh. Only what the program and the layer's tests use. */
#ifndef GLINTWORK_D3DX9_H
#define GLINTWORK_D3DX9_H

#include "d3d9.h"

/* ---- Math ---- */

#define D3DX_PI ((FLOAT)3.141592654f)
#define D3DXToRadian(degree) ((degree) * (D3DX_PI / 180.0f))
#define D3DXToDegree(radian) ((radian) * (180.0f / D3DX_PI))

struct D3DXVECTOR3 : public D3DVECTOR {
  D3DXVECTOR3() = default;
  D3DXVECTOR3(FLOAT fx, FLOAT fy, FLOAT fz) { x = fx; y = fy; z = fz; }
  D3DXVECTOR3(const D3DVECTOR &v) { x = v.x; y = v.y; z = v.z; }
  operator FLOAT *() { return &x; }
  operator const FLOAT *() const { return &x; }
  D3DXVECTOR3 operator+(const D3DXVECTOR3 &v) const { return D3DXVECTOR3(x + v.x, y + v.y, z + v.z); }
  D3DXVECTOR3 operator-(const D3DXVECTOR3 &v) const { return D3DXVECTOR3(x - v.x, y - v.y, z - v.z); }
  D3DXVECTOR3 operator*(FLOAT f) const { return D3DXVECTOR3(x * f, y * f, z * f); }
  bool operator==(const D3DXVECTOR3 &v) const { return x == v.x && y == v.y && z == v.z; }
  bool operator!=(const D3DXVECTOR3 &v) const { return !(*this == v); }
};
typedef D3DXVECTOR3 *LPD3DXVECTOR3;

struct D3DXVECTOR4 {
  D3DXVECTOR4() = default;
  D3DXVECTOR4(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) : x(fx), y(fy), z(fz), w(fw) {}
  D3DXVECTOR4(const D3DVECTOR &v, FLOAT fw) : x(v.x), y(v.y), z(v.z), w(fw) {}
  operator FLOAT *() { return &x; }
  operator const FLOAT *() const { return &x; }
  bool operator==(const D3DXVECTOR4 &v) const { return x == v.x && y == v.y && z == v.z && w == v.w; }
  bool operator!=(const D3DXVECTOR4 &v) const { return !(*this == v); }
  FLOAT x, y, z, w;
};
typedef D3DXVECTOR4 *LPD3DXVECTOR4;

struct D3DXMATRIX : public D3DMATRIX {
  D3DXMATRIX() = default;
  D3DXMATRIX(const D3DMATRIX &mat) : D3DMATRIX(mat) {}
  D3DXMATRIX(FLOAT f11, FLOAT f12, FLOAT f13, FLOAT f14, FLOAT f21, FLOAT f22, FLOAT f23, FLOAT f24,
             FLOAT f31, FLOAT f32, FLOAT f33, FLOAT f34, FLOAT f41, FLOAT f42, FLOAT f43, FLOAT f44) {
    _11 = f11; _12 = f12; _13 = f13; _14 = f14;
    _21 = f21; _22 = f22; _23 = f23; _24 = f24;
    _31 = f31; _32 = f32; _33 = f33; _34 = f34;
    _41 = f41; _42 = f42; _43 = f43; _44 = f44;
  }
  FLOAT &operator()(UINT row, UINT col) { return m[row][col]; }
  FLOAT operator()(UINT row, UINT col) const { return m[row][col]; }
  operator FLOAT *() { return &_11; }
  operator const FLOAT *() const { return &_11; }
  D3DXMATRIX operator*(const D3DXMATRIX &mat) const;
  D3DXMATRIX &operator*=(const D3DXMATRIX &mat);
  bool operator==(const D3DXMATRIX &mat) const;
  bool operator!=(const D3DXMATRIX &mat) const { return !(*this == mat); }
};
typedef D3DXMATRIX *LPD3DXMATRIX;

D3DXMATRIX *WINAPI D3DXMatrixIdentity(D3DXMATRIX *pOut);
BOOL WINAPI D3DXMatrixIsIdentity(const D3DXMATRIX *pM);
D3DXMATRIX *WINAPI D3DXMatrixMultiply(D3DXMATRIX *pOut, const D3DXMATRIX *pM1, const D3DXMATRIX *pM2);
D3DXMATRIX *WINAPI D3DXMatrixTranspose(D3DXMATRIX *pOut, const D3DXMATRIX *pM);
D3DXMATRIX *WINAPI D3DXMatrixPerspectiveFovRH(D3DXMATRIX *pOut, FLOAT fovy, FLOAT Aspect, FLOAT zn, FLOAT zf);
D3DXMATRIX *WINAPI D3DXMatrixLookAtRH(D3DXMATRIX *pOut, const D3DXVECTOR3 *pEye, const D3DXVECTOR3 *pAt,
                                      const D3DXVECTOR3 *pUp);
D3DXMATRIX *WINAPI D3DXMatrixRotationX(D3DXMATRIX *pOut, FLOAT Angle);
D3DXMATRIX *WINAPI D3DXMatrixRotationY(D3DXMATRIX *pOut, FLOAT Angle);
D3DXMATRIX *WINAPI D3DXMatrixRotationZ(D3DXMATRIX *pOut, FLOAT Angle);
D3DXMATRIX *WINAPI D3DXMatrixTranslation(D3DXMATRIX *pOut, FLOAT x, FLOAT y, FLOAT z);
D3DXMATRIX *WINAPI D3DXMatrixScaling(D3DXMATRIX *pOut, FLOAT sx, FLOAT sy, FLOAT sz);

D3DXVECTOR3 *WINAPI D3DXVec3TransformCoord(D3DXVECTOR3 *pOut, const D3DXVECTOR3 *pV, const D3DXMATRIX *pM);
D3DXVECTOR4 *WINAPI D3DXVec4Transform(D3DXVECTOR4 *pOut, const D3DXVECTOR4 *pV, const D3DXMATRIX *pM);
D3DXVECTOR3 *WINAPI D3DXVec3Normalize(D3DXVECTOR3 *pOut, const D3DXVECTOR3 *pV);
D3DXVECTOR3 *WINAPI D3DXVec3Cross(D3DXVECTOR3 *pOut, const D3DXVECTOR3 *pV1, const D3DXVECTOR3 *pV2);
D3DXVECTOR3 *WINAPI D3DXVec3Subtract(D3DXVECTOR3 *pOut, const D3DXVECTOR3 *pV1, const D3DXVECTOR3 *pV2);
FLOAT WINAPI D3DXVec3Dot(const D3DXVECTOR3 *pV1, const D3DXVECTOR3 *pV2);
FLOAT WINAPI D3DXVec3Length(const D3DXVECTOR3 *pV);

/* ---- Buffers ---- */

DECLARE_INTERFACE_(ID3DXBuffer, IUnknown) {
  STDMETHOD_(LPVOID, GetBufferPointer)(THIS) PURE;
  STDMETHOD_(DWORD, GetBufferSize)(THIS) PURE;
};
typedef ID3DXBuffer *LPD3DXBUFFER;

HRESULT WINAPI D3DXCreateBuffer(DWORD NumBytes, LPD3DXBUFFER *ppBuffer);

/* ---- Results ---- */

#define _FACDD 0x876
#define MAKE_DDHRESULT(code) MAKE_HRESULT(1, _FACDD, code)
#define D3DXERR_CANNOTMODIFYINDEXBUFFER MAKE_DDHRESULT(2900)
#define D3DXERR_INVALIDMESH MAKE_DDHRESULT(2901)
#define D3DXERR_CANNOTATTRSORT MAKE_DDHRESULT(2902)
#define D3DXERR_SKINNINGNOTSUPPORTED MAKE_DDHRESULT(2903)
#define D3DXERR_TOOMANYINFLUENCES MAKE_DDHRESULT(2904)
#define D3DXERR_INVALIDDATA MAKE_DDHRESULT(2905)

/* ---- Shader compiler and constant tables ---- */

#define D3DXSHADER_DEBUG (1 << 0)
#define D3DXSHADER_SKIPVALIDATION (1 << 1)
#define D3DXSHADER_SKIPOPTIMIZATION (1 << 2)
#define D3DXSHADER_PACKMATRIX_ROWMAJOR (1 << 3)
#define D3DXSHADER_PACKMATRIX_COLUMNMAJOR (1 << 4)
#define D3DXSHADER_PARTIALPRECISION (1 << 5)
#define D3DXSHADER_FORCE_VS_SOFTWARE_NOOPT (1 << 6)
#define D3DXSHADER_FORCE_PS_SOFTWARE_NOOPT (1 << 7)
#define D3DXSHADER_NO_PRESHADER (1 << 8)
#define D3DXSHADER_AVOID_FLOW_CONTROL (1 << 9)
#define D3DXSHADER_PREFER_FLOW_CONTROL (1 << 10)
#define D3DXSHADER_ENABLE_BACKWARDS_COMPATIBILITY (1 << 12)
#define D3DXSHADER_IEEE_STRICTNESS (1 << 13)
#define D3DXSHADER_OPTIMIZATION_LEVEL0 (1 << 14)
#define D3DXSHADER_OPTIMIZATION_LEVEL1 0
#define D3DXSHADER_OPTIMIZATION_LEVEL2 ((1 << 14) | (1 << 15))
#define D3DXSHADER_OPTIMIZATION_LEVEL3 (1 << 15)
#define D3DXSHADER_USE_LEGACY_D3DX9_31_DLL (1 << 16)

typedef LPCSTR D3DXHANDLE;
typedef D3DXHANDLE *LPD3DXHANDLE;

typedef struct _D3DXMACRO {
  LPCSTR Name;
  LPCSTR Definition;
} D3DXMACRO, *LPD3DXMACRO;

typedef enum _D3DXINCLUDE_TYPE {
  D3DXINC_LOCAL = 0,
  D3DXINC_SYSTEM = 1,
  D3DXINC_FORCE_DWORD = 0x7fffffff
} D3DXINCLUDE_TYPE;

DECLARE_INTERFACE(ID3DXInclude) {
  STDMETHOD(Open)(THIS_ D3DXINCLUDE_TYPE IncludeType, LPCSTR pFileName, LPCVOID pParentData, LPCVOID *ppData,
                  UINT *pBytes) PURE;
  STDMETHOD(Close)(THIS_ LPCVOID pData) PURE;
};
typedef ID3DXInclude *LPD3DXINCLUDE;

typedef enum _D3DXREGISTER_SET {
  D3DXRS_BOOL = 0,
  D3DXRS_INT4 = 1,
  D3DXRS_FLOAT4 = 2,
  D3DXRS_SAMPLER = 3,
  D3DXRS_FORCE_DWORD = 0x7fffffff
} D3DXREGISTER_SET;

typedef enum _D3DXPARAMETER_CLASS {
  D3DXPC_SCALAR = 0,
  D3DXPC_VECTOR = 1,
  D3DXPC_MATRIX_ROWS = 2,
  D3DXPC_MATRIX_COLUMNS = 3,
  D3DXPC_OBJECT = 4,
  D3DXPC_STRUCT = 5,
  D3DXPC_FORCE_DWORD = 0x7fffffff
} D3DXPARAMETER_CLASS;

typedef enum _D3DXPARAMETER_TYPE {
  D3DXPT_VOID = 0,
  D3DXPT_BOOL = 1,
  D3DXPT_INT = 2,
  D3DXPT_FLOAT = 3,
  D3DXPT_STRING = 4,
  D3DXPT_TEXTURE = 5,
  D3DXPT_FORCE_DWORD = 0x7fffffff
} D3DXPARAMETER_TYPE;

typedef struct _D3DXCONSTANTTABLE_DESC {
  LPCSTR Creator;
  DWORD Version;
  UINT Constants;
} D3DXCONSTANTTABLE_DESC, *LPD3DXCONSTANTTABLE_DESC;

typedef struct _D3DXCONSTANT_DESC {
  LPCSTR Name;
  D3DXREGISTER_SET RegisterSet;
  UINT RegisterIndex;
  UINT RegisterCount;
  D3DXPARAMETER_CLASS Class;
  D3DXPARAMETER_TYPE Type;
  UINT Rows;
  UINT Columns;
  UINT Elements;
  UINT StructMembers;
  UINT Bytes;
  LPCVOID DefaultValue;
} D3DXCONSTANT_DESC, *LPD3DXCONSTANT_DESC;

DECLARE_INTERFACE_(ID3DXConstantTable, ID3DXBuffer) {
  STDMETHOD(GetDesc)(THIS_ D3DXCONSTANTTABLE_DESC *pDesc) PURE;
  STDMETHOD(GetConstantDesc)(THIS_ D3DXHANDLE hConstant, D3DXCONSTANT_DESC *pConstantDesc, UINT *pCount) PURE;
  STDMETHOD_(D3DXHANDLE, GetConstant)(THIS_ D3DXHANDLE hConstant, UINT Index) PURE;
  STDMETHOD_(D3DXHANDLE, GetConstantByName)(THIS_ D3DXHANDLE hConstant, LPCSTR pName) PURE;
  STDMETHOD(SetFloat)(THIS_ LPDIRECT3DDEVICE9 pDevice, D3DXHANDLE hConstant, FLOAT f) PURE;
  STDMETHOD(SetFloatArray)(THIS_ LPDIRECT3DDEVICE9 pDevice, D3DXHANDLE hConstant, const FLOAT *pf,
                           UINT Count) PURE;
  STDMETHOD(SetVector)(THIS_ LPDIRECT3DDEVICE9 pDevice, D3DXHANDLE hConstant, const D3DXVECTOR4 *pVector) PURE;
  STDMETHOD(SetMatrix)(THIS_ LPDIRECT3DDEVICE9 pDevice, D3DXHANDLE hConstant, const D3DXMATRIX *pMatrix) PURE;
  STDMETHOD(SetMatrixTranspose)(THIS_ LPDIRECT3DDEVICE9 pDevice, D3DXHANDLE hConstant,
                                const D3DXMATRIX *pMatrix) PURE;
};
typedef ID3DXConstantTable *LPD3DXCONSTANTTABLE;

HRESULT WINAPI D3DXCompileShaderFromFileW(LPCWSTR pSrcFile, const D3DXMACRO *pDefines, LPD3DXINCLUDE pInclude,
                                          LPCSTR pFunctionName, LPCSTR pProfile, DWORD Flags,
                                          LPD3DXBUFFER *ppShader, LPD3DXBUFFER *ppErrorMsgs,
                                          LPD3DXCONSTANTTABLE *ppConstantTable);
HRESULT WINAPI D3DXCompileShader(LPCSTR pSrcData, UINT SrcDataLen, const D3DXMACRO *pDefines,
                                 LPD3DXINCLUDE pInclude, LPCSTR pFunctionName, LPCSTR pProfile, DWORD Flags,
                                 LPD3DXBUFFER *ppShader, LPD3DXBUFFER *ppErrorMsgs,
                                 LPD3DXCONSTANTTABLE *ppConstantTable);
#ifdef UNICODE
#define D3DXCompileShaderFromFile D3DXCompileShaderFromFileW
#endif

/* ---- Meshes ---- */

#define D3DXMESH_32BIT 0x001
#define D3DXMESH_MANAGED 0x220

DECLARE_INTERFACE_(ID3DXBaseMesh, IUnknown) {
  STDMETHOD(DrawSubset)(THIS_ DWORD AttribId) PURE;
  STDMETHOD_(DWORD, GetNumFaces)(THIS) PURE;
  STDMETHOD_(DWORD, GetNumVertices)(THIS) PURE;
  STDMETHOD_(DWORD, GetFVF)(THIS) PURE;
  STDMETHOD_(DWORD, GetNumBytesPerVertex)(THIS) PURE;
  STDMETHOD_(DWORD, GetOptions)(THIS) PURE;
  STDMETHOD(GetDevice)(THIS_ LPDIRECT3DDEVICE9 *ppDevice) PURE;
  STDMETHOD(GetVertexBuffer)(THIS_ LPDIRECT3DVERTEXBUFFER9 *ppVB) PURE;
  STDMETHOD(GetIndexBuffer)(THIS_ LPDIRECT3DINDEXBUFFER9 *ppIB) PURE;
  STDMETHOD(LockVertexBuffer)(THIS_ DWORD Flags, LPVOID *ppData) PURE;
  STDMETHOD(UnlockVertexBuffer)(THIS) PURE;
  STDMETHOD(LockIndexBuffer)(THIS_ DWORD Flags, LPVOID *ppData) PURE;
  STDMETHOD(UnlockIndexBuffer)(THIS) PURE;
};
typedef ID3DXBaseMesh *LPD3DXBASEMESH;

DECLARE_INTERFACE_(ID3DXMesh, ID3DXBaseMesh) {
  STDMETHOD(LockAttributeBuffer)(THIS_ DWORD Flags, DWORD **ppData) PURE;
  STDMETHOD(UnlockAttributeBuffer)(THIS) PURE;
};
typedef ID3DXMesh *LPD3DXMESH;

HRESULT WINAPI D3DXCreateSphere(LPDIRECT3DDEVICE9 pDevice, FLOAT Radius, UINT Slices, UINT Stacks,
                                LPD3DXMESH *ppMesh, LPD3DXBUFFER *ppAdjacency);

#endif
