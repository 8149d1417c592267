#include "configs/debugconfig.hpp"
#include "particles/particlecomponent.hpp"
#include "particles/spritesheetcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "resources/fontresource.hpp"
#include "resources/textureresource.hpp"
#include "support/assetfailures.hpp"
#include "support/samplestest.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr std::size_t PARTICLES_SCENE = 6;
	const char* const FONT = "Fonts/Raleway/Raleway-Regular.ttf";

	// Where a particle is drawn: its position is in its emitter's simulation space.
	Vector WorldPositionOf(const ParticleComponent& component, const ParticleEmitter::Particle& particle)
	{
		if (component.GetEmitter()->GetSettings().SimulationSpace == eSimulationSpace::WORLD_SPACE)
			return particle.Position;
		return component.GetTransform().GetWorldFromModel() * particle.Position;
	}

	// The pixels a text covers on the screen: its pen advance from the baseline's start, and from the lowest
	// glyph bottom to the highest glyph top.
	struct TextBox
	{
		std::string Text;
		float Left = 0.0f;
		float Right = 0.0f;
		float Bottom = 0.0f;
		float Top = 0.0f;

		bool Overlaps(const TextBox& other) const
		{
			return Left < other.Right && other.Left < Right && Bottom < other.Top && other.Bottom < Top;
		}
	};
} // namespace

class ParticlesSceneTest : public SamplesTest
{
protected:
	void ShowParticlesScene()
	{
		ShowScene(PARTICLES_SCENE);
		ASSERT_EQ(GetGame().GetCurrentSceneIndex(), PARTICLES_SCENE);
	}

	// The scene's one emitter of `space`.
	ParticleComponent* FindEmitter(eSimulationSpace space)
	{
		ParticleComponent* found = nullptr;
		for (auto [component] : GetWorld()->IterateComponents<ParticleComponent>())
			if (component->GetEmitter()->GetSettings().SimulationSpace == space)
			{
				EXPECT_EQ(found, nullptr) << "a second emitter of the same space";
				found = component;
			}
		return found;
	}

	std::vector<TextBox> MeasureShownTexts()
	{
		std::vector<TextBox> boxes;
		FontResource* font = ResourceManager<FontResource>::Load(FONT, eResourceSource::ENGINE);
		if (!font)
		{
			ADD_FAILURE() << "the engine font did not load";
			return boxes;
		}
		for (auto [component] : GetWorld()->IterateComponents<ScreenSpaceTextComponent>())
		{
			const Text2D& text = component->GetText();
			if (text.GetText().IsEmpty())
				continue;
			const std::map<char, FontGlyph>& glyphs = font->GetFace(text.GetFontSize()).Characters;
			TextBox box;
			box.Text = text.GetText().GetCStr();
			box.Left = static_cast<float>(component->GetScreenPosition().x);
			box.Right = box.Left;
			const float baseline = static_cast<float>(component->GetScreenPosition().y);
			box.Bottom = baseline;
			box.Top = baseline;
			for (char character : box.Text)
			{
				const auto glyph = glyphs.find(character);
				if (glyph == glyphs.end())
					continue;
				box.Right += glyph->second.Advance;
				box.Top = std::max(box.Top, baseline + glyph->second.Bearing.y);
				box.Bottom = std::min(box.Bottom, baseline + glyph->second.Bearing.y - glyph->second.Size.y);
			}
			boxes.push_back(box);
		}
		ResourceManager<FontResource>::Release(font);
		return boxes;
	}

	const ScreenSpaceTextComponent* FindTextStartingWith(const std::string& start)
	{
		for (auto [component] : GetWorld()->IterateComponents<ScreenSpaceTextComponent>())
			if (std::string(component->GetText().GetText().GetCStr()).rfind(start, 0) == 0)
				return component;
		return nullptr;
	}
};

TEST_F(ParticlesSceneTest, BothEmittersHaveParticlesAfterASecond)
{
	ShowParticlesScene();
	RunFrames(FRAMES_PER_SECOND);
	for (eSimulationSpace space : {eSimulationSpace::WORLD_SPACE, eSimulationSpace::LOCAL_SPACE})
	{
		SCOPED_TRACE(static_cast<int>(space));
		const ParticleComponent* component = FindEmitter(space);
		ASSERT_NE(component, nullptr);
		const ParticleEmitter& emitter = *component->GetEmitter();
		EXPECT_GT(emitter.GetInstancesCount(), 5u);
		// Room to spare: a full pool would drop particles and log about it.
		EXPECT_LT(emitter.GetInstancesCount(), static_cast<u64>(emitter.GetSettings().MaxSize));
	}
	EXPECT_FALSE(Console.Contains("not enough memory")) << Console.GetText();
}

struct SpaceCase
{
	eSimulationSpace Space;
	bool FollowsEmitter;
};

class ParticlesSpaceTest : public ParticlesSceneTest, public testing::WithParamInterface<SpaceCase>
{
};

// Over a few frames the emitter moves along its circle: a particle keeps its age and its simulation-space position,
// and on the screen it either stays where it was born or moves exactly as its emitter did.
TEST_P(ParticlesSpaceTest, ParticlesStayWhereTheyWereBornOrFollowTheirEmitter)
{
	ShowParticlesScene();
	RunFrames(FRAMES_PER_SECOND);
	const ParticleComponent* component = FindEmitter(GetParam().Space);
	ASSERT_NE(component, nullptr);

	struct Seen
	{
		float Age;
		Vector Position;
		Vector WorldPosition;
	};
	std::map<const ParticleEmitter::Particle*, Seen> before;
	for (const ParticleEmitter::Particle& particle : component->GetEmitter()->GetParticlesPool())
		before[&particle] = {particle.Age, particle.Position, WorldPositionOf(*component, particle)};
	const Vector emitterBefore = component->GetTransform().GetGlobalTranslation();

	constexpr int FRAMES = 8;
	RunFrames(FRAMES);
	const Vector emitterMove = component->GetTransform().GetGlobalTranslation() - emitterBefore;
	ASSERT_GT(emitterMove.Length(), 0.2f) << "the emitter must move for the spaces to differ";

	int followed = 0;
	for (const ParticleEmitter::Particle& particle : component->GetEmitter()->GetParticlesPool())
	{
		const auto seen = before.find(&particle);
		// A cell freed and used again holds a newer particle.
		if (seen == before.end() || particle.Age != seen->second.Age + FRAMES / static_cast<float>(FRAMES_PER_SECOND))
			continue;
		++followed;
		EXPECT_TRUE(particle.Position.Equals(seen->second.Position, 1e-5f));
		const Vector expected =
		    GetParam().FollowsEmitter ? seen->second.WorldPosition + emitterMove : seen->second.WorldPosition;
		EXPECT_TRUE(WorldPositionOf(*component, particle).Equals(expected, 1e-4f))
		    << WorldPositionOf(*component, particle) << " instead of " << expected;
	}
	EXPECT_GT(followed, 3);
}

INSTANTIATE_TEST_SUITE_P(BySpace, ParticlesSpaceTest,
                         testing::Values(SpaceCase{eSimulationSpace::WORLD_SPACE, false},
                                         SpaceCase{eSimulationSpace::LOCAL_SPACE, true}),
                         [](const testing::TestParamInfo<SpaceCase>& info)
                         { return info.param.FollowsEmitter ? "LocalSpace" : "WorldSpace"; });

// A world-space trail keeps the path behind its emitter; a local-space cloud stays round it however it moved.
TEST_F(ParticlesSceneTest, OnlyTheWorldSpaceTrailIsLeftBehind)
{
	ShowParticlesScene();
	RunFrames(FRAMES_PER_SECOND);
	float farthest[2] = {0.0f, 0.0f};
	for (eSimulationSpace space : {eSimulationSpace::WORLD_SPACE, eSimulationSpace::LOCAL_SPACE})
	{
		const ParticleComponent* component = FindEmitter(space);
		ASSERT_NE(component, nullptr);
		const Vector emitter = component->GetTransform().GetGlobalTranslation();
		for (const ParticleEmitter::Particle& particle : component->GetEmitter()->GetParticlesPool())
			farthest[static_cast<int>(space == eSimulationSpace::LOCAL_SPACE)] =
			    std::max(farthest[static_cast<int>(space == eSimulationSpace::LOCAL_SPACE)],
			             (WorldPositionOf(*component, particle) - emitter).Length());
	}
	// A second of circling puts the oldest trail dots well over a radius away; the cloud is less than one wide.
	EXPECT_GT(farthest[0], 1.5f);
	EXPECT_LT(farthest[1], 1.0f);
}

TEST_F(ParticlesSceneTest, SpriteSheetIsAnimatedWithItsTextureLoaded)
{
	ShowParticlesScene();
	RunFrame();
	ASSERT_EQ(CountComponents<SpritesheetComponent>(), 1u);
	for (auto [sprite] : GetWorld()->IterateComponents<SpritesheetComponent>())
	{
		const SpritesheetSettings& settings = sprite->GetSettings();
		EXPECT_EQ(settings.SpritePath, "Textures/Spritesheet.png");
		EXPECT_EQ(settings.SubImages.x, 4.0f);
		EXPECT_EQ(settings.SubImages.y, 4.0f);
		EXPECT_GT(settings.Speed, 0.0f);
		const TextureResource* texture = sprite->GetSpritesheet();
		ASSERT_NE(texture, nullptr);
		EXPECT_NE(texture->GetTextureProxy(), nullptr);
		EXPECT_EQ(texture->GetWidth(), texture->GetHeight());
		EXPECT_EQ(texture->GetWidth() % 4, 0);
		// Big enough to be seen: a sprite scale is half its side.
		EXPECT_GT(sprite->GetTransform().GetWorldFromModel().m[0][0], 0.5f);
	}
	// Every emitter's texture loaded too: none falls back to the device's white.
	for (auto [component] : GetWorld()->IterateComponents<ParticleComponent>())
		EXPECT_NE(component->GetEmitter()->GetSpritesheet(), nullptr)
		    << component->GetEmitter()->GetSettings().Spritesheet.SpritePath.GetCStr();
	EXPECT_FALSE(Console.Contains("[ERROR] Resource loading failed!")) << Console.GetText();
}

class ParticlesTextLayoutTest : public ParticlesSceneTest, public testing::WithParamInterface<ScreenSize>
{
};

// Every text shown, the engine's frame counter of the debug view included, lies on the screen apart from the
// others; the scene's own texts in the lower half show several sizes and colours.
TEST_P(ParticlesTextLayoutTest, TextsShowSeveralSizesAndColoursWithoutOverlapping)
{
	const ScreenSize screen = GetParam();
	GetEngine().ResizeScreen(screen);
	ShowParticlesScene();
	PressKey(eKey::F10);
	RunFrames(2 * FRAMES_PER_SECOND);
	ASSERT_NE(FindTextStartingWith("FPS: "), nullptr) << "the debug view shows the engine's counter";

	const std::vector<TextBox> boxes = MeasureShownTexts();
	for (std::size_t i = 0; i < boxes.size(); ++i)
	{
		const TextBox& box = boxes[i];
		EXPECT_GE(box.Left, 0.0f) << box.Text;
		EXPECT_LE(box.Right, static_cast<float>(screen.Width)) << box.Text;
		EXPECT_GE(box.Bottom, 0.0f) << box.Text;
		EXPECT_LE(box.Top, static_cast<float>(screen.Height)) << box.Text;
		for (std::size_t j = i + 1; j < boxes.size(); ++j)
			EXPECT_FALSE(box.Overlaps(boxes[j])) << "\"" << box.Text << "\" and \"" << boxes[j].Text << "\"";
	}

	std::set<std::size_t> sizes;
	std::set<std::tuple<float, float, float>> colours;
	for (auto [component] : GetWorld()->IterateComponents<ScreenSpaceTextComponent>())
	{
		const Text2D& text = component->GetText();
		if (text.GetText().IsEmpty() || component->GetScreenPosition().y >= static_cast<int>(screen.Height / 2))
			continue;
		sizes.insert(text.GetFontSize());
		colours.insert({text.GetFontColor().r, text.GetFontColor().g, text.GetFontColor().b});
	}
	EXPECT_GE(sizes.size(), 3u);
	EXPECT_GE(colours.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(ByScreen, ParticlesTextLayoutTest,
                         testing::Values(ScreenSize{1280, 720}, ScreenSize{1920, 1080}),
                         [](const testing::TestParamInfo<ScreenSize>& info)
                         { return std::to_string(info.param.Width) + "x" + std::to_string(info.param.Height); });

// The line shows the engine's count of frames in a second of the clock: the test's clock runs 64 frames a second.
TEST_F(ParticlesSceneTest, FrameRateLineShowsTheEnginesCount)
{
	ShowParticlesScene();
	RunFrames(3 * FRAMES_PER_SECOND);
	const ScreenSpaceTextComponent* line = FindTextStartingWith("Frame rate: ");
	ASSERT_NE(line, nullptr);
	const int shown = std::atoi(line->GetText().GetText().GetCStr() + std::string("Frame rate: ").size());
	EXPECT_NEAR(shown, FRAMES_PER_SECOND, 1) << line->GetText().GetText().GetCStr();
}

TEST_F(ParticlesSceneTest, FrameRateLineSaysSoWhenTheEngineDoesNotCount)
{
	const bool wasDisplayed = gDebugConfig.GetDisplayFPS();
	gDebugConfig.SetDisplayFPS(false);
	ShowParticlesScene();
	RunFrames(2 * FRAMES_PER_SECOND);
	const ScreenSpaceTextComponent* line = FindTextStartingWith("Frame rate: ");
	gDebugConfig.SetDisplayFPS(wasDisplayed);
	ASSERT_NE(line, nullptr);
	EXPECT_NE(std::string(line->GetText().GetText().GetCStr()).find("not counted"), std::string::npos)
	    << line->GetText().GetText().GetCStr();
}

TEST_F(ParticlesSceneTest, SpaceStopsAndRestartsTheCircling)
{
	ShowParticlesScene();
	RunFrames(4);
	std::vector<ParticleComponent*> emitters = {FindEmitter(eSimulationSpace::WORLD_SPACE),
	                                            FindEmitter(eSimulationSpace::LOCAL_SPACE)};
	for (const ParticleComponent* emitter : emitters)
		ASSERT_NE(emitter, nullptr);
	auto positions = [&emitters]()
	{
		std::vector<Vector> result;
		for (const ParticleComponent* emitter : emitters)
			result.push_back(emitter->GetTransform().GetGlobalTranslation());
		return result;
	};

	PressKey(eKey::SPACE);
	const std::vector<Vector> stopped = positions();
	RunFrames(16);
	const std::vector<Vector> stillStopped = positions();
	for (std::size_t i = 0; i < emitters.size(); ++i)
		EXPECT_TRUE(stillStopped[i].Equals(stopped[i])) << stillStopped[i] << " moved from " << stopped[i];

	PressKey(eKey::SPACE);
	RunFrames(16);
	const std::vector<Vector> moving = positions();
	for (std::size_t i = 0; i < emitters.size(); ++i)
		EXPECT_GT((moving[i] - stopped[i]).Length(), 0.2f);
}

TEST_F(ParticlesSceneTest, EPuffsParticlesFromBothEmitters)
{
	ShowParticlesScene();
	RunFrames(FRAMES_PER_SECOND);
	const ParticleComponent* trail = FindEmitter(eSimulationSpace::WORLD_SPACE);
	const ParticleComponent* cloud = FindEmitter(eSimulationSpace::LOCAL_SPACE);
	ASSERT_NE(trail, nullptr);
	ASSERT_NE(cloud, nullptr);
	const u64 trailBefore = trail->GetEmitter()->GetInstancesCount();
	const u64 cloudBefore = cloud->GetEmitter()->GetInstancesCount();
	// Over the press's two frames the steady trail and the cloud's bursts add fewer than ten without it.
	PressKey(eKey::E);
	EXPECT_GE(trail->GetEmitter()->GetInstancesCount(), trailBefore + 15);
	EXPECT_GE(cloud->GetEmitter()->GetInstancesCount(), cloudBefore + 15);
}

// Back at the menu no emitter, sprite, text, texture reference, font, or device proxy of the scene remains, even
// after the device built the texts' letters.
TEST_F(ParticlesSceneTest, ChoosingAnotherSceneLeavesNothingBehind)
{
	RunFrames(2);
	auto census = [this]()
	{
		return std::map<std::string, u64>{
		    {"ParticleComponent", CountComponents<ParticleComponent>()},
		    {"SpritesheetComponent", CountComponents<SpritesheetComponent>()},
		    {"ScreenSpaceTextComponent", CountComponents<ScreenSpaceTextComponent>()},
		    {"MeshRenderingComponent", CountComponents<MeshRenderingComponent>()},
		    {"texture resources", Impl::GetResources<TextureResource>().size()},
		    {"font resources", Impl::GetResources<FontResource>().size()},
		    {"device proxies", static_cast<u64>(DeviceLog.LiveProxies)},
		};
	};
	const std::map<std::string, u64> atTheMenu = census();

	ShowParticlesScene();
	RunFrames(FRAMES_PER_SECOND);
	for (auto [component] : GetWorld()->IterateComponents<ScreenSpaceTextComponent>())
		component->GetText().UpdateDeviceBuffers();
	ASSERT_EQ(Impl::GetResources<TextureResource>().count("Textures/Spritesheet.png"), 1u);
	ASSERT_EQ(Impl::GetResources<TextureResource>().count("Textures/Particle.png"), 1u);
	ASSERT_GT(census()["device proxies"], atTheMenu.at("device proxies"));

	ShowScene(0);
	RunFrames(2);
	EXPECT_EQ(census(), atTheMenu);
	for (const char* failure : ASSET_FAILURE_LINES)
		EXPECT_FALSE(Console.Contains(failure)) << failure << "\n" << Console.GetText();
}
