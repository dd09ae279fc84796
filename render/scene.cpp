// Camera and light set-up: a right-handed perspective looking at (0, 0.1, 0) from
// (-0.1, 0.2, 0.28), fixed for the whole run, and the light's start position.
#include "renderer.h"

bool setupScene(Renderer &renderer) {
  // The far value is negative on purpose: depth then approaches 0.99997 with
  // distance and never reaches 1, so nothing in front of the camera is clipped far.
  const float fieldOfView = D3DX_PI * 0.4f;
  const float aspect = 4.0f / 3.0f;  // fixed; agrees with 640 x 480
  D3DXMatrixPerspectiveFovRH(&renderer.projection, fieldOfView, aspect, 0.1f, -3000.0f);
  renderer.device->SetTransform(D3DTS_PROJECTION, &renderer.projection);

  renderer.eye = D3DXVECTOR3(-0.1f, 0.2f, 0.28f);
  renderer.lookAt = D3DXVECTOR3(0.0f, 0.1f, 0.0f);
  renderer.up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtRH(&renderer.view, &renderer.eye, &renderer.lookAt, &renderer.up);
  renderer.device->SetTransform(D3DTS_VIEW, &renderer.view);

  D3DXMatrixIdentity(&renderer.world);
  renderer.device->SetTransform(D3DTS_WORLD, &renderer.world);

  renderer.lightPosition = D3DXVECTOR3(0.0f, 0.0f, 0.2f);
  return true;
}
