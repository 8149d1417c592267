#pragma once

#include "engine.hpp"

// The example game as the engine sees it: it receives the engine, then builds its scene once the engine's own
// world components and phases exist.
class KivoGame : public Vorn::IGame
{
public:
	void RegisterEngine(Vorn::Engine* engine) override;
	void Init() override;
	void Deinit() override;

	// The set-up every game mode shares; called by Init.
	void InitCommon();

private:
	Vorn::Engine* GameEngine = nullptr;
};

// The game library's only entry point, resolved by name by the launcher. The caller owns the result.
extern "C" Vorn::IGame* CreateGame();
