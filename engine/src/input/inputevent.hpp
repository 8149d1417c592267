#pragma once

#include "defines.hpp"
#include "math/vector2i.hpp"
#include "memory/baseobject.hpp"

namespace Vorn
{
	// Keyboard scancodes in SDL2's numbering (USB HID usage IDs), so the launcher passes them straight through.
	enum class eKey : u32
	{
		UNKNOWN = 0,
		A = 4,
		B = 5,
		C = 6,
		D = 7,
		E = 8,
		F = 9,
		G = 10,
		H = 11,
		I = 12,
		J = 13,
		K = 14,
		L = 15,
		M = 16,
		N = 17,
		O = 18,
		P = 19,
		Q = 20,
		R = 21,
		S = 22,
		T = 23,
		U = 24,
		V = 25,
		W = 26,
		X = 27,
		Y = 28,
		Z = 29,
		DIGIT_1 = 30,
		DIGIT_2 = 31,
		DIGIT_3 = 32,
		DIGIT_4 = 33,
		DIGIT_5 = 34,
		DIGIT_6 = 35,
		DIGIT_7 = 36,
		DIGIT_8 = 37,
		DIGIT_9 = 38,
		DIGIT_0 = 39,
		RETURN = 40,
		ESCAPE = 41,
		BACKSPACE = 42,
		TAB = 43,
		SPACE = 44,
		MINUS = 45,
		EQUALS = 46,
		LEFTBRACKET = 47,
		RIGHTBRACKET = 48,
		BACKSLASH = 49,
		NONUSHASH = 50,
		SEMICOLON = 51,
		APOSTROPHE = 52,
		GRAVE = 53,
		COMMA = 54,
		PERIOD = 55,
		SLASH = 56,
		CAPSLOCK = 57,
		F1 = 58,
		F2 = 59,
		F3 = 60,
		F4 = 61,
		F5 = 62,
		F6 = 63,
		F7 = 64,
		F8 = 65,
		F9 = 66,
		F10 = 67,
		F11 = 68,
		F12 = 69,
		PRINTSCREEN = 70,
		SCROLLLOCK = 71,
		PAUSE = 72,
		INSERT = 73,
		HOME = 74,
		PAGEUP = 75,
		DELETE = 76,
		END = 77,
		PAGEDOWN = 78,
		RIGHT = 79,
		LEFT = 80,
		DOWN = 81,
		UP = 82,
		NUMLOCKCLEAR = 83,
		KP_DIVIDE = 84,
		KP_MULTIPLY = 85,
		KP_MINUS = 86,
		KP_PLUS = 87,
		KP_ENTER = 88,
		KP_1 = 89,
		KP_2 = 90,
		KP_3 = 91,
		KP_4 = 92,
		KP_5 = 93,
		KP_6 = 94,
		KP_7 = 95,
		KP_8 = 96,
		KP_9 = 97,
		KP_0 = 98,
		KP_PERIOD = 99,
		LCTRL = 224,
		LSHIFT = 225,
		LALT = 226,
		LGUI = 227,
		RCTRL = 228,
		RSHIFT = 229,
		RALT = 230,
		RGUI = 231,
		_COUNT = 256
	};

	// SDL2's mouse button numbering; 0 is not a button.
	enum class eMouseButton : u32
	{
		LEFT = 1,
		MIDDLE = 2,
		RIGHT = 3,
		X1 = 4,
		X2 = 5,
		_COUNT = 6
	};

	// SDL2's game controller buttons.
	enum class eControllerButton : u32
	{
		A,
		B,
		X,
		Y,
		BACK,
		GUIDE,
		START,
		LEFTSTICK,
		RIGHTSTICK,
		LEFTSHOULDER,
		RIGHTSHOULDER,
		DPAD_UP,
		DPAD_DOWN,
		DPAD_LEFT,
		DPAD_RIGHT,
		_COUNT
	};

	// SDL2's game controller axes.
	enum class eControllerAxis : u32
	{
		LEFTX,
		LEFTY,
		RIGHTX,
		RIGHTY,
		TRIGGERLEFT,
		TRIGGERRIGHT,
		_COUNT
	};

	enum class eInputEventType : u32
	{
		KEYDOWN,
		KEYUP,
		MOUSEBUTTONDOWN,
		MOUSEBUTTONUP,
		MOUSEMOVE,
		MOUSEPOS,
		WHEELMOVE,
		CONTROLLERADDED,
		CONTROLLERREMOVED,
		CONTROLLERBUTTONDOWN,
		CONTROLLERBUTTONUP,
		CONTROLLERAXIS,
		_COUNT
	};

	// One input event waiting in the engine's queue for the next input phase. Fields the event kind does
	// not use keep their defaults.
	class InputEvent : public BaseObject
	{
	public:
		explicit InputEvent(eInputEventType type) : Type(type) {}

		eInputEventType Type;
		eKey Key = eKey::_COUNT;
		eMouseButton MouseButton = eMouseButton::_COUNT;
		Vector2i Pos;
		u64 ControllerID = 0;
		eControllerButton ControllerButton = eControllerButton::_COUNT;
		eControllerAxis ControllerAxis = eControllerAxis::_COUNT;
		float AxisValue = 0.0f;
	};
} // namespace Vorn
