#include "dravsystem.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "resources/meshresource.hpp"
#include "support/kivogametest.hpp"
#include "time/timesystem.hpp"

#include <set>
#include <vector>

using namespace Vorn;
using Kivo::EnemyType;

namespace
{
	std::set<Entity*> LiveEnemies(const DravWorldComponent* drav)
	{
		std::set<Entity*> enemies;
		for (const SafePtr<Entity>& handle : drav->Enemies)
			if (Entity* enemy = handle.Get())
				enemies.insert(enemy);
		return enemies;
	}
} // namespace

using SpawnWavesTest = KivoGameTest;

TEST_F(SpawnWavesTest, WavesFollowTheTimelineOfTheirDelays)
{
	// Gameplay seconds at which waves 1 to 4 arrive: 2 s of calm, then the delays 3, 3 and 5 of waves 1 to 3.
	const std::vector<double> expectedSeconds = {2.0, 5.0, 8.0, 13.0};
	std::vector<double> spawnSeconds;
	int frame = 0;
	while (spawnSeconds.size() < expectedSeconds.size() && frame < 20 * FRAMES_PER_SECOND)
	{
		const i32 waveBefore = GetSpawn()->CurrentWave;
		RunFrame();
		++frame;
		if (GetSpawn()->CurrentWave != waveBefore)
			spawnSeconds.push_back(static_cast<double>(frame) / FRAMES_PER_SECOND);
	}
	EXPECT_EQ(spawnSeconds, expectedSeconds);
}

TEST_F(SpawnWavesTest, FourthWaveSpawnsTwoWeavingGunnersAtTheMiddlePoints)
{
	GetSpawn()->CurrentWave = 2;
	const std::set<Entity*> before = LiveEnemies(GetDrav());
	DravSystem::SpawnNextWave(GetWorld());

	std::vector<Entity*> spawned;
	for (Entity* enemy : LiveEnemies(GetDrav()))
		if (!before.count(enemy))
			spawned.push_back(enemy);
	ASSERT_EQ(spawned.size(), 2u);

	std::set<float> zs;
	for (Entity* enemy : spawned)
	{
		const EntityTransform& transform = enemy->GetTransform();
		EXPECT_EQ(transform.GetGlobalTranslation().x, 140.0f);
		zs.insert(transform.GetGlobalTranslation().z);
		EXPECT_EQ(transform.GetGlobalScale(), Vector(4.0f, 4.0f, 4.0f));
		// Flying towards the player, along -X.
		EXPECT_EQ(transform.GetGlobalRotation() * Vector(0.0f, 0.0f, -1.0f), Vector(-1.0f, 0.0f, 0.0f));

		const DravEnemyComponent* state = enemy->GetComponent<DravEnemyComponent>();
		ASSERT_NE(state, nullptr);
		EXPECT_EQ(state->Type, EnemyType::WEAVING_GUNNER);
		EXPECT_EQ(state->Speed, 20.0f);
		EXPECT_EQ(state->Health, 100.0f);
		const DravGunComponent* gun = enemy->GetComponent<DravGunComponent>();
		ASSERT_NE(gun, nullptr);
		EXPECT_EQ(gun->Directions.GetSize(), 1u);
		EXPECT_EQ(gun->FireInterval, 0.4f);

		const MeshRenderingComponent* mesh = enemy->GetComponent<MeshRenderingComponent>();
		ASSERT_NE(mesh->GetMesh(), nullptr);
		for (u64 i = 0; i < mesh->GetMesh()->GetSubMeshes().GetSize(); ++i)
		{
			EXPECT_EQ(mesh->GetMaterial(static_cast<int>(i)).Emissive, Color::GREEN * 1500.0f);
			EXPECT_EQ(mesh->GetMaterial(static_cast<int>(i)).Albedo, Color::GREEN * 2.1f);
		}
	}
	EXPECT_EQ(zs, (std::set<float>{100.0f, -100.0f}));
	EXPECT_EQ(GetSpawn()->NextWaveDelay, 3.0f);
}

TEST_F(SpawnWavesTest, TwentyFourthWaveIsShiftedBySixtyOnZ)
{
	GetSpawn()->CurrentWave = 22;
	DravSystem::SpawnNextWave(GetWorld());

	std::multiset<float> zs;
	int spreaders = 0;
	for (Entity* enemy : LiveEnemies(GetDrav()))
	{
		zs.insert(enemy->GetTransform().GetGlobalTranslation().z);
		const DravEnemyComponent* state = enemy->GetComponent<DravEnemyComponent>();
		if (state->Type == EnemyType::SPREADER)
		{
			++spreaders;
			EXPECT_EQ(enemy->GetComponent<DravGunComponent>()->Directions.GetSize(), 8u);
			EXPECT_EQ(enemy->GetComponent<DravGunComponent>()->FireInterval, 1.0f);
			EXPECT_EQ(enemy->GetTransform().GetGlobalScale(), Vector(5.0f, 5.0f, 5.0f));
		}
	}
	EXPECT_EQ(zs, (std::multiset<float>{310, 260, 210, 160, 110, 60, 10, -40, -90, -140, -190}));
	EXPECT_EQ(spreaders, 5);
}

TEST_F(SpawnWavesTest, NothingSpawnsAfterTheLastWave)
{
	GetSpawn()->CurrentWave = 23;
	DravSystem::SpawnNextWave(GetWorld());
	ASSERT_EQ(LiveEnemies(GetDrav()).size(), 11u) << "the last wave";

	for (int i = 0; i < 5; ++i)
		DravSystem::SpawnNextWave(GetWorld());
	EXPECT_EQ(LiveEnemies(GetDrav()).size(), 11u);
	EXPECT_EQ(GetSpawn()->CurrentWave, 29);

	// Nor through the phase, however long the game goes on.
	TimeSystem::SetTimerMultiplier(GetWorld(), eEngineTimer::GAMEPLAY, 100.0);
	u64 enemies = CountComponents<DravEnemyComponent>();
	for (int frame = 0; frame < 20; ++frame)
	{
		RunFrame();
		// Enemies may die, but none may come.
		EXPECT_LE(CountComponents<DravEnemyComponent>(), enemies) << "frame " << frame;
		enemies = CountComponents<DravEnemyComponent>();
	}
	EXPECT_GT(GetSpawn()->CurrentWave, 29);
}

TEST_F(SpawnWavesTest, ALongFrameSpawnsOneWaveOnly)
{
	// Each frame is 15.6 s of gameplay time, longer than any wave's delay.
	TimeSystem::SetTimerMultiplier(GetWorld(), eEngineTimer::GAMEPLAY, 1000.0);
	for (i32 expected = 0; expected < 3; ++expected)
	{
		RunFrame();
		EXPECT_EQ(GetSpawn()->CurrentWave, expected);
	}
}

TEST_F(SpawnWavesTest, PausedGameplayHoldsTheWavesBack)
{
	FreezeGameplay();
	RunFrames(5 * FRAMES_PER_SECOND);
	EXPECT_EQ(GetSpawn()->CurrentWave, -1);
	EXPECT_EQ(GetSpawn()->WaveTimer, 0.0f);
}
