#pragma once

#include "engine.hpp"

#include <chrono>

namespace VornBench
{
	// A game that adds nothing, for benchmarks that build their own scene in a real engine.
	class IdleGame : public Vorn::IGame
	{
		void RegisterEngine(Vorn::Engine*) override {}
		void Init() override {}
		void Deinit() override {}
	};

	inline double Milliseconds(std::chrono::steady_clock::duration duration)
	{
		return std::chrono::duration<double, std::milli>(duration).count();
	}
} // namespace VornBench
