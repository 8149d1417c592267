#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "math/color.hpp"
#include "rendering/irenderingdevice.hpp"
#include "utils/enumutils.hpp"
#include "utils/string.hpp"

#include <SDL_video.h>

#include <initializer_list>
#include <memory>

namespace Vorn
{
	class IRendererInterface;
	class PrimitiveCube;
	class PrimitiveQuad;
	class RenderingPassBase;
	class RenderingTargetBase;
	class SceneView;
	class Viewport;

	// Which renderer fits the context that could be created.
	enum class eRendererType : u32
	{
		FALLBACK = 0,
		HIGHEND = 1,
		_COUNT
	};

	// Slots of the forward renderer's geometry passes in the device's table, and what fills them. The renderer's
	// mode sequences run slots by number (see ForwardRenderer): 0 serves the lit and wireframe views, 1 goes before
	// it in the lit view, 2 blends over the unlit and normals views, 5 and 6 replace 0 in the normals views, 8 ends
	// the wireframe views.
	enum class eGeometryRenderPassType : u32
	{
		BLINN_PHONG = 0,             // BlinnPhongRenderingPass: the lit meshes
		SKYBOX = 1,                  // SkyboxRenderingPass: the sky panorama
		TRANSPARENT = 2,             // TransparentRenderingPass: stand-ins for translucent meshes
		UNLIT = 3,                   // UnlitRenderingPass: meshes in their materials' colours
		PARTICLES = 4,               // ParticlesRenderingPass
		DEBUG_NORMALS = 5,           // DebugNormalsRenderingPass: meshes coloured by normal
		DEBUG_NORMALS_WIREFRAME = 6, // DebugNormalsWireframeRenderingPass: edges and normals as lines
		SPRITESHEET = 7,             // SpritesheetRenderingPass
		DEBUG = 8,                   // DebugRenderingPass: the frame's debug lines, in the window
		TEXT_2D = 9,                 // Text2DRenderingPass: the screen texts, in the window
		_COUNT
	};

	// Slots of the forward renderer's post-processing passes; FINAL tone-maps the shared colour target into the
	// window with the camera's postprocess settings. The stages before it are free for games' own passes.
	enum class ePostprocessRenderPassType : u32
	{
		STAGE_0 = 0,
		STAGE_1 = 1,
		STAGE_2 = 2,
		STAGE_3 = 3,
		FINAL = 4,
		_COUNT
	};

	// The screen-sized targets the forward renderer's passes share: an HDR colour and a depth texture.
	enum class eSharedRenderingTargetType : u32
	{
		COLOR = 0,
		DEPTH = 1,
		_COUNT
	};

	// The OpenGL implementation of the rendering device. It owns the core context of the launcher's window, the
	// drawing helpers and small textures every renderer shares, and the renderer that draws each viewport: the tiled
	// renderer on an OpenGL 4.3 context, the forward renderer where only 3.3 can be had. Only one device may exist
	// at a time.
	class GLRenderingDevice : public IRenderingDevice
	{
	public:
		// Without a renderer every viewport is only cleared to this.
		static constexpr Color VIEWPORT_CLEAR_COLOR = Color(0.125f, 0.125f, 0.125f, 1.0f);

		// Creates the context, 4.3 or else 3.3, and makes it current on the calling thread. Without either the
		// process stops.
		GLRenderingDevice(SDL_Window* window, ScreenSize const& size);
		~GLRenderingDevice() override;
		GLRenderingDevice(const GLRenderingDevice&) = delete;
		GLRenderingDevice& operator=(const GLRenderingDevice&) = delete;

		bool CreateContextHighend();
		bool CreateContextFallback();

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

		// The forward renderer's passes and shared targets; null while the tiled renderer draws.
		RenderingPassBase* GetGeometryRenderingPass(eGeometryRenderPassType type) const
		{
			return GeometryRenderingPasses[type].get();
		}
		RenderingPassBase* GetPostprocessRenderingPass(ePostprocessRenderPassType type) const
		{
			return PostprocessRenderingPasses[type].get();
		}
		RenderingTargetBase* GetRenderingTarget(eSharedRenderingTargetType type) const
		{
			return RenderingTargets[type].get();
		}
		const Dynarray<String>& GetOpenGLExtensions() const { return OpenGLExtensions; }

		// Texture names shared by the renderers; 0 until Init.
		u32 GetFallbackWhiteTexture() const { return FallbackWhiteTexture; }
		u32 GetFallbackBlackTexture() const { return FallbackBlackTexture; }
		u32 GetFallbackNormalMap() const { return FallbackNormalMap; }
		u32 GetNoiseTexture() const { return NoiseTexture; }

		// A sampler or output name of a pass and the target bound under it.
		struct InputOutputBind
		{
			String Name;
			RenderingTargetBase* Target = nullptr;
		};

	private:
		// Lets the tests register their own postprocess passes and targets.
		friend struct GLRenderingDeviceTestAccess;

		void GetExtensions();
		void CreateUtilityTextures();
		IRendererInterface* CreateRenderer();
		void FillSceneView(SceneView& view);
		void ClearViewport(const Viewport& viewport);
		void EndFrame();
		// Fills the forward renderer's tables: the shared targets, the ten geometry passes and the final
		// postprocess pass.
		void CreateForwardRenderingPasses();
		void CleanUpResources();
		// Replaces the pass in `type`'s slot with a new postprocess pass: outputs bound first, then inputs, then
		// finalised.
		void RegisterPostprocessPass(ePostprocessRenderPassType type, String const& fragmentShaderPath,
		                             std::initializer_list<InputOutputBind> const& inputs,
		                             std::initializer_list<InputOutputBind> const& outputs);

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
		// The forward renderer's passes and the targets they share; empty while the tiled renderer draws.
		EnumArray<std::unique_ptr<RenderingPassBase>, eGeometryRenderPassType> GeometryRenderingPasses;
		EnumArray<std::unique_ptr<RenderingPassBase>, ePostprocessRenderPassType> PostprocessRenderingPasses;
		EnumArray<std::unique_ptr<RenderingTargetBase>, eSharedRenderingTargetType> RenderingTargets;
	};

	// The one live device, for device code that has no device pointer at hand.
	extern GLRenderingDevice* gRenderingDevice;
} // namespace Vorn

// The device library's only entry point, resolved by name by the launcher. The caller owns the result.
extern "C" Vorn::IRenderingDevice* VornCreateRenderingDevice(SDL_Window* window, Vorn::ScreenSize const& size);
