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
	namespace
	{
		// What the final shader reads of a camera's settings.
		struct EffectValues
		{
			float Exposure = 1.0f;
			int UseCashetes = 0;
			float DistortionPower = 0.0f;
			float ColorTempValue = PostprocessRenderingPass::NEUTRAL_COLOR_TEMPERATURE;
			float ColorTempLuminancePreservation = 0.0f;
			float SaturationPower = 1.0f;
			float GrainPower = 0.0f;
			float StripesPower = 0.0f;
		};

		// Without settings the picture is left as it is (the defaults above), not given the settings' default grain
		// and stripes.
		EffectValues ReadEffectValues(const PostprocessSettingsComponent* settings)
		{
			EffectValues values;
			if (settings)
				values = {settings->Exposure,
				          settings->UseCashetes,
				          settings->DistortionPower,
				          settings->ColorTempValue,
				          settings->ColorTempLuminancePreservation,
				          settings->SaturationPower,
				          settings->GrainPower,
				          settings->StripesPower};
			return values;
		}
	} // namespace

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

		const PostprocessSettingsComponent* settings = camera->GetSibling<PostprocessSettingsComponent>();
		if (!settings)
			gConsole.LogInfo("void PostprocessRenderingPass::OnRun: PostprocessSettings is NULL");
		// Set even without settings, so a previous camera's values do not linger.
		const EffectValues used = ReadEffectValues(settings);
		Program.SetUniform("uExposure", used.Exposure);
		Program.SetUniform("uUseCashetes", static_cast<int>(used.UseCashetes));
		Program.SetUniform("uDistortionPower", used.DistortionPower);
		Program.SetUniform("uColorTempValue", used.ColorTempValue);
		Program.SetUniform("uColorTempLuminancePreservation", used.ColorTempLuminancePreservation);
		Program.SetUniform("uSaturationPower", used.SaturationPower);
		Program.SetUniform("uGrainPower", used.GrainPower);
		Program.SetUniform("uStripesPower", used.StripesPower);

		RDI->GetQuadPrimitive()->Draw();
	}
} // namespace Vorn
