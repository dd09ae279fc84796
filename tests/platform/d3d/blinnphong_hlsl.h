// A Blinn-Phong vertex/pixel pair as a Direct3D 9 program writes it (vs_1_0 and
// ps_2_0, `Main` entry points, the program's seven constants by name), for the
// layer's compiler and device tests and its frame benchmark. The vertex stage
// passes world-space light, normal and view vectors; the pixel stage renormalises
// them and adds the three terms with a specular exponent of 32.
#pragma once

namespace blinnphong_hlsl {

inline const char *const kVertex = R"(float4x4 matWorldViewProj;
float4x4 matWorld;
float4 vecLightDir;
float4 vecEyePosition;
struct VS_OUTPUT { float4 Pos : POSITION; float3 Light : TEXCOORD0; float3 Norm : TEXCOORD1; float3 View : TEXCOORD2; };
VS_OUTPUT Main(float4 Pos : POSITION, float3 Normal : NORMAL) {
  VS_OUTPUT Out;
  Out.Pos = mul(Pos, matWorldViewProj);
  float3 world = mul(Pos, matWorld).xyz;
  Out.Light = vecLightDir.xyz - world;
  Out.View = vecEyePosition.xyz - world;
  Out.Norm = mul(float4(Normal, 0), matWorld).xyz;
  return Out;
})";

inline const char *const kPixel = R"(float4 ambientIC;
float4 diffuseIC;
float4 specularIC;
float4 Main(float3 Light : TEXCOORD0, float3 Norm : TEXCOORD1, float3 View : TEXCOORD2) : COLOR {
  float3 N = normalize(Norm);
  float3 L = normalize(Light);
  float3 H = normalize(L + normalize(View));
  return ambientIC + diffuseIC * saturate(dot(N, L)) + specularIC * pow(saturate(dot(N, H)), 32);
})";

}  // namespace blinnphong_hlsl
