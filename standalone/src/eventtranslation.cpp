#include "eventtranslation.hpp"

#include "engine.hpp"
#include "utils/console.hpp"

namespace Vorn
{
	namespace
	{
		// Pointer crossings and focus changes always give the mouse back; a game takes it again on a click.
		void ReleaseMouse()
		{
			SDL_ShowCursor(1);
			SDL_CaptureMouse(SDL_FALSE);
			SDL_SetRelativeMouseMode(SDL_FALSE);
		}

		void ApplyMouseFlags()
		{
			const SDL_bool shouldCapture = gEngine->ShouldCaptureMouse() ? SDL_TRUE : SDL_FALSE;
			SDL_ShowCursor(gEngine->ShouldMouseBeVisible() ? 1 : 0);
			SDL_CaptureMouse(shouldCapture);
			SDL_SetRelativeMouseMode(shouldCapture);
		}

		void TranslateWindowEvent(const SDL_WindowEvent& event, LauncherState& state)
		{
			switch (event.event)
			{
			// Both are forwarded, so one user resize may reach the engine twice.
			case SDL_WINDOWEVENT_RESIZED:
			case SDL_WINDOWEVENT_SIZE_CHANGED:
				state.Size = ScreenSize{event.data1, event.data2};
				gEngine->ResizeScreen(state.Size);
				break;
			case SDL_WINDOWEVENT_ENTER:
			case SDL_WINDOWEVENT_LEAVE:
			case SDL_WINDOWEVENT_FOCUS_GAINED:
			case SDL_WINDOWEVENT_FOCUS_LOST:
				ReleaseMouse();
				break;
			default:
				gConsole.LogDebug("Not handled SDL window event, code: {}", GetWindowEventName(event.event));
				break;
			}
		}

		// SDL's joystick instance IDs are signed 32-bit; the engine keys controllers by their 64-bit widening.
		u64 ToControllerID(SDL_JoystickID instanceID) { return static_cast<u64>(static_cast<i64>(instanceID)); }
	} // namespace

	const char* GetWindowEventName(u32 code)
	{
		static const char* const names[] = {
		    "SDL_WINDOWEVENT_SHOWN",      "SDL_WINDOWEVENT_HIDDEN",    "SDL_WINDOWEVENT_EXPOSED",
		    "SDL_WINDOWEVENT_MOVED",      "SDL_WINDOWEVENT_RESIZED",   "SDL_WINDOWEVENT_SIZE_CHANGED",
		    "SDL_WINDOWEVENT_MINIMIZED",  "SDL_WINDOWEVENT_MAXIMIZED", "SDL_WINDOWEVENT_RESTORED",
		    "SDL_WINDOWEVENT_ENTER",      "SDL_WINDOWEVENT_LEAVE",     "SDL_WINDOWEVENT_FOCUS_GAINED",
		    "SDL_WINDOWEVENT_FOCUS_LOST", "SDL_WINDOWEVENT_CLOSE",     "SDL_WINDOWEVENT_TAKE_FOCUS",
		    "SDL_WINDOWEVENT_HIT_TEST",
		};
		constexpr u32 nameCount = sizeof(names) / sizeof(names[0]);
		if (code < 1 || code > nameCount)
			return "<invalid>";
		return names[code - 1];
	}

	void TranslateEvent(const SDL_Event& event, Engine* engine, LauncherState& state)
	{
		switch (event.type)
		{
		case SDL_QUIT:
			state.QuitRequested = true;
			break;
		case SDL_KEYDOWN:
			engine->KeyDown(static_cast<eKey>(event.key.keysym.scancode));
			break;
		case SDL_KEYUP:
			engine->KeyUp(static_cast<eKey>(event.key.keysym.scancode));
			break;
		case SDL_MOUSEMOTION:
			engine->UpdateMouseMove(Vector2i(event.motion.xrel, event.motion.yrel));
			engine->UpdateMousePos(Vector2i(event.motion.x, event.motion.y));
			break;
		case SDL_MOUSEBUTTONDOWN:
			engine->MouseButtonDown(static_cast<eMouseButton>(event.button.button));
			ApplyMouseFlags();
			break;
		case SDL_MOUSEBUTTONUP:
			engine->MouseButtonUp(static_cast<eMouseButton>(event.button.button));
			break;
		case SDL_MOUSEWHEEL:
			engine->UpdateWheelPos(Vector2i(event.wheel.x, event.wheel.y));
			break;
		case SDL_CONTROLLERAXISMOTION:
			engine->ControllerAxisMotion(ToControllerID(event.caxis.which),
			                             static_cast<eControllerAxis>(event.caxis.axis), event.caxis.value);
			break;
		case SDL_CONTROLLERBUTTONDOWN:
			engine->ControllerButtonDown(ToControllerID(event.cbutton.which),
			                             static_cast<eControllerButton>(event.cbutton.button));
			break;
		case SDL_CONTROLLERBUTTONUP:
			engine->ControllerButtonUp(ToControllerID(event.cbutton.which),
			                           static_cast<eControllerButton>(event.cbutton.button));
			break;
		case SDL_CONTROLLERDEVICEADDED:
		{
			// Here `which` is a device index; from now on SDL names the controller by its instance ID.
			SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
			if (!controller)
			{
				gConsole.LogWarning("Game controller {} could not be opened: {}", event.cdevice.which, SDL_GetError());
				break;
			}
			const SDL_JoystickID instanceID = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
			engine->AddController(ToControllerID(instanceID));
			break;
		}
		case SDL_CONTROLLERDEVICEREMOVED:
			SDL_GameControllerClose(SDL_GameControllerFromInstanceID(event.cdevice.which));
			engine->RemoveController(ToControllerID(event.cdevice.which));
			break;
		case SDL_WINDOWEVENT:
			TranslateWindowEvent(event.window, state);
			break;
		default:
			break;
		}
	}
} // namespace Vorn
