#include "glrenderingdevice.hpp"

#include "debugdrawing/debugdrawstateworldcomponent.hpp"
#include "ecs/world.hpp"
#include "math/vector.hpp"
#include "primitives/primitivecube.hpp"
#include "primitives/primitivequad.hpp"
#include "proxy/glcubemapdeviceproxy.hpp"
#include "proxy/glmeshdeviceproxy.hpp"
#include "proxy/glparticledeviceproxy.hpp"
#include "proxy/gltextfieldbufferdeviceproxy.hpp"
#include "proxy/gltexturedeviceproxy.hpp"
#include "renderers/common/scenedrawing.hpp"
#include "renderers/forward/forwardrenderer.hpp"
#include "renderers/irendererinterface.hpp"
#include "renderers/sceneview.hpp"
#include "renderers/tiled/tiledforwardrenderer.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/viewport.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "renderingpasses/blinnphongrenderingpass.hpp"
#include "renderingpasses/forwardrenderingpasses.hpp"
#include "renderingpasses/postprocessrenderingpass.hpp"
#include "renderingtargets/depthrenderingtarget.hpp"
#include "renderingtargets/renderingtargetbase.hpp"
#include "renderingtargets/texture2drenderingtarget.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>

namespace Vorn
{
	GLRenderingDevice* gRenderingDevice = nullptr;

	namespace
	{
		const char* GetGLString(GLenum name)
		{
			const GLubyte* text = glGetString(name);
			return text ? reinterpret_cast<const char*>(text) : "";
		}

		GLuint CreateUtilityTexture(GLsizei width, GLsizei height, GLenum format, GLint wrap, const u8* texels)
		{
			GLuint texture = 0;
			glGenTextures(1, &texture);
			glBindTexture(GL_TEXTURE_2D, texture);
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
			// RGB rows of these sizes are not 4-byte aligned.
			glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
			glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE,
			             texels);
			glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
			glBindTexture(GL_TEXTURE_2D, 0);
			return texture;
		}

		// Maps a direction component from -1..1 to a byte, truncating toward zero.
		u8 ToUnsignedByte(float component)
		{
			const float scaled = (component * 0.5f + 0.5f) * 255.0f;
			return static_cast<u8>(std::clamp(static_cast<int>(scaled), 0, 255));
		}
	} // namespace

	GLRenderingDevice::GLRenderingDevice(SDL_Window* window, ScreenSize const& size) : Window(window), ScreenDim(size)
	{
		VORN_CHECK(window != nullptr, "Invalid window passed to rendering device.");
		VORN_CHECK(gRenderingDevice == nullptr, "Creating device twice?");
		gRenderingDevice = this;

		// Without 4.3 (no compute shaders) the forward renderer still runs on 3.3.
		if (!CreateContextHighend() && !CreateContextFallback())
			VORN_CHECK(Context != nullptr, "Context creation failed! OpenGL 4.3 is required! Sorry we probably do "
			                               "not support your GPU and Mac OS.");
		VORN_CHECK(Context != nullptr, "OpenGL context creation failed!");

		gConsole.LogInfo("OpenGL context set up successfully");
		gConsole.LogInfo("GL Renderer: {}", GetGLString(GL_RENDERER));
		gConsole.LogInfo("GL Version: {}", GetGLString(GL_VERSION));
		gConsole.LogInfo("GLSL Version: {}", GetGLString(GL_SHADING_LANGUAGE_VERSION));
		gConsole.LogInfo("Fitting renderer (0 - Fallback, 1 - Highend): {}", RendererType);

		// Some drivers (software ones under a virtual display among them) refuse vertical sync; the frame loop
		// then simply runs unpaced.
		if (SDL_GL_SetSwapInterval(1) != 0)
			gConsole.LogWarning("Vertical sync could not be enabled, err: {}", SDL_GetError());
	}

	GLRenderingDevice::~GLRenderingDevice()
	{
		if (RendererInterface)
			RendererInterface->Deinit();
		CleanUpResources();
		// The utility textures go with the context.
		if (Context)
			SDL_GL_DeleteContext(Context);
		gRenderingDevice = nullptr;
		RendererInterface.reset();
	}

	namespace
	{
		void SetContextAttributes(int majorVersion, int minorVersion)
		{
			SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
			SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, majorVersion);
			SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, minorVersion);
			SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
			SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
			SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
			SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 4);
		}
	} // namespace

	bool GLRenderingDevice::CreateContextHighend()
	{
		SetContextAttributes(4, 3);
		Context = SDL_GL_CreateContext(Window);
		if (!Context)
		{
			gConsole.LogInfo("HighEnd context setup failed, err: {}", SDL_GetError());
			return false;
		}
		RendererType = eRendererType::HIGHEND;
		gConsole.LogInfo("HighEnd context created");
		return true;
	}

	bool GLRenderingDevice::CreateContextFallback()
	{
		SetContextAttributes(3, 3);
		Context = SDL_GL_CreateContext(Window);
		if (!Context)
		{
			gConsole.LogInfo("Fallback context setup failed, err: {}", SDL_GetError());
			return false;
		}
		RendererType = eRendererType::FALLBACK;
		gConsole.LogInfo("Fallback context created: OpenGL 3.3, drawing with the forward renderer");
		return true;
	}

	void GLRenderingDevice::Init()
	{
		gConsole.LogInfo("GLRenderingDevice::Init");
		GetExtensions();
		QuadPrimitive.reset(new PrimitiveQuad());
		CubePrimitive.reset(new PrimitiveCube());
		CreateUtilityTextures();
		if (RendererType == eRendererType::FALLBACK)
			CreateForwardRenderingPasses();
		SetRenderer(std::unique_ptr<IRendererInterface>(CreateRenderer()));
	}

	IRendererInterface* GLRenderingDevice::CreateRenderer()
	{
		switch (RendererType)
		{
		case eRendererType::FALLBACK:
			return new ForwardRenderer(this);
		case eRendererType::HIGHEND:
			return new TiledForwardRenderer(this);
		default:
			VORN_FAIL("Uknown eRenderingModeType");
		}
	}

	void GLRenderingDevice::SetRenderer(std::unique_ptr<IRendererInterface> renderer)
	{
		if (RendererInterface)
			RendererInterface->Deinit();
		RendererInterface = std::move(renderer);
		if (RendererInterface)
			RendererInterface->Init();
	}

	void GLRenderingDevice::CreateForwardRenderingPasses()
	{
		using Slot = eGeometryRenderPassType;
		RenderingTargets[eSharedRenderingTargetType::COLOR] =
		    std::make_unique<Texture2DRenderingTarget>(GL_RGBA16F, eRenderTargetType::HDR_COLOR);
		RenderingTargets[eSharedRenderingTargetType::DEPTH] = std::make_unique<DepthRenderingTarget>();

		GeometryRenderingPasses[Slot::BLINN_PHONG] = std::make_unique<BlinnPhongRenderingPass>(this);
		GeometryRenderingPasses[Slot::SKYBOX] = std::make_unique<SkyboxRenderingPass>(this);
		GeometryRenderingPasses[Slot::TRANSPARENT] = std::make_unique<TransparentRenderingPass>(this);
		GeometryRenderingPasses[Slot::UNLIT] = std::make_unique<UnlitRenderingPass>(this);
		GeometryRenderingPasses[Slot::PARTICLES] = std::make_unique<ParticlesRenderingPass>(this);
		GeometryRenderingPasses[Slot::DEBUG_NORMALS] = std::make_unique<DebugNormalsRenderingPass>(this);
		GeometryRenderingPasses[Slot::DEBUG_NORMALS_WIREFRAME] =
		    std::make_unique<DebugNormalsWireframeRenderingPass>(this);
		GeometryRenderingPasses[Slot::SPRITESHEET] = std::make_unique<SpritesheetRenderingPass>(this);
		GeometryRenderingPasses[Slot::DEBUG] = std::make_unique<DebugRenderingPass>(this);
		GeometryRenderingPasses[Slot::TEXT_2D] = std::make_unique<Text2DRenderingPass>(this);

		RenderingTargetBase* color = RenderingTargets[eSharedRenderingTargetType::COLOR].get();
		RenderingTargetBase* depth = RenderingTargets[eSharedRenderingTargetType::DEPTH].get();
		for (Slot slot : {Slot::BLINN_PHONG, Slot::SKYBOX, Slot::TRANSPARENT, Slot::UNLIT, Slot::PARTICLES,
		                  Slot::DEBUG_NORMALS, Slot::DEBUG_NORMALS_WIREFRAME, Slot::SPRITESHEET})
		{
			RenderingPassBase& pass = *GeometryRenderingPasses[slot];
			pass.AddOutput("oColor", color);
			pass.AddOutput("Depth", depth);
			pass.Finalize();
		}
		// The debug lines and texts go over the finished picture, straight into the window.
		GeometryRenderingPasses[Slot::DEBUG]->Finalize();
		GeometryRenderingPasses[Slot::TEXT_2D]->Finalize();

		RegisterPostprocessPass(ePostprocessRenderPassType::FINAL, "Shaders/postprocessFinal.frag.glsl",
		                        {{"uColorBuffer", color}}, {});
	}

	void GLRenderingDevice::CleanUpResources()
	{
		for (auto& target : RenderingTargets)
			target.reset();
		for (auto& pass : GeometryRenderingPasses)
			pass.reset();
		for (auto& pass : PostprocessRenderingPasses)
			pass.reset();
		QuadPrimitive.reset();
		CubePrimitive.reset();
	}

	void GLRenderingDevice::RegisterPostprocessPass(ePostprocessRenderPassType type, String const& fragmentShaderPath,
	                                                std::initializer_list<InputOutputBind> const& inputs,
	                                                std::initializer_list<InputOutputBind> const& outputs)
	{
		std::unique_ptr<RenderingPassBase>& slot = PostprocessRenderingPasses[type];
		slot = std::make_unique<PostprocessRenderingPass>(this, fragmentShaderPath);
		for (const InputOutputBind& output : outputs)
			slot->AddOutput(output.Name, output.Target);
		for (const InputOutputBind& input : inputs)
			slot->AddInput(input.Name, input.Target);
		slot->Finalize();
	}

	void GLRenderingDevice::GetExtensions()
	{
		GLint extensionCount = 0;
		glGetIntegerv(GL_NUM_EXTENSIONS, &extensionCount);
		OpenGLExtensions.Clear();
		OpenGLExtensions.Reserve(static_cast<u64>(std::max(extensionCount, 0)));

		gConsole.LogInfo("OpenGL supported extensions:");
		for (GLint i = 0; i < extensionCount; ++i)
		{
			const GLubyte* name = glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i));
			OpenGLExtensions.PushBack(String(name ? reinterpret_cast<const char*>(name) : ""));
			gConsole.LogInfo("Ext {}: {}", i, OpenGLExtensions[static_cast<u64>(i)]);
		}
	}

	void GLRenderingDevice::CreateUtilityTextures()
	{
		gConsole.LogInfo("GLRenderingDevice::CreateUtilityTextures");

		const u8 white[] = {255, 255, 255, 255};
		const u8 black[] = {0, 0, 0, 0};
		const u8 flatNormal[] = {128, 128, 255};
		FallbackWhiteTexture = CreateUtilityTexture(1, 1, GL_RGBA, GL_CLAMP_TO_EDGE, white);
		FallbackBlackTexture = CreateUtilityTexture(1, 1, GL_RGBA, GL_CLAMP_TO_EDGE, black);
		FallbackNormalMap = CreateUtilityTexture(1, 1, GL_RGB, GL_CLAMP_TO_EDGE, flatNormal);

		// Random unit directions in the XY plane, tiled over the screen by the renderers.
		constexpr int noiseTexelCount = 4 * 4;
		u8 noise[noiseTexelCount * 3];
		for (int i = 0; i < noiseTexelCount; ++i)
		{
			const float y = 2.0f * SceneDrawing::NextRandomFraction() - 1.0f;
			const float x = 2.0f * SceneDrawing::NextRandomFraction() - 1.0f;
			Vector direction(x, y, 0.0f, 1.0f);
			direction.Normalize();
			noise[i * 3 + 0] = ToUnsignedByte(direction.x);
			noise[i * 3 + 1] = ToUnsignedByte(direction.y);
			noise[i * 3 + 2] = ToUnsignedByte(direction.z);
		}
		NoiseTexture = CreateUtilityTexture(4, 4, GL_RGB, GL_REPEAT, noise);
	}

	void GLRenderingDevice::RenderWorld(World* world)
	{
		const ViewportWorldComponent* viewports = world->GetWorldComponent<ViewportWorldComponent>();
		VORN_CHECK(viewports != nullptr, "World passed to RenderWorld has no viewports component.");

		for (const auto& [id, viewport] : viewports->GetViewports())
		{
			if (!RendererInterface)
			{
				ClearViewport(viewport);
				continue;
			}
			SceneView view(world, viewport);
			FillSceneView(view);
			RendererInterface->Render(view);
		}
		// Lines last one frame even where no viewport drew them.
		if (DebugDrawStateWorldComponent* debugState = world->GetWorldComponent<DebugDrawStateWorldComponent>())
		{
			debugState->DebugLines.Clear();
			debugState->DebugLinesColors.Clear();
		}

		EndFrame();
	}

	void GLRenderingDevice::FillSceneView(SceneView& view)
	{
		World* world = view.WorldData;
		for (auto [mesh] : world->IterateComponents<MeshRenderingComponent>())
		{
			if (mesh->GetShadingModel() != eShadingMode::PBR)
				continue;
			if (mesh->GetBlendingMode() == eBlendingMode::OPAQUE)
				view.OpaqueQueue.PushBack(mesh);
			else if (mesh->GetBlendingMode() == eBlendingMode::TRANSLUCENT)
				view.TranslucentQueue.PushBack(mesh);
		}
		for (auto [light] : world->IterateComponents<DirectionalLightComponent>())
			view.DirectionalLights.PushBack(light);
		for (auto [light] : world->IterateComponents<PointLightComponent>())
			view.PointLights.PushBack(light);
	}

	void GLRenderingDevice::ClearViewport(const Viewport& viewport)
	{
		// Viewport rectangles are fractions of the screen with OpenGL's origin, the bottom-left corner.
		const AARect& rect = viewport.GetRect();
		const GLint x = static_cast<GLint>(std::lround(rect.GetMin().x * static_cast<float>(ScreenDim.Width)));
		const GLint y = static_cast<GLint>(std::lround(rect.GetMin().y * static_cast<float>(ScreenDim.Height)));
		const GLsizei width = static_cast<GLsizei>(std::lround(rect.GetSize().x * static_cast<float>(ScreenDim.Width)));
		const GLsizei height =
		    static_cast<GLsizei>(std::lround(rect.GetSize().y * static_cast<float>(ScreenDim.Height)));

		glViewport(x, y, width, height);
		glEnable(GL_SCISSOR_TEST);
		glScissor(x, y, width, height);
		glClearColor(VIEWPORT_CLEAR_COLOR.r, VIEWPORT_CLEAR_COLOR.g, VIEWPORT_CLEAR_COLOR.b, VIEWPORT_CLEAR_COLOR.a);
		glDepthMask(GL_TRUE);
		glClearDepth(1.0);
		glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
		glDisable(GL_SCISSOR_TEST);
	}

	void GLRenderingDevice::EndFrame()
	{
		if (Window && Context)
			SDL_GL_SwapWindow(Window);
	}

	void GLRenderingDevice::Resize(ScreenSize const& size)
	{
		ScreenDim = size;
		for (auto& target : RenderingTargets)
			if (target)
				target->Resize(size);
		if (RendererInterface)
			RendererInterface->Resize(size);
	}

	std::unique_ptr<ITextureDeviceProxy> GLRenderingDevice::CreateTexture(std::size_t width, std::size_t height,
	                                                                      std::size_t channels, eTextureUsageType usage)
	{
		return std::unique_ptr<ITextureDeviceProxy>(new GLTextureDeviceProxy(width, height, channels, usage));
	}

	std::unique_ptr<ICubemapDeviceProxy> GLRenderingDevice::CreateCubemap(std::size_t width, std::size_t height)
	{
		return std::unique_ptr<ICubemapDeviceProxy>(new GLCubemapDeviceProxy(width, height));
	}

	std::unique_ptr<ITextFieldBufferDeviceProxy> GLRenderingDevice::CreateTextFieldBuffer()
	{
		return std::unique_ptr<ITextFieldBufferDeviceProxy>(new GLTextFieldBufferDeviceProxy());
	}

	std::unique_ptr<IMeshDeviceProxy> GLRenderingDevice::CreateMesh()
	{
		return std::unique_ptr<IMeshDeviceProxy>(new GLMeshDeviceProxy());
	}

	std::unique_ptr<IParticleDeviceProxy> GLRenderingDevice::CreateParticle()
	{
		return std::unique_ptr<IParticleDeviceProxy>(new GLParticleDeviceProxy());
	}
} // namespace Vorn

extern "C" Vorn::IRenderingDevice* VornCreateRenderingDevice(SDL_Window* window, Vorn::ScreenSize const& size)
{
	return new Vorn::GLRenderingDevice(window, size);
}
