#include "renderingpasses/blinnphongrenderingpass.hpp"

#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "glrenderingdevice.hpp"
#include "math/angle.hpp"
#include "math/color.hpp"
#include "math/matrix.hpp"
#include "movement/movementsystem.hpp"
#include "renderers/common/scenedrawing.hpp"
#include "rendering/ambientlightworldcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/lights/spotlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "resources/meshresource.hpp"
#include "resources/textureresource.hpp"

#include <epoxy/gl.h>

#include <cmath>
#include <string>

namespace Vorn
{
	namespace
	{
		String LightUniform(const char* array, int index, const char* member)
		{
			return String((std::string(array) + "[" + std::to_string(index) + "]." + member).c_str());
		}
	} // namespace

	bool BlinnPhongRenderingPass::IsDrawn(const MeshRenderingComponent& mesh, ePassType passType)
	{
		return passType == ePassType::FORCE_ALL ||
		       (mesh.GetBlendingMode() != eBlendingMode::TRANSLUCENT && mesh.GetShadingModel() == eShadingMode::PBR);
	}

	BlinnPhongRenderingPass::BlinnPhongRenderingPass(GLRenderingDevice* device)
	    : RenderingPassBase(device, "Shaders/blinn-phong.vert.glsl", "Shaders/blinn-phong.frag.glsl")
	{
		Program.RegisterUniform("vec4", "uMaterial.Ambient");
		Program.RegisterUniform("vec4", "uMaterial.Diffuse");
		Program.RegisterUniform("vec4", "uMaterial.Specular");
		Program.RegisterUniform("float", "uMaterial.Shininess");
		Program.RegisterUniform("vec4", "uAmbientLight.Color");
		Program.RegisterUniform("float", "uAmbientLight.Intensity");
		for (int i = 0; i < MAX_LIGHTS; ++i)
		{
			for (const char* array : {"uDirectionalLight", "uPointLight", "uSpotLight"})
			{
				Program.RegisterUniform("vec4", LightUniform(array, i, "Base.Color"));
				Program.RegisterUniform("float", LightUniform(array, i, "Base.Intensity"));
			}
			Program.RegisterUniform("vec4", LightUniform("uDirectionalLight", i, "Direction"));
			Program.RegisterUniform("vec4", LightUniform("uPointLight", i, "Position"));
			Program.RegisterUniform("float", LightUniform("uPointLight", i, "Range"));
			Program.RegisterUniform("vec4", LightUniform("uSpotLight", i, "Position"));
			Program.RegisterUniform("vec4", LightUniform("uSpotLight", i, "Direction"));
			Program.RegisterUniform("float", LightUniform("uSpotLight", i, "Range"));
			Program.RegisterUniform("float", LightUniform("uSpotLight", i, "CutOff"));
			Program.RegisterUniform("float", LightUniform("uSpotLight", i, "OuterCutOff"));
		}
	}

	void BlinnPhongRenderingPass::SetLights(World* world)
	{
		const AmbientLightWorldComponent* ambient = world->GetWorldComponent<AmbientLightWorldComponent>();
		Program.SetUniform("uAmbientLight.Color", ambient ? ambient->GetColor() : Color::BLACK);
		Program.SetUniform("uAmbientLight.Intensity", ambient ? ambient->GetIntensity() : 0.0f);

		int count = 0;
		for (auto [light] : world->IterateComponents<DirectionalLightComponent>())
		{
			if (count == MAX_LIGHTS)
				break;
			Program.SetUniform(LightUniform("uDirectionalLight", count, "Direction"),
			                   MovementSystem::GetGlobalForward(light->GetTransform()));
			Program.SetUniform(LightUniform("uDirectionalLight", count, "Base.Color"), light->GetColor());
			Program.SetUniform(LightUniform("uDirectionalLight", count, "Base.Intensity"), light->GetIntensity());
			++count;
		}
		Program.SetUniform("uDirectionalLightCount", count);

		count = 0;
		for (auto [light] : world->IterateComponents<PointLightComponent>())
		{
			if (count == MAX_LIGHTS)
				break;
			Program.SetUniform(LightUniform("uPointLight", count, "Range"), light->GetRange());
			Program.SetUniform(LightUniform("uPointLight", count, "Position"),
			                   light->GetTransform().GetGlobalTranslation());
			Program.SetUniform(LightUniform("uPointLight", count, "Base.Color"), light->GetColor());
			Program.SetUniform(LightUniform("uPointLight", count, "Base.Intensity"), light->GetIntensity());
			++count;
		}
		Program.SetUniform("uPointLightCount", count);

		count = 0;
		for (auto [light] : world->IterateComponents<SpotLightComponent>())
		{
			if (count == MAX_LIGHTS)
				break;
			Program.SetUniform(LightUniform("uSpotLight", count, "Range"), light->GetRange());
			Program.SetUniform(LightUniform("uSpotLight", count, "CutOff"),
			                   std::cos(Angle::FromDegrees(light->GetCutOff()).AsRadians()));
			Program.SetUniform(LightUniform("uSpotLight", count, "OuterCutOff"),
			                   std::cos(Angle::FromDegrees(light->GetOuterCutOff()).AsRadians()));
			Program.SetUniform(LightUniform("uSpotLight", count, "Position"),
			                   light->GetTransform().GetGlobalTranslation());
			Program.SetUniform(LightUniform("uSpotLight", count, "Direction"),
			                   MovementSystem::GetGlobalForward(light->GetTransform()));
			Program.SetUniform(LightUniform("uSpotLight", count, "Base.Color"), light->GetColor());
			Program.SetUniform(LightUniform("uSpotLight", count, "Base.Intensity"), light->GetIntensity());
			++count;
		}
		Program.SetUniform("uSpotLightCount", count);
	}

	void BlinnPhongRenderingPass::OnRun(World* world, CameraComponent const* camera, AARect const&, ePassType passType)
	{
		Program.SetUniform("uCameraPosition", camera->GetTransform().GetGlobalTranslation());
		Program.SetUniform("uCameraForward", MovementSystem::GetGlobalForward(camera->GetTransform()));
		SetLights(world);

		const u32 white = RDI->GetFallbackWhiteTexture();
		const u32 flatNormal = RDI->GetFallbackNormalMap();
		// The wireframe views rasterise everything as lines; the others only wireframe components.
		const GLenum rasterisation = SceneDrawing::CurrentPolygonMode();
		for (auto [mesh] : world->IterateComponents<MeshRenderingComponent>())
		{
			if (!mesh->GetMesh() || !IsDrawn(*mesh, passType))
				continue;
			const EntityTransform& transform = mesh->GetTransform();
			Program.SetUniform("uTransform", transform.GetWorldFromModel());
			Program.SetUniform("uLocalTransform", transform.GetParentFromModel());
			Program.SetUniform("uMVPTransform", camera->GetClipFromWorld() * transform.GetWorldFromModel());
			glPolygonMode(GL_FRONT_AND_BACK, mesh->GetIsWireframe() ? GL_LINE : rasterisation);

			const auto& subMeshes = mesh->GetMesh()->GetSubMeshes();
			for (u64 i = 0; i < subMeshes.GetSize(); ++i)
			{
				const Material& material = mesh->GetMaterial(static_cast<int>(i));
				// The shader adds the ambient term as it is: the material's own light.
				Program.SetUniform("uMaterial.Ambient", material.Emissive);
				Program.SetUniform("uMaterial.Diffuse", material.Albedo);
				Program.SetUniform("uMaterial.Specular", material.Albedo);
				Program.SetUniform("uMaterial.Shininess", SHININESS);

				const Mesh& data = subMeshes[i]->GetMeshData();
				Program.BindSampler("uDiffuseTexture", 0, SceneDrawing::TextureName(data.GetAlbedoMap(), white));
				Program.BindSampler("uSpecularMap", 1, SceneDrawing::TextureName(data.GetRoughnessMap(), white));
				Program.BindSampler("uNormalMap", 2, SceneDrawing::TextureName(data.GetNormalMap(), flatNormal));

				SceneDrawing::DrawSubMesh(*subMeshes[i]);
			}
			glPolygonMode(GL_FRONT_AND_BACK, rasterisation);
		}
		glActiveTexture(GL_TEXTURE0);
	}
} // namespace Vorn
