#pragma once

#include "engine.hpp"

// A game that does nothing, for tests that need a running engine around the device.
class IdleGame : public Vorn::IGame
{
public:
	void RegisterEngine(Vorn::Engine*) override {}
	void Init() override {}
	void Deinit() override {}
};
