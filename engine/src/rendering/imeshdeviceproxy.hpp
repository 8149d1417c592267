#pragma once

#include "memory/baseobject.hpp"

namespace Vorn
{
	class Mesh;

	class IMeshDeviceProxy : public BaseObject
	{
	public:
		IMeshDeviceProxy() = default;
		IMeshDeviceProxy(const IMeshDeviceProxy&) = default;
		IMeshDeviceProxy(IMeshDeviceProxy&&) = default;
		IMeshDeviceProxy& operator=(const IMeshDeviceProxy&) = default;
		IMeshDeviceProxy& operator=(IMeshDeviceProxy&&) = default;
		~IMeshDeviceProxy() override;

		// Uploads the vertex streams and indices; may create the graphics objects on first use.
		virtual void SetContent(Mesh const& mesh) = 0;
		virtual unsigned int GetResourceID() const = 0;
	};
} // namespace Vorn
