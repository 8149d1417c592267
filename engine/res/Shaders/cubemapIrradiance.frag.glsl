#version 430 core

in vec3 vLocalPosition;

uniform samplerCube uEnvCubemap;

layout(location = 0) out vec4 oColor;

const float PI = 3.14159265359;
const uint SAMPLE_COUNT = 512u;

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

// Convolves the environment with the cosine lobe around the texel's normal. Directions are drawn with density
// cos(theta) / pi, so every sample weighs the same and the mean is irradiance / pi: multiplied by the albedo it
// is the diffuse light. Each sample reads the environment's mip level whose texels cover about the sample's
// share of the hemisphere, which keeps the result smooth with few samples.
void main()
{
	vec3 normal = CubemapTexelDirection(vLocalPosition);
	vec3 up = abs(normal.y) < 0.999 ? vec3(0.0, 1.0, 0.0) : vec3(0.0, 0.0, 1.0);
	vec3 tangent = normalize(cross(up, normal));
	vec3 bitangent = cross(normal, tangent);

	float faceSize = float(textureSize(uEnvCubemap, 0).x);
	float texelSolidAngle = 4.0 * PI / (6.0 * faceSize * faceSize);
	// The smallest levels average whole faces, which would carry light across the horizon.
	float maxLod = max(log2(faceSize) - 3.0, 0.0);

	vec3 radianceSum = vec3(0.0);
	for (uint i = 0u; i < SAMPLE_COUNT; ++i)
	{
		vec2 xi = Hammersley(i, SAMPLE_COUNT);
		float phi = 2.0 * PI * xi.x;
		float cosTheta = sqrt(1.0 - xi.y);
		float sinTheta = sqrt(xi.y);
		vec3 sampleDirection = (cos(phi) * tangent + sin(phi) * bitangent) * sinTheta + normal * cosTheta;

		float density = max(cosTheta, 1e-3) / PI;
		float sampleSolidAngle = 1.0 / (float(SAMPLE_COUNT) * density);
		float lod = clamp(0.5 * log2(sampleSolidAngle / texelSolidAngle), 0.0, maxLod);
		radianceSum += textureLod(uEnvCubemap, sampleDirection, lod).rgb;
	}
	oColor = vec4(radianceSum / float(SAMPLE_COUNT), 1.0);
}
