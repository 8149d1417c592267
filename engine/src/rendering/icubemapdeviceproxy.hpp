#pragma once

#include "memory/baseobject.hpp"

namespace Vorn
{
	enum class eCubemapSide
	{
		POSITIVE_X,
		NEGATIVE_X,
		POSITIVE_Y,
		NEGATIVE_Y,
		POSITIVE_Z,
		NEGATIVE_Z,
		_COUNT
	};

	class ICubemapDeviceProxy : public BaseObject
	{
	public:
		ICubemapDeviceProxy() = default;
		ICubemapDeviceProxy(const ICubemapDeviceProxy&) = default;
		ICubemapDeviceProxy(ICubemapDeviceProxy&&) = default;
		ICubemapDeviceProxy& operator=(const ICubemapDeviceProxy&) = default;
		ICubemapDeviceProxy& operator=(ICubemapDeviceProxy&&) = default;
		~ICubemapDeviceProxy() override;

		// One face: width * height texels of three floats each.
		virtual void SetContent(eCubemapSide side, const float* data) = 0;
	};
} // namespace Vorn
