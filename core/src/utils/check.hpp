#pragma once

// Fatal checks guard programming errors. They stay on in every build type: a broken
// precondition stops the process with its fixed message instead of corrupting state.

namespace Vorn::Impl
{
	[[noreturn]] void FatalCheckFailed(const char* message, const char* file, int line);
} // namespace Vorn::Impl

#define VORN_CHECK(condition, message)                                                                                 \
	do                                                                                                                 \
	{                                                                                                                  \
		if (!(condition))                                                                                              \
			::Vorn::Impl::FatalCheckFailed((message), __FILE__, __LINE__);                                             \
	} while (false)

#define VORN_FAIL(message) ::Vorn::Impl::FatalCheckFailed((message), __FILE__, __LINE__)
