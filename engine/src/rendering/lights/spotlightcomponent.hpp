#pragma once

#include "ecs/componentbase.hpp"
#include "math/color.hpp"

namespace Vorn
{
	// Shines from its entity's global translation along its global forward vector. The cut-offs are
	// half-angles in degrees: full intensity inside CutOff, fading to nothing at OuterCutOff.
	class SpotLightComponent : public ComponentBase
	{
	public:
		SpotLightComponent(const Color& color = Color::WHITE, float intensity = 1.0f, float range = 10.0f,
		                   float cutOff = 12.0f, float outerCutOff = 17.0f)
		    : LightColor(color), Intensity(intensity), Range(range), CutOff(cutOff), OuterCutOff(outerCutOff)
		{
		}

		const Color& GetColor() const { return LightColor; }
		float GetIntensity() const { return Intensity; }
		float GetRange() const { return Range; }
		void SetRange(float range) { Range = range; }
		float GetCutOff() const { return CutOff; }
		void SetCutOff(float cutOff) { CutOff = cutOff; }
		float GetOuterCutOff() const { return OuterCutOff; }
		void SetOuterCutOff(float outerCutOff) { OuterCutOff = outerCutOff; }

	private:
		Color LightColor;
		float Intensity;
		float Range;
		float CutOff;
		float OuterCutOff;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::SpotLightComponent);
