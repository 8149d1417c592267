#pragma once

#include "defines.hpp"
#include "glshaderprogram.hpp"
#include "renderers/common/passtimings.hpp"
#include "renderers/irendererinterface.hpp"
#include "renderers/tiled/envcapture.hpp"

namespace Vorn
{
	class CameraComponent;
	class MeshRenderingComponent;
	struct ScreenSize;
	class World;

	// The device's renderer. Physically based meshes are shaded by tiled forward lighting: a depth pre-pass, a
	// compute pass that lists for every 16x16-pixel tile the point lights reaching it, then one lighting pass that
	// reads only its tile's list and adds image-based light from the sky. Sky, translucent meshes and particles go
	// into the same HDR buffer, which depth of field, tone mapping and gamma turn into the window's image.
	//
	// Every target is the size of the whole screen, whatever the viewport. All OpenGL objects are freed in Deinit:
	// the device destroys its renderer only after the context is gone.
	class TiledForwardRenderer : public IRendererInterface
	{
	public:
		// Side of a light-culling tile in pixels.
		static constexpr i32 TILE_SIZE = 16;
		// Bytes of one light record in LightBuffer: position, colour, (range, intensity, 0, 1).
		static constexpr i32 LIGHT_RECORD_SIZE = 3 * 4 * sizeof(float);
		// Ends a tile's list in VisibleLightIndicesBuffer unless the list fills its whole slice.
		static constexpr i32 LIGHT_LIST_TERMINATOR = -1;

		// Builds every program, the unused debug ones included, so a broken shader stops the process here.
		explicit TiledForwardRenderer(GLRenderingDevice* device);
		~TiledForwardRenderer() override;

		void Init() override;
		void Resize(ScreenSize const& size) override;
		// Draws one viewport into its rectangle of the window, its point lights culled for that rectangle and its
		// camera. A viewport without a camera draws nothing.
		void Render(SceneView const& sceneView) override;
		void Deinit() override;

		i32 GetMaxLightsCount() const { return MaxLightsCount; }
		i32 GetMaxDirectionalLightsCount() const { return MaxDirectionalLightsCount; }
		i32 GetWorkGroupsX() const { return WorkGroupsX; }
		i32 GetWorkGroupsY() const { return WorkGroupsY; }
		u32 GetLightBuffer() const { return LightBuffer; }
		// MaxLightsCount entries per tile, tiles row by row from the bottom-left one.
		u32 GetVisibleLightIndicesBuffer() const { return VisibleLightIndicesBuffer; }
		u32 GetDepthMap() const { return DepthMap; }
		u32 GetColorBuffer() const { return ColorBuffer; }
		u32 GetNormalBuffer() const { return NormalBuffer; }
		u32 GetPostColorBuffer0() const { return PostColorBuffer0; }
		u32 GetPostColorBuffer1() const { return PostColorBuffer1; }
		u32 GetLinearDepth() const { return LinearDepth; }
		// A quarter of the screen's width and height (rounded up): depth of field's wide blur.
		u32 GetDOFGatherBuffer() const { return DOFGatherBuffer; }
		u32 GetPreintegratedBrdfLUT() const { return PreintegratedBrdfLUT; }
		const EnvCapture& GetCapture() const { return Capture; }

		// The GPU time of each step of Render, while switched on (see PassTimings); the steps are named by the
		// PASS_ constants, in the order they run.
		PassTimings& GetPassTimings() { return Timings; }
		static constexpr const char* PASS_LIGHT_UPLOAD = "light upload";
		static constexpr const char* PASS_ENVIRONMENT_CAPTURE = "environment capture";
		static constexpr const char* PASS_DEPTH_PRE_PASS = "depth pre-pass";
		static constexpr const char* PASS_LIGHT_CULLING = "light culling";
		static constexpr const char* PASS_OPAQUE_LIGHTING = "opaque lighting";
		static constexpr const char* PASS_SKYBOX = "skybox";
		static constexpr const char* PASS_TRANSLUCENT = "translucent";
		static constexpr const char* PASS_PARTICLES = "particles";
		static constexpr const char* PASS_LINEAR_DEPTH = "linear depth";
		static constexpr const char* PASS_DEPTH_OF_FIELD = "depth of field";
		static constexpr const char* PASS_TONE_MAPPING = "tone mapping";
		static constexpr const char* PASS_OVERLAYS = "overlays";
		static constexpr const char* PASS_GAMMA = "gamma";

		const GLShaderProgram& GetLightCullingShader() const { return LightCullingShader; }
		const GLShaderProgram& GetLightAccumulationShader() const { return LightAccumulationShader; }
		const GLShaderProgram& GetTranslucentShader() const { return TranslucentShader; }
		const GLShaderProgram& GetHdrShader() const { return HdrShader; }
		const GLShaderProgram& GetDOFShader() const { return DOFShader; }

	private:
		void CreateRenderTargets(ScreenSize const& size);
		void DeleteRenderTargets();
		void SetupLightsBuffers(ScreenSize const& size);
		void DeleteLightsBuffers();
		void UpdateLightsBufferFromScene(SceneView const& view);
		void PreintegrateBRDF();
		void UpdateEnvCapture(World* world);

		void RenderDepthPrePass(SceneView const& view);
		void RenderLightCulling(SceneView const& view);
		void RenderOpaqueLighting(SceneView const& view);
		void RenderSkybox(SceneView const& view);
		void RenderTranslucent(SceneView const& view);
		void RenderParticles(SceneView const& view);

		void LinearizeDepth(SceneView const& view);
		void SetDepthOfFieldUniforms(GLShaderProgram& program, SceneView const& view);
		void RenderDepthOfField(SceneView const& view);
		void RenderToneMapping(SceneView const& view);
		void RenderGammaCorrection();

		// The lighting passes share everything but their program and mesh list: lights, image-based light, and a
		// draw per sub-mesh with its material and maps.
		void SetLightingUniforms(GLShaderProgram& program, SceneView const& view);
		void DrawLitMeshes(GLShaderProgram& program, SceneView const& view,
		                   Dynarray<MeshRenderingComponent*> const& meshes);
		void RegisterLightingUniforms(GLShaderProgram& program);
		i32 GetVisibleLightCount(SceneView const& view) const;

		const i32 MaxLightsCount = 1024;
		const i32 MaxDirectionalLightsCount = 8;
		i32 WorkGroupsX = 0;
		i32 WorkGroupsY = 0;
		u32 LightBuffer = 0;
		u32 VisibleLightIndicesBuffer = 0;
		u32 DepthMap = 0;
		u32 ColorBuffer = 0;
		u32 NormalBuffer = 0;
		u32 RboDepth = 0;
		u32 PostColorBuffer0 = 0;
		u32 PostColorBuffer1 = 0;
		u32 LinearDepth = 0;
		u32 DOFGatherBuffer = 0;
		u32 PreintegratedBrdfLUT = 0;
		// Bound in place of the environment's maps until the sky has been captured: no image-based light then.
		u32 BlackCubemap = 0;
		u32 FBOdepthMap = 0;
		u32 FBOhdr = 0;
		u32 FBOpost0 = 0;
		u32 FBOpost1 = 0;
		u32 FBOdofGather = 0;
		EnvCapture Capture;
		PassTimings Timings;

		GLShaderProgram DepthShader;
		GLShaderProgram LightCullingShader;
		GLShaderProgram LightAccumulationShader;
		GLShaderProgram HdrShader;
		GLShaderProgram SkyboxShader;
		GLShaderProgram LinearizeDepthShader;
		GLShaderProgram GammaShader;
		GLShaderProgram ParticleShader;
		GLShaderProgram TranslucentShader;
		GLShaderProgram EquiToCubemapShader;
		GLShaderProgram IntegrateBRDFShader;
		GLShaderProgram DOFShader;
		GLShaderProgram DOFGatherShader;
		GLShaderProgram Text2DShader;
		GLShaderProgram DebugShader;
		GLShaderProgram DebugQuadDepthPrepassShader;
		GLShaderProgram DebugQuadLightCullingShader;
		GLShaderProgram DebugLightAccumShader;
		GLShaderProgram LightAccumulationTexDebugShader;
	};
} // namespace Vorn
