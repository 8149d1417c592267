#include "utils/check.hpp"

#include <cstdio>
#include <cstdlib>

namespace Vorn::Impl
{
	void FatalCheckFailed(const char* message, const char* file, int line)
	{
		// Plain stdio on purpose: the console may be the thing that is broken.
		std::fflush(stdout);
		std::fprintf(stderr, "Fatal check failed: %s\n    at %s:%d\n", message, file, line);
		std::fflush(stderr);
		std::abort();
	}
} // namespace Vorn::Impl
