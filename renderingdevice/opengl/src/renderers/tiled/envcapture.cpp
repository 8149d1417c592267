#include "renderers/tiled/envcapture.hpp"

#include "globjectnames.hpp"
#include "glrenderingdevice.hpp"
#include "math/angle.hpp"
#include "math/matrix.hpp"
#include "math/vector.hpp"
#include "primitives/primitivecube.hpp"
#include "renderers/tiled/captureframebuffer.hpp"
#include "rendering/skyboxworldcomponent.hpp"
#include "resources/textureresource.hpp"
#include "utils/console.hpp"

#include <epoxy/gl.h>

#include <cmath>

namespace Vorn
{
	namespace
	{
		constexpr u32 FACE_COUNT = 6;

		struct FaceView
		{
			Vector Target;
			Vector Up;
		};

		// One camera per face, in the cubemap's face order. The two Y faces are drawn looking the opposite way
		// from their names; the capture shaders turn those directions back.
		constexpr FaceView FACE_VIEWS[FACE_COUNT] = {
		    {Vector(1.0f, 0.0f, 0.0f), Vector(0.0f, -1.0f, 0.0f)},
		    {Vector(-1.0f, 0.0f, 0.0f), Vector(0.0f, -1.0f, 0.0f)},
		    {Vector(0.0f, -1.0f, 0.0f), Vector(0.0f, 0.0f, -1.0f)},
		    {Vector(0.0f, 1.0f, 0.0f), Vector(0.0f, 0.0f, 1.0f)},
		    {Vector(0.0f, 0.0f, 1.0f), Vector(0.0f, -1.0f, 0.0f)},
		    {Vector(0.0f, 0.0f, -1.0f), Vector(0.0f, -1.0f, 0.0f)},
		};

		// Clip-from-model of each face's camera at the cube's centre: a 90 degree square frustum sees exactly one
		// face of the cube.
		struct CaptureCamera
		{
			Matrix ClipFromModel[FACE_COUNT];

			CaptureCamera()
			{
				Matrix projection;
				projection.SetPerspective(Angle::FromDegrees(90.0f), 1.0f, 0.1f, 10.0f);
				for (u32 face = 0; face < FACE_COUNT; ++face)
					ClipFromModel[face] =
					    projection * Matrix(Vector::ZERO, FACE_VIEWS[face].Target, FACE_VIEWS[face].Up);
			}
		};

		// Allocates six RGB16F faces of level 0, clamped on every axis and magnified linearly, and leaves the
		// cubemap bound.
		u32 CreateCubemap(i32 faceSize, GLint minificationFilter)
		{
			GLuint cubemap = 0;
			glGenTextures(1, &cubemap);
			glBindTexture(GL_TEXTURE_CUBE_MAP, cubemap);
			for (u32 face = 0; face < FACE_COUNT; ++face)
				glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGB16F, faceSize, faceSize, 0, GL_RGB,
				             GL_FLOAT, nullptr);
			glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
			glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
			glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
			glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, minificationFilter);
			glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
			return cubemap;
		}
	} // namespace

	EnvCapture::EnvCapture(GLRenderingDevice* device)
	    : RDI(device), EquiToCubemapShader("Shaders/equiToCubemap.vert.glsl", "Shaders/equiToCubemap.frag.glsl"),
	      IrradianceShader("Shaders/cubemapIrradiance.vert.glsl", "Shaders/cubemapIrradiance.frag.glsl"),
	      PrefilterShader("Shaders/prefilterCubemap.vert.glsl", "Shaders/prefilterCubemap.frag.glsl")
	{
		EquiToCubemapShader.RegisterUniform("sampler2D", "uEquirectangularMap");
		EquiToCubemapShader.RegisterUniform("mat4", "uClipFromModel");
		IrradianceShader.RegisterUniform("sampler2D", "uEnvCubemap");
		IrradianceShader.RegisterUniform("mat4", "uClipFromModel");
		PrefilterShader.RegisterUniform("sampler2D", "uEnvironmentMap");
		PrefilterShader.RegisterUniform("mat4", "uClipFromModel");
		PrefilterShader.RegisterUniform("float", "uRoughness");
	}

	// The panorama's texture belongs to its resource.
	EnvCapture::~EnvCapture() { Release(); }

	void EnvCapture::Release()
	{
		DeleteTexture(EnvCubemap);
		DeleteTexture(IrradianceMap);
		DeleteTexture(PrefilterMap);
		IsDirty = true;
	}

	void EnvCapture::UpdateEnv(SkyboxWorldComponent const* skybox)
	{
		if (!skybox->GetPanorama())
		{
			gConsole.LogInfo("EnvCapture::UpdateEnv SkyboxWorldComponent panorama is null! Abording!");
			return;
		}

		glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
		CaptureCubemap(skybox);
		CaptureIrradiance();
		CaptureSpecularPrefilteredMap();
		IsDirty = false;
	}

	void EnvCapture::CaptureCubemap(SkyboxWorldComponent const* skybox)
	{
		gConsole.LogInfo("EnvCapture::CaptureCubemap create cubemap resource");
		DeleteTexture(EnvCubemap);
		EnvCubemap = CreateCubemap(ENVIRONMENT_SIZE, GL_LINEAR_MIPMAP_LINEAR);
		gConsole.LogInfo("EnvCapture::CaptureCubemap cubemap resource created");
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);

		gConsole.LogInfo("EnvCapture::CaptureCubemap Create capture FBO");
		const CaptureFramebuffer framebuffer(ENVIRONMENT_SIZE);
		gConsole.LogInfo("EnvCapture::CaptureCubemap Capture FBO created");

		gConsole.LogInfo("EnvCapture::CaptureCubemap create matrices");
		const CaptureCamera camera;
		gConsole.LogInfo("EnvCapture::CaptureCubemap matrices created");

		gConsole.LogInfo("EnvCapture::CaptureCubemap start cubemap rendering loop");
		EquiToCubemapShader.BindProgram();
		PanoramaTextureID = skybox->GetPanorama()->GetTextureProxy()->GetResourceID();
		EquiToCubemapShader.BindSampler("uEquirectangularMap", 0, static_cast<int>(PanoramaTextureID));
		glViewport(0, 0, ENVIRONMENT_SIZE, ENVIRONMENT_SIZE);
		framebuffer.Bind();
		for (u32 face = 0; face < FACE_COUNT; ++face)
		{
			gConsole.LogInfo("EnvCapture::CaptureCubemap cubemap rendering: {}", face);
			EquiToCubemapShader.SetUniform("uClipFromModel", camera.ClipFromModel[face]);
			framebuffer.AttachCubemapFace(EnvCubemap, face);
			glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
			RDI->GetCubePrimitive()->Draw();
		}
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		gConsole.LogInfo("EnvCapture::CaptureCubemap cubemap rendered");

		gConsole.LogInfo("EnvCapture::CaptureCubemap generate env cubemap mipmaps");
		glBindTexture(GL_TEXTURE_CUBE_MAP, EnvCubemap);
		glGenerateMipmap(GL_TEXTURE_CUBE_MAP);
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
		gConsole.LogInfo("EnvCapture::CaptureCubemap env cubemap mipmaps generated");
	}

	void EnvCapture::CaptureIrradiance()
	{
		DeleteTexture(IrradianceMap);
		IrradianceMap = CreateCubemap(IRRADIANCE_SIZE, GL_LINEAR);
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);

		gConsole.LogInfo("EnvCapture::CaptureIrradiance Create capture FBO");
		const CaptureFramebuffer framebuffer(IRRADIANCE_SIZE);
		gConsole.LogInfo("EnvCapture::CaptureIrradiance Capture FBO created");
		gConsole.LogInfo("EnvCapture::CaptureIrradiance create matrices");
		const CaptureCamera camera;
		gConsole.LogInfo("EnvCapture::CaptureIrradiance matrices created");

		IrradianceShader.BindProgram();
		IrradianceShader.BindSamplerCube("uEnvCubemap", 0, static_cast<int>(EnvCubemap));
		glViewport(0, 0, IRRADIANCE_SIZE, IRRADIANCE_SIZE);
		framebuffer.Bind();
		for (u32 face = 0; face < FACE_COUNT; ++face)
		{
			IrradianceShader.SetUniform("uClipFromModel", camera.ClipFromModel[face]);
			framebuffer.AttachCubemapFace(IrradianceMap, face);
			glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
			RDI->GetCubePrimitive()->Draw();
		}
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	void EnvCapture::CaptureSpecularPrefilteredMap()
	{
		gConsole.LogInfo("EnvCapture::CaptureSpecularPrefilteredMap create cubemap resource");
		DeleteTexture(PrefilterMap);
		PrefilterMap = CreateCubemap(PREFILTER_SIZE, GL_LINEAR_MIPMAP_LINEAR);
		// Gives every level storage; only the first five are rendered.
		glGenerateMipmap(GL_TEXTURE_CUBE_MAP);
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
		gConsole.LogInfo("EnvCapture::CaptureSpecularPrefilteredMap cubemap resource created");

		gConsole.LogInfo("EnvCapture::CaptureSpecularPrefilteredMap Create capture FBO");
		const CaptureFramebuffer framebuffer(PREFILTER_SIZE);
		gConsole.LogInfo("EnvCapture::CaptureSpecularPrefilteredMap Capture FBO created");
		gConsole.LogInfo("EnvCapture::CaptureSpecularPrefilteredMap create matrices");
		const CaptureCamera camera;

		gConsole.LogInfo("EnvCapture::CaptureSpecularPrefilteredMap capture prefiltered cubemap");
		PrefilterShader.BindProgram();
		PrefilterShader.BindSamplerCube("uEnvironmentMap", 0, static_cast<int>(EnvCubemap));
		framebuffer.Bind();
		for (i32 mip = 0; mip < PREFILTER_RENDERED_LEVELS; ++mip)
		{
			const i32 mipSize = static_cast<i32>(PREFILTER_SIZE * std::pow(0.5, mip));
			gConsole.LogInfo(
			    "EnvCapture::CaptureSpecularPrefilteredMap capture prefiltered cubemap mip: {}, width: {}, height: {}",
			    mip, mipSize, mipSize);
			framebuffer.ResizeDepth(mipSize);
			glViewport(0, 0, mipSize, mipSize);
			PrefilterShader.SetUniform("uRoughness", static_cast<float>(mip) * 0.25f);
			for (u32 face = 0; face < FACE_COUNT; ++face)
			{
				PrefilterShader.SetUniform("uClipFromModel", camera.ClipFromModel[face]);
				framebuffer.AttachCubemapFace(PrefilterMap, face, mip);
				glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
				RDI->GetCubePrimitive()->Draw();
			}
		}
		glBindRenderbuffer(GL_RENDERBUFFER, 0);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		gConsole.LogInfo("EnvCapture::CaptureSpecularPrefilteredMap prefiltered cubemap captured");
	}
} // namespace Vorn
