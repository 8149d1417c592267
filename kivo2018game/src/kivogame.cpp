#include "kivogame.hpp"

#include "dravsystem.hpp"
#include "ecs/world.hpp"
#include "gamemanagersystem.hpp"
#include "gamemanagerworldcomponent.hpp"
#include "rendering/skyboxworldcomponent.hpp"
#include "spawnworldcomponent.hpp"
#include "utils/console.hpp"

using namespace Vorn;

extern "C" IGame* CreateGame() { return new KivoGame(); }

void KivoGame::RegisterEngine(Engine* engine) { GameEngine = engine; }

void KivoGame::InitCommon()
{
	gConsole.LogInfo("KivoGame::InitCommon");
	World* world = GameEngine->GetWorld();
	SkyboxWorldComponent* skybox = world->AddWorldComponent<SkyboxWorldComponent>("HDR/HDR.hdr", eResourceSource::GAME);
	skybox->SetTint(Color::WHITE * 0.1f);
}

// The camera phase needs a camera in viewport 0 from the first frame on, which CreateCamera provides.
void KivoGame::Init()
{
	InitCommon();
	World* world = GameEngine->GetWorld();
	world->AddWorldComponent<GameManagerWorldComponent>();

	gConsole.LogInfo("KivoGame::Init register update phases");
	// Input first, so this frame's keys move and fire; collisions before guns and bullets, so a bullet is tested
	// where it was drawn last frame; enemies last, so damage from this frame's collisions is applied at once.
	GameEngine->RegisterGameUpdatePhase(DravSystem::PlayerControlPhase);
	GameEngine->RegisterGameUpdatePhase(DravSystem::CollisionPhase);
	GameEngine->RegisterGameUpdatePhase(DravSystem::GunPhase);
	GameEngine->RegisterGameUpdatePhase(DravSystem::BulletPhase);
	GameEngine->RegisterGameUpdatePhase(DravSystem::SpawnPhase);
	GameEngine->RegisterGameUpdatePhase(DravSystem::EnemyPhase);

	DravSystem::Init(world);
	world->AddWorldComponent<SpawnWorldComponent>();
	DravSystem::CreateCamera(world);
}

void KivoGame::Deinit()
{
	World* world = GameEngine->GetWorld();
	GameManagerSystem::Deinit(world);
	DravSystem::Cleanup(world);
}
