#include "engine.hpp"

#include "audio/soundsystem.hpp"
#include "audio/soundworldcomponent.hpp"
#include "configs/assetspathconfig.hpp"
#include "configs/debugconfig.hpp"
#include "debugdrawing/debugdrawstateworldcomponent.hpp"
#include "debugdrawing/debugdrawsystem.hpp"
#include "debugdrawing/debugworldcomponent.hpp"
#include "debugdrawing/fpssystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/deferredtaskworldcomponent.hpp"
#include "ecs/world.hpp"
#include "input/inputsystem.hpp"
#include "input/inputworldcomponent.hpp"
#include "movement/movementsystem.hpp"
#include "particles/particleupdatesystem.hpp"
#include "pathfinding/pathfindingsystem.hpp"
#include "physics2d/physics2dsystem.hpp"
#include "physics2d/physics2dworldcomponent.hpp"
#include "physics3d/physics3dsystem.hpp"
#include "physics3d/physics3dworldcomponent.hpp"
#include "rendering/ambientlightworldcomponent.hpp"
#include "rendering/camera/camerasystem.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "time/timesystem.hpp"
#include "time/timeworldcomponent.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"

#include <cstdlib>
#include <ctime>
#include <utility>

namespace Vorn
{
	Engine* gEngine = nullptr;

	IGame::~IGame() = default;

	Engine::Engine()
	{
		VORN_CHECK(gEngine == nullptr, "Creating engine twice?");
		gEngine = this;

		std::srand(static_cast<unsigned int>(std::time(nullptr)));

		// The asset paths decide where the debug configuration is read, so they load first.
		gAssetsPathConfig.Load();
		gDebugConfig.Load();
		gDebugConfig.EnableDebugDrawPresets(EnumFlags<eDebugDrawPreset>::FromMask(0x10));
	}

	Engine::~Engine()
	{
		if (Game)
			Game->Deinit();

		// The world goes first: its components release resources whose device proxies need the device.
		GameWorld.reset();
		Game.reset();
		RenderingDevice.reset();

		gEngine = nullptr;
	}

	bool Engine::Init(std::unique_ptr<IGame> game, std::unique_ptr<IRenderingDevice> device)
	{
		RenderingDevice = std::move(device);
		try
		{
			RenderingDevice->Init();
		}
		catch (const RenderingDeviceSetupFailedException&)
		{
			// The device has logged what is wrong. The game never ran its Init, so it gets no Deinit either: it is
			// destroyed here, before the device, as it would be at shutdown.
			gConsole.LogError("Rendering device set-up failed; the engine cannot start");
			return false;
		}
		Game = std::move(game);

		GameWorld.reset(new World());

		Game->RegisterEngine(this);

		// Later subsystems slot their world components and phases into these lists, keeping this order.
		GameWorld->AddWorldComponent<InputWorldComponent>();
		GameWorld->AddWorldComponent<ViewportWorldComponent>();
		GameWorld->AddWorldComponent<TimeWorldComponent>();
		GameWorld->AddWorldComponent<DebugWorldComponent>();
		GameWorld->AddWorldComponent<SoundWorldComponent>(GameWorld.get());
		GameWorld->AddWorldComponent<DeferredTaskWorldComponent>();
		GameWorld->AddWorldComponent<Physics2DWorldComponent>(Physics2DConfig());
		GameWorld->AddWorldComponent<Physics3DWorldComponent>(Physics3DConfig());
		GameWorld->AddWorldComponent<AmbientLightWorldComponent>(Color(1.0f, 1.0f, 1.0f, 1.0f), 0.2f);
		GameWorld->AddWorldComponent<DebugDrawStateWorldComponent>();

		RegisterUpdatePhase(TimeSystem::TimeUpdatePhase, eUpdatePhaseOrder::PREUPDATE);
		RegisterUpdatePhase(InputSystem::InputPhase, eUpdatePhaseOrder::PREUPDATE);
		RegisterUpdatePhase(Physics2DSystem::Physics2DUpdatePhase, eUpdatePhaseOrder::PREUPDATE);
		RegisterUpdatePhase(Physics3DSystem::Physics3DUpdatePhase, eUpdatePhaseOrder::PREUPDATE);
		RegisterUpdatePhase(MovementSystem::MovementUpdatePhase, eUpdatePhaseOrder::PREUPDATE);

		RegisterUpdatePhase(PathfindingSystem::UpdatePhase, eUpdatePhaseOrder::POSTUPDATE);
		RegisterUpdatePhase(CameraSystem::CameraUpdatePhase, eUpdatePhaseOrder::POSTUPDATE);
		RegisterUpdatePhase(DebugDrawSystem::DebugRenderingUpdatePhase, eUpdatePhaseOrder::POSTUPDATE);
		RegisterUpdatePhase(ParticleUpdateSystem::ParticleUpdatePhase, eUpdatePhaseOrder::POSTUPDATE);
		RegisterUpdatePhase([](World* world) { gEngine->GetRenderingDevice()->RenderWorld(world); },
		                    eUpdatePhaseOrder::POSTUPDATE);
		RegisterUpdatePhase(SoundSystem::SoundPhase, eUpdatePhaseOrder::POSTUPDATE);
		RegisterUpdatePhase(DeferredTaskSystem::DeferredTaskPhase, eUpdatePhaseOrder::POSTUPDATE);
		RegisterUpdatePhase(FPSSystem::FPSUpdatePhase, eUpdatePhaseOrder::POSTUPDATE);

		SoundSystem::SetWorldCurrent(GameWorld.get());

		Game->Init();
		return true;
	}

	void Engine::Update()
	{
		UpdatePhases(eUpdatePhaseOrder::PREUPDATE);
		UpdatePhases(eUpdatePhaseOrder::UPDATE);
		UpdatePhases(eUpdatePhaseOrder::POSTUPDATE);
	}

	void Engine::RegisterGameUpdatePhase(UpdatePhase phase)
	{
		RegisterUpdatePhase(std::move(phase), eUpdatePhaseOrder::UPDATE);
	}

	void Engine::RegisterUpdatePhase(UpdatePhase phase, eUpdatePhaseOrder order)
	{
		VORN_CHECK(order != eUpdatePhaseOrder::_COUNT,
		           "_COUNT enum value passed to RegisterUpdatePhase(), which is an invalid value");
		PhaseGroups[static_cast<int>(order)].PushBack(std::move(phase));
	}

	void Engine::UpdatePhases(eUpdatePhaseOrder order)
	{
		VORN_CHECK(order != eUpdatePhaseOrder::_COUNT,
		           "_COUNT enum value passed to UpdatePhases(), which is an invalid value");
		for (UpdatePhase& phase : PhaseGroups[static_cast<int>(order)])
			phase(GameWorld.get());
	}

	void Engine::ResizeScreen(ScreenSize size)
	{
		gConsole.LogDebug("Screen resize: {} {}", size.Width, size.Height);
		RenderingDevice->Resize(size);
	}

	void Engine::KeyDown(eKey key)
	{
		InputEvent event(eInputEventType::KEYDOWN);
		event.Key = key;
		InputEventsQueue.PushBack(event);
	}

	void Engine::KeyUp(eKey key)
	{
		InputEvent event(eInputEventType::KEYUP);
		event.Key = key;
		InputEventsQueue.PushBack(event);
	}

	void Engine::MouseButtonDown(eMouseButton button)
	{
		InputEvent event(eInputEventType::MOUSEBUTTONDOWN);
		event.MouseButton = button;
		InputEventsQueue.PushBack(event);
	}

	void Engine::MouseButtonUp(eMouseButton button)
	{
		InputEvent event(eInputEventType::MOUSEBUTTONUP);
		event.MouseButton = button;
		InputEventsQueue.PushBack(event);
	}

	void Engine::UpdateMouseMove(Vector2i motion)
	{
		InputEvent event(eInputEventType::MOUSEMOVE);
		event.Pos = motion;
		InputEventsQueue.PushBack(event);
	}

	void Engine::UpdateMousePos(Vector2i position)
	{
		InputEvent event(eInputEventType::MOUSEPOS);
		event.Pos = position;
		InputEventsQueue.PushBack(event);
	}

	void Engine::UpdateWheelPos(Vector2i amount)
	{
		InputEvent event(eInputEventType::WHEELMOVE);
		event.Pos = amount;
		InputEventsQueue.PushBack(event);
	}

	void Engine::AddController(u64 controllerID)
	{
		InputEvent event(eInputEventType::CONTROLLERADDED);
		event.ControllerID = controllerID;
		InputEventsQueue.PushBack(event);
	}

	void Engine::RemoveController(u64 controllerID)
	{
		InputEvent event(eInputEventType::CONTROLLERREMOVED);
		event.ControllerID = controllerID;
		InputEventsQueue.PushBack(event);
	}

	void Engine::ControllerButtonDown(u64 controllerID, eControllerButton button)
	{
		InputEvent event(eInputEventType::CONTROLLERBUTTONDOWN);
		event.ControllerID = controllerID;
		event.ControllerButton = button;
		InputEventsQueue.PushBack(event);
	}

	void Engine::ControllerButtonUp(u64 controllerID, eControllerButton button)
	{
		InputEvent event(eInputEventType::CONTROLLERBUTTONUP);
		event.ControllerID = controllerID;
		event.ControllerButton = button;
		InputEventsQueue.PushBack(event);
	}

	void Engine::ControllerAxisMotion(u64 controllerID, eControllerAxis axis, short value)
	{
		InputEvent event(eInputEventType::CONTROLLERAXIS);
		event.ControllerID = controllerID;
		event.ControllerAxis = axis;
		// 35768, not 32768: full deflection reads about +-0.916, which games are tuned to.
		event.AxisValue = static_cast<float>(value / 35768.0);
		InputEventsQueue.PushBack(event);
	}
} // namespace Vorn
