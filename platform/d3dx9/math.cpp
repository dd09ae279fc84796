// D3DX vector and matrix functions: row vectors (v' = v × M), m[row][col], right-handed
// view and projection, in single precision with D3DX's documented formulas. Every
// function allows the output to alias an input and returns its output pointer.
#include <d3dx9.h>

#include <cmath>

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX &mat) const {
  D3DXMATRIX out;
  D3DXMatrixMultiply(&out, this, &mat);
  return out;
}

D3DXMATRIX &D3DXMATRIX::operator*=(const D3DXMATRIX &mat) {
  D3DXMatrixMultiply(this, this, &mat);
  return *this;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX &mat) const {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      if (m[r][c] != mat.m[r][c]) return false;
  return true;
}

D3DXMATRIX *WINAPI D3DXMatrixIdentity(D3DXMATRIX *pOut) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) pOut->m[r][c] = r == c ? 1.0f : 0.0f;
  return pOut;
}

BOOL WINAPI D3DXMatrixIsIdentity(const D3DXMATRIX *pM) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      if (pM->m[r][c] != (r == c ? 1.0f : 0.0f)) return FALSE;
  return TRUE;
}

D3DXMATRIX *WINAPI D3DXMatrixMultiply(D3DXMATRIX *pOut, const D3DXMATRIX *pM1, const D3DXMATRIX *pM2) {
  D3DXMATRIX product;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      product.m[r][c] = pM1->m[r][0] * pM2->m[0][c] + pM1->m[r][1] * pM2->m[1][c] +
                        pM1->m[r][2] * pM2->m[2][c] + pM1->m[r][3] * pM2->m[3][c];
  *pOut = product;
  return pOut;
}

D3DXMATRIX *WINAPI D3DXMatrixTranspose(D3DXMATRIX *pOut, const D3DXMATRIX *pM) {
  D3DXMATRIX transposed;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) transposed.m[r][c] = pM->m[c][r];
  *pOut = transposed;
  return pOut;
}

// xScale 0 0 0 / 0 yScale 0 0 / 0 0 zf/(zn-zf) -1 / 0 0 zn*zf/(zn-zf) 0, yScale = cot(fovy/2).
D3DXMATRIX *WINAPI D3DXMatrixPerspectiveFovRH(D3DXMATRIX *pOut, FLOAT fovy, FLOAT Aspect, FLOAT zn, FLOAT zf) {
  const float yScale = 1.0f / std::tan(fovy / 2.0f);
  const float xScale = yScale / Aspect;
  D3DXMatrixIdentity(pOut);
  pOut->_11 = xScale;
  pOut->_22 = yScale;
  pOut->_33 = zf / (zn - zf);
  pOut->_34 = -1.0f;
  pOut->_43 = zn * zf / (zn - zf);
  pOut->_44 = 0.0f;
  return pOut;
}

// zaxis = normal(Eye - At), xaxis = normal(cross(Up, zaxis)), yaxis = cross(zaxis, xaxis);
// the axes are the columns, the last row is -dot(axis, Eye).
D3DXMATRIX *WINAPI D3DXMatrixLookAtRH(D3DXMATRIX *pOut, const D3DXVECTOR3 *pEye, const D3DXVECTOR3 *pAt,
                                      const D3DXVECTOR3 *pUp) {
  D3DXVECTOR3 zaxis, xaxis, yaxis;
  D3DXVec3Subtract(&zaxis, pEye, pAt);
  D3DXVec3Normalize(&zaxis, &zaxis);
  D3DXVec3Cross(&xaxis, pUp, &zaxis);
  D3DXVec3Normalize(&xaxis, &xaxis);
  D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
  *pOut = D3DXMATRIX(xaxis.x, yaxis.x, zaxis.x, 0.0f,  //
                     xaxis.y, yaxis.y, zaxis.y, 0.0f,  //
                     xaxis.z, yaxis.z, zaxis.z, 0.0f,  //
                     -D3DXVec3Dot(&xaxis, pEye), -D3DXVec3Dot(&yaxis, pEye), -D3DXVec3Dot(&zaxis, pEye), 1.0f);
  return pOut;
}

D3DXMATRIX *WINAPI D3DXMatrixRotationX(D3DXMATRIX *pOut, FLOAT Angle) {
  const float c = std::cos(Angle), s = std::sin(Angle);
  D3DXMatrixIdentity(pOut);
  pOut->_22 = c;
  pOut->_23 = s;
  pOut->_32 = -s;
  pOut->_33 = c;
  return pOut;
}

D3DXMATRIX *WINAPI D3DXMatrixRotationY(D3DXMATRIX *pOut, FLOAT Angle) {
  const float c = std::cos(Angle), s = std::sin(Angle);
  D3DXMatrixIdentity(pOut);
  pOut->_11 = c;
  pOut->_13 = -s;
  pOut->_31 = s;
  pOut->_33 = c;
  return pOut;
}

D3DXMATRIX *WINAPI D3DXMatrixRotationZ(D3DXMATRIX *pOut, FLOAT Angle) {
  const float c = std::cos(Angle), s = std::sin(Angle);
  D3DXMatrixIdentity(pOut);
  pOut->_11 = c;
  pOut->_12 = s;
  pOut->_21 = -s;
  pOut->_22 = c;
  return pOut;
}

D3DXMATRIX *WINAPI D3DXMatrixTranslation(D3DXMATRIX *pOut, FLOAT x, FLOAT y, FLOAT z) {
  D3DXMatrixIdentity(pOut);
  pOut->_41 = x;
  pOut->_42 = y;
  pOut->_43 = z;
  return pOut;
}

D3DXMATRIX *WINAPI D3DXMatrixScaling(D3DXMATRIX *pOut, FLOAT sx, FLOAT sy, FLOAT sz) {
  D3DXMatrixIdentity(pOut);
  pOut->_11 = sx;
  pOut->_22 = sy;
  pOut->_33 = sz;
  return pOut;
}

// (x, y, z, 1) × M, divided by the resulting w.
D3DXVECTOR3 *WINAPI D3DXVec3TransformCoord(D3DXVECTOR3 *pOut, const D3DXVECTOR3 *pV, const D3DXMATRIX *pM) {
  const float x = pV->x, y = pV->y, z = pV->z;
  const float w = x * pM->_14 + y * pM->_24 + z * pM->_34 + pM->_44;
  pOut->x = (x * pM->_11 + y * pM->_21 + z * pM->_31 + pM->_41) / w;
  pOut->y = (x * pM->_12 + y * pM->_22 + z * pM->_32 + pM->_42) / w;
  pOut->z = (x * pM->_13 + y * pM->_23 + z * pM->_33 + pM->_43) / w;
  return pOut;
}

D3DXVECTOR4 *WINAPI D3DXVec4Transform(D3DXVECTOR4 *pOut, const D3DXVECTOR4 *pV, const D3DXMATRIX *pM) {
  const D3DXVECTOR4 v = *pV;
  pOut->x = v.x * pM->_11 + v.y * pM->_21 + v.z * pM->_31 + v.w * pM->_41;
  pOut->y = v.x * pM->_12 + v.y * pM->_22 + v.z * pM->_32 + v.w * pM->_42;
  pOut->z = v.x * pM->_13 + v.y * pM->_23 + v.z * pM->_33 + v.w * pM->_43;
  pOut->w = v.x * pM->_14 + v.y * pM->_24 + v.z * pM->_34 + v.w * pM->_44;
  return pOut;
}

// A zero vector normalizes to zero, as in D3DX.
D3DXVECTOR3 *WINAPI D3DXVec3Normalize(D3DXVECTOR3 *pOut, const D3DXVECTOR3 *pV) {
  const float length = D3DXVec3Length(pV);
  if (length == 0.0f) {
    *pOut = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
  } else {
    *pOut = D3DXVECTOR3(pV->x / length, pV->y / length, pV->z / length);
  }
  return pOut;
}

D3DXVECTOR3 *WINAPI D3DXVec3Cross(D3DXVECTOR3 *pOut, const D3DXVECTOR3 *pV1, const D3DXVECTOR3 *pV2) {
  const D3DXVECTOR3 a = *pV1, b = *pV2;
  *pOut = D3DXVECTOR3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
  return pOut;
}

D3DXVECTOR3 *WINAPI D3DXVec3Subtract(D3DXVECTOR3 *pOut, const D3DXVECTOR3 *pV1, const D3DXVECTOR3 *pV2) {
  *pOut = D3DXVECTOR3(pV1->x - pV2->x, pV1->y - pV2->y, pV1->z - pV2->z);
  return pOut;
}

FLOAT WINAPI D3DXVec3Dot(const D3DXVECTOR3 *pV1, const D3DXVECTOR3 *pV2) {
  return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z;
}

FLOAT WINAPI D3DXVec3Length(const D3DXVECTOR3 *pV) { return std::sqrt(D3DXVec3Dot(pV, pV)); }
