#pragma once

namespace Vorn
{
	class World;

	namespace Physics2DSystem
	{
		// Copies entity transforms into the bodies, creates missing fixtures, runs as many fixed steps as the
		// gameplay time allows and writes positions and Z angles back to the entities.
		void Physics2DUpdatePhase(World* world);
	} // namespace Physics2DSystem
} // namespace Vorn
