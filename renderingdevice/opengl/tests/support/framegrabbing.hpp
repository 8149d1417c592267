#pragma once

#include "glrenderingdevice.hpp"
#include "offscreendrawing.hpp"
#include "renderers/irendererinterface.hpp"
#include "renderers/sceneview.hpp"

#include <epoxy/gl.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

using Frame = OffscreenDrawing::TexturePixels;
using OffscreenDrawing::Brightness;
using OffscreenDrawing::Pixel;

inline std::string Describe(const Pixel& pixel)
{
	return "(" + std::to_string(pixel[0]) + ", " + std::to_string(pixel[1]) + ", " + std::to_string(pixel[2]) + ")";
}

// Puts a real renderer on the device and reads the window's back buffer after each viewport it draws, before the
// device swaps. `onFrame`, when given, sees every viewport's picture; `frame` keeps the last one.
template <typename RENDERER>
class FrameGrabbingRenderer : public Vorn::IRendererInterface
{
public:
	FrameGrabbingRenderer(Vorn::GLRenderingDevice* device, Frame* frame,
	                      std::function<void(const Frame&)> onFrame = nullptr)
	    : IRendererInterface(device), Inner(std::make_unique<RENDERER>(device)), Grabbed(frame),
	      OnFrame(std::move(onFrame))
	{
	}

	void Init() override { Inner->Init(); }
	void Resize(Vorn::ScreenSize const& size) override { Inner->Resize(size); }
	void Deinit() override { Inner->Deinit(); }

	void Render(Vorn::SceneView const& view) override
	{
		Inner->Render(view);
		const Vorn::ScreenSize& screen = RenderingDeviceInterface->GetScreenSize();
		glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
		glReadBuffer(GL_BACK);
		*Grabbed =
		    OffscreenDrawing::ReadFramebuffer(static_cast<GLint>(screen.Width), static_cast<GLint>(screen.Height));
		if (OnFrame)
			OnFrame(*Grabbed);
	}

	RENDERER& GetInner() { return *Inner; }

private:
	std::unique_ptr<RENDERER> Inner;
	Frame* Grabbed;
	std::function<void(const Frame&)> OnFrame;
};
