#pragma once

#include "defines.hpp"
#include "glrenderingdevice.hpp"
#include "renderers/irendererinterface.hpp"
#include "renderers/sceneview.hpp"

#include <epoxy/gl.h>

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using Pixel = std::array<Vorn::u8, 4>;

// The window's back buffer as a renderer left it, before the swap.
struct Frame
{
	int Width = 0;
	int Height = 0;
	std::vector<Vorn::u8> Bytes; // RGBA rows, bottom row first

	Pixel At(int x, int y) const
	{
		const std::size_t offset = (static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + x) * 4;
		return {Bytes[offset], Bytes[offset + 1], Bytes[offset + 2], Bytes[offset + 3]};
	}

	long Sum() const
	{
		long sum = 0;
		for (std::size_t i = 0; i < Bytes.size(); ++i)
			sum += (i % 4 == 3) ? 0 : Bytes[i];
		return sum;
	}
};

inline int Brightness(const Pixel& pixel) { return pixel[0] + pixel[1] + pixel[2]; }

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
		Grabbed->Width = static_cast<int>(screen.Width);
		Grabbed->Height = static_cast<int>(screen.Height);
		Grabbed->Bytes.assign(static_cast<std::size_t>(screen.Width) * screen.Height * 4, 0);
		glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
		glReadBuffer(GL_BACK);
		glPixelStorei(GL_PACK_ALIGNMENT, 1);
		glReadPixels(0, 0, static_cast<GLsizei>(screen.Width), static_cast<GLsizei>(screen.Height), GL_RGBA,
		             GL_UNSIGNED_BYTE, Grabbed->Bytes.data());
		if (OnFrame)
			OnFrame(*Grabbed);
	}

	RENDERER& GetInner() { return *Inner; }

private:
	std::unique_ptr<RENDERER> Inner;
	Frame* Grabbed;
	std::function<void(const Frame&)> OnFrame;
};
