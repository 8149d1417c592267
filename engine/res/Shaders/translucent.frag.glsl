#version 430 core

// Physically based shading of the translucent meshes, drawn after the opaque scene and blended over it by their
// alpha: the same lighting as the opaque pass (GGX specular, Lambertian diffuse, Schlick's Fresnel; directional
// lights, the tile's point lights, image-based light from the sky, emissive light).
#include "Shaders/pbrLighting.glsl"

layout(location = 0) out vec4 oColor;
layout(location = 1) out vec4 oNormal;

void main()
{
	vec4 mapAlbedo = texture(uAlbedoMap, vTexCoord);
	// The map's alpha below the threshold cuts holes; above it, the material's and the map's alpha together set
	// how much of the scene behind shows through.
	if (mapAlbedo.a < uMaterial.OpacityMaskThreshold)
		discard;
	vec4 albedo = uMaterial.Albedo * mapAlbedo;

	Surface surface;
	surface.Position = vWorldPosition;
	surface.Normal = ShadingNormal();
	surface.ToViewer = normalize(uViewPosition.xyz - vWorldPosition);
	// Both faces of a translucent surface can be seen; the one facing away is lit as if it faced the viewer.
	if (dot(surface.Normal, surface.ToViewer) < 0.0)
		surface.Normal = -surface.Normal;
	surface.Albedo = albedo.rgb;
	surface.Roughness = clamp(uMaterial.Roughness * texture(uRoughnessMap, vTexCoord).r, 0.0, 1.0);
	surface.Metallic = clamp(uMaterial.Metallic * texture(uMetallicMap, vTexCoord).r, 0.0, 1.0);
	surface.F0 = mix(vec3(0.04), surface.Albedo, surface.Metallic);

	float occlusion = texture(uAmbientOcclusionMap, vTexCoord).r;
	vec3 emissive = uMaterial.Emissive.rgb * texture(uEmissiveMap, vTexCoord).rgb;
	vec3 color = DirectionalLights(surface) + PointLights(surface) + EnvironmentLight(surface) * occlusion + emissive;

	oColor = vec4(color, clamp(albedo.a, 0.0, 1.0));
	oNormal = vec4(surface.Normal * 0.5 + 0.5, clamp(albedo.a, 0.0, 1.0));
}
