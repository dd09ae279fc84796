// Illumination parameters: a term's colour or intensity is stored and the weighted
// colour, intensity x colour (all four components), goes to the pixel program at once.
#include "renderer.h"

namespace {

void sendTerm(Renderer &renderer, int term) {
  const float intensity = renderer.termIntensity[term];
  const D3DXVECTOR4 &colour = renderer.termColor[term];
  const D3DXVECTOR4 weighted(intensity * colour.x, intensity * colour.y, intensity * colour.z,
                             intensity * colour.w);
  renderer.psConstants->SetVector(renderer.device, renderer.hTermIC[term], &weighted);
}

}  // namespace

void setTermColor(Renderer &renderer, IlluminationTerm term, float red, float green, float blue) {
  const int index = termIndex(term);
  renderer.termColor[index].x = red;
  renderer.termColor[index].y = green;
  renderer.termColor[index].z = blue;  // alpha stays 1
  sendTerm(renderer, index);
}

void setTermIntensity(Renderer &renderer, IlluminationTerm term, float intensity) {
  const int index = termIndex(term);
  renderer.termIntensity[index] = intensity;
  sendTerm(renderer, index);
}
