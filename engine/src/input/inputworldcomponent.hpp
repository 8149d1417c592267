#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "ecs/componentbase.hpp"
#include "input/inputevent.hpp"
#include "math/vector2i.hpp"
#include "utils/enumutils.hpp"
#include "utils/optional.hpp"

#include <unordered_map>

namespace Vorn
{
	class World;

	namespace InputSystem
	{
		void InputPhase(World* world);
	}

	// Keyboard, mouse and controller state of the current and the previous frame. Systems read input only
	// from here, so clicked and released always mean "changed since the previous input phase".
	class InputWorldComponent : public ComponentBase
	{
	public:
		bool IsPressed(eKey key) const { return Keys[key]; }
		bool IsClicked(eKey key) const { return Keys[key] && !PrevKeys[key]; }
		bool IsReleased(eKey key) const { return !Keys[key] && PrevKeys[key]; }
		// True when every listed key is held; an empty list gives true.
		bool IsPressed(const Dynarray<eKey>& keys) const;

		bool IsPressed(eMouseButton button) const { return MouseButtons[button]; }
		bool IsClicked(eMouseButton button) const { return MouseButtons[button] && !PrevMouseButtons[button]; }
		bool IsReleased(eMouseButton button) const { return !MouseButtons[button] && PrevMouseButtons[button]; }
		bool IsPressed(const Dynarray<eMouseButton>& buttons) const;

		const Vector2i& GetMousePos() const { return MousePos; }
		const Vector2i& GetMousePosDelta() const { return MousePosDelta; }
		const Vector2i& GetWheelPos() const { return WheelPos; }
		Vector2i GetWheelPosDelta() const { return WheelPos - PrevWheelPos; }

		// Controllers are addressed by player ID: the slot a controller took when it was connected.
		bool IsControllerConnected(u64 playerID) const;
		bool IsPressed(u64 playerID, eControllerButton button) const;
		bool IsClicked(u64 playerID, eControllerButton button) const;
		bool IsReleased(u64 playerID, eControllerButton button) const;
		float GetControllerAxis(u64 playerID, eControllerAxis axis) const;
		// Change of the axis since the previous frame.
		float GetControllerAxisDelta(u64 playerID, eControllerAxis axis) const;
		// Player IDs whose slot holds a controller, ascending.
		Dynarray<u64> GetConnectedControllersIDs() const;
		u64 GetConnectedControllersCount() const { return PlayerOfController.size(); }

	private:
		struct ControllerState
		{
			EnumArray<bool, eControllerButton> Buttons;
			EnumArray<bool, eControllerButton> PrevButtons;
			EnumArray<float, eControllerAxis> Axes;
			EnumArray<float, eControllerAxis> PrevAxes;
		};

		const ControllerState& GetConnectedController(u64 playerID) const;
		// Current state becomes the previous frame's; per-frame accumulators restart.
		void BeginFrame();
		void HandleEvent(const InputEvent& event);
		void AddController(u64 controllerID);
		void RemoveController(u64 controllerID);
		// The state of a connected controller, or null (logged) for an ID that was never added.
		ControllerState* FindControllerForEvent(u64 controllerID);

		EnumArray<bool, eKey> Keys;
		EnumArray<bool, eKey> PrevKeys;
		EnumArray<bool, eMouseButton> MouseButtons;
		EnumArray<bool, eMouseButton> PrevMouseButtons;
		Vector2i MousePos;
		Vector2i MousePosDelta;
		Vector2i WheelPos;
		Vector2i PrevWheelPos;
		std::unordered_map<u64, ControllerState> Controllers;
		Dynarray<Optional<u64>> PlayerSlots;
		std::unordered_map<u64, u64> PlayerOfController;

		friend void InputSystem::InputPhase(World* world);
	};
} // namespace Vorn

VORN_DECLARE_WORLD_COMPONENT_TYPE(Vorn::InputWorldComponent);
