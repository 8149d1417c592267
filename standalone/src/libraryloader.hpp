#pragma once

#include "utils/string.hpp"

namespace Vorn
{
	// A loaded shared library and one function resolved in it; both are null when loading failed.
	struct LibraryFunction
	{
		void* LibraryHandle = nullptr;
		void* Function = nullptr;

		bool IsLoaded() const { return LibraryHandle != nullptr && Function != nullptr; }
	};

	// Loads the library at `path` and resolves `name` in it. Every outcome is logged at ERROR level, success
	// included, so the log always shows which plug-ins a run used.
	LibraryFunction LoadLibraryFunction(const String& path, const String& name);

	// Unloads the library of a loaded record and empties it; an empty record is left alone.
	void ReleaseLibrary(LibraryFunction& library);
} // namespace Vorn
