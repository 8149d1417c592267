#version 330 core

// Blinn-Phong shading for the fallback renderer: the ambient light, up to eight directional, point and spot lights
// each, a diffuse map for the colour, the red channel of a specular map for the highlights and a tangent-space
// normal map. Point and spot lights fade to nothing at their range; spot lights fade between their inner and outer
// cones (given as cosines).
struct Material
{
	vec4 Ambient; // light of the material's own (its emissive colour), added whatever the lights
	vec4 Diffuse;
	vec4 Specular;
	float Shininess;
};

struct BaseLight
{
	vec4 Color;
	float Intensity;
};

struct AmbientLight
{
	vec4 Color;
	float Intensity;
};

struct DirectionalLight
{
	BaseLight Base;
	vec4 Direction; // the way the light travels
};

struct PointLight
{
	BaseLight Base;
	vec4 Position;
	float Range;
};

struct SpotLight
{
	BaseLight Base;
	vec4 Position;
	vec4 Direction;
	float Range;
	float CutOff;
	float OuterCutOff;
};

const int MAX_LIGHTS = 8;

in vec3 vWorldPosition;
in vec2 vTexCoord;
in vec3 vWorldNormal;
in vec3 vWorldTangent;
in vec3 vWorldBitangent;

uniform vec4 uCameraPosition;
uniform Material uMaterial;
uniform AmbientLight uAmbientLight;
uniform DirectionalLight uDirectionalLight[MAX_LIGHTS];
uniform int uDirectionalLightCount;
uniform PointLight uPointLight[MAX_LIGHTS];
uniform int uPointLightCount;
uniform SpotLight uSpotLight[MAX_LIGHTS];
uniform int uSpotLightCount;
uniform sampler2D uDiffuseTexture;
uniform sampler2D uSpecularMap;
uniform sampler2D uNormalMap;

layout(location = 0) out vec4 oColor;

// Meshes without tangents keep the interpolated normal.
vec3 ShadingNormal()
{
	vec3 normal = normalize(vWorldNormal);
	if (dot(vWorldTangent, vWorldTangent) < 1e-12 || dot(vWorldBitangent, vWorldBitangent) < 1e-12)
		return normal;
	vec3 tangentNormal = texture(uNormalMap, vTexCoord).xyz * 2.0 - 1.0;
	mat3 tangentToWorld = mat3(normalize(vWorldTangent), normalize(vWorldBitangent), normal);
	return normalize(tangentToWorld * tangentNormal);
}

vec3 Shade(BaseLight light, vec3 toLight, vec3 normal, vec3 toViewer, vec3 diffuseColor, float specularStrength)
{
	float diffuse = max(dot(normal, toLight), 0.0);
	vec3 halfway = normalize(toLight + toViewer);
	float specular = diffuse > 0.0 ? pow(max(dot(normal, halfway), 0.0), uMaterial.Shininess) : 0.0;
	vec3 radiance = light.Color.rgb * light.Intensity;
	return radiance * (diffuse * diffuseColor + specular * specularStrength * uMaterial.Specular.rgb);
}

float RangeFade(float distance, float range)
{
	if (range <= 0.0)
		return 0.0;
	float ratio = clamp(1.0 - distance / range, 0.0, 1.0);
	return ratio * ratio;
}

void main()
{
	vec4 diffuseSample = texture(uDiffuseTexture, vTexCoord);
	vec3 diffuseColor = uMaterial.Diffuse.rgb * diffuseSample.rgb;
	float specularStrength = texture(uSpecularMap, vTexCoord).r;
	vec3 normal = ShadingNormal();
	vec3 toViewer = normalize(uCameraPosition.xyz - vWorldPosition);

	vec3 color = uMaterial.Ambient.rgb + uAmbientLight.Color.rgb * uAmbientLight.Intensity * diffuseColor;
	for (int i = 0; i < min(uDirectionalLightCount, MAX_LIGHTS); ++i)
		color += Shade(uDirectionalLight[i].Base, normalize(-uDirectionalLight[i].Direction.xyz), normal, toViewer,
		               diffuseColor, specularStrength);
	for (int i = 0; i < min(uPointLightCount, MAX_LIGHTS); ++i)
	{
		vec3 offset = uPointLight[i].Position.xyz - vWorldPosition;
		float distance = length(offset);
		color += Shade(uPointLight[i].Base, offset / max(distance, 1e-6), normal, toViewer, diffuseColor,
		               specularStrength) *
		         RangeFade(distance, uPointLight[i].Range);
	}
	for (int i = 0; i < min(uSpotLightCount, MAX_LIGHTS); ++i)
	{
		vec3 offset = uSpotLight[i].Position.xyz - vWorldPosition;
		float distance = length(offset);
		vec3 toLight = offset / max(distance, 1e-6);
		float cosine = dot(-toLight, normalize(uSpotLight[i].Direction.xyz));
		float cone = clamp((cosine - uSpotLight[i].OuterCutOff) /
		                       max(uSpotLight[i].CutOff - uSpotLight[i].OuterCutOff, 1e-4),
		                   0.0, 1.0);
		color += Shade(uSpotLight[i].Base, toLight, normal, toViewer, diffuseColor, specularStrength) * cone *
		         RangeFade(distance, uSpotLight[i].Range);
	}
	oColor = vec4(color, uMaterial.Diffuse.a * diffuseSample.a);
}
