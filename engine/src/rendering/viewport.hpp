#pragma once

#include "math/aarect.hpp"
#include "memory/baseobject.hpp"

namespace Vorn
{
	class CameraComponent;

	// A rectangle of the screen, in fractions of the screen size, showing what one camera sees.
	class Viewport : public BaseObject
	{
	public:
		explicit Viewport(const AARect& rect) : Rect(rect) {}

		const AARect& GetRect() const { return Rect; }
		void SetRect(const AARect& rect) { Rect = rect; }
		// Null until a camera is set.
		CameraComponent* GetCamera() const { return Camera; }
		void SetCamera(CameraComponent* camera);

	private:
		AARect Rect;
		CameraComponent* Camera = nullptr;
	};
} // namespace Vorn
