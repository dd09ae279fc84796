// The mesh catalogue: the eight PLY files imported and placed on the device as
// vertex and 16-bit index buffers, and the small sphere that marks the light.
#pragma once

#include <string>
#include <vector>

#include "render/renderer.h"

// The catalogue paths, relative to the working directory; key n selects entry n - 1.
std::vector<std::string> meshCatalogue();

// Imports the catalogue into `meshes`, creates the light marker and sets the
// vertex format. False as soon as a file fails (the meshes before it stay).
bool loadMeshes(Renderer &renderer);

// Appends one MeshBuffers per path, in order. False at the first path that cannot
// be imported or whose buffers cannot be created or filled.
bool createMeshBuffers(Renderer &renderer, const std::vector<std::string> &paths);
