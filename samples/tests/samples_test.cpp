#include "audio/soundemittercomponent.hpp"
#include "audio/soundresource.hpp"
#include "debugdrawing/debugdrawablecomponent.hpp"
#include "movement/freefloatmovementcomponent.hpp"
#include "particles/particlecomponent.hpp"
#include "particles/spritesheetcomponent.hpp"
#include "pathfinding/pathfindingcomponent.hpp"
#include "physics2d/box2dcollidercomponent.hpp"
#include "physics2d/circle2dcollidercomponent.hpp"
#include "physics2d/rigidbody2dcomponent.hpp"
#include "physics3d/collider3dcomponent.hpp"
#include "physics3d/rigidbody3dcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/lights/spotlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "resources/fontresource.hpp"
#include "resources/meshresource.hpp"
#include "resources/textureresource.hpp"
#include "support/assetfailures.hpp"
#include "support/samplestest.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr std::size_t SCENE_COUNT = 7; // the menu and six scenes
	constexpr int FRAMES_PER_VISIT = 600;

	// What a scene could leave behind: the live components of every type a scene may use, the entities under the
	// root and the size of every resource registry.
	using WorldCensus = std::map<std::string, u64>;
} // namespace

class SamplesSwitchingTest : public SamplesTest, public testing::WithParamInterface<std::size_t>
{
protected:
	WorldCensus TakeCensus()
	{
		return {
		    {"entities under the root", GetWorld()->GetRoot()->GetChildren().GetSize()},
		    {"MeshRenderingComponent", CountComponents<MeshRenderingComponent>()},
		    {"DirectionalLightComponent", CountComponents<DirectionalLightComponent>()},
		    {"PointLightComponent", CountComponents<PointLightComponent>()},
		    {"SpotLightComponent", CountComponents<SpotLightComponent>()},
		    {"CameraComponent", CountComponents<CameraComponent>()},
		    {"PostprocessSettingsComponent", CountComponents<PostprocessSettingsComponent>()},
		    {"FreeFloatMovementComponent", CountComponents<FreeFloatMovementComponent>()},
		    {"ScreenSpaceTextComponent", CountComponents<ScreenSpaceTextComponent>()},
		    {"DebugDrawableComponent", CountComponents<DebugDrawableComponent>()},
		    {"RigidBody2DComponent", CountComponents<RigidBody2DComponent>()},
		    {"Box2DColliderComponent", CountComponents<Box2DColliderComponent>()},
		    {"Circle2DColliderComponent", CountComponents<Circle2DColliderComponent>()},
		    {"Rigidbody3DComponent", CountComponents<Rigidbody3DComponent>()},
		    {"Collider3DComponent", CountComponents<Collider3DComponent>()},
		    {"PathfindingComponent", CountComponents<PathfindingComponent>()},
		    {"SoundEmitterComponent", CountComponents<SoundEmitterComponent>()},
		    {"ParticleComponent", CountComponents<ParticleComponent>()},
		    {"SpritesheetComponent", CountComponents<SpritesheetComponent>()},
		    {"mesh resources", Impl::GetResources<MeshResource>().size()},
		    {"texture resources", Impl::GetResources<TextureResource>().size()},
		    {"font resources", Impl::GetResources<FontResource>().size()},
		    {"sound resources", Impl::GetResources<SoundResource>().size()},
		};
	}

	// Shows `index` with its key and lets it run; the scene shown must be the one asked for.
	void Visit(std::size_t index)
	{
		ShowScene(index);
		ASSERT_EQ(GetGame().GetCurrentSceneIndex(), index);
		RunFrames(FRAMES_PER_VISIT);
	}
};

// Starting from scene `first`, every later scene is visited and followed by `first` again: over the six starting
// scenes every ordered pair of scenes follows one another once. Back at the menu the world must hold what it held
// there before, and after shutdown the allocations must be those from before the engine.
TEST_P(SamplesSwitchingTest, EveryOrderOfScenesLeavesTheWorldAndTheAllocationsAsTheMenuHadThem)
{
	// The first engine of a process makes a few lasting objects (type registries); a second one shows leaks alone.
	ShutDown();
	const u64 allocationsBeforeEngine = BaseObject::GetLiveAllocationCount();
	StartEngine();
	RunFrames(2);
	const WorldCensus atTheMenu = TakeCensus();

	const std::size_t first = GetParam();
	std::vector<std::size_t> order = {first};
	for (std::size_t next = first + 1; next < SCENE_COUNT; ++next)
		order.insert(order.end(), {next, first});
	for (std::size_t index : order)
	{
		Visit(index);
		if (HasFatalFailure())
			return;
	}

	ShowScene(0);
	RunFrames(2);
	EXPECT_EQ(TakeCensus(), atTheMenu);
	// Every asset a scene asks for exists and loads.
	for (const char* failure : ASSET_FAILURE_LINES)
		EXPECT_FALSE(Console.Contains(failure)) << failure << "\n" << Console.GetText();

	ShutDown();
	EXPECT_EQ(BaseObject::GetLiveAllocationCount(), allocationsBeforeEngine);
}

INSTANTIATE_TEST_SUITE_P(FromEachScene, SamplesSwitchingTest, testing::Range<std::size_t>(1, SCENE_COUNT),
                         [](const testing::TestParamInfo<std::size_t>& info)
                         { return "Scene" + std::to_string(info.param); });

using SamplesMenuTest = SamplesTest;

TEST_F(SamplesMenuTest, ListsEveryScene)
{
	RunFrame();
	std::vector<std::string> texts;
	for (auto [text] : GetWorld()->IterateComponents<ScreenSpaceTextComponent>())
		texts.emplace_back(text->GetText().GetText().GetCStr());
	for (std::size_t index = 1; index < GetGame().GetSceneCount(); ++index)
	{
		const std::string expected = std::to_string(index) + "   " + std::string(GetGame().GetScene(index).GetName());
		EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
	}
}

// Each scene's name and controls stand at the top left, name first, one line per row downwards.
TEST_F(SamplesMenuTest, EachSceneShowsItsNameAboveItsControls)
{
	for (std::size_t index = 1; index < GetGame().GetSceneCount(); ++index)
	{
		ShowScene(index);
		const VornSamples::Scene& scene = GetGame().GetScene(index);
		std::map<std::string, int> heights;
		for (auto [text] : GetWorld()->IterateComponents<ScreenSpaceTextComponent>())
			heights[text->GetText().GetText().GetCStr()] = text->GetScreenPosition().y;
		ASSERT_EQ(heights.count(scene.GetName()), 1u) << scene.GetName();
		int above = heights[scene.GetName()];
		for (const String& control : scene.GetControls())
		{
			ASSERT_EQ(heights.count(control.GetCStr()), 1u) << control.GetCStr();
			EXPECT_LT(heights[control.GetCStr()], above) << control.GetCStr();
			above = heights[control.GetCStr()];
		}
	}
}

TEST_F(SamplesMenuTest, KeysWithoutASceneChangeNothing)
{
	ShowScene(2);
	PressKey(eKey::DIGIT_7);
	PressKey(eKey::DIGIT_9);
	EXPECT_EQ(GetGame().GetCurrentSceneIndex(), 2u);
}
