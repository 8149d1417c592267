#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "ecs/componentbase.hpp"
#include "enemytype.hpp"
#include "math/vector.hpp"
#include "memory/baseobject.hpp"

namespace Kivo
{
	// One group of enemies: a type per spawn point, and the time until the next group comes.
	class SpawnWave : public Vorn::BaseObject
	{
	public:
		Vorn::Dynarray<Vorn::Vector> Positions;
		// One per position; EMPTY leaves the position unused.
		Vorn::Dynarray<EnemyType> EnemyTypes;
		float Delay = 0.0f;
		// Added to every position.
		Vorn::Vector Offset;
	};
} // namespace Kivo

// The fixed sequence of 25 waves and how far the game has got through it.
class SpawnWorldComponent : public Vorn::ComponentBase
{
public:
	SpawnWorldComponent();

	Vorn::Dynarray<Vorn::Vector> FourSpawnPoints;
	Vorn::Dynarray<Vorn::Vector> ElevenSpawnPoints;

	Kivo::SpawnWave Template1;
	Kivo::SpawnWave Template2;
	Kivo::SpawnWave Template3;
	Kivo::SpawnWave Template4;
	Kivo::SpawnWave Template5;
	Kivo::SpawnWave Template6;
	Kivo::SpawnWave Template7;
	Kivo::SpawnWave Template8;

	Vorn::Dynarray<Kivo::SpawnWave> Waves;
	// Index of the last wave spawned; keeps counting past the end, when nothing spawns any more.
	Vorn::i32 CurrentWave = -1;
	float NextWaveDelay = 2.0f;
	// Gameplay time since the last wave.
	float WaveTimer = 0.0f;
};
