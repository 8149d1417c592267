#pragma once

#include "ecs/componentbase.hpp"
#include "math/vector2i.hpp"
#include "text/text2d.hpp"

namespace Vorn
{
	// A Text2D at a pixel position of the screen: the start of its baseline, x to the right and y upwards from the
	// bottom-left corner. The device draws every one of them over the finished image of each viewport.
	class ScreenSpaceTextComponent : public ComponentBase
	{
	public:
		ScreenSpaceTextComponent(const Vector2i& screenPosition, const String& path, eResourceSource source,
		                         std::size_t fontSize, const String& text, const Color& fontColor)
		    : Text(path, source, fontSize, text, fontColor), ScreenPosition(screenPosition)
		{
		}

		Text2D& GetText() { return Text; }
		const Text2D& GetText() const { return Text; }
		void SetText(const String& text) { Text.SetText(text); }
		const Vector2i& GetScreenPosition() const { return ScreenPosition; }
		void SetScreenPosition(const Vector2i& position) { ScreenPosition = position; }

	private:
		Text2D Text;
		Vector2i ScreenPosition;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::ScreenSpaceTextComponent);
