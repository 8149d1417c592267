#include "renderingpasses/postprocessrenderingpass.hpp"

#include "ecs/entitytransform.hpp"
#include "gameplaytime.hpp"
#include "glrenderingdevice.hpp"
#include "math/aarect.hpp"
#include "math/matrix.hpp"
#include "math/quaternion.hpp"
#include "math/vector.hpp"
#include "primitives/primitivequad.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "utils/console.hpp"

namespace Vorn
{
	PostprocessRenderingPass::PostprocessRenderingPass(GLRenderingDevice* device, String const& fragmentShaderPath)
	    : RenderingPassBase(device, VERTEX_SHADER_PATH, fragmentShaderPath)
	{
	}

	PostprocessRenderingPass::PostprocessRenderingPass(GLRenderingDevice* device, String const& geometryShaderPath,
	                                                   String const& fragmentShaderPath)
	    : RenderingPassBase(device, VERTEX_SHADER_PATH, geometryShaderPath, fragmentShaderPath)
	{
	}

	void PostprocessRenderingPass::OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType)
	{
		const ScreenSize& screen = RDI->GetScreenSize();
		Program.SetUniform("uTime", GetGameplayTime(world));
		Program.SetUniform("uResolution", static_cast<float>(screen.Width) * rect.GetSize().x,
		                   static_cast<float>(screen.Height) * rect.GetSize().y);

		const EntityTransform& cameraTransform = camera->GetTransform();
		Program.SetUniform("uCameraPosition", cameraTransform.GetGlobalTranslation());
		Program.SetUniform("uCameraRotation", cameraTransform.GetGlobalRotation().ToRotationMatrix());

		if (const PostprocessSettingsComponent* settings = camera->GetSibling<PostprocessSettingsComponent>())
		{
			Program.SetUniform("uUseCashetes", static_cast<int>(settings->UseCashetes));
			Program.SetUniform("uDistortionPower", settings->DistortionPower);
			Program.SetUniform("uColorTempValue", settings->ColorTempValue);
			Program.SetUniform("uColorTempLuminancePreservation", settings->ColorTempLuminancePreservation);
			Program.SetUniform("uSaturationPower", settings->SaturationPower);
			Program.SetUniform("uGrainPower", settings->GrainPower);
			Program.SetUniform("uStripesPower", settings->StripesPower);
		}
		else
		{
			gConsole.LogInfo("void PostprocessRenderingPass::OnRun: PostprocessSettings is NULL");
		}

		RDI->GetQuadPrimitive()->Draw();
	}
} // namespace Vorn
