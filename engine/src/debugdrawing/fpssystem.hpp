#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "utils/string.hpp"

namespace Vorn
{
	class World;

	// Counts frames per second of real time and shows the count as a debug text at (300, 300) while debug drawing is
	// on; the count is updated only while the debug configuration's DisplayFPS is set.
	namespace FPSSystem
	{
		struct FPSData : public BaseObject
		{
			// Frames counted since the last update of the count.
			u32 FrameCount = 0;
			// Seconds of the engine clock, from the world's start, of that update.
			double LastTime = 0.0;
			// Frames counted in the last completed second.
			u32 LastFPS = 0;
			String DisplayText;
		};

		// Runs last in every frame.
		void FPSUpdatePhase(World* world);
		// The world must have a DebugWorldComponent (the engine gives one to its world).
		float GetFPS(World* world);
	} // namespace FPSSystem
} // namespace Vorn
