#pragma once

#include "ecs/componentbase.hpp"
#include "math/color.hpp"

namespace Vorn
{
	// Light that reaches every surface of the world equally.
	class AmbientLightWorldComponent : public ComponentBase
	{
	public:
		AmbientLightWorldComponent(const Color& color = Color::WHITE, float intensity = 1.0f)
		    : LightColor(color), Intensity(intensity)
		{
		}

		const Color& GetColor() const { return LightColor; }
		void SetColor(const Color& color) { LightColor = color; }
		float GetIntensity() const { return Intensity; }
		void SetIntensity(float intensity) { Intensity = intensity; }

	private:
		Color LightColor;
		float Intensity;
	};
} // namespace Vorn

VORN_DECLARE_WORLD_COMPONENT_TYPE(Vorn::AmbientLightWorldComponent);
