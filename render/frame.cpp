// One frame: the light moves one step along its orbit, the vertex program gets its
// four constants, the selected mesh is drawn through the shader pair and the light
// marker through the fixed-function pipeline, and the frame is presented.
#include "renderer.h"

#include "mesh/meshbuffers.h"

namespace {

// The rotation of one frame about the light's axis; the identity for an unknown axis.
D3DXMATRIX lightRotation(RotationAxis axis, float angle) {
  D3DXMATRIX rotation;
  switch (axis) {
    case RotationAxis::X: D3DXMatrixRotationX(&rotation, angle); break;
    case RotationAxis::Y: D3DXMatrixRotationY(&rotation, angle); break;
    case RotationAxis::Z: D3DXMatrixRotationZ(&rotation, angle); break;
    default: D3DXMatrixIdentity(&rotation); break;
  }
  return rotation;
}

}  // namespace

bool renderFrame(Renderer &renderer, float elapsedSeconds) {
  IDirect3DDevice9 *device = renderer.device;

  // The rotation accumulates: the position is turned in place, frame after frame.
  const float angle = renderer.lightSpeed * elapsedSeconds;
  D3DXMATRIX rotation = lightRotation(renderer.lightAxis, angle);
  D3DXVec3TransformCoord(&renderer.lightPosition, &renderer.lightPosition, &rotation);

  D3DXMatrixIdentity(&renderer.world);
  device->SetTransform(D3DTS_WORLD, &renderer.world);
  D3DXMATRIX worldView;
  D3DXMATRIX worldViewProjection;
  D3DXMatrixMultiply(&worldView, &renderer.world, &renderer.view);
  D3DXMatrixMultiply(&worldViewProjection, &worldView, &renderer.projection);

  // The light goes to the program as a position (w = 0), not as a direction.
  const D3DXVECTOR4 eye(renderer.eye.x, renderer.eye.y, renderer.eye.z, 0.0f);
  const D3DXVECTOR4 light(renderer.lightPosition.x, renderer.lightPosition.y,
                          renderer.lightPosition.z, 0.0f);
  ID3DXConstantTable *constants = renderer.vsConstants;
  constants->SetMatrix(device, renderer.hWorldViewProj, &worldViewProjection);
  constants->SetMatrix(device, renderer.hWorld, &renderer.world);
  constants->SetVector(device, renderer.hEyePosition, &eye);
  constants->SetVector(device, renderer.hLightDir, &light);

  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
  device->BeginScene();

  const MeshBuffers *mesh = renderer.meshes[static_cast<size_t>(renderer.currentMesh)];
  device->SetStreamSource(0, mesh->vertexBuffer, 0, 24);
  device->SetIndices(mesh->indexBuffer);
  device->SetPixelShader(renderer.pixelShader);
  device->SetVertexShader(renderer.vertexShader);
  device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, static_cast<UINT>(mesh->vertexCount), 0,
                               static_cast<UINT>(mesh->faceCount));

  // The marker goes through the fixed-function pipeline, 0.1 above the light.
  device->SetPixelShader(nullptr);
  device->SetVertexShader(nullptr);
  const float markerY = renderer.lightPosition.y + 0.1f;
  D3DXMatrixTranslation(&renderer.world, renderer.lightPosition.x, markerY, renderer.lightPosition.z);
  device->SetTransform(D3DTS_WORLD, &renderer.world);
  renderer.lightMarker->DrawSubset(0);

  device->EndScene();
  device->Present(nullptr, nullptr, nullptr, nullptr);
  return true;
}
