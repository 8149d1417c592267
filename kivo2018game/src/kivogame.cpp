#include "kivogame.hpp"

#include "dravsystem.hpp"
#include "ecs/world.hpp"
#include "gamemanagersystem.hpp"
#include "gamemanagerworldcomponent.hpp"
#include "utils/console.hpp"

using namespace Vorn;

extern "C" IGame* CreateGame() { return new KivoGame(); }

void KivoGame::RegisterEngine(Engine* engine) { GameEngine = engine; }

// The sky (SkyboxWorldComponent with "HDR/HDR.hdr" from the game assets, tinted white * 0.1) joins here once the
// OpenGL device creates textures: loading the panorama needs a texture proxy, and the device still refuses them.
void KivoGame::InitCommon() { gConsole.LogInfo("KivoGame::InitCommon"); }

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
