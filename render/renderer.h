// The Renderer record: the one piece of state the whole program shares (the
// Direct3D 9 device and every object made on it, camera and light, shader programs
// with their constant handles, the loaded meshes, and what the user changes while
// the program runs), and the operations on it. Plain record, free operations.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>
#include <vector>

struct MeshBuffers;

// Indexes termColor, termIntensity and hTermIC.
enum class IlluminationTerm : int32_t { Ambient = 0, Diffuse = 1, Specular = 2 };

// Axis of the light's orbit; any other value means no rotation.
enum class RotationAxis : int32_t { X = 0, Y = 1, Z = 2 };

constexpr int termCount = 3;

struct Renderer {
  int32_t width;
  int32_t height;
  HWND window;
  IDirect3DDevice9 *device;
  ID3DXMesh *lightMarker;
  std::vector<MeshBuffers *> meshes;
  D3DXMATRIX world;
  D3DXMATRIX view;
  D3DXMATRIX projection;
  D3DXVECTOR3 eye;
  D3DXVECTOR3 lookAt;
  D3DXVECTOR3 up;
  D3DXVECTOR3 lightPosition;
  IDirect3DVertexShader9 *vertexShader;
  IDirect3DPixelShader9 *pixelShader;
  ID3DXConstantTable *vsConstants;
  ID3DXConstantTable *psConstants;
  D3DXHANDLE hTermIC[termCount];
  D3DXHANDLE hWorldViewProj;
  D3DXHANDLE hWorld;
  D3DXHANDLE hEyePosition;
  D3DXHANDLE hLightDir;
  int32_t currentMesh;
  float lightSpeed;  // radians per second
  RotationAxis lightAxis;
  float termIntensity[termCount];
  D3DXVECTOR4 termColor[termCount];
};

inline int termIndex(IlluminationTerm term) { return static_cast<int>(term); }

// Set-up chain, in this order; each returns false when start-up must stop.
bool createDevice(Renderer &renderer);
bool setupScene(Renderer &renderer);
bool createShaders(Renderer &renderer);
bool createVertexShader(Renderer &renderer);
bool createPixelShader(Renderer &renderer);

// createDevice on a Direct3D object the caller made (createDevice passes
// Direct3DCreate9's result); releases it before returning.
bool createDeviceOn(Renderer &renderer, IDirect3D9 *direct3d);

// One frame: moves the light by lightSpeed x elapsedSeconds about lightAxis, sends
// the vertex-program constants, draws the selected mesh and the light marker, and
// presents. Always true.
bool renderFrame(Renderer &renderer, float elapsedSeconds);

// Releases the device objects, the device last. Always true.
bool releaseResources(Renderer &renderer);

// Store a term's colour (red, green, blue) or intensity and send intensity x colour
// to the pixel program at once.
void setTermColor(Renderer &renderer, IlluminationTerm term, float red, float green, float blue);
void setTermIntensity(Renderer &renderer, IlluminationTerm term, float intensity);
