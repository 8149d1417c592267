#version 430 core

// The split-sum BRDF table: for N.V along u and roughness along v, the scale and the bias that turn a surface's
// specular colour F0 into the directional albedo of the GGX specular lobe, F0 * scale + bias.
in vec2 vTexCoord;

layout(location = 0) out vec2 oScaleBias;

const float PI = 3.14159265359;
const uint SAMPLE_COUNT = 512u;

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

// Half vector around +Z drawn with density D(h) * cos(theta_h), alpha = roughness^2.
vec3 ImportanceSampleGGX(vec2 xi, float roughness)
{
	float alpha = roughness * roughness;
	float phi = 2.0 * PI * xi.x;
	float cosTheta = sqrt((1.0 - xi.y) / (1.0 + (alpha * alpha - 1.0) * xi.y));
	float sinTheta = sqrt(1.0 - cosTheta * cosTheta);
	return vec3(cos(phi) * sinTheta, sin(phi) * sinTheta, cosTheta);
}

// Schlick-GGX with the image-based-lighting remapping k = roughness^2 / 2.
float GeometrySchlickGGX(float NdotX, float roughness)
{
	float k = roughness * roughness / 2.0;
	return NdotX / (NdotX * (1.0 - k) + k);
}

float GeometrySmith(float NdotV, float NdotL, float roughness)
{
	return GeometrySchlickGGX(NdotV, roughness) * GeometrySchlickGGX(NdotL, roughness);
}

// With half vectors drawn from D(h) * N.H, the estimator of the lobe's integral over light directions is
// G * V.H / (N.H * N.V) per sample; Schlick's Fresnel (1 - V.H)^5 splits it into the part that scales F0 and
// the part added to it.
vec2 IntegrateBRDF(float NdotV, float roughness)
{
	vec3 view = vec3(sqrt(1.0 - NdotV * NdotV), 0.0, NdotV);

	float scale = 0.0;
	float bias = 0.0;
	for (uint i = 0u; i < SAMPLE_COUNT; ++i)
	{
		vec3 halfVector = ImportanceSampleGGX(Hammersley(i, SAMPLE_COUNT), roughness);
		vec3 lightDirection = normalize(2.0 * dot(view, halfVector) * halfVector - view);

		float NdotL = max(lightDirection.z, 0.0);
		if (NdotL <= 0.0)
			continue;
		float NdotH = max(halfVector.z, 0.0);
		float VdotH = max(dot(view, halfVector), 0.0);

		float visibility = GeometrySmith(NdotV, NdotL, roughness) * VdotH / (NdotH * NdotV);
		float fresnel = pow(1.0 - VdotH, 5.0);
		scale += (1.0 - fresnel) * visibility;
		bias += fresnel * visibility;
	}
	return vec2(scale, bias) / float(SAMPLE_COUNT);
}

void main() { oScaleBias = IntegrateBRDF(vTexCoord.x, vTexCoord.y); }
