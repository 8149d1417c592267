#include "support/kivogametest.hpp"

#include "dravsystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "kivogame.hpp"
#include "time/timeworldcomponent.hpp"

using namespace Vorn;

KivoGameTest::KivoGameTest()
{
	VornTests::WriteFile("AssetsPathConfig.json",
	                     "{\n    \"GameAssetsPath\": \"" VORN_GENERATED_GAME_ASSETS_PATH "\"\n}\n");
	StartEngine();
}

void KivoGameTest::StartEngine()
{
	EngineInstance = std::make_unique<Engine>();
	Game = CreateGame();
	EngineInstance->Init(std::unique_ptr<IGame>(Game), std::make_unique<VornTests::TestRenderingDevice>(&DeviceLog));
}

KivoGameTest::~KivoGameTest() { EngineInstance.reset(); }

void KivoGameTest::RunFrame(u64 nanoseconds)
{
	Clock.AdvanceNanoseconds(nanoseconds);
	EngineInstance->Update();
}

void KivoGameTest::RunFrames(int count)
{
	for (int i = 0; i < count; ++i)
		RunFrame();
}

void KivoGameTest::FreezeGameplay() { GetWorld()->GetWorldComponent<TimeWorldComponent>()->SetPaused(true); }

Entity* KivoGameTest::AddEnemy(const Vector& position, float health)
{
	World* world = GetWorld();
	Entity* enemy = DravSystem::SpawnMeshEntity(world, "Models/Drone/OBJ/Drone_00.obj");
	enemy->GetTransform().SetGlobalTranslation(position);
	DeferredTaskSystem::AddComponentImmediate<DravEnemyComponent>(world, enemy, Kivo::EnemyType::GUNNER, 0.0f, health,
	                                                              0.0f);
	GetDrav()->Enemies.PushBack(SafePtr<Entity>(enemy));
	GetDrav()->Entities.PushBack(SafePtr<Entity>(enemy));
	return enemy;
}

Entity* KivoGameTest::AddArmedEnemy(const Vector& position)
{
	Entity* enemy = AddEnemy(position);
	DeferredTaskSystem::AddComponentImmediate<DravGunComponent>(GetWorld(), enemy, Vector(0.0f, 0.0f, 0.0f),
	                                                            Dynarray<Quaternion>{Quaternion()}, 0.4f);
	return enemy;
}

Entity* KivoGameTest::AddBullet(Entity* shooter, const Vector& position)
{
	return DravSystem::SpawnBullet(GetWorld(), shooter->GetComponent<DravGunComponent>(), position,
	                               Quaternion(Vector::UNIT_Y, Angle::FromDegrees(-90.0f)));
}
