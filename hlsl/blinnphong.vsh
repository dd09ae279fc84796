// Blinn-Phong, vertex stage. Transforms the vertex to clip space and hands the pixel
// stage three world-space vectors: the normal, the vector to the light and the
// vector to the eye. The pixel stage normalises them after interpolation.

float4x4 matWorldViewProj;  // world x view x projection, row vectors
float4x4 matWorld;          // world transform
float4 vecLightDir;         // the point light's world-space position, w = 0
float4 vecEyePosition;      // the camera's world-space position, w = 0

struct VS_OUTPUT
{
    float4 Position : POSITION;
    float3 Normal   : TEXCOORD0;
    float3 ToLight  : TEXCOORD1;
    float3 ToEye    : TEXCOORD2;
};

VS_OUTPUT Main(float4 Position : POSITION, float3 Normal : NORMAL)
{
    VS_OUTPUT Out;
    Out.Position = mul(Position, matWorldViewProj);
    float3 worldPosition = mul(Position, matWorld).xyz;
    Out.Normal = mul(Normal, (float3x3)matWorld);
    Out.ToLight = vecLightDir.xyz - worldPosition;
    Out.ToEye = vecEyePosition.xyz - worldPosition;
    return Out;
}
