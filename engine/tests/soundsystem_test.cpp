#include "audio/soundemittercomponent.hpp"
#include "audio/soundresource.hpp"
#include "audio/soundsystem.hpp"
#include "audio/soundworldcomponent.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"

#include <gtest/gtest.h>

#include <al.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace Vorn;
using namespace VornTests;
using namespace std::chrono_literals;

namespace
{
	const std::string MONO_TONE = VORN_TEST_SOUNDS_PATH "tone_mono.ogg";
	const std::string STEREO_TONE = VORN_TEST_SOUNDS_PATH "tone_stereo.ogg";

	// An engine on OpenAL Soft's silent null driver (which plays in real time, so offsets move) with emitters on
	// entities under the world's root.
	class SoundSystemTest : public ::testing::Test
	{
	protected:
		void SetUp() override { Harness.Init(); }

		World* GetWorld() { return Harness.GetWorld(); }

		Entity* SpawnEmitter(const std::string& path, const Vector& position = Vector(0.0f, 0.0f, 0.0f))
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			entity->GetTransform().SetGlobalTranslation(position);
			GetWorld()->AddComponent<SoundEmitterComponent>(entity, path.c_str(), eResourceSource::NONE, false);
			return entity;
		}

		static ALuint Source(Entity* entity) { return entity->GetComponent<SoundEmitterComponent>()->GetEmitterID(); }

		static float SourceFloat(Entity* entity, ALenum parameter)
		{
			ALfloat value = -1.0f;
			alGetSourcef(Source(entity), parameter, &value);
			return value;
		}

		static ALint SourceInt(Entity* entity, ALenum parameter)
		{
			ALint value = -1;
			alGetSourcei(Source(entity), parameter, &value);
			return value;
		}

		// Waits (at most two seconds) until the playing source has moved past `seconds`.
		static float WaitForOffsetPast(Entity* entity, float seconds)
		{
			const auto deadline = std::chrono::steady_clock::now() + 2s;
			float offset = SourceFloat(entity, AL_SEC_OFFSET);
			while (offset <= seconds && std::chrono::steady_clock::now() < deadline)
			{
				std::this_thread::sleep_for(5ms);
				offset = SourceFloat(entity, AL_SEC_OFFSET);
			}
			return offset;
		}

		TestEngine Harness;
	};

	// A WAV file's samples, 16-bit, interleaved.
	struct WaveFile
	{
		int Channels = 0;
		int SampleRate = 0;
		std::vector<i16> Samples;
	};

	WaveFile ReadWave(const std::filesystem::path& path)
	{
		WaveFile wave;
		const std::string bytes = ReadFile(path);
		if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
			return wave;
		for (std::size_t at = 12; at + 8 <= bytes.size();)
		{
			std::uint32_t chunkSize = 0;
			std::memcpy(&chunkSize, bytes.data() + at + 4, 4);
			const std::string id = bytes.substr(at, 4);
			const std::size_t body = at + 8;
			if (id == "fmt " && body + 16 <= bytes.size())
			{
				std::uint16_t channels = 0;
				std::uint32_t rate = 0;
				std::memcpy(&channels, bytes.data() + body + 2, 2);
				std::memcpy(&rate, bytes.data() + body + 4, 4);
				wave.Channels = channels;
				wave.SampleRate = static_cast<int>(rate);
			}
			if (id == "data")
			{
				const std::size_t available = std::min<std::size_t>(chunkSize, bytes.size() - body);
				wave.Samples.resize(available / 2);
				std::memcpy(wave.Samples.data(), bytes.data() + body, wave.Samples.size() * 2);
				break;
			}
			at = body + chunkSize + (chunkSize & 1);
		}
		return wave;
	}

	// Root mean square of one channel over frames [first, last).
	double ChannelLevel(const WaveFile& wave, int channel, std::size_t first, std::size_t last)
	{
		double sum = 0.0;
		for (std::size_t frame = first; frame < last; ++frame)
		{
			const double sample = wave.Samples[frame * wave.Channels + channel] / 32768.0;
			sum += sample * sample;
		}
		return last > first ? std::sqrt(sum / static_cast<double>(last - first)) : 0.0;
	}

	// Frames of one channel that cross zero upwards, per second, over frames [first, last).
	double ChannelFrequency(const WaveFile& wave, int channel, std::size_t first, std::size_t last)
	{
		int crossings = 0;
		for (std::size_t frame = first + 1; frame < last; ++frame)
			crossings += wave.Samples[(frame - 1) * wave.Channels + channel] < 0 &&
			                     wave.Samples[frame * wave.Channels + channel] >= 0
			                 ? 1
			                 : 0;
		return crossings * static_cast<double>(wave.SampleRate) / static_cast<double>(last - first);
	}

	std::size_t FirstAudibleFrame(const WaveFile& wave)
	{
		for (std::size_t index = 0; index < wave.Samples.size(); ++index)
			if (std::abs(wave.Samples[index]) > 300)
				return index / static_cast<std::size_t>(wave.Channels);
		return wave.Samples.size();
	}

	// Runs `scenario` in a fresh process whose OpenAL writes its mix into a WAV file (OpenAL Soft's wave driver, which
	// mixes in real time and finishes the file when the device closes), and returns that file. OpenAL reads its
	// settings once per process, hence the child.
	WaveFile RecordInChildProcess(const std::function<void()>& scenario)
	{
		// The child runs this test again from its start; it finds the parent's folder through the environment.
		const char* const FOLDER_VARIABLE = "VORN_TEST_WAVE_FOLDER";
		const char* inherited = std::getenv(FOLDER_VARIABLE);
		std::filesystem::path folder;
		if (inherited)
			folder = inherited;
		else
		{
			std::string pattern = (std::filesystem::temp_directory_path() / "vorn-wave-test-XXXXXX").string();
			if (!mkdtemp(pattern.data()))
				return WaveFile();
			folder = pattern;
			setenv(FOLDER_VARIABLE, folder.c_str(), 1);
		}
		const std::filesystem::path wavePath = folder / "mix.wav";
		const std::filesystem::path configPath = folder / "alsoft.conf";
		WriteFile(configPath, "[general]\ndrivers = wave\nchannels = stereo\nfrequency = 44100\nsample-type = int16\n"
		                      "hrtf = false\n[wave]\nfile = " +
		                          wavePath.string() + "\n");
		const std::string previousDrivers = std::getenv("ALSOFT_DRIVERS") ? std::getenv("ALSOFT_DRIVERS") : "";
		const std::string previousStyle = GTEST_FLAG_GET(death_test_style);
		setenv("ALSOFT_DRIVERS", "wave", 1);
		setenv("ALSOFT_CONF", configPath.c_str(), 1);
		GTEST_FLAG_SET(death_test_style, "threadsafe");

		EXPECT_EXIT(
		    {
			    scenario();
			    std::exit(0);
		    },
		    ::testing::ExitedWithCode(0), "");

		GTEST_FLAG_SET(death_test_style, previousStyle);
		setenv("ALSOFT_DRIVERS", previousDrivers.c_str(), 1);
		unsetenv("ALSOFT_CONF");
		unsetenv(FOLDER_VARIABLE);
		const WaveFile wave = ReadWave(wavePath);
		std::error_code ignored;
		std::filesystem::remove_all(folder, ignored);
		return wave;
	}

	// Runs frames of `harness` for about `duration` of real time, the audio device mixing meanwhile.
	void PlayFor(TestEngine& harness, std::chrono::milliseconds duration)
	{
		const auto end = std::chrono::steady_clock::now() + duration;
		while (std::chrono::steady_clock::now() < end)
		{
			harness.RunFrame(10);
			std::this_thread::sleep_for(10ms);
		}
	}
} // namespace

TEST_F(SoundSystemTest, PlayGoesOnWhilePlayingReplayRestartsAndPauseResumesWhereItStopped)
{
	Entity* emitter = SpawnEmitter(STEREO_TONE);
	ASSERT_NE(Source(emitter), 0u);
	EXPECT_FALSE(SoundSystem::IsEmmiterActive(GetWorld(), emitter));

	SoundSystem::PlayEmitter(GetWorld(), emitter);
	EXPECT_TRUE(SoundSystem::IsEmmiterActive(GetWorld(), emitter));
	const float played = WaitForOffsetPast(emitter, 0.2f);
	ASSERT_GT(played, 0.2f);

	SoundSystem::PlayEmitter(GetWorld(), emitter);
	EXPECT_GE(SourceFloat(emitter, AL_SEC_OFFSET), played) << "a playing emitter is not restarted";

	SoundSystem::ReplayEmitter(GetWorld(), emitter);
	EXPECT_LT(SourceFloat(emitter, AL_SEC_OFFSET), played) << "replay starts again";

	WaitForOffsetPast(emitter, 0.1f);
	SoundSystem::PauseEmitter(GetWorld(), emitter);
	const float paused = SourceFloat(emitter, AL_SEC_OFFSET);
	EXPECT_FALSE(SoundSystem::IsEmmiterActive(GetWorld(), emitter));
	EXPECT_EQ(SourceInt(emitter, AL_SOURCE_STATE), AL_PAUSED);
	SoundSystem::PlayEmitter(GetWorld(), emitter);
	EXPECT_GE(SourceFloat(emitter, AL_SEC_OFFSET), paused) << "play resumes from the pause";
	EXPECT_TRUE(SoundSystem::IsEmmiterActive(GetWorld(), emitter));

	SoundSystem::StopEmitter(GetWorld(), emitter);
	EXPECT_EQ(SourceInt(emitter, AL_SOURCE_STATE), AL_STOPPED);
}

TEST_F(SoundSystemTest, SettersReachTheSourceAndANewSourceStartsFromOpenALsDefaults)
{
	Entity* emitter = SpawnEmitter(MONO_TONE);
	SoundSystem::SetEmitterGain(GetWorld(), emitter, 0.25f);
	SoundSystem::SetEmitterFrequency(GetWorld(), emitter, 1.5f);
	SoundSystem::LoopEmitter(GetWorld(), emitter);
	SoundSystem::SetEmitterOffsetInSeconds(GetWorld(), emitter, 0.5f);
	EXPECT_FLOAT_EQ(SourceFloat(emitter, AL_GAIN), 0.25f);
	EXPECT_FLOAT_EQ(SourceFloat(emitter, AL_PITCH), 1.5f);
	EXPECT_EQ(SourceInt(emitter, AL_LOOPING), AL_TRUE);
	SoundSystem::UnLoopEmitter(GetWorld(), emitter);
	EXPECT_EQ(SourceInt(emitter, AL_LOOPING), AL_FALSE);
	SoundSystem::LoopEmitter(GetWorld(), emitter);

	SoundSystem::SetEmitterSource(GetWorld(), emitter, STEREO_TONE.c_str(), eResourceSource::NONE);

	EXPECT_FLOAT_EQ(SourceFloat(emitter, AL_GAIN), 1.0f);
	EXPECT_FLOAT_EQ(SourceFloat(emitter, AL_PITCH), 1.0f);
	EXPECT_EQ(SourceInt(emitter, AL_LOOPING), AL_FALSE);
	EXPECT_FLOAT_EQ(SourceFloat(emitter, AL_SEC_OFFSET), 0.0f);
	EXPECT_EQ(SourceInt(emitter, AL_BUFFER),
	          static_cast<ALint>(emitter->GetComponent<SoundEmitterComponent>()->GetResource()->GetBufferID()));
	EXPECT_EQ(Impl::gALSoundResourcesMap.count(MONO_TONE.c_str()), 0u) << "the old sound had no other user";
}

TEST_F(SoundSystemTest, EmittersOfOnePathShareOneResourceUntilTheLastGoes)
{
	Entity* first = SpawnEmitter(MONO_TONE);
	Entity* second = SpawnEmitter(MONO_TONE);
	SoundResource* shared = first->GetComponent<SoundEmitterComponent>()->GetResource();
	ASSERT_NE(shared, nullptr);
	EXPECT_EQ(second->GetComponent<SoundEmitterComponent>()->GetResource(), shared);
	EXPECT_EQ(shared->GetRefCount(), 2u);
	SoundSystem::PlayEmitter(GetWorld(), second);

	DeferredTaskSystem::DestroyEntityImmediate(GetWorld(), first);
	EXPECT_EQ(Impl::gALSoundResourcesMap.size(), 1u);
	EXPECT_TRUE(SoundSystem::IsEmmiterActive(GetWorld(), second));

	DeferredTaskSystem::DestroyEntityImmediate(GetWorld(), second);
	EXPECT_TRUE(Impl::gALSoundResourcesMap.empty());
}

TEST_F(SoundSystemTest, EmitterWhoseSoundDidNotLoadIgnoresEveryCall)
{
	ConsoleCapture console;
	Entity* emitter = SpawnEmitter("no/such/sound.ogg");
	EXPECT_TRUE(console.Contains("[ERROR] Resource loading failed! no/such/sound.ogg"));
	EXPECT_EQ(Source(emitter), 0u);
	EXPECT_EQ(emitter->GetComponent<SoundEmitterComponent>()->GetResource(), nullptr);

	SoundSystem::PlayEmitter(GetWorld(), emitter);
	SoundSystem::LoopEmitter(GetWorld(), emitter);
	SoundSystem::SetEmitterGain(GetWorld(), emitter, 0.5f);
	SoundSystem::SetEmitterOffsetInBytes(GetWorld(), emitter, 100);
	Harness.RunFrame(10);
	EXPECT_FALSE(SoundSystem::IsEmmiterActive(GetWorld(), emitter));
	EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(SoundSystemTest, DeviceListAndNamesComeFromTheEngineDevice)
{
	const Dynarray<String>& devices = SoundSystem::GetAvailableDevices();
	ASSERT_GE(devices.GetSize(), 1u);
	EXPECT_EQ(SoundSystem::GetDeviceName(), devices[0]);
	EXPECT_NE(GetWorld()->GetWorldComponent<SoundWorldComponent>()->GetNativeContext(), nullptr);
}

TEST_F(SoundSystemTest, ActiveListenerCarriesItsEntityTransformAndGainToOpenAL)
{
	Entity* listener = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
	GetWorld()->AddComponent<SoundListenerComponent>(listener, GetWorld()->GetWorldComponent<SoundWorldComponent>());
	listener->GetTransform().SetGlobalTranslation(Vector(1.0f, 2.0f, 3.0f));
	listener->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(90.0f)));
	Entity* emitter = SpawnEmitter(MONO_TONE, Vector(-4.0f, 0.5f, 2.0f));

	SoundSystem::ActivateListener(GetWorld(), listener);
	SoundSystem::SetListenerGain(GetWorld(), listener, 0.5f);
	Harness.RunFrame(10);

	ALfloat position[3] = {};
	alGetListenerfv(AL_POSITION, position);
	EXPECT_FLOAT_EQ(position[0], 1.0f);
	EXPECT_FLOAT_EQ(position[2], 3.0f);
	ALfloat orientation[6] = {};
	alGetListenerfv(AL_ORIENTATION, orientation);
	// Turned a quarter about Y, the listener looks down -X.
	EXPECT_NEAR(orientation[0], -1.0f, 1e-5f);
	EXPECT_NEAR(orientation[4], 1.0f, 1e-5f);
	ALfloat gain = 0.0f;
	alGetListenerf(AL_GAIN, &gain);
	EXPECT_FLOAT_EQ(gain, 0.5f);
	ALfloat source[3] = {};
	alGetSourcefv(Source(emitter), AL_POSITION, source);
	EXPECT_FLOAT_EQ(source[0], -4.0f);
	EXPECT_FLOAT_EQ(source[1], 0.5f);

	SoundSystem::DeactivateListener(GetWorld(), listener);
	EXPECT_EQ(GetWorld()->GetWorldComponent<SoundWorldComponent>()->GetActiveListener(), nullptr);
	alGetListenerfv(AL_POSITION, position);
	EXPECT_FLOAT_EQ(position[0], 0.0f) << "with no listener OpenAL's defaults are back";
	alGetListenerf(AL_GAIN, &gain);
	EXPECT_FLOAT_EQ(gain, 1.0f);
}

TEST(SoundSystemDeathTest, UnknownDeviceNameStops)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_DEATH(
	    {
		    TestEngine harness;
		    harness.Init();
		    SoundSystem::SetDevice("no device of this name");
	    },
	    "OpenAL device creation failed");
}

TEST(SoundSystemOutputTest, PlayedToneReachesTheMixAtItsFrequency)
{
	const WaveFile wave = RecordInChildProcess(
	    []
	    {
		    TestEngine harness;
		    harness.Init();
		    World* world = harness.GetWorld();
		    Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
		    world->AddComponent<SoundEmitterComponent>(entity, MONO_TONE.c_str(), eResourceSource::NONE, false);
		    SoundSystem::PlayEmitter(world, entity);
		    PlayFor(harness, 600ms);
	    });

	ASSERT_EQ(wave.Channels, 2);
	ASSERT_EQ(wave.SampleRate, 44100);
	const std::size_t start = FirstAudibleFrame(wave);
	ASSERT_LT(start + 22050, wave.Samples.size() / 2) << "no tone in the mix";
	const std::size_t end = start + 13230; // 0.3 s of the tone
	EXPECT_NEAR(ChannelFrequency(wave, 0, start, end), 440.0, 10.0);
	EXPECT_NEAR(ChannelFrequency(wave, 1, start, end), 440.0, 10.0);
	EXPECT_GT(ChannelLevel(wave, 0, start, end), 0.15);
}

TEST(SoundSystemOutputTest, MonoEmitterToTheListenersLeftIsLouderOnTheLeftAndFollowsItsEntity)
{
	const WaveFile wave = RecordInChildProcess(
	    []
	    {
		    TestEngine harness;
		    harness.Init();
		    World* world = harness.GetWorld();
		    Entity* listener = DeferredTaskSystem::SpawnEntityImmediate(world);
		    world->AddComponent<SoundListenerComponent>(listener, world->GetWorldComponent<SoundWorldComponent>());
		    SoundSystem::ActivateListener(world, listener);
		    Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
		    entity->GetTransform().SetGlobalTranslation(Vector(-3.0f, 0.0f, 0.0f));
		    world->AddComponent<SoundEmitterComponent>(entity, MONO_TONE.c_str(), eResourceSource::NONE, false);
		    SoundSystem::LoopEmitter(world, entity);
		    harness.RunFrame(10);
		    SoundSystem::PlayEmitter(world, entity);
		    PlayFor(harness, 500ms);
		    entity->GetTransform().SetGlobalTranslation(Vector(3.0f, 0.0f, 0.0f));
		    PlayFor(harness, 500ms);
	    });

	ASSERT_EQ(wave.Channels, 2);
	const std::size_t start = FirstAudibleFrame(wave);
	// Well inside each half second, away from the move.
	const std::size_t leftFirst = start + 2205;
	const std::size_t leftLast = start + 17640;
	const std::size_t rightFirst = start + 26460;
	const std::size_t rightLast = start + 39690;
	ASSERT_LT(rightLast, wave.Samples.size() / 2) << "no tone in the mix";
	EXPECT_GT(ChannelLevel(wave, 0, leftFirst, leftLast), 1.5 * ChannelLevel(wave, 1, leftFirst, leftLast));
	EXPECT_GT(ChannelLevel(wave, 1, rightFirst, rightLast), 1.5 * ChannelLevel(wave, 0, rightFirst, rightLast));
}

TEST(SoundSystemSilentTest, WithoutADeviceEverythingRunsAndSoundIsOffIsSaidOnce)
{
	const std::string previous = std::getenv("ALSOFT_DRIVERS") ? std::getenv("ALSOFT_DRIVERS") : "";
	const std::string previousStyle = GTEST_FLAG_GET(death_test_style);
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	setenv("ALSOFT_DRIVERS", "no-such-driver", 1);

	EXPECT_EXIT(
	    {
		    ConsoleCapture startUp;
		    TestEngine harness;
		    harness.Init();
		    World* world = harness.GetWorld();
		    std::vector<Entity*> emitters;
		    for (int index = 0; index < 3; ++index)
		    {
			    Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
			    world->AddComponent<SoundEmitterComponent>(entity, MONO_TONE.c_str(), eResourceSource::NONE, false);
			    emitters.push_back(entity);
		    }
		    Entity* listener = DeferredTaskSystem::SpawnEntityImmediate(world);
		    world->AddComponent<SoundListenerComponent>(listener, world->GetWorldComponent<SoundWorldComponent>());
		    SoundSystem::ActivateListener(world, listener);
		    const std::string startUpLog = startUp.GetText();
		    ConsoleCapture frames;
		    bool isAnyActive = false;
		    for (int frame = 0; frame < 600; ++frame)
		    {
			    for (Entity* emitter : emitters)
			    {
				    SoundSystem::PlayEmitter(world, emitter);
				    SoundSystem::SetEmitterGain(world, emitter, 0.5f);
				    isAnyActive = isAnyActive || SoundSystem::IsEmmiterActive(world, emitter);
			    }
			    harness.RunFrame(16);
		    }
		    const std::string warning =
		        "[WARNING] OpenAL: no audio output device could be opened, running without sound";
		    const bool saidOnce =
		        startUpLog.find(warning) != std::string::npos && startUpLog.find(warning) == startUpLog.rfind(warning);
		    std::fprintf(stderr, "once=%d frames=[%s] active=%d loaded=%d\n", saidOnce, frames.GetText().c_str(),
		                 isAnyActive, emitters[0]->GetComponent<SoundEmitterComponent>()->GetResource() != nullptr);
		    std::exit(0);
	    },
	    ::testing::ExitedWithCode(0), "once=1 frames=\\[\\] active=0 loaded=1");

	setenv("ALSOFT_DRIVERS", previous.c_str(), 1);
	GTEST_FLAG_SET(death_test_style, previousStyle);
}
