#include "debugdrawing/fpssystem.hpp"

#include "configs/debugconfig.hpp"
#include "debugdrawing/debugdrawsystem.hpp"
#include "debugdrawing/debugworldcomponent.hpp"
#include "ecs/world.hpp"
#include "time/clock.hpp"
#include "utils/check.hpp"

#include <string>

namespace Vorn
{
	namespace
	{
		DebugWorldComponent* GetDebugComponent(World* world)
		{
			DebugWorldComponent* component = world->GetWorldComponent<DebugWorldComponent>();
			VORN_CHECK(component != nullptr, "DebugWorldComponent is missing!");
			return component;
		}
	} // namespace

	void FPSSystem::FPSUpdatePhase(World* world)
	{
		DebugWorldComponent* component = GetDebugComponent(world);
		FPSData& data = component->FPSData;
		const double now = static_cast<double>(GetClockNanoseconds() - component->StartClockNanoseconds) / 1.0e9;
		if (gDebugConfig.GetDisplayFPS() && now - data.LastTime > 1.0)
		{
			data.LastTime = now;
			data.DisplayText = String("FPS: ") + String(std::to_string(data.FrameCount));
			data.LastFPS = data.FrameCount;
			data.FrameCount = 0;
		}
		++data.FrameCount;
		DebugDrawSystem::DrawText2D(world, Vector2i(300, 300), data.DisplayText, 32, Color::WHITE);
	}

	float FPSSystem::GetFPS(World* world) { return static_cast<float>(GetDebugComponent(world)->GetFPSData().LastFPS); }
} // namespace Vorn
