#pragma once

#include "engine.hpp"

#include <benchmark/benchmark.h>

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
	// Runs the engine side and the raw side once per benchmark iteration, in alternating order, so a slow spell of
	// this shared machine hits both alike, and hands both results to `record`. The iteration's time is
	// `engineTime(engineResult)`.
	template <typename RunEngine, typename RunRaw, typename EngineTime, typename Record>
	void RunPaired(benchmark::State& state, RunEngine runEngine, RunRaw runRaw, EngineTime engineTime, Record record)
	{
		bool isEngineFirst = true;
		for (auto _ : state)
		{
			decltype(runEngine()) engine;
			decltype(runRaw()) raw;
			if (isEngineFirst)
			{
				engine = runEngine();
				raw = runRaw();
			}
			else
			{
				raw = runRaw();
				engine = runEngine();
			}
			isEngineFirst = !isEngineFirst;
			state.SetIterationTime(std::chrono::duration<double>(engineTime(engine)).count());
			record(engine, raw);
		}
	}
} // namespace VornBench
