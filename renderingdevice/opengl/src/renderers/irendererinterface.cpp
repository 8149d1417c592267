#include "renderers/irendererinterface.hpp"

#include "utils/check.hpp"

namespace Vorn
{
	IRendererInterface::IRendererInterface(GLRenderingDevice* device) : RenderingDeviceInterface(device)
	{
		VORN_CHECK(RenderingDeviceInterface != nullptr, "RenderingDeviceInterface passed to Renderer is NULL");
	}

	IRendererInterface::~IRendererInterface() = default;
} // namespace Vorn
