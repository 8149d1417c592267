#include "ecs/world.hpp"
#include "fixtures/manualclock.hpp"
#include "time/timesystem.hpp"
#include "time/timeworldcomponent.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Vorn;
using namespace VornTests;

namespace
{
	// A bare world with the time component, driven by a clock that moves only when told to.
	class TimeTest : public ::testing::Test
	{
	protected:
		void SetUp() override { Time = TestWorld.AddWorldComponent<TimeWorldComponent>(); }

		void Frame(u64 milliseconds)
		{
			Clock.AdvanceMilliseconds(milliseconds);
			TimeSystem::TimeUpdatePhase(&TestWorld);
		}

		ManualClock Clock;
		World TestWorld;
		TimeWorldComponent* Time = nullptr;
	};

	using TimeDeathTest = TimeTest;
} // namespace

TEST_F(TimeTest, FrameTimeIsClampedTo60Milliseconds)
{
	const struct
	{
		u64 FrameMilliseconds;
		double ExpectedDelta;
	} cases[] = {{16, 0.016}, {59, 0.059}, {60, 0.060}, {61, 0.060}, {500, 0.060}};

	for (const auto& c : cases)
	{
		Frame(c.FrameMilliseconds);
		EXPECT_NEAR(TimeSystem::GetTimerDeltaTime(&TestWorld, eEngineTimer::SYSTEM), c.ExpectedDelta, 1e-12)
		    << c.FrameMilliseconds << " ms";
		EXPECT_NEAR(TimeSystem::GetTimerDeltaTime(&TestWorld, eEngineTimer::GAMEPLAY), c.ExpectedDelta, 1e-12)
		    << c.FrameMilliseconds << " ms";
	}
	EXPECT_NEAR(Time->GetSystemTime(), 0.016 + 0.059 + 0.060 * 3, 1e-12);
}

TEST_F(TimeTest, FirstFrameMeasuresFromTheComponentsConstruction)
{
	Clock.AdvanceMilliseconds(5);
	Frame(7);
	EXPECT_NEAR(TimeSystem::GetTimerElapsedTime(&TestWorld, eEngineTimer::SYSTEM), 0.012, 1e-12);
}

TEST_F(TimeTest, EachTimerScalesTheFrameByItsOwnMultiplier)
{
	TimeSystem::SetTimerMultiplier(&TestWorld, eEngineTimer::GAMEPLAY, 0.5);
	TimeSystem::RegisterTimer(&TestWorld, 2, false, 3.0);
	TimeSystem::RegisterTimer(&TestWorld, 9, false, 0.25);
	Frame(16);

	EXPECT_NEAR(TimeSystem::GetTimerDeltaTime(&TestWorld, eEngineTimer::GAMEPLAY), 0.008, 1e-12);
	EXPECT_NEAR(TimeSystem::GetTimerDeltaTime(&TestWorld, eEngineTimer::SYSTEM), 0.016, 1e-12);
	EXPECT_NEAR(TimeSystem::GetTimerDeltaTime(&TestWorld, 2), 0.048, 1e-12);
	EXPECT_NEAR(TimeSystem::GetTimerDeltaTime(&TestWorld, 9), 0.004, 1e-12);
	EXPECT_DOUBLE_EQ(TimeSystem::GetTimerMultiplier(&TestWorld, eEngineTimer::GAMEPLAY), 0.5);
	EXPECT_DOUBLE_EQ(TimeSystem::GetTimerMultiplier(&TestWorld, 2), 3.0);
}

TEST_F(TimeTest, PauseFreezesPausableTimersWhileTheSystemTimerRuns)
{
	TimeSystem::RegisterTimer(&TestWorld, 7, true, 2.0);
	Frame(10);
	const double gameplayBefore = Time->GetGameplayTime();
	EXPECT_NEAR(TimeSystem::GetTimerElapsedTime(&TestWorld, 7), 0.020, 1e-12);

	Time->SetPaused(true);
	EXPECT_TRUE(Time->IsPaused());
	Frame(10);
	Frame(10);
	EXPECT_EQ(TimeSystem::GetTimerDeltaTime(&TestWorld, eEngineTimer::GAMEPLAY), 0.0);
	EXPECT_EQ(TimeSystem::GetTimerDeltaTime(&TestWorld, 7), 0.0);
	EXPECT_EQ(Time->GetGameplayTime(), gameplayBefore);
	EXPECT_NEAR(TimeSystem::GetTimerElapsedTime(&TestWorld, 7), 0.020, 1e-12);
	EXPECT_NEAR(TimeSystem::GetTimerDeltaTime(&TestWorld, eEngineTimer::SYSTEM), 0.010, 1e-12);
	EXPECT_NEAR(Time->GetSystemTime(), 0.030, 1e-12);

	Time->SetPaused(false);
	Frame(10);
	EXPECT_NEAR(Time->GetGameplayTime(), 0.020, 1e-12);
	EXPECT_NEAR(TimeSystem::GetTimerElapsedTime(&TestWorld, 7), 0.040, 1e-12);
}

TEST_F(TimeTest, UnknownTimerIDsRaiseInvalidArgument)
{
	const auto expectUnknown = [](auto call)
	{
		try
		{
			call();
			ADD_FAILURE() << "no exception";
		}
		catch (const std::invalid_argument& error)
		{
			EXPECT_STREQ(error.what(), "Timer with given id does not exist.");
		}
	};
	expectUnknown([&] { TimeSystem::GetTimerDeltaTime(&TestWorld, 3); });
	expectUnknown([&] { TimeSystem::GetTimerElapsedTime(&TestWorld, 3); });
	expectUnknown([&] { TimeSystem::GetTimerMultiplier(&TestWorld, 3); });
	expectUnknown([&] { TimeSystem::SetTimerMultiplier(&TestWorld, 3, 2.0); });
}

TEST_F(TimeDeathTest, RegisteringATakenTimerIDStops)
{
	TimeSystem::RegisterTimer(&TestWorld, 7, true, 1.0);
	for (u64 id : {u64{0}, u64{1}, u64{7}})
		EXPECT_DEATH(TimeSystem::RegisterTimer(&TestWorld, id, false, 1.0), "Same timer id provided twice!") << id;
}
