#include "support/samplestest.hpp"

#include <filesystem>
#include <string>

using namespace Vorn;

SamplesTest::SamplesTest()
{
	VornTests::WriteFile("AssetsPathConfig.json", "{\n    \"GameAssetsPath\": \"" VORN_SAMPLES_ASSETS_PATH "\"\n}\n");
	// Only the font of the engine's assets: the engine writes its configuration files into its root, which must
	// stay this test's own.
	const std::filesystem::path font = "Fonts/Raleway/Raleway-Regular.ttf";
	std::filesystem::create_directories(std::filesystem::path("../Engine/Res") / font.parent_path());
	std::filesystem::copy_file(std::filesystem::path(VORN_BUILD_ENGINE_ASSETS_PATH) / font,
	                           std::filesystem::path("../Engine/Res") / font);
	StartEngine();
}

void SamplesTest::StartEngine()
{
	EngineInstance = std::make_unique<Engine>();
	Game = static_cast<VornSamples::SamplesGame*>(CreateGame());
	EngineInstance->Init(std::unique_ptr<IGame>(Game), std::make_unique<VornTests::TestRenderingDevice>(&DeviceLog));
}

SamplesTest::~SamplesTest() { EngineInstance.reset(); }

void SamplesTest::RunFrame()
{
	Clock.AdvanceNanoseconds(FRAME_NANOSECONDS);
	EngineInstance->Update();
}

void SamplesTest::RunFrames(int count)
{
	for (int i = 0; i < count; ++i)
		RunFrame();
}

void SamplesTest::PressKey(eKey key)
{
	EngineInstance->KeyDown(key);
	RunFrame();
	EngineInstance->KeyUp(key);
	RunFrame();
}

void SamplesTest::ShowScene(std::size_t index)
{
	const eKey key = index == 0 ? eKey::DIGIT_0 : static_cast<eKey>(static_cast<u32>(eKey::DIGIT_1) + index - 1);
	PressKey(key);
}
