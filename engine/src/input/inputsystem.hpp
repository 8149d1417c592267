#pragma once

#include "input/inputworldcomponent.hpp"

namespace Vorn
{
	class World;

	namespace InputSystem
	{
		// Drains the engine's input queue into the world's InputWorldComponent; second phase of the frame.
		void InputPhase(World* world);
	} // namespace InputSystem
} // namespace Vorn
