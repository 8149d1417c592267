#include "debugdrawing/debugdrawablecomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "support/kivogametest.hpp"

#include <algorithm>

using namespace Vorn;

namespace
{
	u64 CountLive(const Dynarray<SafePtr<Entity>>& handles)
	{
		u64 count = 0;
		for (const SafePtr<Entity>& handle : handles)
			count += handle ? 1 : 0;
		return count;
	}
} // namespace

class SoakTest : public KivoGameTest
{
protected:
	// Every component the game adds belongs to an entity it still lists, and nothing else is left in the pools.
	void ExpectPoolsMatchTheLiveEntities(int frame)
	{
		const u64 enemies = CountLive(GetDrav()->Enemies);
		const u64 bullets = CountLive(GetDrav()->Bullets);
		u64 armedEnemies = 0;
		for ([[maybe_unused]] auto armed : GetWorld()->IterateComponents<DravEnemyComponent, DravGunComponent>())
			++armedEnemies;
		const u64 drones = 1 + enemies;

		EXPECT_EQ(CountComponents<DravEnemyComponent>(), enemies) << "frame " << frame;
		EXPECT_EQ(CountComponents<DravBulletComponent>(), bullets) << "frame " << frame;
		EXPECT_EQ(CountComponents<PointLightComponent>(), bullets) << "frame " << frame;
		EXPECT_EQ(CountComponents<DravGunComponent>(), 1 + armedEnemies) << "frame " << frame;
		EXPECT_EQ(CountComponents<DravMovementComponent>(), drones) << "frame " << frame;
		EXPECT_EQ(CountComponents<MeshRenderingComponent>(), drones + bullets) << "frame " << frame;
		EXPECT_EQ(CountComponents<DebugDrawableComponent>(), drones + bullets) << "frame " << frame;
		// Besides the drones and bullets the world holds the camera and the sun.
		EXPECT_EQ(GetWorld()->GetRoot()->GetChildren().GetSize(), 2 + drones + bullets) << "frame " << frame;
	}
};

TEST_F(SoakTest, TwoMinutesOfFiringRunThroughEveryWaveAndFreeWhatDies)
{
	constexpr u64 SIXTIETH_OF_A_SECOND = 16'666'667;
	constexpr int FRAMES = 120 * 60;
	// The first engine of a process makes a few lasting objects (type registries); a second one shows leaks alone.
	ShutDown();
	const u64 allocationsBeforeEngine = BaseObject::GetLiveAllocationCount();
	StartEngine();
	GetEngine().KeyDown(eKey::SPACE);

	u64 mostBullets = 0;
	for (int frame = 1; frame <= FRAMES; ++frame)
	{
		RunFrame(SIXTIETH_OF_A_SECOND);
		mostBullets = std::max(mostBullets, CountComponents<DravBulletComponent>());
		if (frame % 600 == 0)
			ExpectPoolsMatchTheLiveEntities(frame);
	}

	EXPECT_GE(GetSpawn()->CurrentWave, 24) << "all 25 waves came";
	EXPECT_GT(mostBullets, 100u) << "the enemies fired back";
	ExpectPoolsMatchTheLiveEntities(FRAMES);

	ShutDown();
	EXPECT_EQ(BaseObject::GetLiveAllocationCount(), allocationsBeforeEngine);
}
