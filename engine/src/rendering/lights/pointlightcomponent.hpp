#pragma once

#include "ecs/componentbase.hpp"
#include "math/color.hpp"

namespace Vorn
{
	// Shines in every direction from its entity's global translation, up to Range world units.
	class PointLightComponent : public ComponentBase
	{
	public:
		PointLightComponent(const Color& color = Color::WHITE, float intensity = 1.0f, float range = 10.0f)
		    : LightColor(color), Intensity(intensity), Range(range)
		{
		}

		const Color& GetColor() const { return LightColor; }
		float GetIntensity() const { return Intensity; }
		void SetIntensity(float intensity) { Intensity = intensity; }
		float GetRange() const { return Range; }
		void SetRange(float range) { Range = range; }

	private:
		Color LightColor;
		float Intensity;
		float Range;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::PointLightComponent);
