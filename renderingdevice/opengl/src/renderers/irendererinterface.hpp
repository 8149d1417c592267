#pragma once

#include "memory/baseobject.hpp"

namespace Vorn
{
	class GLRenderingDevice;
	class SceneView;
	struct ScreenSize;

	// What the device draws each viewport with. The device owns its renderer: it calls Init once, Render for
	// every viewport of every frame, Resize when the screen changes and Deinit before it tears its context down.
	// The renderer itself is destroyed after the context is gone, so its OpenGL objects must go in Deinit.
	class IRendererInterface : public BaseObject
	{
	public:
		explicit IRendererInterface(GLRenderingDevice* device);
		~IRendererInterface() override;
		IRendererInterface(const IRendererInterface&) = delete;
		IRendererInterface& operator=(const IRendererInterface&) = delete;

		virtual void Init() = 0;
		virtual void Resize(ScreenSize const& size) = 0;
		virtual void Render(SceneView const& sceneView) = 0;
		virtual void Deinit() = 0;

	protected:
		// The owning device; never null.
		GLRenderingDevice* RenderingDeviceInterface;
	};
} // namespace Vorn
