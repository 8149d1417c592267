#include "renderers/common/scenedrawing.hpp"

#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "gameplaytime.hpp"
#include "glshaderprogram.hpp"
#include "particles/particlecomponent.hpp"
#include "primitives/primitivequad.hpp"
#include "proxy/glparticledeviceproxy.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "resources/textureresource.hpp"

#include <epoxy/gl.h>

#include <cmath>
#include <cstdlib>

namespace Vorn
{
	int SceneDrawing::TextureName(const TextureResource* texture, u32 fallback)
	{
		if (texture && texture->GetTextureProxy())
			return static_cast<int>(texture->GetTextureProxy()->GetResourceID());
		return static_cast<int>(fallback);
	}

	void SceneDrawing::DrawSubMesh(const MeshResource::SubMesh& subMesh)
	{
		glBindVertexArray(subMesh.GetMeshProxy()->GetResourceID());
		glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(subMesh.GetMeshData().GetTriangleCount() * 3),
		               GL_UNSIGNED_INT, nullptr);
		glBindVertexArray(0);
	}

	Matrix SceneDrawing::WithoutTranslation(Matrix matrix)
	{
		matrix.m[0][3] = 0.0f;
		matrix.m[1][3] = 0.0f;
		matrix.m[2][3] = 0.0f;
		return matrix;
	}

	u32 SceneDrawing::CurrentPolygonMode()
	{
		// Old drivers report front and back faces separately; both are always set together here.
		GLint modes[2] = {GL_FILL, GL_FILL};
		glGetIntegerv(GL_POLYGON_MODE, modes);
		return static_cast<u32>(modes[0]);
	}

	// The fractional part keeps the value in 0..1 whatever RAND_MAX the C library has.
	float SceneDrawing::NextRandomFraction()
	{
		const double value = static_cast<double>(std::rand()) / 32767.0;
		return static_cast<float>(value - std::floor(value));
	}

	void SceneDrawing::DrawParticles(GLShaderProgram& particleShader, World* world, CameraComponent const& camera,
	                                 u32 whiteTexture)
	{
		glDisable(GL_CULL_FACE);
		particleShader.BindProgram();
		particleShader.SetUniform("uTime", GetGameplayTime(world));
		particleShader.SetUniform("uScreenFromView", camera.GetClipFromView());
		for (auto [particles] : world->IterateComponents<ParticleComponent>())
		{
			const ParticleEmitter* emitter = particles->GetEmitter();
			const ParticleEmitter::Settings& settings = emitter->GetSettings();
			const SpritesheetSettings& sprite = settings.Spritesheet;
			particleShader.SetUniform("uViewFromWorld", camera.GetViewFromWorld());
			particleShader.SetUniform("uWorldFromModel", settings.SimulationSpace == eSimulationSpace::WORLD_SPACE
			                                                 ? Matrix::IDENTITY
			                                                 : particles->GetTransform().GetWorldFromModel());
			particleShader.SetUniform("uEmitterColor", settings.EmitterColor);
			particleShader.SetUniform("uSpriteColor", sprite.SpriteColor);
			const float startFrame = sprite.IsRandomStartFrame
			                             ? NextRandomFraction() * sprite.SubImages.x * sprite.SubImages.y
			                             : sprite.StartFrame;
			particleShader.SetUniform("uSpriteStartFrame", startFrame);
			particleShader.SetUniform("uSpriteSpeed", sprite.Speed);
			particleShader.SetUniform("uSpriteSubImages", sprite.SubImages.x, sprite.SubImages.y);
			particleShader.SetUniform("uHasSprite", emitter->GetSpritesheet() ? 1.0f : 0.0f);
			particleShader.BindSampler("uSpritesheet", 0, TextureName(emitter->GetSpritesheet(), whiteTexture));

			const auto* proxy = static_cast<const GLParticleDeviceProxy*>(emitter->GetParticleProxy());
			glBindVertexArray(proxy->GetVAO());
			glDrawArraysInstanced(GL_TRIANGLES, 0, PrimitiveQuad::VERTEX_COUNT,
			                      static_cast<GLsizei>(emitter->GetInstancesCount()));
			glBindVertexArray(0);
		}
		glBindTexture(GL_TEXTURE_2D, 0);
		glActiveTexture(GL_TEXTURE0);
		glEnable(GL_CULL_FACE);
	}
} // namespace Vorn
