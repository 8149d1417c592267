#version 430 core

// Debug view of a mesh's inputs to the lighting pass, one at a time, drawn with the lighting pass's vertex shader
// and samplers and writing the same two outputs. uDebugTexture picks what is shown: 0 the albedo map, 1 the normal
// map, 2 the roughness map, 3 the metallic map, 4 the ambient occlusion map, 5 the emissive map, 6 the texture
// coordinates, 7 the interpolated world normal, 8 the world tangent; anything else shows magenta.
in vec2 vTexCoord;
in vec3 vWorldNormal;
in vec3 vWorldTangent;

uniform int uDebugTexture;
uniform sampler2D uAlbedoMap;
uniform sampler2D uNormalMap;
uniform sampler2D uRoughnessMap;
uniform sampler2D uMetallicMap;
uniform sampler2D uAmbientOcclusionMap;
uniform sampler2D uEmissiveMap;

layout(location = 0) out vec4 oColor;
layout(location = 1) out vec4 oNormal;

// Directions as colours: each axis from -1..1 to 0..1.
vec3 DirectionColor(vec3 direction)
{
	float size = length(direction);
	return size > 1e-6 ? direction / size * 0.5 + 0.5 : vec3(0.0);
}

void main()
{
	vec3 color;
	switch (uDebugTexture)
	{
	case 0: color = texture(uAlbedoMap, vTexCoord).rgb; break;
	case 1: color = texture(uNormalMap, vTexCoord).rgb; break;
	case 2: color = vec3(texture(uRoughnessMap, vTexCoord).r); break;
	case 3: color = vec3(texture(uMetallicMap, vTexCoord).r); break;
	case 4: color = vec3(texture(uAmbientOcclusionMap, vTexCoord).r); break;
	case 5: color = texture(uEmissiveMap, vTexCoord).rgb; break;
	case 6: color = vec3(fract(vTexCoord), 0.0); break;
	case 7: color = DirectionColor(vWorldNormal); break;
	case 8: color = DirectionColor(vWorldTangent); break;
	default: color = vec3(1.0, 0.0, 1.0); break;
	}
	oColor = vec4(color, 1.0);
	oNormal = vec4(DirectionColor(vWorldNormal), 1.0);
}
