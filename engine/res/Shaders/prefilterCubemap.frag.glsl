#version 430 core

in vec3 vLocalPosition;

uniform samplerCube uEnvironmentMap;
uniform float uRoughness;

layout(location = 0) out vec4 oColor;

const float PI = 3.14159265359;
const uint SAMPLE_COUNT = 128u;

// See equiToCubemap.frag.glsl: the Y faces are captured by cameras looking the other way.
vec3 CubemapTexelDirection(vec3 localPosition)
{
	vec3 magnitude = abs(localPosition);
	if (magnitude.y > max(magnitude.x, magnitude.z))
		return normalize(vec3(localPosition.x, -localPosition.y, -localPosition.z));
	return normalize(localPosition);
}

float RadicalInverse(uint bits)
{
	bits = (bits << 16u) | (bits >> 16u);
	bits = ((bits & 0x55555555u) << 1u) | ((bits & 0xAAAAAAAAu) >> 1u);
	bits = ((bits & 0x33333333u) << 2u) | ((bits & 0xCCCCCCCCu) >> 2u);
	bits = ((bits & 0x0F0F0F0Fu) << 4u) | ((bits & 0xF0F0F0F0u) >> 4u);
	bits = ((bits & 0x00FF00FFu) << 8u) | ((bits & 0xFF00FF00u) >> 8u);
	return float(bits) * 2.3283064365386963e-10;
}

vec2 Hammersley(uint index, uint count) { return vec2(float(index) / float(count), RadicalInverse(index)); }

// Half vector around `normal` drawn with density D(h) * cos(theta_h), alpha = roughness^2.
vec3 ImportanceSampleGGX(vec2 xi, vec3 normal, float roughness)
{
	float alpha = roughness * roughness;
	float phi = 2.0 * PI * xi.x;
	float cosTheta = sqrt((1.0 - xi.y) / (1.0 + (alpha * alpha - 1.0) * xi.y));
	float sinTheta = sqrt(1.0 - cosTheta * cosTheta);

	vec3 up = abs(normal.y) < 0.999 ? vec3(0.0, 1.0, 0.0) : vec3(0.0, 0.0, 1.0);
	vec3 tangent = normalize(cross(up, normal));
	vec3 bitangent = cross(normal, tangent);
	return normalize((cos(phi) * tangent + sin(phi) * bitangent) * sinTheta + normal * cosTheta);
}

float DistributionGGX(float NdotH, float roughness)
{
	float alphaSquared = roughness * roughness * roughness * roughness;
	float denominator = NdotH * NdotH * (alphaSquared - 1.0) + 1.0;
	return alphaSquared / (PI * denominator * denominator);
}

// Prefilters the environment with the GGX lobe of this level's roughness, taking the view direction equal to
// the normal as the split-sum approximation does. Samples are weighted by N.L, and each reads the mip level
// whose texels match its share of the lobe, so a modest sample count gives no fireflies or banding.
void main()
{
	vec3 normal = CubemapTexelDirection(vLocalPosition);
	// A smooth surface reflects a single direction: the environment itself.
	if (uRoughness <= 0.0)
	{
		oColor = vec4(textureLod(uEnvironmentMap, normal, 0.0).rgb, 1.0);
		return;
	}
	vec3 view = normal;

	float faceSize = float(textureSize(uEnvironmentMap, 0).x);
	float texelSolidAngle = 4.0 * PI / (6.0 * faceSize * faceSize);
	float maxLod = float(textureQueryLevels(uEnvironmentMap) - 1);

	vec3 radianceSum = vec3(0.0);
	float weightSum = 0.0;
	for (uint i = 0u; i < SAMPLE_COUNT; ++i)
	{
		vec3 halfVector = ImportanceSampleGGX(Hammersley(i, SAMPLE_COUNT), normal, uRoughness);
		vec3 lightDirection = normalize(2.0 * dot(view, halfVector) * halfVector - view);
		float NdotL = dot(normal, lightDirection);
		if (NdotL <= 0.0)
			continue;

		// With N = V the sample density of the light direction is D(h) / 4.
		float NdotH = max(dot(normal, halfVector), 0.0);
		float density = DistributionGGX(NdotH, uRoughness) / 4.0 + 1e-4;
		float sampleSolidAngle = 1.0 / (float(SAMPLE_COUNT) * density);
		float lod = clamp(0.5 * log2(sampleSolidAngle / texelSolidAngle) + 1.0, 0.0, maxLod);
		radianceSum += textureLod(uEnvironmentMap, lightDirection, lod).rgb * NdotL;
		weightSum += NdotL;
	}
	oColor = vec4(radianceSum / max(weightSum, 1e-4), 1.0);
}
