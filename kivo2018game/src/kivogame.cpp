#include "kivogame.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "math/angle.hpp"
#include "math/quaternion.hpp"
#include "math/vector.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "utils/console.hpp"

using namespace Vorn;

extern "C" IGame* CreateGame() { return new KivoGame(); }

void KivoGame::RegisterEngine(Engine* engine) { GameEngine = engine; }

// The sky joins in here with the shooter's scene.
void KivoGame::InitCommon() { gConsole.LogInfo("KivoGame::InitCommon"); }

void KivoGame::Init()
{
	InitCommon();
	gConsole.LogInfo("KivoGame::Init register update phases");
	// The shooter's phases, world components and scene are not part of this build yet. The camera phase needs a
	// camera in viewport 0 from the first frame on, so the game's top-down camera is placed on its own until then.
	PlaceCamera();
}

// Nothing the game made needs tearing down yet: the camera entity goes with the world.
void KivoGame::Deinit() {}

void KivoGame::PlaceCamera()
{
	World* world = GameEngine->GetWorld();
	Entity* cameraEntity = DeferredTaskSystem::SpawnEntityImmediate(world);
	CameraComponent* camera = DeferredTaskSystem::AddComponentImmediate<CameraComponent>(
	    world, cameraEntity, Angle::FromDegrees(35.0f), 1.0f, 5000.0f);

	EntityTransform& transform = cameraEntity->GetTransform();
	transform.SetGlobalTranslation(Vector(-50.0f, 580.0f, 0.0f));
	transform.SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(-90.0f)) *
	                            Quaternion(Vector::UNIT_X, Angle::FromDegrees(-90.0f)));

	world->GetWorldComponent<ViewportWorldComponent>()->SetCamera(0, camera);
}
