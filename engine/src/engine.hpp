#pragma once

#include "audio/openaldevice.hpp"
#include "collections/dynarray.hpp"
#include "collections/queue.hpp"
#include "defines.hpp"
#include "input/inputevent.hpp"
#include "math/vector2i.hpp"
#include "memory/baseobject.hpp"
#include "rendering/irenderingdevice.hpp"

#include <functional>
#include <memory>

namespace Vorn
{
	class Engine;
	class World;

	// The game library's side of the engine.
	class IGame : public BaseObject
	{
	public:
		~IGame() override;

		// Called once by Engine::Init, after the world exists and before the engine's world components.
		virtual void RegisterEngine(Engine* engine) = 0;
		// Called once at the end of Engine::Init: build the scene and register the game's phases here.
		virtual void Init() = 0;
		// Called first in the engine's destructor, while world, device and game still exist.
		virtual void Deinit() = 0;
	};

	// Ties a running game together: owns the world, the game, the rendering device, the audio device and
	// the input queue, and runs the update phases once per frame.
	class Engine : public BaseObject
	{
	public:
		enum class eUpdatePhaseOrder
		{
			PREUPDATE,
			UPDATE, // the game's phases only
			POSTUPDATE,
			_COUNT
		};

		using UpdatePhase = std::function<void(World*)>;

		// Opens the audio device and loads the configuration files; sets gEngine.
		Engine();
		~Engine() override;
		Engine(const Engine&) = delete;
		Engine& operator=(const Engine&) = delete;

		// Takes over both. False when the device cannot be set up (the reason is logged); the engine then holds no game
		// and must only be destroyed.
		bool Init(std::unique_ptr<IGame> game, std::unique_ptr<IRenderingDevice> device);
		// One frame: the PREUPDATE, UPDATE and POSTUPDATE phases, in registration order within each group.
		void Update();

		// Adds a phase to the UPDATE group; this is how a game adds its systems.
		void RegisterGameUpdatePhase(UpdatePhase phase);

		// Nothing ever clears the request; the owner of the engine decides when to stop calling Update.
		void RequestGameQuit() { QuitRequested = true; }
		bool IsQuitRequested() const { return QuitRequested; }

		void ResizeScreen(ScreenSize size);

		World* GetWorld() const { return GameWorld.get(); }
		IRenderingDevice* GetRenderingDevice() const { return RenderingDevice.get(); }
		OpenALDevice& GetAudioDevice() { return AudioDevice; }
		Queue<InputEvent>& GetInputQueue() { return InputEventsQueue; }

		// The launcher applies these; the engine only keeps them.
		void SetMouseCapture(bool shouldCapture) { MouseCapture = shouldCapture; }
		void SetMouseVisible(bool shouldBeVisible) { MouseVisible = shouldBeVisible; }
		bool ShouldCaptureMouse() const { return MouseCapture; }
		bool ShouldMouseBeVisible() const { return MouseVisible; }

		// Input entry points only queue events; the input phase of the next Update applies them.
		void KeyDown(eKey key);
		void KeyUp(eKey key);
		void MouseButtonDown(eMouseButton button);
		void MouseButtonUp(eMouseButton button);
		void UpdateMouseMove(Vector2i motion);
		void UpdateMousePos(Vector2i position);
		void UpdateWheelPos(Vector2i amount);
		void AddController(u64 controllerID);
		void RemoveController(u64 controllerID);
		void ControllerButtonDown(u64 controllerID, eControllerButton button);
		void ControllerButtonUp(u64 controllerID, eControllerButton button);
		void ControllerAxisMotion(u64 controllerID, eControllerAxis axis, short value);

	private:
		void RegisterUpdatePhase(UpdatePhase phase, eUpdatePhaseOrder order);
		void UpdatePhases(eUpdatePhaseOrder order);

		std::unique_ptr<World> GameWorld;
		std::unique_ptr<IGame> Game;
		std::unique_ptr<IRenderingDevice> RenderingDevice;
		OpenALDevice AudioDevice;
		Queue<InputEvent> InputEventsQueue;
		Dynarray<UpdatePhase> PhaseGroups[static_cast<int>(eUpdatePhaseOrder::_COUNT)];
		bool QuitRequested = false;
		bool MouseCapture = false;
		bool MouseVisible = true;
	};

	// The one engine; null before it is constructed and after it is destroyed.
	extern Engine* gEngine;
} // namespace Vorn
