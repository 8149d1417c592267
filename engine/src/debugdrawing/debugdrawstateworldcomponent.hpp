#pragma once

#include "collections/dynarray.hpp"
#include "ecs/componentbase.hpp"
#include "ecs/entity.hpp"
#include "math/color.hpp"
#include "math/vector2i.hpp"
#include "math/vector3f.hpp"
#include "memory/safeptr.hpp"
#include "utils/string.hpp"

#include <cstddef>
#include <utility>

namespace Vorn
{
	// What the debug drawing functions collected this frame. Lines are world-space segments that the device draws
	// and then removes; texts become entities with a ScreenSpaceTextComponent in the next debug phase.
	class DebugDrawStateWorldComponent : public ComponentBase
	{
	public:
		struct DebugText
		{
			String Text;
			Vector2i Position;
			std::size_t FontSize = 0;
			Color FontColor;
		};

		// Empties the lines, their colours and the texts; the text entities stay.
		void Clear()
		{
			DebugLines.Clear();
			DebugLinesColors.Clear();
			DebugTexts.Clear();
		}

		// Start and end of each line.
		Dynarray<std::pair<Vector3f, Vector3f>> DebugLines;
		// One pair per line, same index; both colours of a pair are equal.
		Dynarray<std::pair<Color, Color>> DebugLinesColors;
		Dynarray<DebugText> DebugTexts;
		// The entities that show debug texts, in creation order.
		Dynarray<SafePtr<Entity>> DebugTextsEntities;
	};
} // namespace Vorn

VORN_DECLARE_WORLD_COMPONENT_TYPE(Vorn::DebugDrawStateWorldComponent);
