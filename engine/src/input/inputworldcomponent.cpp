#include "input/inputworldcomponent.hpp"

#include "utils/check.hpp"
#include "utils/console.hpp"

VORN_DEFINE_WORLD_COMPONENT_TYPE(Vorn::InputWorldComponent);

namespace Vorn
{
	bool InputWorldComponent::IsPressed(const Dynarray<eKey>& keys) const
	{
		for (eKey key : keys)
			if (!IsPressed(key))
				return false;
		return true;
	}

	bool InputWorldComponent::IsPressed(const Dynarray<eMouseButton>& buttons) const
	{
		for (eMouseButton button : buttons)
			if (!IsPressed(button))
				return false;
		return true;
	}

	bool InputWorldComponent::IsControllerConnected(u64 playerID) const
	{
		return playerID < PlayerSlots.GetSize() && PlayerSlots[playerID].HasValue();
	}

	bool InputWorldComponent::IsPressed(u64 playerID, eControllerButton button) const
	{
		return GetConnectedController(playerID).Buttons[button];
	}

	bool InputWorldComponent::IsClicked(u64 playerID, eControllerButton button) const
	{
		const ControllerState& controller = GetConnectedController(playerID);
		return controller.Buttons[button] && !controller.PrevButtons[button];
	}

	bool InputWorldComponent::IsReleased(u64 playerID, eControllerButton button) const
	{
		const ControllerState& controller = GetConnectedController(playerID);
		return !controller.Buttons[button] && controller.PrevButtons[button];
	}

	float InputWorldComponent::GetControllerAxis(u64 playerID, eControllerAxis axis) const
	{
		return GetConnectedController(playerID).Axes[axis];
	}

	float InputWorldComponent::GetControllerAxisDelta(u64 playerID, eControllerAxis axis) const
	{
		const ControllerState& controller = GetConnectedController(playerID);
		return controller.Axes[axis] - controller.PrevAxes[axis];
	}

	Dynarray<u64> InputWorldComponent::GetConnectedControllersIDs() const
	{
		Dynarray<u64> playerIDs;
		for (u64 playerID = 0; playerID < PlayerSlots.GetSize(); ++playerID)
			if (PlayerSlots[playerID].HasValue())
				playerIDs.PushBack(playerID);
		return playerIDs;
	}

	const InputWorldComponent::ControllerState& InputWorldComponent::GetConnectedController(u64 playerID) const
	{
		VORN_CHECK(IsControllerConnected(playerID), "Controller not connected!");
		return Controllers.at(PlayerSlots[playerID].Value());
	}

	void InputWorldComponent::BeginFrame()
	{
		PrevKeys = Keys;
		PrevMouseButtons = MouseButtons;
		MousePosDelta = Vector2i();
		PrevWheelPos = WheelPos;
		for (auto& [controllerID, controller] : Controllers)
		{
			controller.PrevButtons = controller.Buttons;
			controller.PrevAxes = controller.Axes;
		}
	}

	void InputWorldComponent::HandleEvent(const InputEvent& event)
	{
		switch (event.Type)
		{
		case eInputEventType::KEYDOWN:
		case eInputEventType::KEYUP:
			if (event.Key < eKey::_COUNT)
				Keys[event.Key] = event.Type == eInputEventType::KEYDOWN;
			break;
		case eInputEventType::MOUSEBUTTONDOWN:
		case eInputEventType::MOUSEBUTTONUP:
			if (event.MouseButton < eMouseButton::_COUNT)
				MouseButtons[event.MouseButton] = event.Type == eInputEventType::MOUSEBUTTONDOWN;
			break;
		case eInputEventType::MOUSEMOVE:
			MousePosDelta += event.Pos;
			break;
		case eInputEventType::MOUSEPOS:
			MousePos = event.Pos;
			break;
		case eInputEventType::WHEELMOVE:
			WheelPos += event.Pos;
			break;
		case eInputEventType::CONTROLLERADDED:
			AddController(event.ControllerID);
			break;
		case eInputEventType::CONTROLLERREMOVED:
			RemoveController(event.ControllerID);
			break;
		case eInputEventType::CONTROLLERBUTTONDOWN:
		case eInputEventType::CONTROLLERBUTTONUP:
			if (ControllerState* controller = FindControllerForEvent(event.ControllerID))
				controller->Buttons[event.ControllerButton] = event.Type == eInputEventType::CONTROLLERBUTTONDOWN;
			break;
		case eInputEventType::CONTROLLERAXIS:
			if (ControllerState* controller = FindControllerForEvent(event.ControllerID))
				controller->Axes[event.ControllerAxis] = event.AxisValue;
			break;
		default:
			VORN_FAIL("_COUNT enum value passed to InputEventQueue::Push(), which is an invalid value");
		}
	}

	void InputWorldComponent::AddController(u64 controllerID)
	{
		Controllers[controllerID] = ControllerState();

		// A controller announced twice keeps its player slot instead of occupying a second one.
		if (PlayerOfController.count(controllerID) > 0)
			return;

		for (u64 playerID = 0; playerID < PlayerSlots.GetSize(); ++playerID)
		{
			if (!PlayerSlots[playerID].HasValue())
			{
				PlayerSlots[playerID] = Optional<u64>(controllerID);
				PlayerOfController[controllerID] = playerID;
				gConsole.LogDebug("Controller added in existing place");
				return;
			}
		}
		PlayerOfController[controllerID] = PlayerSlots.GetSize();
		PlayerSlots.PushBack(Optional<u64>(controllerID));
		gConsole.LogDebug("Controller added in new place");
	}

	void InputWorldComponent::RemoveController(u64 controllerID)
	{
		const auto player = PlayerOfController.find(controllerID);
		if (player == PlayerOfController.end())
		{
			gConsole.LogWarning("Removal of unknown controller {} ignored", controllerID);
			return;
		}
		Controllers.erase(controllerID);
		// The slot stays so the players after it keep their IDs.
		PlayerSlots[player->second].Reset();
		PlayerOfController.erase(player);
	}

	InputWorldComponent::ControllerState* InputWorldComponent::FindControllerForEvent(u64 controllerID)
	{
		// The launcher forwards only controllers it opened, but a lost add event must not take the game down.
		const auto found = Controllers.find(controllerID);
		if (found == Controllers.end())
		{
			gConsole.LogWarning("Input event of unknown controller {} ignored", controllerID);
			return nullptr;
		}
		return &found->second;
	}
} // namespace Vorn
