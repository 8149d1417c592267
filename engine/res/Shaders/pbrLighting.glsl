// The lighting both physically based passes of the tiled renderer share: their inputs, the material, the
// directional lights, the point-light buffers the culling pass fills, and the GGX, Smith and Schlick terms
// with the image-based light from the sky. Included after the #version line; the including shader declares
// its outputs and its main().
struct Material
{
	vec4 Emissive;
	vec4 Albedo;
	float Roughness;
	float Metallic;
	float OpacityMaskThreshold;
};

struct DirectionalLight
{
	vec4 ColorIntensity; // colour in rgb, intensity in a
	vec4 Direction;      // the way the light travels
};

#include "Shaders/pointLights.glsl"

// 1024 entries per tile, tiles row by row; a list ends at its first negative entry or fills its slice.
layout(std430, binding = 1) readonly buffer VisibleLightIndices
{
	int Indices[];
} visibleLights;

in vec3 vWorldPosition;
in vec2 vTexCoord;
in vec3 vWorldNormal;
in vec3 vWorldTangent;
in vec3 vWorldBitangent;

uniform vec4 uViewPosition;
uniform Material uMaterial;
uniform DirectionalLight uDirectionalLight[8];
uniform int uDirectionalLightCount;
uniform int uLightCount;
uniform int uWorkGroupsX;
uniform int uWorkGroupsY;
uniform sampler2D uBrdfLUT;
uniform samplerCube uIrradianceMap;
uniform samplerCube uPrefilterMap;
uniform sampler2D uEmissiveMap;
uniform sampler2D uAlbedoMap;
uniform sampler2D uRoughnessMap;
uniform sampler2D uMetallicMap;
uniform sampler2D uNormalMap;
uniform sampler2D uAmbientOcclusionMap;


const float PI = 3.14159265359;
const int TILE_SIZE = 16;
const int MAX_LIGHTS_PER_TILE = 1024;
const int MAX_DIRECTIONAL_LIGHTS = 8;
// Only the first five levels of the prefiltered map are rendered, for roughness 0 to 1 in steps of a quarter.
const float MAX_PREFILTER_LOD = 4.0;
// A perfectly smooth surface would reflect a light of no size as an infinitely bright point.
const float MIN_DIRECT_ROUGHNESS = 0.04;

struct Surface
{
	vec3 Position;
	vec3 Normal;
	vec3 ToViewer;
	vec3 Albedo;
	vec3 F0;
	float Roughness;
	float Metallic;
};

// The interpolated normal, bent by the normal map. Meshes without tangents have nothing to orient the map by and
// keep the interpolated normal.
vec3 ShadingNormal()
{
	vec3 normal = normalize(vWorldNormal);
	if (dot(vWorldTangent, vWorldTangent) < 1e-10 || dot(vWorldBitangent, vWorldBitangent) < 1e-10)
		return normal;
	vec3 tangent = vWorldTangent - normal * dot(normal, vWorldTangent);
	if (dot(tangent, tangent) < 1e-10)
		return normal;
	tangent = normalize(tangent);
	vec3 bitangent = cross(normal, tangent) * (dot(cross(normal, tangent), vWorldBitangent) < 0.0 ? -1.0 : 1.0);
	vec3 mapped = texture(uNormalMap, vTexCoord).xyz * 2.0 - 1.0;
	return normalize(mat3(tangent, bitangent, normal) * mapped);
}

float DistributionGGX(float NdotH, float roughness)
{
	float alphaSquared = roughness * roughness * roughness * roughness;
	float denominator = NdotH * NdotH * (alphaSquared - 1.0) + 1.0;
	return alphaSquared / (PI * denominator * denominator);
}

// Smith's masking-shadowing with Schlick's approximation, k remapped for analytic lights.
float GeometrySmith(float NdotV, float NdotL, float roughness)
{
	float k = (roughness + 1.0) * (roughness + 1.0) / 8.0;
	return NdotV / (NdotV * (1.0 - k) + k) * NdotL / (NdotL * (1.0 - k) + k);
}

vec3 FresnelSchlick(float cosTheta, vec3 F0) { return F0 + (1.0 - F0) * pow(clamp(1.0 - cosTheta, 0.0, 1.0), 5.0); }

// Fresnel averaged over a rough lobe, for the light of the whole environment.
vec3 FresnelSchlickRoughness(float cosTheta, vec3 F0, float roughness)
{
	return F0 + (max(vec3(1.0 - roughness), F0) - F0) * pow(clamp(1.0 - cosTheta, 0.0, 1.0), 5.0);
}

// Light reflected toward the viewer from `radiance` arriving along `toLight`.
vec3 ReflectedLight(Surface surface, vec3 toLight, vec3 radiance)
{
	float NdotL = dot(surface.Normal, toLight);
	if (NdotL <= 0.0)
		return vec3(0.0);
	vec3 halfVector = normalize(surface.ToViewer + toLight);
	float NdotV = max(dot(surface.Normal, surface.ToViewer), 1e-4);
	float NdotH = max(dot(surface.Normal, halfVector), 0.0);
	float roughness = max(surface.Roughness, MIN_DIRECT_ROUGHNESS);

	vec3 fresnel = FresnelSchlick(max(dot(halfVector, surface.ToViewer), 0.0), surface.F0);
	vec3 specular = DistributionGGX(NdotH, roughness) * GeometrySmith(NdotV, NdotL, roughness) * fresnel /
	                (4.0 * NdotV * NdotL + 1e-4);
	vec3 diffuse = (1.0 - fresnel) * (1.0 - surface.Metallic) * surface.Albedo / PI;
	return (diffuse + specular) * radiance * NdotL;
}

// Inverse-square falloff, windowed so that it reaches zero smoothly at the light's range.
float RangeFalloff(float distance, float range)
{
	float ratio = distance / range;
	float window = clamp(1.0 - ratio * ratio * ratio * ratio, 0.0, 1.0);
	return window * window / (distance * distance + 1.0);
}

vec3 PointLights(Surface surface)
{
	// Fragments past the last whole tile belong to the tile beside them, which the culling stretched over them.
	ivec2 tile = min(ivec2(gl_FragCoord.xy) / TILE_SIZE, ivec2(uWorkGroupsX - 1, uWorkGroupsY - 1));
	int listStart = (tile.y * uWorkGroupsX + tile.x) * MAX_LIGHTS_PER_TILE;
	int listCapacity = min(uLightCount, MAX_LIGHTS_PER_TILE);

	// Lists are strictly ascending, so an entry not above the one before it ends the list as surely as the
	// terminator. That also stops the pixels a software rasterizer shades only to fill a block: their reads
	// return zeros, which never reach the terminator and would walk the whole slice.
	vec3 light = vec3(0.0);
	int previousIndex = -1;
	for (int i = 0; i < listCapacity; ++i)
	{
		int lightIndex = visibleLights.Indices[listStart + i];
		if (lightIndex <= previousIndex)
			break;
		previousIndex = lightIndex;
		PointLight pointLight = lightBuffer.Lights[lightIndex];
		float range = pointLight.RangeIntensity.x;
		vec3 toLight = pointLight.Position.xyz - surface.Position;
		float distance = length(toLight);
		if (range <= 0.0 || distance >= range)
			continue;
		vec3 radiance = pointLight.Color.rgb * pointLight.RangeIntensity.y * RangeFalloff(distance, range);
		light += ReflectedLight(surface, toLight / max(distance, 1e-4), radiance);
	}
	return light;
}

vec3 DirectionalLights(Surface surface)
{
	vec3 light = vec3(0.0);
	for (int i = 0; i < min(uDirectionalLightCount, MAX_DIRECTIONAL_LIGHTS); ++i)
	{
		vec3 radiance = uDirectionalLight[i].ColorIntensity.rgb * uDirectionalLight[i].ColorIntensity.a;
		light += ReflectedLight(surface, -normalize(uDirectionalLight[i].Direction.xyz), radiance);
	}
	return light;
}

// Split-sum image-based light. The irradiance map holds irradiance / pi, so times the albedo it already is the
// Lambertian diffuse light; the BRDF table turns F0 into the specular lobe's albedo as F0 * scale + bias.
vec3 EnvironmentLight(Surface surface)
{
	float NdotV = clamp(dot(surface.Normal, surface.ToViewer), 0.0, 1.0);
	vec3 fresnel = FresnelSchlickRoughness(NdotV, surface.F0, surface.Roughness);
	vec3 diffuse = texture(uIrradianceMap, surface.Normal).rgb * surface.Albedo;
	diffuse *= (1.0 - fresnel) * (1.0 - surface.Metallic);

	vec3 reflected = reflect(-surface.ToViewer, surface.Normal);
	vec3 prefiltered = textureLod(uPrefilterMap, reflected, surface.Roughness * MAX_PREFILTER_LOD).rgb;
	vec2 scaleBias = texture(uBrdfLUT, vec2(NdotV, surface.Roughness)).rg;
	vec3 specular = prefiltered * (fresnel * scaleBias.x + scaleBias.y);
	return diffuse + specular;
}
