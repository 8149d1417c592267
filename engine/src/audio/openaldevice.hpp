#pragma once

#include "collections/dynarray.hpp"
#include "memory/baseobject.hpp"
#include "utils/string.hpp"

namespace Vorn
{
	// The engine's audio output. Opens the system's default OpenAL device when constructed; a machine
	// without audio output gets no device, and the engine then runs silent.
	class OpenALDevice : public BaseObject
	{
	public:
		OpenALDevice();
		~OpenALDevice() override;
		// Owns the device handle, which must be closed once.
		OpenALDevice(const OpenALDevice&) = delete;
		OpenALDevice& operator=(const OpenALDevice&) = delete;

		bool IsOpen() const { return Device != nullptr; }
		// The ALCdevice*, kept opaque so that OpenAL's headers stay out of the engine's public headers.
		void* GetNativeHandle() const { return Device; }
		// Closes the current device and opens the named one; false when it cannot be opened (then no device is open).
		bool Reopen(const String& name);
		// Names of the output devices OpenAL knows; never empty.
		const Dynarray<String>& GetAvailableDevices() const { return AvailableDevices; }

	private:
		void* Device = nullptr;
		Dynarray<String> AvailableDevices;
	};
} // namespace Vorn
