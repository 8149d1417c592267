#include "rendering/irenderingdevice.hpp"

// Out-of-line destructors anchor the vtables and type information of the device interface in the engine
// library, so device and game plug-ins derive from and catch the very same types.
namespace Vorn
{
	RenderingDeviceSetupFailedException::~RenderingDeviceSetupFailedException() = default;
	RenderingDeviceProxyCreationFailedException::~RenderingDeviceProxyCreationFailedException() = default;
	IRenderingDevice::~IRenderingDevice() = default;
	ITextureDeviceProxy::~ITextureDeviceProxy() = default;
	ICubemapDeviceProxy::~ICubemapDeviceProxy() = default;
	ITextFieldBufferDeviceProxy::~ITextFieldBufferDeviceProxy() = default;
	IMeshDeviceProxy::~IMeshDeviceProxy() = default;
	IParticleDeviceProxy::~IParticleDeviceProxy() = default;
} // namespace Vorn
