#version 430 core

// Physically based shading of the opaque meshes: a GGX specular lobe with Smith's geometry term and Schlick's
// Fresnel over a Lambertian diffuse, lit by the directional lights, by the point lights the culling pass listed
// for the fragment's 16x16 tile, and by the sky (split-sum image-based light). Emissive light is added on top.
// Writes the HDR colour and the world normal (mapped to 0..1).
#include "Shaders/pbrLighting.glsl"

layout(location = 0) out vec4 oColor;
layout(location = 1) out vec4 oNormal;

void main()
{
	vec4 albedo = uMaterial.Albedo * texture(uAlbedoMap, vTexCoord);
	// Cut-out materials: texels below the threshold are holes.
	if (albedo.a < uMaterial.OpacityMaskThreshold)
		discard;

	Surface surface;
	surface.Position = vWorldPosition;
	surface.Normal = ShadingNormal();
	surface.ToViewer = normalize(uViewPosition.xyz - vWorldPosition);
	surface.Albedo = albedo.rgb;
	surface.Roughness = clamp(uMaterial.Roughness * texture(uRoughnessMap, vTexCoord).r, 0.0, 1.0);
	surface.Metallic = clamp(uMaterial.Metallic * texture(uMetallicMap, vTexCoord).r, 0.0, 1.0);
	surface.F0 = mix(vec3(0.04), surface.Albedo, surface.Metallic);

	float occlusion = texture(uAmbientOcclusionMap, vTexCoord).r;
	vec3 emissive = uMaterial.Emissive.rgb * texture(uEmissiveMap, vTexCoord).rgb;
	vec3 color = DirectionalLights(surface) + PointLights(surface) + EnvironmentLight(surface) * occlusion + emissive;

	oColor = vec4(color, 1.0);
	oNormal = vec4(surface.Normal * 0.5 + 0.5, 1.0);
}
