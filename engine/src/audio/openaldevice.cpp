#include "audio/openaldevice.hpp"

#include "utils/console.hpp"

#include <al.h>
#include <alc.h>

namespace Vorn
{
	namespace
	{
		ALCdevice* AsALCDevice(void* handle) { return static_cast<ALCdevice*>(handle); }
	} // namespace

	OpenALDevice::OpenALDevice()
	{
		ALCdevice* device = alcOpenDevice(nullptr);
		Device = device;
		if (!device)
			gConsole.LogWarning("OpenAL: no audio output device could be opened, running without sound");

		if (alcIsExtensionPresent(nullptr, "ALC_ENUMERATION_EXT") == ALC_TRUE)
		{
			// A list of NUL-terminated names ended by an empty one. The first entry is always kept so the
			// list is never empty.
			const ALCchar* names = alcGetString(nullptr, ALC_DEVICE_SPECIFIER);
			const ALCchar* name = names ? names : "";
			do
			{
				const String deviceName(name);
				AvailableDevices.PushBack(deviceName);
				name += deviceName.GetLength() + 1;
			} while (names && *name != '\0');
		}
		else
		{
			AvailableDevices.PushBack(String(alcGetString(device, ALC_DEVICE_SPECIFIER)));
		}
	}

	bool OpenALDevice::Reopen(const String& name)
	{
		if (Device)
			alcCloseDevice(AsALCDevice(Device));
		Device = alcOpenDevice(name.GetCStr());
		return Device != nullptr;
	}

	OpenALDevice::~OpenALDevice()
	{
		if (Device)
			alcCloseDevice(AsALCDevice(Device));
	}
} // namespace Vorn
