#pragma once

#include "engine.hpp"
#include "samplescene.hpp"

#include <memory>
#include <vector>

namespace VornSamples
{
	// The samples as the engine sees them: a menu (scene 0) and one scene per subsystem, chosen with the number
	// keys (0 goes back to the menu). The scene shown is built and updated in the game's one update phase.
	class SamplesGame : public Vorn::IGame
	{
	public:
		SamplesGame();
		~SamplesGame() override;

		void RegisterEngine(Vorn::Engine* engine) override;
		void Init() override;
		void Deinit() override;

		// The menu and the scenes, menu first.
		std::size_t GetSceneCount() const { return Scenes.size(); }
		const Scene& GetScene(std::size_t index) const { return *Scenes[index]; }
		std::size_t GetCurrentSceneIndex() const { return Current; }
		Scene& GetCurrentScene() { return *Scenes[Current]; }
		SceneContext& GetContext() { return *Context; }

		// Tears the current scene down and builds `index`, as its number key does.
		void SwitchTo(std::size_t index);

	private:
		// Clears what the last scene spawned and builds `index` with its name and controls over it.
		void Show(std::size_t index);
		void Update();

		Vorn::Engine* GameEngine = nullptr;
		std::vector<std::unique_ptr<Scene>> Scenes;
		std::unique_ptr<SceneContext> Context;
		std::size_t Current = 0;
	};
} // namespace VornSamples

// The samples library's only entry point, resolved by name by the launcher. The caller owns the result.
extern "C" Vorn::IGame* CreateGame();
