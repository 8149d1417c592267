#include "renderingpasses/forwardrenderingpasses.hpp"

#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "gameplaytime.hpp"
#include "glrenderingdevice.hpp"
#include "math/matrix.hpp"
#include "math/vector.hpp"
#include "particles/spritesheetcomponent.hpp"
#include "primitives/primitivecube.hpp"
#include "primitives/primitivequad.hpp"
#include "renderers/common/scenedrawing.hpp"
#include "renderers/overlays/overlays.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/skyboxworldcomponent.hpp"
#include "renderingpasses/blinnphongrenderingpass.hpp"
#include "resources/meshresource.hpp"
#include "resources/textureresource.hpp"

#include <epoxy/gl.h>

#include <cmath>

namespace Vorn
{
	UnlitRenderingPass::UnlitRenderingPass(GLRenderingDevice* device)
	    : RenderingPassBase(device, "Shaders/unlit.vert.glsl", "Shaders/unlit.frag.glsl")
	{
	}

	void UnlitRenderingPass::OnRun(World* world, CameraComponent const* camera, AARect const&, ePassType)
	{
		const u32 white = RDI->GetFallbackWhiteTexture();
		for (auto [mesh] : world->IterateComponents<MeshRenderingComponent>())
		{
			if (!mesh->GetMesh())
				continue;
			Program.SetUniform("uMVPTransform", camera->GetClipFromWorld() * mesh->GetTransform().GetWorldFromModel());
			const auto& subMeshes = mesh->GetMesh()->GetSubMeshes();
			for (u64 i = 0; i < subMeshes.GetSize(); ++i)
			{
				Program.SetUniform("uColor", mesh->GetMaterial(static_cast<int>(i)).Albedo);
				Program.BindSampler("uTexture", 0,
				                    SceneDrawing::TextureName(subMeshes[i]->GetMeshData().GetAlbedoMap(), white));
				SceneDrawing::DrawSubMesh(*subMeshes[i]);
			}
		}
		glBindTexture(GL_TEXTURE_2D, 0);
	}

	TransparentRenderingPass::TransparentRenderingPass(GLRenderingDevice* device)
	    : RenderingPassBase(device, "Shaders/transparent.vert.glsl", "Shaders/transparent.frag.glsl")
	{
	}

	void TransparentRenderingPass::OnRun(World* world, CameraComponent const* camera, AARect const&, ePassType)
	{
		Program.SetUniform("uTime", GetGameplayTime(world));
		const Vector cameraPosition = camera->GetTransform().GetGlobalTranslation();
		const float halfHeight = VISIBLE_HALF_HEIGHT;
		const float halfWidth = camera->GetAspect() * VISIBLE_HALF_HEIGHT;
		for (auto [mesh] : world->IterateComponents<MeshRenderingComponent>())
		{
			if (mesh->GetBlendingMode() != eBlendingMode::TRANSLUCENT || !mesh->GetMesh())
				continue;
			const Vector position = mesh->GetTransform().GetGlobalTranslation();
			if (std::abs(position.y - cameraPosition.y) > halfHeight ||
			    std::abs(position.x - cameraPosition.x) > halfWidth)
				continue;

			Matrix square = Matrix::IDENTITY;
			square.SetTranslation(position + Vector(0.0f, 0.0f, RAISE));
			Program.SetUniform("uMVPTransform", camera->GetClipFromWorld() * square);
			for (u64 i = 0; i < mesh->GetMesh()->GetSubMeshes().GetSize(); ++i)
			{
				Program.SetUniform("uBaseColor", mesh->GetMaterial(static_cast<int>(i)).Albedo);
				RDI->GetQuadPrimitive()->Draw();
			}
		}
	}

	SkyboxRenderingPass::SkyboxRenderingPass(GLRenderingDevice* device)
	    : RenderingPassBase(device, "Shaders/skybox.vert.glsl", "Shaders/skyboxPanorama.frag.glsl")
	{
	}

	void SkyboxRenderingPass::OnRun(World* world, CameraComponent const* camera, AARect const&, ePassType)
	{
		const SkyboxWorldComponent* skybox = world->GetWorldComponent<SkyboxWorldComponent>();
		if (!skybox)
			return;

		Program.SetUniform("uClipFromWorld",
		                   camera->GetClipFromView() * SceneDrawing::WithoutTranslation(camera->GetViewFromWorld()));
		Program.SetUniform("uTint", skybox->GetTint());
		Program.BindSampler("uPanorama", 0,
		                    SceneDrawing::TextureName(skybox->GetPanorama(), RDI->GetFallbackBlackTexture()));
		// Behind everything: the cube lies at the far plane, seen from inside.
		glDepthMask(GL_FALSE);
		glEnable(GL_DEPTH_TEST);
		glDisable(GL_CULL_FACE);
		glDepthFunc(GL_LEQUAL);
		RDI->GetCubePrimitive()->Draw();
		glBindTexture(GL_TEXTURE_2D, 0);
		glEnable(GL_CULL_FACE);
		glDepthFunc(GL_LESS);
		glDepthMask(GL_TRUE);
	}

	ParticlesRenderingPass::ParticlesRenderingPass(GLRenderingDevice* device)
	    : RenderingPassBase(device, "Shaders/instanced.vert.glsl", "Shaders/instanced.frag.glsl")
	{
	}

	void ParticlesRenderingPass::OnRun(World* world, CameraComponent const* camera, AARect const&, ePassType)
	{
		SceneDrawing::DrawParticles(Program, world, *camera, RDI->GetFallbackWhiteTexture());
	}

	SpritesheetRenderingPass::SpritesheetRenderingPass(GLRenderingDevice* device)
	    : RenderingPassBase(device, "Shaders/spritesheet.vert.glsl", "Shaders/spritesheet.frag.glsl")
	{
	}

	void SpritesheetRenderingPass::OnRun(World* world, CameraComponent const* camera, AARect const&, ePassType)
	{
		glDisable(GL_CULL_FACE);
		Program.SetUniform("uTime", GetGameplayTime(world));
		Program.SetUniform("uP", camera->GetClipFromView());
		const u32 white = RDI->GetFallbackWhiteTexture();
		for (auto [sprite] : world->IterateComponents<SpritesheetComponent>())
		{
			const SpritesheetSettings& settings = sprite->GetSettings();
			const Matrix& worldFromModel = sprite->GetTransform().GetWorldFromModel();
			Program.SetUniform("uMV", camera->GetViewFromWorld() * worldFromModel);
			Program.SetUniform("uScale", worldFromModel.m[0][0], worldFromModel.m[1][1]);
			Program.SetUniform("uSubImages", settings.SubImages.x, settings.SubImages.y);
			Program.SetUniform("uColor", settings.SpriteColor);
			const float startFrame = settings.IsRandomStartFrame ? SceneDrawing::NextRandomFraction() *
			                                                           settings.SubImages.x * settings.SubImages.y
			                                                     : settings.StartFrame;
			Program.SetUniform("uStartFrame", startFrame);
			Program.SetUniform("uSpeed", settings.Speed);
			Program.BindSampler("uSpritesheet", 0, SceneDrawing::TextureName(sprite->GetSpritesheet(), white));
			RDI->GetQuadPrimitive()->Draw();
		}
		glBindTexture(GL_TEXTURE_2D, 0);
		glEnable(GL_CULL_FACE);
	}

	Text2DRenderingPass::Text2DRenderingPass(GLRenderingDevice* device)
	    : RenderingPassBase(device, "Shaders/text2D.vert.glsl", "Shaders/text2D.frag.glsl")
	{
	}

	void Text2DRenderingPass::OnRun(World* world, CameraComponent const*, AARect const& rect, ePassType)
	{
		Overlays::DrawScreenTexts(Program, FBO, world, rect, RDI->GetScreenSize());
	}

	DebugRenderingPass::DebugRenderingPass(GLRenderingDevice* device)
	    : RenderingPassBase(device, "Shaders/debug.vert.glsl", "Shaders/debug.frag.glsl")
	{
	}

	void DebugRenderingPass::OnRun(World* world, CameraComponent const* camera, AARect const&, ePassType)
	{
		Overlays::DrawDebugLines(Program, FBO, world, *camera);
	}

	DebugNormalsRenderingPass::DebugNormalsRenderingPass(GLRenderingDevice* device)
	    : RenderingPassBase(device, "Shaders/normals.vert.glsl", "Shaders/normals.frag.glsl")
	{
	}

	void DebugNormalsRenderingPass::OnRun(World* world, CameraComponent const* camera, AARect const&,
	                                      ePassType passType)
	{
		const GLenum rasterisation = SceneDrawing::CurrentPolygonMode();
		for (auto [mesh] : world->IterateComponents<MeshRenderingComponent>())
		{
			if (!mesh->GetMesh() || !BlinnPhongRenderingPass::IsDrawn(*mesh, passType))
				continue;
			const Matrix& worldFromModel = mesh->GetTransform().GetWorldFromModel();
			Program.SetUniform("uTransform", worldFromModel);
			Program.SetUniform("uMVPTransform", camera->GetClipFromWorld() * worldFromModel);
			glPolygonMode(GL_FRONT_AND_BACK, mesh->GetIsWireframe() ? GL_LINE : rasterisation);
			for (const auto& subMesh : mesh->GetMesh()->GetSubMeshes())
				SceneDrawing::DrawSubMesh(*subMesh);
			glPolygonMode(GL_FRONT_AND_BACK, rasterisation);
		}
	}

	DebugNormalsWireframeRenderingPass::DebugNormalsWireframeRenderingPass(GLRenderingDevice* device)
	    : RenderingPassBase(device, "Shaders/debugNormals.vert.glsl", "Shaders/debugNormals.geom.glsl",
	                        "Shaders/debugNormals.frag.glsl")
	{
	}

	void DebugNormalsWireframeRenderingPass::OnRun(World* world, CameraComponent const* camera, AARect const&,
	                                               ePassType)
	{
		for (auto [mesh] : world->IterateComponents<MeshRenderingComponent>())
		{
			if (!mesh->GetMesh())
				continue;
			Program.SetUniform("u_MVP", camera->GetClipFromWorld() * mesh->GetTransform().GetWorldFromModel());
			for (const auto& subMesh : mesh->GetMesh()->GetSubMeshes())
				SceneDrawing::DrawSubMesh(*subMesh);
		}
	}
} // namespace Vorn
