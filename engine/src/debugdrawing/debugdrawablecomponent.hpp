#pragma once

#include "configs/debugconfig.hpp"
#include "ecs/componentbase.hpp"
#include "utils/enumutils.hpp"

namespace Vorn
{
	// Marks its entity for the automatic debug drawings of the categories in Presets; they are drawn only while
	// every one of those categories is enabled in the debug configuration.
	class DebugDrawableComponent : public ComponentBase
	{
	public:
		explicit DebugDrawableComponent(eDebugDrawPreset preset) : Presets(preset) {}

		EnumFlags<eDebugDrawPreset> Presets;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::DebugDrawableComponent);
