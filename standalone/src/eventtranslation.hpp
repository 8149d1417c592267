#pragma once

#include "defines.hpp"
#include "rendering/irenderingdevice.hpp"

#include <SDL.h>

namespace Vorn
{
	class Engine;

	// What the frame loop keeps between events.
	struct LauncherState
	{
		ScreenSize Size;
		bool QuitRequested = false;
	};

	// Forwards one SDL event to the engine. Only input and window state cross over; the engine queues the input
	// for its next input phase.
	void TranslateEvent(const SDL_Event& event, Engine* engine, LauncherState& state);

	// SDL's name of a window event code, "<invalid>" outside the known codes.
	const char* GetWindowEventName(u32 code);
} // namespace Vorn
