#pragma once

#include "defines.hpp"
#include "ecs/componentbase.hpp"

namespace Vorn
{
	// Read by the postprocess passes for the camera on the same entity. Each field feeds the shader uniform of
	// its name (with a "u" prefix; the depth of field ones as "uDOFpoint", "uDOFrange", "uDOFsize").
	class PostprocessSettingsComponent : public ComponentBase
	{
	public:
		i32 UseCashetes = 0;
		float DistortionPower = 0.05f;
		float ColorTempValue = 7500.0f;
		float ColorTempLuminancePreservation = 0.75f;
		float SaturationPower = 1.0f;
		float GrainPower = 0.05f;
		float StripesPower = 0.15f;
		float Exposure = 1.0f;
		float DOFPoint = 1000.0f;
		float DOFRange = 800.0f;
		float DOFSize = 0.2f;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::PostprocessSettingsComponent);
