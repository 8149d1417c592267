#pragma once

namespace Vorn
{
	class World;
}

namespace DravSystem
{
	// The top-down camera with its postprocess settings, shown in viewport 0, and the scene's sun. Reuses the
	// camera entity when one exists already.
	void CreateCamera(Vorn::World* world);
} // namespace DravSystem
