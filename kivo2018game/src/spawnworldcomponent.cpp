#include "spawnworldcomponent.hpp"

using namespace Vorn;
using Kivo::EnemyType;
using Kivo::SpawnWave;

namespace
{
	constexpr EnemyType E = EnemyType::EMPTY;
	constexpr EnemyType W = EnemyType::WEAVER;
	constexpr EnemyType G = EnemyType::GUNNER;
	constexpr EnemyType WG = EnemyType::WEAVING_GUNNER;
	constexpr EnemyType S = EnemyType::SPREADER;
	constexpr EnemyType WS = EnemyType::WEAVING_SPREADER;

	// Every spawn point lies on the far edge of the arena, x = 140.
	Dynarray<Vector> MakeSpawnPoints(std::initializer_list<float> zs)
	{
		Dynarray<Vector> points;
		for (float z : zs)
			points.PushBack(Vector(140.0f, 0.0f, z));
		return points;
	}

	SpawnWave MakeTemplate(const Dynarray<Vector>& points, Dynarray<EnemyType> types, float delay)
	{
		SpawnWave wave;
		wave.Positions = points;
		wave.EnemyTypes = std::move(types);
		wave.Delay = delay;
		wave.Offset = Vector(0.0f, 0.0f, 0.0f);
		return wave;
	}

	SpawnWave WithDelay(const SpawnWave& waveTemplate, float delay)
	{
		SpawnWave wave = waveTemplate;
		wave.Delay = delay;
		return wave;
	}
} // namespace

SpawnWorldComponent::SpawnWorldComponent()
    : FourSpawnPoints(MakeSpawnPoints({200.0f, 100.0f, -100.0f, -200.0f})),
      ElevenSpawnPoints(
          MakeSpawnPoints({250.0f, 200.0f, 150.0f, 100.0f, 50.0f, 0.0f, -50.0f, -100.0f, -150.0f, -200.0f, -250.0f})),
      Template1(MakeTemplate(FourSpawnPoints, {W, W, W, W}, 3.0f)),
      Template2(MakeTemplate(FourSpawnPoints, {W, W, W, W}, 5.0f)),
      Template3(MakeTemplate(FourSpawnPoints, {E, WG, WG, E}, 3.0f)),
      Template4(MakeTemplate(FourSpawnPoints, {WG, WG, WG, WG}, 3.0f)),
      Template5(MakeTemplate(FourSpawnPoints, {S, WG, WG, S}, 3.0f)),
      Template6(MakeTemplate(FourSpawnPoints, {WS, E, E, WS}, 3.0f)),
      Template7(MakeTemplate(FourSpawnPoints, {S, S, S, S}, 3.0f)),
      Template8(MakeTemplate(ElevenSpawnPoints, {G, S, G, S, WG, S, WG, S, G, S, G}, 3.0f))
{
	Waves.PushBack(WithDelay(Template1, 3.0f));
	Waves.PushBack(WithDelay(Template1, 3.0f));
	Waves.PushBack(WithDelay(Template2, 5.0f));
	Waves.PushBack(WithDelay(Template3, 3.0f));
	Waves.PushBack(WithDelay(Template3, 3.0f));
	Waves.PushBack(WithDelay(Template3, 2.0f));
	Waves.PushBack(WithDelay(Template3, 2.0f));
	Waves.PushBack(WithDelay(Template4, 3.0f));
	Waves.PushBack(WithDelay(Template4, 3.0f));
	Waves.PushBack(WithDelay(Template4, 2.0f));
	Waves.PushBack(WithDelay(Template4, 2.0f));
	Waves.PushBack(WithDelay(Template5, 3.0f));
	Waves.PushBack(WithDelay(Template5, 4.0f));
	Waves.PushBack(WithDelay(Template8, 3.0f));
	Waves.PushBack(WithDelay(Template6, 2.0f));
	Waves.PushBack(WithDelay(Template5, 2.0f));
	Waves.PushBack(WithDelay(Template6, 3.0f));
	Waves.PushBack(WithDelay(Template7, 3.0f));
	Waves.PushBack(WithDelay(Template4, 3.0f));
	Waves.PushBack(WithDelay(Template7, 2.0f));
	Waves.PushBack(WithDelay(Template7, 2.0f));
	Waves.PushBack(WithDelay(Template8, 3.0f));
	Waves.PushBack(WithDelay(Template8, 3.0f));
	SpawnWave shifted = WithDelay(Template8, 3.0f);
	shifted.Offset = Vector(0.0f, 0.0f, 60.0f);
	Waves.PushBack(shifted);
	Waves.PushBack(WithDelay(Template8, 3.0f));
}
