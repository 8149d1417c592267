#include "audio/soundemittercomponent.hpp"
#include "audio/soundresource.hpp"
#include "audio/soundsystem.hpp"
#include "audio/soundworldcomponent.hpp"
#include "ecs/entity.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "support/samplestest.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr std::size_t AUDIO_SCENE = 5;

	class AudioSceneTest : public SamplesTest
	{
	protected:
		AudioSceneTest() { ShowScene(AUDIO_SCENE); }

		Entity* GetEmitter()
		{
			for (auto [emitter] : GetWorld()->IterateComponents<SoundEmitterComponent>())
				return emitter->GetOwner();
			return nullptr;
		}

		bool HasText(const std::string& text)
		{
			for (auto [line] : GetWorld()->IterateComponents<ScreenSpaceTextComponent>())
				if (line->GetText().GetText().GetStdString() == text)
					return true;
			return false;
		}

		bool IsPlaying() { return SoundSystem::IsEmmiterActive(GetWorld(), GetEmitter()); }

		// Runs frames for about `seconds` of real time: OpenAL plays in real time, whatever the engine's clock says.
		void PlayFor(double seconds)
		{
			const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
			while (std::chrono::steady_clock::now() < end)
			{
				RunFrame();
				std::this_thread::sleep_for(std::chrono::milliseconds(10));
			}
		}
	};

	using AudioSceneDeathTest = AudioSceneTest;
} // namespace

TEST_F(AudioSceneTest, StartsStoppedAtNormalPitchOnTheEnginesDevice)
{
	ASSERT_NE(GetEmitter(), nullptr);
	EXPECT_NE(GetEmitter()->GetComponent<SoundEmitterComponent>()->GetEmitterID(), 0u);
	EXPECT_NE(GetEmitter()->GetComponent<MeshRenderingComponent>(), nullptr) << "the emitter is seen as well as heard";
	EXPECT_TRUE(HasText("State: stopped"));
	EXPECT_TRUE(HasText("Loop: off"));
	EXPECT_TRUE(HasText("Pitch: 1.0"));
	EXPECT_TRUE(HasText("Audio device: " + SoundSystem::GetDeviceName().GetStdString()));
	EXPECT_FALSE(IsPlaying());
}

TEST_F(AudioSceneTest, EachKeyChangesTheEmittersStateAndTheTextSaysSo)
{
	const struct
	{
		std::vector<eKey> Keys;
		const char* State;
		bool IsPlaying;
		const char* Loop;
		const char* Pitch;
	} CASES[] = {
	    {{eKey::P}, "State: playing", true, "Loop: off", "Pitch: 1.0"},
	    {{eKey::P, eKey::P}, "State: playing", true, "Loop: off", "Pitch: 1.0"},
	    {{eKey::P, eKey::SPACE}, "State: paused", false, "Loop: off", "Pitch: 1.0"},
	    {{eKey::P, eKey::SPACE, eKey::P}, "State: playing", true, "Loop: off", "Pitch: 1.0"},
	    {{eKey::P, eKey::S}, "State: stopped", false, "Loop: off", "Pitch: 1.0"},
	    {{eKey::P, eKey::SPACE, eKey::S}, "State: stopped", false, "Loop: off", "Pitch: 1.0"},
	    // Pausing what does not play changes nothing.
	    {{eKey::SPACE}, "State: stopped", false, "Loop: off", "Pitch: 1.0"},
	    {{eKey::L}, "State: stopped", false, "Loop: on", "Pitch: 1.0"},
	    {{eKey::L, eKey::P, eKey::L}, "State: playing", true, "Loop: off", "Pitch: 1.0"},
	    {{eKey::UP}, "State: stopped", false, "Loop: off", "Pitch: 1.1"},
	    {{eKey::DOWN, eKey::DOWN, eKey::DOWN}, "State: stopped", false, "Loop: off", "Pitch: 0.7"},
	    {{eKey::UP, eKey::DOWN}, "State: stopped", false, "Loop: off", "Pitch: 1.0"},
	    // The pitch stays between half and twice the sound's own.
	    {std::vector<eKey>(12, eKey::UP), "State: stopped", false, "Loop: off", "Pitch: 2.0"},
	    {std::vector<eKey>(7, eKey::DOWN), "State: stopped", false, "Loop: off", "Pitch: 0.5"},
	};

	for (const auto& testCase : CASES)
	{
		std::string keys;
		for (eKey key : testCase.Keys)
			keys += std::to_string(static_cast<int>(key)) + " ";
		SCOPED_TRACE("keys " + keys);
		// A fresh scene for each sequence.
		ShowScene(0);
		ShowScene(AUDIO_SCENE);
		for (eKey key : testCase.Keys)
			PressKey(key);
		EXPECT_TRUE(HasText(testCase.State));
		EXPECT_EQ(IsPlaying(), testCase.IsPlaying);
		EXPECT_TRUE(HasText(testCase.Loop));
		EXPECT_TRUE(HasText(testCase.Pitch));
	}
}

TEST_F(AudioSceneTest, EmitterCirclesTheListenerAtAFixedDistance)
{
	Entity* camera = GetContext().GetCamera();
	ASSERT_NE(camera->GetComponent<SoundListenerComponent>(), nullptr);
	EXPECT_EQ(GetWorld()->GetWorldComponent<SoundWorldComponent>()->GetActiveListener(), camera);

	const Vector listener = camera->GetTransform().GetGlobalTranslation();
	const Vector start = GetEmitter()->GetTransform().GetGlobalTranslation();
	const float distance = (start - listener).Length();
	EXPECT_GT(distance, 1.0f);
	float minX = start.x;
	float maxX = start.x;
	float minZ = start.z;
	float maxZ = start.z;
	for (int frame = 0; frame < 10 * 64; ++frame)
	{
		RunFrame();
		const Vector position = GetEmitter()->GetTransform().GetGlobalTranslation();
		ASSERT_NEAR((position - listener).Length(), distance, 1e-4f) << "frame " << frame;
		ASSERT_NEAR(position.y, start.y, 1e-5f) << "frame " << frame;
		minX = std::min(minX, position.x);
		maxX = std::max(maxX, position.x);
		minZ = std::min(minZ, position.z);
		maxZ = std::max(maxZ, position.z);
	}
	// All the way round: to each side of the listener and in front and behind it.
	const float radius = std::hypot(start.x - listener.x, start.z - listener.z);
	EXPECT_LT(minX, listener.x - 0.9f * radius);
	EXPECT_GT(maxX, listener.x + 0.9f * radius);
	EXPECT_LT(minZ, listener.z - 0.9f * radius);
	EXPECT_GT(maxZ, listener.z + 0.9f * radius);
}

TEST_F(AudioSceneTest, SoundThatDoesNotLoopStopsAtItsEndAndOneThatLoopsPlaysOn)
{
	// At twice its pitch the two-second sound lasts one second.
	for (int step = 0; step < 10; ++step)
		PressKey(eKey::UP);
	ASSERT_TRUE(HasText("Pitch: 2.0"));

	PressKey(eKey::P);
	PlayFor(1.6);
	EXPECT_FALSE(IsPlaying());
	EXPECT_TRUE(HasText("State: stopped")) << "the text follows the sound's end";

	PressKey(eKey::L);
	PressKey(eKey::P);
	PlayFor(1.6);
	EXPECT_TRUE(IsPlaying());
	EXPECT_TRUE(HasText("State: playing"));
}

TEST_F(AudioSceneTest, LeavingTheSceneReleasesTheEmitterTheListenerAndTheSound)
{
	PressKey(eKey::L);
	PressKey(eKey::P);
	ASSERT_TRUE(IsPlaying());
	ShowScene(0);

	EXPECT_EQ(CountComponents<SoundEmitterComponent>(), 0u);
	EXPECT_EQ(CountComponents<SoundListenerComponent>(), 0u);
	EXPECT_EQ(GetWorld()->GetWorldComponent<SoundWorldComponent>()->GetActiveListener(), nullptr);
	EXPECT_TRUE(Impl::gALSoundResourcesMap.empty());
	EXPECT_FALSE(HasText("State: playing"));

	// Back again, it starts over instead of carrying the last visit's state.
	ShowScene(AUDIO_SCENE);
	EXPECT_TRUE(HasText("State: stopped"));
	EXPECT_TRUE(HasText("Loop: off"));
	EXPECT_FALSE(IsPlaying());
	EXPECT_EQ(CountComponents<SoundListenerComponent>(), 1u);
}

TEST_F(AudioSceneDeathTest, WithoutAnAudioDeviceTheSceneRunsSilentAndSaysSo)
{
	// OpenAL reads its drivers once per process, so the scene runs in a child that re-executes this test with no
	// usable driver; its fixture's engine then opens no device.
	const std::string previous = std::getenv("ALSOFT_DRIVERS") ? std::getenv("ALSOFT_DRIVERS") : "";
	const std::string previousStyle = GTEST_FLAG_GET(death_test_style);
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	setenv("ALSOFT_DRIVERS", "no-such-driver", 1);

	EXPECT_EXIT(
	    {
		    const bool isSilent = !GetEngine().GetAudioDevice().IsOpen();
		    const bool saysSilent = HasText("No audio device: running silent");
		    PressKey(eKey::P);
		    PressKey(eKey::L);
		    PressKey(eKey::UP);
		    RunFrames(64);
		    const bool followsKeys = HasText("State: playing") && HasText("Loop: on") && HasText("Pitch: 1.1");
		    ShowScene(0);
		    const bool isReleased = CountComponents<SoundEmitterComponent>() == 0;
		    std::fprintf(stderr, "silent=%d says=%d keys=%d released=%d\n", isSilent, saysSilent, followsKeys,
		                 isReleased);
		    std::exit(0);
	    },
	    ::testing::ExitedWithCode(0), "silent=1 says=1 keys=1 released=1");

	setenv("ALSOFT_DRIVERS", previous.c_str(), 1);
	GTEST_FLAG_SET(death_test_style, previousStyle);
}
