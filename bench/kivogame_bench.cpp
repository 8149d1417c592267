// The CPU cost of one frame of the example game: every engine and game update phase, with a device that draws
// nothing. Frames are measured at three points of a game in which the player holds the trigger throughout: just
// after the last wave arrived (the busiest moment), after two minutes and after twenty minutes of play. The game
// logs every frame once the player is dead; run with standard output sent elsewhere and read the results from
// --benchmark_out. Run one point per process (--benchmark_filter) for a peak memory figure of that point alone.
#include "dravcomponents.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/manualclock.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "fixtures/testrenderingdevice.hpp"
#include "kivogame.hpp"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

#include <memory>

using namespace Vorn;

namespace
{
	constexpr u64 SIXTIETH_OF_A_SECOND = 16'666'667;

	u64 CountLive(const Dynarray<SafePtr<Entity>>& handles)
	{
		u64 count = 0;
		for (const SafePtr<Entity>& handle : handles)
			count += handle ? 1 : 0;
		return count;
	}

	double ResidentMiB()
	{
		long pages = 0;
		long resident = 0;
		if (std::FILE* statm = std::fopen("/proc/self/statm", "r"))
		{
			if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
				resident = 0;
			std::fclose(statm);
		}
		return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
	}

	void GameFrame(benchmark::State& state)
	{
		const int secondsBeforeMeasuring = static_cast<int>(state.range(0));
		VornTests::TempWorkingDirectory workingDirectory;
		VornTests::WriteFile("AssetsPathConfig.json",
		                     "{\n    \"GameAssetsPath\": \"" VORN_GENERATED_GAME_ASSETS_PATH "\"\n}\n");
		VornTests::ManualClock clock;
		VornTests::TestRenderingDeviceLog deviceLog;
		auto engine = std::make_unique<Engine>();
		engine->Init(std::unique_ptr<IGame>(CreateGame()),
		             std::make_unique<VornTests::TestRenderingDevice>(&deviceLog));
		engine->KeyDown(eKey::SPACE);

		for (int frame = 0; frame < secondsBeforeMeasuring * 60; ++frame)
		{
			clock.AdvanceNanoseconds(SIXTIETH_OF_A_SECOND);
			engine->Update();
		}

		for (auto _ : state)
		{
			clock.AdvanceNanoseconds(SIXTIETH_OF_A_SECOND);
			engine->Update();
		}

		const DravWorldComponent* drav = engine->GetWorld()->GetWorldComponent<DravWorldComponent>();
		state.counters["enemies"] = static_cast<double>(CountLive(drav->Enemies));
		state.counters["bullets"] = static_cast<double>(CountLive(drav->Bullets));
		state.counters["listed"] = static_cast<double>(drav->Entities.GetSize());
		rusage usage{};
		getrusage(RUSAGE_SELF, &usage);
		state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
		state.counters["rss_MiB"] = ResidentMiB();
	}
} // namespace

// Wave 25 arrives after 69 s of play. A fixed number of frames keeps the long simulation before the timed loop
// from running more than once.
BENCHMARK(GameFrame)->Arg(70)->Arg(120)->Arg(1200)->Iterations(3000)->Unit(benchmark::kMicrosecond);
