#include "renderers/tiled/tiledforwardrenderer.hpp"

#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "gameplaytime.hpp"
#include "globjectnames.hpp"
#include "glrenderingdevice.hpp"
#include "math/matrix.hpp"
#include "math/vector.hpp"
#include "movement/movementsystem.hpp"
#include "primitives/primitivecube.hpp"
#include "primitives/primitivequad.hpp"
#include "renderers/common/scenedrawing.hpp"
#include "renderers/overlays/overlays.hpp"
#include "renderers/sceneview.hpp"
#include "renderers/tiled/brdftable.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "rendering/skyboxworldcomponent.hpp"
#include "resources/meshresource.hpp"
#include "resources/textureresource.hpp"
#include "utils/console.hpp"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>

namespace Vorn
{
	namespace
	{
		constexpr GLint LIGHT_BUFFER_BINDING = 0;
		constexpr GLint VISIBLE_LIGHT_INDICES_BINDING = 1;
		// The lighting passes bind their cubemaps and table at units 0 to 2 and the material maps at 3 to 8.
		constexpr int LAST_MATERIAL_MAP_UNIT = 8;
		constexpr int FLOATS_PER_LIGHT_RECORD = 12;
		constexpr float DISPLAY_GAMMA = 2.2f;
		// Pixels per side of one texel of the depth of field's gather image; the shaders use the same factor.
		constexpr i32 DOF_GATHER_SCALE = 4;

		// A viewport's rectangle of the window, in pixels.
		struct PixelRect
		{
			GLint X = 0;
			GLint Y = 0;
			GLsizei Width = 0;
			GLsizei Height = 0;
		};

		PixelRect ViewportPixels(SceneView const& view, ScreenSize const& screen)
		{
			const float width = static_cast<float>(screen.Width);
			const float height = static_cast<float>(screen.Height);
			return {static_cast<GLint>(width * view.Rect.GetMin().x), static_cast<GLint>(height * view.Rect.GetMin().y),
			        static_cast<GLsizei>(width * view.Rect.GetSize().x),
			        static_cast<GLsizei>(height * view.Rect.GetSize().y)};
		}

		// What the post chain reads from a camera's PostprocessSettingsComponent, with the values a camera without
		// one gets.
		struct PostprocessValues
		{
			float Exposure = 1.0f;
			float DOFPoint = 1000.0f;
			float DOFRange = 800.0f;
			float DOFSize = 0.2f;
		};

		PostprocessValues ReadPostprocessValues(const CameraComponent* camera)
		{
			PostprocessValues values;
			if (const PostprocessSettingsComponent* settings = camera->GetSibling<PostprocessSettingsComponent>())
			{
				values.Exposure = settings->Exposure;
				values.DOFPoint = settings->DOFPoint;
				values.DOFRange = settings->DOFRange;
				values.DOFSize = settings->DOFSize;
			}
			return values;
		}

		// Range -1 marks the slot as empty.
		void WriteEmptyLightRecord(float* record)
		{
			const float empty[FLOATS_PER_LIGHT_RECORD] = {0.0f, 0.0f, 0.0f,  1.0f, 0.0f, 0.0f,
			                                              0.0f, 1.0f, -1.0f, 0.0f, 0.0f, 1.0f};
			std::copy(empty, empty + FLOATS_PER_LIGHT_RECORD, record);
		}

		GLuint CreateScreenTexture(ScreenSize const& size, GLint internalFormat, GLenum format, GLint filter,
		                           GLint wrap)
		{
			GLuint texture = 0;
			glGenTextures(1, &texture);
			glBindTexture(GL_TEXTURE_2D, texture);
			glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, size.Width, size.Height, 0, format, GL_FLOAT, nullptr);
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
			glBindTexture(GL_TEXTURE_2D, 0);
			return texture;
		}

		GLuint CreateColorFramebuffer(GLuint colorTexture)
		{
			GLuint framebuffer = 0;
			glGenFramebuffers(1, &framebuffer);
			glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
			glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture, 0);
			glBindFramebuffer(GL_FRAMEBUFFER, 0);
			return framebuffer;
		}

		// Six black 1x1 faces.
		GLuint CreateBlackCubemap()
		{
			const float black[3] = {0.0f, 0.0f, 0.0f};
			GLuint cubemap = 0;
			glGenTextures(1, &cubemap);
			glBindTexture(GL_TEXTURE_CUBE_MAP, cubemap);
			for (GLenum face = 0; face < 6; ++face)
				glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGB16F, 1, 1, 0, GL_RGB, GL_FLOAT, black);
			glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
			glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
			glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
			return cubemap;
		}

		void UnbindMaterialMapUnits()
		{
			for (int unit = LAST_MATERIAL_MAP_UNIT; unit >= 1; --unit)
			{
				glActiveTexture(GL_TEXTURE0 + unit);
				glBindTexture(GL_TEXTURE_2D, 0);
			}
			glActiveTexture(GL_TEXTURE0);
		}
	} // namespace

	TiledForwardRenderer::TiledForwardRenderer(GLRenderingDevice* device)
	    : IRendererInterface(device), Capture(device),
	      DepthShader("Shaders/depth.vert.glsl", "Shaders/depth.frag.glsl"),
	      LightCullingShader("Shaders/lightCulling.comp.glsl"),
	      LightAccumulationShader("Shaders/lightAccumulation.vert.glsl", "Shaders/lightAccumulation.frag.glsl"),
	      HdrShader("Shaders/hdr.vert.glsl", "Shaders/hdr.frag.glsl"),
	      SkyboxShader("Shaders/skybox.vert.glsl", "Shaders/skybox.frag.glsl"),
	      LinearizeDepthShader("Shaders/hdr.vert.glsl", "Shaders/linearizeDepth.frag.glsl"),
	      GammaShader("Shaders/hdr.vert.glsl", "Shaders/gamma.frag.glsl"),
	      ParticleShader("Shaders/instanced.vert.glsl", "Shaders/instanced.frag.glsl"),
	      TranslucentShader("Shaders/translucent.vert.glsl", "Shaders/translucent.frag.glsl"),
	      EquiToCubemapShader("Shaders/equiHdr.vert.glsl", "Shaders/equiHdr.frag.glsl"),
	      IntegrateBRDFShader("Shaders/hdr.vert.glsl", "Shaders/integrateBRDF.frag.glsl"),
	      DOFShader("Shaders/hdr.vert.glsl", "Shaders/dof.frag.glsl"),
	      DOFGatherShader("Shaders/hdr.vert.glsl", "Shaders/dofGather.frag.glsl"),
	      Text2DShader("Shaders/text2D.vert.glsl", "Shaders/text2D.frag.glsl"),
	      DebugShader("Shaders/debug.vert.glsl", "Shaders/debug.frag.glsl"),
	      DebugQuadDepthPrepassShader("Shaders/debugQuadDepthPrepass.vert.glsl",
	                                  "Shaders/debugQuadDepthPrepass.frag.glsl"),
	      DebugQuadLightCullingShader("Shaders/debugQuadLightCulling.vert.glsl",
	                                  "Shaders/debugQuadLightCulling.frag.glsl"),
	      DebugLightAccumShader("Shaders/debugLightAccum.vert.glsl", "Shaders/debugLightAccum.frag.glsl"),
	      LightAccumulationTexDebugShader("Shaders/lightAccumulation.vert.glsl",
	                                      "Shaders/lightAccumulationTexDebug.frag.glsl")
	{
		LightAccumulationShader.RegisterUniform("float", "uTime");
		RegisterLightingUniforms(LightAccumulationShader);

		HdrShader.RegisterUniform("sampler2D", "uHdrBuffer");
		HdrShader.RegisterUniform("float", "uExposure");

		SkyboxShader.RegisterUniform("mat4", "uClipFromWorld");
		SkyboxShader.RegisterUniform("vec4", "uTint");

		LinearizeDepthShader.RegisterUniform("float", "uNear");
		LinearizeDepthShader.RegisterUniform("float", "uFar");

		GammaShader.RegisterUniform("sampler2D", "uImage");
		GammaShader.RegisterUniform("float", "uGamma");

		ParticleShader.RegisterUniform("float", "uTime");
		ParticleShader.RegisterUniform("mat4", "uScreenFromView");
		ParticleShader.RegisterUniform("mat4", "uViewFromWorld");
		ParticleShader.RegisterUniform("mat4", "uWorldFromModel");
		ParticleShader.RegisterUniform("vec4", "uColor");

		TranslucentShader.RegisterUniform("float", "uTime");
		RegisterLightingUniforms(TranslucentShader);

		DOFShader.RegisterUniform("vec4", "uRes");
		DOFShader.RegisterUniform("sampler", "uImage");
		DOFShader.RegisterUniform("sampler", "uDepth");
		DOFShader.RegisterUniform("float", "uTime");
		DOFShader.RegisterUniform("float", "uDOFpoint");
		DOFShader.RegisterUniform("float", "uDOFrange");
		DOFShader.RegisterUniform("float", "uDOFsize");
		DOFShader.RegisterUniform("sampler", "uGathered");
		DOFShader.RegisterUniform("vec4", "uGatheredRect");

		DebugShader.RegisterUniform("mat4", "uMVP");
	}

	TiledForwardRenderer::~TiledForwardRenderer() = default;

	void TiledForwardRenderer::RegisterLightingUniforms(GLShaderProgram& program)
	{
		program.RegisterUniform("vec4", "uViewPosition");
		program.RegisterUniform("mat4", "uClipFromModel");
		program.RegisterUniform("mat4", "uWorldFromModel");
		program.RegisterUniform("vec4", "uMaterial.Emissive");
		program.RegisterUniform("vec4", "uMaterial.Albedo");
		program.RegisterUniform("float", "uMaterial.Roughness");
		program.RegisterUniform("float", "uMaterial.Metallic");
		program.RegisterUniform("float", "uMaterial.OpacityMaskThreshold");
		program.RegisterUniform("sampler2D", "uBrdfLUT");
		program.RegisterUniform("samplerCube", "uIrradianceMap");
		program.RegisterUniform("samplerCube", "uPrefilterMap");
		program.RegisterUniform("sampler2D", "uEmissiveMap");
		program.RegisterUniform("sampler2D", "uAlbedoMap");
		program.RegisterUniform("sampler2D", "uRoughnessMap");
		program.RegisterUniform("sampler2D", "uMetallicMap");
		program.RegisterUniform("sampler2D", "uNormalMap");
		program.RegisterUniform("sampler2D", "uAmbientOcclusionMap");
		for (i32 i = 0; i < MaxDirectionalLightsCount; ++i)
		{
			const String prefix = String("uDirectionalLight[") + String::From(i) + "].";
			program.RegisterUniform("vec4", prefix + "ColorIntensity");
			program.RegisterUniform("vec4", prefix + "Direction");
		}
		program.RegisterUniform("int", "uDirectionalLightCount");
		program.RegisterUniform("int", "uLightCount");
		program.RegisterUniform("int", "uWorkGroupsX");
		program.RegisterUniform("int", "uWorkGroupsY");
	}

	void TiledForwardRenderer::Init()
	{
		gConsole.LogInfo("TiledForwardRenderer::Init");
		const ScreenSize size = RenderingDeviceInterface->GetScreenSize();
		gConsole.LogInfo("TiledForwardRenderer::Init SCREEN_SIZE: ({},{})", size.Width, size.Height);

		glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
		CreateRenderTargets(size);
		SetupLightsBuffers(size);
		PreintegrateBRDF();
		BlackCubemap = CreateBlackCubemap();

		// Every slot starts empty; from then on each frame rewrites all of them.
		glBindBuffer(GL_SHADER_STORAGE_BUFFER, LightBuffer);
		if (float* records = static_cast<float*>(glMapBuffer(GL_SHADER_STORAGE_BUFFER, GL_READ_WRITE)))
		{
			for (i32 slot = 0; slot < MaxLightsCount; ++slot)
				WriteEmptyLightRecord(records + slot * FLOATS_PER_LIGHT_RECORD);
			glUnmapBuffer(GL_SHADER_STORAGE_BUFFER);
		}
		glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);

		glDepthMask(GL_TRUE);
		glEnable(GL_DEPTH_TEST);
		glEnable(GL_CULL_FACE);
		glCullFace(GL_BACK);
	}

	void TiledForwardRenderer::Resize(ScreenSize const& size)
	{
		gConsole.LogInfo("TiledForwardRenderer::Resize ({}, {})", size.Width, size.Height);
		DeleteLightsBuffers();
		DeleteRenderTargets();
		SetupLightsBuffers(size);
		CreateRenderTargets(size);
	}

	void TiledForwardRenderer::Deinit()
	{
		gConsole.LogInfo("TiledForwardRenderer::Deinit");
		DeleteLightsBuffers();
		DeleteRenderTargets();
		DeleteTexture(PreintegratedBrdfLUT);
		DeleteTexture(BlackCubemap);
		Capture.Release();
		Timings.Release();
	}

	void TiledForwardRenderer::CreateRenderTargets(ScreenSize const& size)
	{
		DepthMap = CreateScreenTexture(size, GL_DEPTH_COMPONENT, GL_DEPTH_COMPONENT, GL_NEAREST, GL_CLAMP_TO_BORDER);
		const float borderColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
		glBindTexture(GL_TEXTURE_2D, DepthMap);
		glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, borderColor);
		glBindTexture(GL_TEXTURE_2D, 0);

		glGenFramebuffers(1, &FBOdepthMap);
		glBindFramebuffer(GL_FRAMEBUFFER, FBOdepthMap);
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, DepthMap, 0);
		glDrawBuffer(GL_NONE);
		glReadBuffer(GL_NONE);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);

		ColorBuffer = CreateScreenTexture(size, GL_RGB16F, GL_RGB, GL_LINEAR, GL_CLAMP_TO_EDGE);
		NormalBuffer = CreateScreenTexture(size, GL_RGB, GL_RGB, GL_LINEAR, GL_CLAMP_TO_EDGE);
		glGenRenderbuffers(1, &RboDepth);
		glBindRenderbuffer(GL_RENDERBUFFER, RboDepth);
		glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, size.Width, size.Height);
		glBindRenderbuffer(GL_RENDERBUFFER, 0);

		glGenFramebuffers(1, &FBOhdr);
		glBindFramebuffer(GL_FRAMEBUFFER, FBOhdr);
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, ColorBuffer, 0);
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_2D, NormalBuffer, 0);
		glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, RboDepth);
		const GLenum hdrDrawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
		glDrawBuffers(2, hdrDrawBuffers);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);

		// Depth of field works on the HDR colour and tone mapping reads its result, so that image keeps floats:
		// an 8-bit one would clip bright sky and emissive surfaces to 1 before the exposure is applied.
		PostColorBuffer0 = CreateScreenTexture(size, GL_RGB16F, GL_RGB, GL_LINEAR, GL_CLAMP_TO_EDGE);
		PostColorBuffer1 = CreateScreenTexture(size, GL_RGB, GL_RGB, GL_LINEAR, GL_CLAMP_TO_EDGE);
		LinearDepth = CreateScreenTexture(size, GL_RGB16F, GL_RGB, GL_LINEAR, GL_CLAMP_TO_EDGE);
		FBOpost0 = CreateColorFramebuffer(PostColorBuffer0);
		FBOpost1 = CreateColorFramebuffer(PostColorBuffer1);

		// Alpha holds each texel's blur radius, negative in front of the focus, or a far-off negative mark where
		// the texel was not gathered.
		const ScreenSize gatherSize{(size.Width + DOF_GATHER_SCALE - 1) / DOF_GATHER_SCALE,
		                            (size.Height + DOF_GATHER_SCALE - 1) / DOF_GATHER_SCALE};
		DOFGatherBuffer = CreateScreenTexture(gatherSize, GL_RGBA16F, GL_RGBA, GL_LINEAR, GL_CLAMP_TO_EDGE);
		FBOdofGather = CreateColorFramebuffer(DOFGatherBuffer);
	}

	void TiledForwardRenderer::DeleteRenderTargets()
	{
		DeleteFramebuffer(FBOdepthMap);
		DeleteFramebuffer(FBOhdr);
		DeleteFramebuffer(FBOpost0);
		DeleteFramebuffer(FBOpost1);
		DeleteFramebuffer(FBOdofGather);
		DeleteTexture(DepthMap);
		DeleteTexture(ColorBuffer);
		DeleteTexture(NormalBuffer);
		DeleteTexture(PostColorBuffer0);
		DeleteTexture(PostColorBuffer1);
		DeleteTexture(LinearDepth);
		DeleteTexture(DOFGatherBuffer);
		DeleteRenderbuffer(RboDepth);
	}

	void TiledForwardRenderer::SetupLightsBuffers(ScreenSize const& size)
	{
		// The remainder is added before dividing, not rounded up: a width of 1281 still gives 80 tiles.
		WorkGroupsX = (size.Width + size.Width % TILE_SIZE) / TILE_SIZE;
		WorkGroupsY = (size.Height + size.Height % TILE_SIZE) / TILE_SIZE;
		const i32 tileCount = WorkGroupsX * WorkGroupsY;
		gConsole.LogInfo("TiledForwardRenderer::Init workGroups: ({},{}), numberOfTiles: {}", WorkGroupsX, WorkGroupsY,
		                 tileCount);

		glGenBuffers(1, &LightBuffer);
		glBindBuffer(GL_SHADER_STORAGE_BUFFER, LightBuffer);
		glBufferData(GL_SHADER_STORAGE_BUFFER, static_cast<GLsizeiptr>(MaxLightsCount) * LIGHT_RECORD_SIZE, nullptr,
		             GL_DYNAMIC_DRAW);

		glGenBuffers(1, &VisibleLightIndicesBuffer);
		glBindBuffer(GL_SHADER_STORAGE_BUFFER, VisibleLightIndicesBuffer);
		glBufferData(GL_SHADER_STORAGE_BUFFER,
		             static_cast<GLsizeiptr>(MaxLightsCount) * tileCount * static_cast<GLsizeiptr>(sizeof(i32)),
		             nullptr, GL_STATIC_DRAW);
		glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
	}

	void TiledForwardRenderer::DeleteLightsBuffers()
	{
		DeleteBuffer(LightBuffer);
		DeleteBuffer(VisibleLightIndicesBuffer);
	}

	void TiledForwardRenderer::PreintegrateBRDF()
	{
		PreintegratedBrdfLUT = CreatePreintegratedBrdfLUT(RenderingDeviceInterface, IntegrateBRDFShader);
	}

	i32 TiledForwardRenderer::GetVisibleLightCount(SceneView const& view) const
	{
		return static_cast<i32>(std::min<u64>(view.PointLights.GetSize(), static_cast<u64>(MaxLightsCount)));
	}

	void TiledForwardRenderer::UpdateLightsBufferFromScene(SceneView const& view)
	{
		const i32 lightCount = GetVisibleLightCount(view);
		if (view.PointLights.GetSize() > static_cast<u64>(MaxLightsCount))
			gConsole.LogInfo("TiledForwardRenderer::UpdateLightsBufferFromScene more lights than supported by "
			                 "renderer({})",
			                 MaxLightsCount);

		glBindBuffer(GL_SHADER_STORAGE_BUFFER, LightBuffer);
		float* records = static_cast<float*>(glMapBuffer(GL_SHADER_STORAGE_BUFFER, GL_READ_WRITE));
		if (!records)
		{
			glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
			return;
		}
		for (i32 slot = 0; slot < MaxLightsCount; ++slot)
		{
			float* record = records + slot * FLOATS_PER_LIGHT_RECORD;
			if (slot >= lightCount)
			{
				WriteEmptyLightRecord(record);
				continue;
			}
			const PointLightComponent* light = view.PointLights[static_cast<u64>(slot)];
			const Vector& position = light->GetTransform().GetGlobalTranslation();
			const Color& color = light->GetColor();
			const float values[FLOATS_PER_LIGHT_RECORD] = {position.x,
			                                               position.y,
			                                               position.z,
			                                               1.0f,
			                                               color.r,
			                                               color.g,
			                                               color.b,
			                                               color.a,
			                                               light->GetRange(),
			                                               light->GetIntensity(),
			                                               0.0f,
			                                               1.0f};
			std::copy(values, values + FLOATS_PER_LIGHT_RECORD, record);
		}
		glUnmapBuffer(GL_SHADER_STORAGE_BUFFER);
		glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
	}

	void TiledForwardRenderer::UpdateEnvCapture(World* world)
	{
		if (!Capture.GetIsDirty())
			return;
		if (const SkyboxWorldComponent* skybox = world->GetWorldComponent<SkyboxWorldComponent>())
			Capture.UpdateEnv(skybox);
		else
			gConsole.LogInfo("TiledForwardRenderer::UpdateEnvCapture SkyboxWorldComponent not found!");
	}

	void TiledForwardRenderer::Render(SceneView const& view)
	{
		if (!view.CameraCmp)
			return;

		Timings.Begin(PASS_LIGHT_UPLOAD);
		UpdateLightsBufferFromScene(view);
		Timings.Begin(PASS_ENVIRONMENT_CAPTURE);
		UpdateEnvCapture(view.WorldData);

		const PixelRect viewport = ViewportPixels(view, RenderingDeviceInterface->GetScreenSize());
		glViewport(viewport.X, viewport.Y, viewport.Width, viewport.Height);
		glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

		Timings.Begin(PASS_DEPTH_PRE_PASS);
		RenderDepthPrePass(view);
		Timings.Begin(PASS_LIGHT_CULLING);
		RenderLightCulling(view);
		Timings.Begin(PASS_OPAQUE_LIGHTING);
		RenderOpaqueLighting(view);
		Timings.Begin(PASS_SKYBOX);
		RenderSkybox(view);
		Timings.Begin(PASS_TRANSLUCENT);
		RenderTranslucent(view);
		Timings.Begin(PASS_PARTICLES);
		RenderParticles(view);

		Timings.Begin(PASS_LINEAR_DEPTH);
		LinearizeDepth(view);
		Timings.Begin(PASS_DEPTH_OF_FIELD);
		RenderDepthOfField(view);
		Timings.Begin(PASS_TONE_MAPPING);
		RenderToneMapping(view);
		// Over the tone-mapped image, so neither exposure nor blur touches them; gamma still does.
		Timings.Begin(PASS_OVERLAYS);
		Overlays::DrawDebugLines(DebugShader, FBOpost1, view.WorldData, *view.CameraCmp);
		Overlays::DrawScreenTexts(Text2DShader, FBOpost1, view.WorldData, view.Rect,
		                          RenderingDeviceInterface->GetScreenSize());
		Timings.Begin(PASS_GAMMA);
		RenderGammaCorrection();
		Timings.End();
	}

	void TiledForwardRenderer::RenderDepthPrePass(SceneView const& view)
	{
		DepthShader.BindProgram();
		glBindFramebuffer(GL_FRAMEBUFFER, FBOdepthMap);
		glClear(GL_DEPTH_BUFFER_BIT);

		const Matrix& clipFromWorld = view.CameraCmp->GetClipFromWorld();
		const u32 white = RenderingDeviceInterface->GetFallbackWhiteTexture();
		for (const MeshRenderingComponent* mesh : view.OpaqueQueue)
		{
			if (!mesh->GetMesh())
				continue;
			DepthShader.SetUniform("uScreenFromModel", clipFromWorld * mesh->GetTransform().GetWorldFromModel());
			for (const auto& subMesh : mesh->GetMesh()->GetSubMeshes())
			{
				glActiveTexture(GL_TEXTURE0);
				glBindTexture(GL_TEXTURE_2D, white);
				SceneDrawing::DrawSubMesh(*subMesh);
			}
		}
		glBindTexture(GL_TEXTURE_2D, 0);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	void TiledForwardRenderer::RenderLightCulling(SceneView const& view)
	{
		const CameraComponent* camera = view.CameraCmp;
		const ScreenSize& screen = RenderingDeviceInterface->GetScreenSize();

		LightCullingShader.BindProgram();
		LightCullingShader.SetUniform("uViewFromWorld", camera->GetViewFromWorld());
		LightCullingShader.SetUniform("uClipFromWorld", camera->GetClipFromWorld());
		LightCullingShader.SetUniform("uClipFromView", camera->GetClipFromView());
		LightCullingShader.SetUniform("uScreenSizeX", static_cast<int>(screen.Width));
		LightCullingShader.SetUniform("uScreenSizeY", static_cast<int>(screen.Height));
		LightCullingShader.SetUniform("uWorkGroupsX", static_cast<int>(WorkGroupsX));
		LightCullingShader.SetUniform("uWorkGroupsY", static_cast<int>(WorkGroupsY));
		LightCullingShader.SetUniform("uLightCount", static_cast<int>(GetVisibleLightCount(view)));
		const PixelRect viewport = ViewportPixels(view, screen);
		LightCullingShader.SetUniform("uViewportMin", static_cast<float>(viewport.X), static_cast<float>(viewport.Y));
		LightCullingShader.SetUniform("uViewportSize", static_cast<float>(viewport.Width),
		                              static_cast<float>(viewport.Height));

		glActiveTexture(GL_TEXTURE0);
		glUniform1i(glGetUniformLocation(LightCullingShader.GetProgramHandle(), "uDepthMap"), 0);
		glBindTexture(GL_TEXTURE_2D, DepthMap);
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, LIGHT_BUFFER_BINDING, LightBuffer);
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, VISIBLE_LIGHT_INDICES_BINDING, VisibleLightIndicesBuffer);

		glDispatchCompute(static_cast<GLuint>(WorkGroupsX), static_cast<GLuint>(WorkGroupsY), 1);
		// The lists are written through a storage buffer, which later passes only see after a barrier.
		glMemoryBarrier(GL_SHADER_STORAGE_BARRIER_BIT | GL_BUFFER_UPDATE_BARRIER_BIT);

		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, LIGHT_BUFFER_BINDING, 0);
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, VISIBLE_LIGHT_INDICES_BINDING, 0);
		glBindTexture(GL_TEXTURE_2D, 0);
	}

	void TiledForwardRenderer::SetLightingUniforms(GLShaderProgram& program, SceneView const& view)
	{
		program.SetUniform("uLightCount", static_cast<int>(GetVisibleLightCount(view)));
		program.SetUniform("uWorkGroupsX", static_cast<int>(WorkGroupsX));
		program.SetUniform("uWorkGroupsY", static_cast<int>(WorkGroupsY));
		program.SetUniform("uViewPosition", view.CameraCmp->GetTransform().GetGlobalTranslation());

		i32 directionalLightCount = 0;
		for (const DirectionalLightComponent* light : view.DirectionalLights)
		{
			if (directionalLightCount == MaxDirectionalLightsCount)
				break;
			const String prefix = String("uDirectionalLight[") + String::From(directionalLightCount) + "].";
			const Color& color = light->GetColor();
			program.SetUniform(prefix + "ColorIntensity", Vector(color.r, color.g, color.b, light->GetIntensity()));
			program.SetUniform(prefix + "Direction", MovementSystem::GetGlobalForward(light->GetTransform()));
			++directionalLightCount;
		}
		program.SetUniform("uDirectionalLightCount", static_cast<int>(directionalLightCount));

		const u32 irradianceMap = Capture.GetIrradianceMap() != 0 ? Capture.GetIrradianceMap() : BlackCubemap;
		const u32 prefilterMap = Capture.GetPrefilterMap() != 0 ? Capture.GetPrefilterMap() : BlackCubemap;
		program.BindSamplerCube("uIrradianceMap", 0, static_cast<int>(irradianceMap));
		program.BindSamplerCube("uPrefilterMap", 1, static_cast<int>(prefilterMap));
		program.BindSampler("uBrdfLUT", 2, static_cast<int>(PreintegratedBrdfLUT));
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, LIGHT_BUFFER_BINDING, LightBuffer);
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, VISIBLE_LIGHT_INDICES_BINDING, VisibleLightIndicesBuffer);
	}

	void TiledForwardRenderer::DrawLitMeshes(GLShaderProgram& program, SceneView const& view,
	                                         Dynarray<MeshRenderingComponent*> const& meshes)
	{
		const Matrix& clipFromWorld = view.CameraCmp->GetClipFromWorld();
		const u32 white = RenderingDeviceInterface->GetFallbackWhiteTexture();
		const u32 flatNormal = RenderingDeviceInterface->GetFallbackNormalMap();
		for (const MeshRenderingComponent* mesh : meshes)
		{
			if (!mesh->GetMesh())
				continue;
			const Matrix& worldFromModel = mesh->GetTransform().GetWorldFromModel();
			program.SetUniform("uClipFromModel", clipFromWorld * worldFromModel);
			program.SetUniform("uWorldFromModel", worldFromModel);

			const auto& subMeshes = mesh->GetMesh()->GetSubMeshes();
			for (u64 i = 0; i < subMeshes.GetSize(); ++i)
			{
				const Material& material = mesh->GetMaterial(static_cast<int>(i));
				program.SetUniform("uMaterial.Emissive", material.Emissive);
				program.SetUniform("uMaterial.Albedo", material.Albedo);
				program.SetUniform("uMaterial.Roughness", material.Roughness);
				program.SetUniform("uMaterial.Metallic", material.Metallic);
				program.SetUniform("uMaterial.OpacityMaskThreshold", material.OpacityMaskThreshold);

				const Mesh& data = subMeshes[i]->GetMeshData();
				program.BindSampler("uEmissiveMap", 3, SceneDrawing::TextureName(data.GetEmissiveMap(), white));
				program.BindSampler("uAlbedoMap", 4, SceneDrawing::TextureName(data.GetAlbedoMap(), white));
				program.BindSampler("uRoughnessMap", 5, SceneDrawing::TextureName(data.GetRoughnessMap(), white));
				program.BindSampler("uMetallicMap", 6, SceneDrawing::TextureName(data.GetMetallicMap(), white));
				program.BindSampler("uNormalMap", 7, SceneDrawing::TextureName(data.GetNormalMap(), flatNormal));
				program.BindSampler("uAmbientOcclusionMap", 8,
				                    SceneDrawing::TextureName(data.GetAmbientOcclusionMap(), white));
				SceneDrawing::DrawSubMesh(*subMeshes[i]);
			}
		}
	}

	void TiledForwardRenderer::RenderOpaqueLighting(SceneView const& view)
	{
		UnbindMaterialMapUnits();
		glBindFramebuffer(GL_FRAMEBUFFER, FBOhdr);
		// The sky is drawn wherever the meshes leave the far depth, so with a sky every pixel of the viewport is
		// written and only the depth needs clearing.
		const bool isSkyDrawn = Capture.GetEnvCubemap() != 0;
		glClear(isSkyDrawn ? GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

		LightAccumulationShader.BindProgram();
		LightAccumulationShader.SetUniform("uTime", GetGameplayTime(view.WorldData));
		SetLightingUniforms(LightAccumulationShader, view);
		DrawLitMeshes(LightAccumulationShader, view, view.OpaqueQueue);

		glBindVertexArray(0);
		UnbindMaterialMapUnits();
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, LIGHT_BUFFER_BINDING, 0);
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, VISIBLE_LIGHT_INDICES_BINDING, 0);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	void TiledForwardRenderer::RenderSkybox(SceneView const& view)
	{
		if (Capture.GetEnvCubemap() == 0)
			return;

		const SkyboxWorldComponent* skybox = view.WorldData->GetWorldComponent<SkyboxWorldComponent>();
		const Color tint = skybox ? skybox->GetTint() : Color::WHITE;
		const CameraComponent* camera = view.CameraCmp;

		glBindFramebuffer(GL_FRAMEBUFFER, FBOhdr);
		SkyboxShader.BindProgram();
		SkyboxShader.SetUniform("uTint", tint);
		SkyboxShader.SetUniform("uClipFromWorld", camera->GetClipFromView() *
		                                              SceneDrawing::WithoutTranslation(camera->GetViewFromWorld()));
		SkyboxShader.BindSamplerCube("uCubemap", 0, static_cast<int>(Capture.GetEnvCubemap()));
		glDisable(GL_CULL_FACE);
		glDepthFunc(GL_LEQUAL);
		RenderingDeviceInterface->GetCubePrimitive()->Draw();
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
		glEnable(GL_CULL_FACE);
		glDepthFunc(GL_LESS);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	void TiledForwardRenderer::RenderTranslucent(SceneView const& view)
	{
		UnbindMaterialMapUnits();
		glBindFramebuffer(GL_FRAMEBUFFER, FBOhdr);
		glDepthMask(GL_FALSE);
		glEnable(GL_BLEND);
		glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

		TranslucentShader.BindProgram();
		SetLightingUniforms(TranslucentShader, view);
		DrawLitMeshes(TranslucentShader, view, view.TranslucentQueue);

		glBindVertexArray(0);
		UnbindMaterialMapUnits();
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, LIGHT_BUFFER_BINDING, 0);
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, VISIBLE_LIGHT_INDICES_BINDING, 0);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		glDepthMask(GL_TRUE);
		glDisable(GL_BLEND);
	}

	void TiledForwardRenderer::RenderParticles(SceneView const& view)
	{
		glBindFramebuffer(GL_FRAMEBUFFER, FBOhdr);
		glDepthMask(GL_FALSE);
		glEnable(GL_BLEND);
		glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
		SceneDrawing::DrawParticles(ParticleShader, view.WorldData, *view.CameraCmp,
		                            RenderingDeviceInterface->GetFallbackWhiteTexture());
		glDepthMask(GL_TRUE);
		glDisable(GL_BLEND);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	void TiledForwardRenderer::LinearizeDepth(SceneView const& view)
	{
		glBindFramebuffer(GL_FRAMEBUFFER, FBOpost1);
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, LinearDepth, 0);
		LinearizeDepthShader.BindProgram();
		LinearizeDepthShader.BindSampler("uDepth", 0, static_cast<int>(DepthMap));
		LinearizeDepthShader.SetUniform("uNear", view.CameraCmp->GetClippingPlaneNear());
		LinearizeDepthShader.SetUniform("uFar", view.CameraCmp->GetClippingPlaneFar());
		RenderingDeviceInterface->GetQuadPrimitive()->Draw();
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, PostColorBuffer1, 0);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	void TiledForwardRenderer::SetDepthOfFieldUniforms(GLShaderProgram& program, SceneView const& view)
	{
		const PostprocessValues settings = ReadPostprocessValues(view.CameraCmp);
		const ScreenSize& screen = RenderingDeviceInterface->GetScreenSize();
		const float width = static_cast<float>(screen.Width);
		const float height = static_cast<float>(screen.Height);
		program.SetUniform("uRes", Vector(width, height, 1.0f / width, 1.0f / height));
		program.SetUniform("uDOFpoint", settings.DOFPoint);
		program.SetUniform("uDOFrange", settings.DOFRange);
		program.SetUniform("uDOFsize", settings.DOFSize);
		program.SetUniform("uTime", GetGameplayTime(view.WorldData));
		program.BindSampler("uImage", 0, static_cast<int>(ColorBuffer));
		program.BindSampler("uDepth", 1, static_cast<int>(LinearDepth));
	}

	void TiledForwardRenderer::RenderDepthOfField(SceneView const& view)
	{
		// The wide blur is gathered first into this viewport's part of the quarter-resolution image.
		const PixelRect viewport = ViewportPixels(view, RenderingDeviceInterface->GetScreenSize());
		const GLint gatherMinX = viewport.X / DOF_GATHER_SCALE;
		const GLint gatherMinY = viewport.Y / DOF_GATHER_SCALE;
		const GLint gatherMaxX = std::max(gatherMinX, (viewport.X + viewport.Width - 1) / DOF_GATHER_SCALE);
		const GLint gatherMaxY = std::max(gatherMinY, (viewport.Y + viewport.Height - 1) / DOF_GATHER_SCALE);
		glBindFramebuffer(GL_FRAMEBUFFER, FBOdofGather);
		glViewport(gatherMinX, gatherMinY, gatherMaxX - gatherMinX + 1, gatherMaxY - gatherMinY + 1);
		DOFGatherShader.BindProgram();
		SetDepthOfFieldUniforms(DOFGatherShader, view);
		RenderingDeviceInterface->GetQuadPrimitive()->Draw();
		glViewport(viewport.X, viewport.Y, viewport.Width, viewport.Height);

		glBindFramebuffer(GL_FRAMEBUFFER, FBOpost0);
		DOFShader.BindProgram();
		SetDepthOfFieldUniforms(DOFShader, view);
		DOFShader.BindSampler("uGathered", 2, static_cast<int>(DOFGatherBuffer));
		DOFShader.SetUniform("uGatheredRect", Vector(static_cast<float>(gatherMinX), static_cast<float>(gatherMinY),
		                                             static_cast<float>(gatherMaxX), static_cast<float>(gatherMaxY)));
		RenderingDeviceInterface->GetQuadPrimitive()->Draw();
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	void TiledForwardRenderer::RenderToneMapping(SceneView const& view)
	{
		const PostprocessValues settings = ReadPostprocessValues(view.CameraCmp);
		glBindFramebuffer(GL_FRAMEBUFFER, FBOpost1);
		HdrShader.BindProgram();
		HdrShader.BindSampler("uHdrBuffer", 0, static_cast<int>(PostColorBuffer0));
		HdrShader.SetUniform("uExposure", settings.Exposure);
		RenderingDeviceInterface->GetQuadPrimitive()->Draw();
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	void TiledForwardRenderer::RenderGammaCorrection()
	{
		// The quad covers the viewport with opaque pixels, so the window needs no clear first; without the depth
		// test it neither reads nor writes the window's depth, which nothing draws against.
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		glDisable(GL_DEPTH_TEST);
		GammaShader.BindProgram();
		GammaShader.BindSampler("uImage", 0, static_cast<int>(PostColorBuffer1));
		GammaShader.SetUniform("uGamma", DISPLAY_GAMMA);
		RenderingDeviceInterface->GetQuadPrimitive()->Draw();
		glEnable(GL_DEPTH_TEST);
		glBindVertexArray(0);
		glBindTexture(GL_TEXTURE_2D, 0);
	}
} // namespace Vorn
