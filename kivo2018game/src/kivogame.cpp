#include "kivogame.hpp"

#include "dravsystem.hpp"
#include "ecs/world.hpp"
#include "gamemanagersystem.hpp"
#include "gamemanagerworldcomponent.hpp"
#include "rendering/skyboxworldcomponent.hpp"
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

// The shooter's phases, world components and player join in here as they are written. The camera phase needs a
// camera in viewport 0 from the first frame on, which CreateCamera provides.
void KivoGame::Init()
{
	InitCommon();
	World* world = GameEngine->GetWorld();
	world->AddWorldComponent<GameManagerWorldComponent>();
	gConsole.LogInfo("KivoGame::Init register update phases");
	DravSystem::CreateCamera(world);
}

void KivoGame::Deinit() { GameManagerSystem::Deinit(GameEngine->GetWorld()); }
