#pragma once

#include "math/color.hpp"

namespace Vorn
{
	// Surface parameters of one sub-mesh, copied by value.
	struct Material
	{
		Material() = default;
		Material(const Color& emissive, const Color& albedo, float roughness, float metallic,
		         float opacityMaskThreshold)
		    : Emissive(emissive), Albedo(albedo), Roughness(roughness), Metallic(metallic),
		      OpacityMaskThreshold(opacityMaskThreshold)
		{
		}

		Color Emissive = Color(0.0f, 0.0f, 0.0f, 1.0f);
		Color Albedo = Color(1.0f, 1.0f, 1.0f, 1.0f);
		float Roughness = 1.0f;
		float Metallic = 1.0f;
		float OpacityMaskThreshold = 0.5f;
	};
} // namespace Vorn
