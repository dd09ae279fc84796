// D3DX math against hand-computed values: row vectors, right-handed view and
// projection, and the depths the program's camera gives.
#include <gtest/gtest.h>

#include <d3dx9.h>

#include <cmath>

namespace {

// The program's camera: 72° vertical field of view, aspect 4/3, near 0.1, far -3000.
D3DXMATRIX programProjection() {
  D3DXMATRIX p;
  D3DXMatrixPerspectiveFovRH(&p, 0.4f * D3DX_PI, 4.0f / 3.0f, 0.1f, -3000.0f);
  return p;
}

// Depth of a point d in front of a camera at the origin looking down -z.
float depthAt(const D3DXMATRIX &projection, float d) {
  D3DXVECTOR3 v(0.0f, 0.0f, -d), out;
  D3DXVec3TransformCoord(&out, &v, &projection);
  return out.z;
}

TEST(D3DXMatrix, PerspectiveFovRHHasTheDocumentedEntries) {
  const D3DXMATRIX p = programProjection();
  const float yScale = 1.0f / std::tan(0.2f * D3DX_PI);
  EXPECT_FLOAT_EQ(p._22, yScale);
  EXPECT_FLOAT_EQ(p._11, yScale * 0.75f);
  EXPECT_NEAR(p._33, -0.9999667f, 1e-6f);
  EXPECT_NEAR(p._43, -0.0999967f, 1e-6f);
  EXPECT_EQ(p._34, -1.0f);
  EXPECT_EQ(p._44, 0.0f);
  EXPECT_EQ(p._12, 0.0f);
  EXPECT_EQ(p._41, 0.0f);
}

TEST(D3DXMatrix, ProgramProjectionDepthsFollowTheFarValueOfMinus3000) {
  const D3DXMATRIX p = programProjection();
  struct Row {
    const char *context;
    float distance, depth, tolerance;
  } rows[] = {
      {"near plane", 0.1f, 0.0f, 1e-5f},
      {"one unit away", 1.0f, 0.9f, 1e-4f},
      {"3000 away, still short of 1", 3000.0f, 0.99993f, 1e-5f},
      {"10000 away", 10000.0f, 0.99996f, 1e-5f},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.context);
    EXPECT_NEAR(depthAt(p, row.distance), row.depth, row.tolerance);
    EXPECT_LT(depthAt(p, row.distance), 1.0f);
  }
}

TEST(D3DXMatrix, LookAtRHPutsTheTargetStraightAheadOnMinusZ) {
  const D3DXVECTOR3 eye(-0.1f, 0.2f, 0.28f), at(0.0f, 0.1f, 0.0f), up(0.0f, 1.0f, 0.0f);
  D3DXMATRIX view;
  D3DXMatrixLookAtRH(&view, &eye, &at, &up);
  D3DXVECTOR3 target, camera, above;
  D3DXVec3TransformCoord(&target, &at, &view);
  D3DXVec3TransformCoord(&camera, &eye, &view);
  const D3DXVECTOR3 abovePoint(0.0f, 0.2f, 0.0f);
  D3DXVec3TransformCoord(&above, &abovePoint, &view);
  D3DXVECTOR3 offset = eye - at;
  const float distance = D3DXVec3Length(&offset);
  EXPECT_NEAR(distance, 0.314f, 0.0005f);
  EXPECT_NEAR(target.x, 0.0f, 1e-6f);
  EXPECT_NEAR(target.y, 0.0f, 1e-6f);
  EXPECT_NEAR(target.z, -distance, 1e-6f);
  EXPECT_NEAR(D3DXVec3Length(&camera), 0.0f, 1e-6f);
  EXPECT_GT(above.y, 0.0f);  // world up stays up on screen
  // The axes form the rotation part: orthonormal rows.
  for (int r = 0; r < 3; ++r) {
    D3DXVECTOR3 column(view.m[0][r], view.m[1][r], view.m[2][r]);
    EXPECT_NEAR(D3DXVec3Length(&column), 1.0f, 1e-6f);
  }
}

TEST(D3DXMatrix, RotationsTurnCounterClockwiseLookingDownTheAxis) {
  struct Row {
    const char *context;
    D3DXMATRIX *(WINAPI *rotate)(D3DXMATRIX *, FLOAT);
    D3DXVECTOR3 in, out;
  } rows[] = {
      {"X takes +y to +z", D3DXMatrixRotationX, {0, 1, 0}, {0, 0, 1}},
      {"Y takes +z to +x", D3DXMatrixRotationY, {0, 0, 1}, {1, 0, 0}},
      {"Z takes +x to +y", D3DXMatrixRotationZ, {1, 0, 0}, {0, 1, 0}},
      {"Z leaves the light's start on the z axis", D3DXMatrixRotationZ, {0, 0, 0.2f}, {0, 0, 0.2f}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.context);
    D3DXMATRIX m;
    row.rotate(&m, D3DX_PI / 2);
    D3DXVECTOR3 v;
    D3DXVec3TransformCoord(&v, &row.in, &m);
    EXPECT_NEAR(v.x, row.out.x, 1e-6f);
    EXPECT_NEAR(v.y, row.out.y, 1e-6f);
    EXPECT_NEAR(v.z, row.out.z, 1e-6f);
  }
}

TEST(D3DXMatrix, MultiplyAppliesTheLeftMatrixFirst) {
  D3DXMATRIX rotate, translate, both;
  D3DXMatrixRotationZ(&rotate, D3DX_PI / 2);
  D3DXMatrixTranslation(&translate, 1.0f, 2.0f, 3.0f);
  D3DXMatrixMultiply(&both, &rotate, &translate);
  const D3DXVECTOR3 x(1.0f, 0.0f, 0.0f);
  D3DXVECTOR3 v;
  D3DXVec3TransformCoord(&v, &x, &both);  // rotate to +y, then move
  EXPECT_NEAR(v.x, 1.0f, 1e-6f);
  EXPECT_NEAR(v.y, 3.0f, 1e-6f);
  EXPECT_NEAR(v.z, 3.0f, 1e-6f);
  // In place, output aliasing the first input.
  D3DXMatrixMultiply(&rotate, &rotate, &translate);
  EXPECT_TRUE(rotate == both);
  EXPECT_EQ(translate._41, 1.0f);
  EXPECT_EQ(translate._42, 2.0f);
  EXPECT_EQ(translate._43, 3.0f);
}

TEST(D3DXVector, TransformCoordDividesByW) {
  D3DXMATRIX m;
  D3DXMatrixIdentity(&m);
  m._44 = 2.0f;
  m._14 = 1.0f;  // w = x + 2
  D3DXVECTOR3 v(2.0f, 4.0f, 6.0f);
  D3DXVec3TransformCoord(&v, &v, &m);
  EXPECT_FLOAT_EQ(v.x, 0.5f);
  EXPECT_FLOAT_EQ(v.y, 1.0f);
  EXPECT_FLOAT_EQ(v.z, 1.5f);
}

TEST(D3DXMatrix, IdentityAndLayoutAreRowMajorRowVectors) {
  D3DXMATRIX m;
  D3DXMatrixIdentity(&m);
  EXPECT_TRUE(D3DXMatrixIsIdentity(&m));
  EXPECT_EQ(sizeof(D3DXMATRIX), 64u);
  EXPECT_EQ(&m._12, &m.m[0][1]);
  EXPECT_EQ(&m._41, &m.m[3][0]);
  EXPECT_EQ(sizeof(D3DXVECTOR3), 12u);
  EXPECT_EQ(sizeof(D3DXVECTOR4), 16u);
}

}  // namespace
