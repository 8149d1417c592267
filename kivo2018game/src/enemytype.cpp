#include "enemytype.hpp"

#include "utils/check.hpp"

namespace Kivo
{
	const EnemyTypeInfo& GetEnemyTypeInfo(EnemyType type)
	{
		// Indexed by type; the EMPTY row is never used.
		static const EnemyTypeInfo TABLE[] = {
		    {0.0f, false, 0, 0.0f}, // EMPTY
		    {2.5f, true, 0, 0.0f},  // WEAVER
		    {3.5f, false, 1, 0.4f}, // GUNNER
		    {4.0f, true, 1, 0.4f},  // WEAVING_GUNNER
		    {5.0f, false, 8, 1.0f}, // SPREADER
		    {5.5f, true, 8, 1.0f},  // WEAVING_SPREADER
		};
		const Vorn::u32 index = static_cast<Vorn::u32>(type);
		VORN_CHECK(index > 0 && index < sizeof(TABLE) / sizeof(TABLE[0]), "Invalid enemy type!");
		return TABLE[index];
	}
} // namespace Kivo
