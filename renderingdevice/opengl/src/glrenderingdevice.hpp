#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "math/color.hpp"
#include "rendering/irenderingdevice.hpp"
#include "utils/string.hpp"

#include <SDL_video.h>

#include <memory>

namespace Vorn
{
	class IRendererInterface;
	class PrimitiveCube;
	class PrimitiveQuad;
	class SceneView;
	class Viewport;

	// Which renderer fits the context that could be created.
	enum class eRendererType : u32
	{
		FALLBACK = 0,
		HIGHEND = 1,
		_COUNT
	};

	// The OpenGL implementation of the rendering device. It owns the 4.3 core context of the launcher's window,
	// the drawing helpers and small textures every renderer shares, and the renderer that draws each viewport.
	// Only one device may exist at a time.
	class GLRenderingDevice : public IRenderingDevice
	{
	public:
		// Without a renderer every viewport is only cleared to this.
		static constexpr Color VIEWPORT_CLEAR_COLOR = Color(0.125f, 0.125f, 0.125f, 1.0f);

		// Creates the context and makes it current on the calling thread.
		GLRenderingDevice(SDL_Window* window, ScreenSize const& size);
		~GLRenderingDevice() override;
		GLRenderingDevice(const GLRenderingDevice&) = delete;
		GLRenderingDevice& operator=(const GLRenderingDevice&) = delete;

		bool CreateContextHighend();

		void Resize(ScreenSize const& size) override;
		ScreenSize const& GetScreenSize() const override { return ScreenDim; }
		void RenderWorld(World* world) override;
		void Init() override;

		std::unique_ptr<ITextureDeviceProxy> CreateTexture(std::size_t width, std::size_t height, std::size_t channels,
		                                                   eTextureUsageType usage) override;
		std::unique_ptr<ICubemapDeviceProxy> CreateCubemap(std::size_t width, std::size_t height) override;
		std::unique_ptr<ITextFieldBufferDeviceProxy> CreateTextFieldBuffer() override;
		std::unique_ptr<IMeshDeviceProxy> CreateMesh() override;
		std::unique_ptr<IParticleDeviceProxy> CreateParticle() override;

		// Shared drawing helpers; null until Init.
		PrimitiveQuad* GetQuadPrimitive() const { return QuadPrimitive.get(); }
		PrimitiveCube* GetCubePrimitive() const { return CubePrimitive.get(); }

		// Replaces the renderer that Init chose: the previous one is deinitialised and destroyed, the new one
		// initialised. A null renderer leaves the viewports only cleared.
		void SetRenderer(std::unique_ptr<IRendererInterface> renderer);
		// Null before Init, or when the context has no renderer.
		IRendererInterface* GetRenderer() const { return RendererInterface.get(); }

		eRendererType GetRendererType() const { return RendererType; }
		const Dynarray<String>& GetOpenGLExtensions() const { return OpenGLExtensions; }

		// Texture names shared by the renderers; 0 until Init.
		u32 GetFallbackWhiteTexture() const { return FallbackWhiteTexture; }
		u32 GetFallbackBlackTexture() const { return FallbackBlackTexture; }
		u32 GetFallbackNormalMap() const { return FallbackNormalMap; }
		u32 GetNoiseTexture() const { return NoiseTexture; }

	private:
		void GetExtensions();
		void CreateUtilityTextures();
		IRendererInterface* CreateRenderer();
		void FillSceneView(SceneView& view);
		void ClearViewport(const Viewport& viewport);
		void EndFrame();
		void CleanUpResources();

		std::unique_ptr<PrimitiveQuad> QuadPrimitive;
		std::unique_ptr<PrimitiveCube> CubePrimitive;
		u32 FallbackWhiteTexture = 0;
		u32 FallbackBlackTexture = 0;
		u32 FallbackNormalMap = 0;
		u32 NoiseTexture = 0;

		SDL_Window* Window = nullptr;
		SDL_GLContext Context = nullptr;
		ScreenSize ScreenDim;
		Dynarray<String> OpenGLExtensions;
		eRendererType RendererType = eRendererType::FALLBACK;
		std::unique_ptr<IRendererInterface> RendererInterface;
	};

	// The one live device, for device code that has no device pointer at hand.
	extern GLRenderingDevice* gRenderingDevice;
} // namespace Vorn

// The device library's only entry point, resolved by name by the launcher. The caller owns the result.
extern "C" Vorn::IRenderingDevice* VornCreateRenderingDevice(SDL_Window* window, Vorn::ScreenSize const& size);
