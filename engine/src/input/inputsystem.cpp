#include "input/inputsystem.hpp"

#include "ecs/world.hpp"
#include "engine.hpp"

namespace Vorn
{
	void InputSystem::InputPhase(World* world)
	{
		InputWorldComponent* input = world->GetWorldComponent<InputWorldComponent>();
		input->BeginFrame();
		Queue<InputEvent>& events = gEngine->GetInputQueue();
		while (!events.IsEmpty())
		{
			input->HandleEvent(events.Front());
			events.PopFront();
		}
	}
} // namespace Vorn
