#pragma once

#include "ecs/componentbase.hpp"
#include "math/color.hpp"

namespace Vorn
{
	// Shines along its entity's global forward vector, from infinitely far away.
	class DirectionalLightComponent : public ComponentBase
	{
	public:
		DirectionalLightComponent(const Color& color = Color::WHITE, float intensity = 1.0f)
		    : LightColor(color), Intensity(intensity)
		{
		}

		const Color& GetColor() const { return LightColor; }
		float GetIntensity() const { return Intensity; }

	private:
		Color LightColor;
		float Intensity;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::DirectionalLightComponent);
