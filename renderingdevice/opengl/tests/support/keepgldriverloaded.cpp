// Test support, linked into test programs or preloaded into the processes they start: Mesa's DRI drivers stay loaded
// once they are in. Mesa unloads its driver when SDL closes the X display, and blocks the driver still points to
// then look leaked to LeakSanitizer, with no module left to name in a suppression.
#include <dlfcn.h>
#include <link.h>

#include <cstring>

extern "C" int dlclose(void* handle)
{
	using DlcloseFunction = int (*)(void*);
	static const auto nextDlclose = reinterpret_cast<DlcloseFunction>(dlsym(RTLD_NEXT, "dlclose"));

	link_map* module = nullptr;
	if (dlinfo(handle, RTLD_DI_LINKMAP, &module) == 0 && module && module->l_name)
	{
		static const char driverSuffix[] = "_dri.so";
		const std::size_t nameLength = std::strlen(module->l_name);
		const std::size_t suffixLength = sizeof(driverSuffix) - 1;
		if (nameLength >= suffixLength && std::strcmp(module->l_name + nameLength - suffixLength, driverSuffix) == 0)
			return 0;
	}
	return nextDlclose(handle);
}
