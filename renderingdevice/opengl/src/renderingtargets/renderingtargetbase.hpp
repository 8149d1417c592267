#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"

namespace Vorn
{
	struct ScreenSize;

	// What a target is, which decides how a pass binds it.
	enum class eRenderingTargetType : u32
	{
		TEXTURE_2D = 0,       // screen-sized colour texture
		TEXTURE_2D_INPUT = 1, // texture loaded from a file, read only
		DEPTH = 2,            // screen-sized depth texture
		_COUNT
	};

	// Something a rendering pass reads from or draws into. Passes do not own their targets.
	class RenderingTargetBase : public BaseObject
	{
	public:
		RenderingTargetBase() = default;
		~RenderingTargetBase() override;
		RenderingTargetBase(const RenderingTargetBase&) = delete;
		RenderingTargetBase& operator=(const RenderingTargetBase&) = delete;

		virtual eRenderingTargetType GetType() const = 0;
		// Follows the screen size; the content is lost.
		virtual void Resize(ScreenSize const& size) = 0;
	};
} // namespace Vorn
