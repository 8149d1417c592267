#include "input/inputsystem.hpp"

#include "collections/dynarray.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "utils/enumutils.hpp"

namespace Vorn
{
	namespace
	{
		// The keys and mouse buttons that went down in this frame, and those whose events wait for the next one.
		struct FrameTaps
		{
			EnumArray<bool, eKey> KeysDown;
			EnumArray<bool, eKey> KeysWaiting;
			EnumArray<bool, eMouseButton> ButtonsDown;
			EnumArray<bool, eMouseButton> ButtonsWaiting;

			// A release of what went down in this same frame waits, and every later event of that key or button
			// with it, so the press is seen for a frame (as a click) before the release.
			template <typename T>
			static bool Waits(T item, bool isDown, EnumArray<bool, T>& down, EnumArray<bool, T>& waiting)
			{
				if (item >= T::_COUNT)
					return false;
				if (!waiting[item] && !isDown && down[item])
					waiting[item] = true;
				if (isDown && !waiting[item])
					down[item] = true;
				return waiting[item];
			}

			bool Waits(const InputEvent& event)
			{
				switch (event.Type)
				{
				case eInputEventType::KEYDOWN:
				case eInputEventType::KEYUP:
					return Waits(event.Key, event.Type == eInputEventType::KEYDOWN, KeysDown, KeysWaiting);
				case eInputEventType::MOUSEBUTTONDOWN:
				case eInputEventType::MOUSEBUTTONUP:
					return Waits(event.MouseButton, event.Type == eInputEventType::MOUSEBUTTONDOWN, ButtonsDown,
					             ButtonsWaiting);
				default:
					return false;
				}
			}
		};
	} // namespace

	void InputSystem::InputPhase(World* world)
	{
		InputWorldComponent* input = world->GetWorldComponent<InputWorldComponent>();
		input->BeginFrame();
		Queue<InputEvent>& events = gEngine->GetInputQueue();
		FrameTaps taps;
		Dynarray<InputEvent> waiting;
		while (!events.IsEmpty())
		{
			if (taps.Waits(events.Front()))
				waiting.PushBack(events.Front());
			else
				input->HandleEvent(events.Front());
			events.PopFront();
		}
		// They happened before anything queued from now on, so they lead the next frame's events.
		for (const InputEvent& event : waiting)
			events.PushBack(event);
	}
} // namespace Vorn
