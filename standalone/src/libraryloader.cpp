#include "libraryloader.hpp"

#include "utils/console.hpp"

#include <dlfcn.h>

namespace Vorn
{
	namespace
	{
		// The error code of a failed load is dlerror()'s text: the loader keeps no numeric code, and its text
		// names both the file and the reason.
		String TakeLoaderError()
		{
			const char* error = dlerror();
			return error ? String(error) : String("unknown loader error");
		}
	} // namespace

	LibraryFunction LoadLibraryFunction(const String& path, const String& name)
	{
		LibraryFunction result;
		dlerror();

		// dlopen("") hands back the launcher itself, so an empty path is refused before the loader sees it.
		void* handle = path.IsEmpty() ? nullptr : dlopen(path.GetCStr(), RTLD_NOW | RTLD_LOCAL);
		if (!handle)
		{
			const String errorCode = path.IsEmpty() ? String("empty library path") : TakeLoaderError();
			gConsole.LogError("Shared library [{}] load failed. Error code: {}", path, errorCode);
			return result;
		}

		dlerror();
		void* function = dlsym(handle, name.GetCStr());
		const char* symbolError = dlerror();
		if (!function || symbolError)
		{
			const String errorCode = symbolError ? String(symbolError) : String("symbol resolved to null");
			gConsole.LogError("Function [{}] from shared library [{}] load failed. Error code: {}", name, path,
			                  errorCode);
			dlclose(handle);
			return result;
		}

		gConsole.LogError("Function [{}] from shared library [{}] loaded succesfully!", name, path);
		result.LibraryHandle = handle;
		result.Function = function;
		return result;
	}

	void ReleaseLibrary(LibraryFunction& library)
	{
		if (library.LibraryHandle)
			dlclose(library.LibraryHandle);
		library = LibraryFunction();
	}
} // namespace Vorn
