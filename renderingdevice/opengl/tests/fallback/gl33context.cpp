#include <cstdlib>

// Mesa's drivers then refuse an OpenGL 4.3 context and grant 3.3, as a driver without compute shaders would, so
// every device this program makes runs the fallback path. Set before main, ahead of any driver code, and only in
// this process.
namespace
{
	const bool IS_LIMITED_TO_GL33 = setenv("MESA_GL_VERSION_OVERRIDE", "3.3", 1) == 0;
} // namespace
