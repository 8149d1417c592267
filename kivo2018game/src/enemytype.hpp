#pragma once

#include "defines.hpp"

namespace Kivo
{
	// What occupies a spawn point of a wave. Kept 32-bit so wave tables have a fixed layout.
	enum class EnemyType : Vorn::u32
	{
		EMPTY = 0, // nobody spawns at the point
		WEAVER = 1,
		GUNNER = 2,
		WEAVING_GUNNER = 3,
		SPREADER = 4,
		WEAVING_SPREADER = 5,
	};

	// How an enemy type looks and fights.
	struct EnemyTypeInfo
	{
		float Scale;
		bool Weaves;
		// 0 for unarmed types; otherwise bullets per shot, straight ahead first.
		int GunDirections;
		float FireInterval;
	};

	// The row of the enemy table for a type other than EMPTY.
	const EnemyTypeInfo& GetEnemyTypeInfo(EnemyType type);
} // namespace Kivo
