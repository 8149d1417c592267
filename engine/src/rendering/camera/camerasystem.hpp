#pragma once

namespace Vorn
{
	class World;

	namespace CameraSystem
	{
		// Fits the projection of every viewport's camera to the viewport's shape, refreshes the cameras' view
		// matrices from their entities and applies the F5 to F10 rendering-mode keys. Every viewport must have
		// a camera by the time it runs.
		void CameraUpdatePhase(World* world);
	} // namespace CameraSystem
} // namespace Vorn
