#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"
#include "fixtures/testimages.hpp"
#include "resources/textureresource.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	class TextureResourceTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Engine.Init();
			Console = std::make_unique<ConsoleCapture>();
		}
		void TearDown() override
		{
			EXPECT_TRUE(Impl::gTextureResourcesMap.empty()) << "a test kept a texture";
			EXPECT_EQ(Engine.DeviceLog.LiveProxies, 0);
		}

		const TestRenderingDeviceLog::TextureRecord& LastTexture() const { return Engine.DeviceLog.Textures.back(); }

		TestEngine Engine;
		std::unique_ptr<ConsoleCapture> Console;
	};

} // namespace

TEST_F(TextureResourceTest, TwoByOneRgbPngAsAlbedoReachesTheDeviceWithFourChannels)
{
	WritePng("Textures/pair.png", 2, 1, 3, {10, 20, 30, 40, 50, 60});

	TextureResource* texture =
	    ResourceManager<TextureResource>::Load("Textures/pair.png", eResourceSource::NONE, eTextureUsageType::ALBEDO);
	ASSERT_NE(texture, nullptr);
	EXPECT_EQ(texture->GetWidth(), 2);
	EXPECT_EQ(texture->GetHeight(), 1);
	EXPECT_EQ(texture->GetChannels(), 3) << "the file's count, not the device's";
	ASSERT_EQ(Engine.DeviceLog.Textures.size(), 1u);
	EXPECT_EQ(LastTexture().Width, 2u);
	EXPECT_EQ(LastTexture().Height, 1u);
	EXPECT_EQ(LastTexture().Channels, 4u);
	EXPECT_EQ(LastTexture().Usage, eTextureUsageType::ALBEDO);
	EXPECT_EQ(LastTexture().SetContentCalls, 1);
	EXPECT_EQ(LastTexture().SetContentHDRCalls, 0);
	EXPECT_EQ(LastTexture().Content, (std::vector<unsigned char>{10, 20, 30, 255, 40, 50, 60, 255}));
	EXPECT_EQ(texture->GetTextureProxy()->GetResourceID(), 1u);
	EXPECT_EQ(Console->GetText(),
	          "[INFO] ResourceManager: Loading: Textures/pair.png\n"
	          "[INFO] TextureResource::TextureResource path: Textures/pair.png usage: 0\n"
	          "[INFO] TextureResource::TextureResource loaded width: 2, height: 1, channels: 3, desiredChannels: 4\n");

	ResourceManager<TextureResource>::Release(texture);
}

TEST_F(TextureResourceTest, DeviceReceivesTheBottomRowFirst)
{
	// Top row dark, bottom row light; grey levels tell the pixels apart.
	WritePng("rows.png", 2, 2, 1, {1, 2, 200, 201});

	TextureResource* texture =
	    ResourceManager<TextureResource>::Load("rows.png", eResourceSource::NONE, eTextureUsageType::NORMAL);
	ASSERT_NE(texture, nullptr);
	EXPECT_EQ(LastTexture().Content, (std::vector<unsigned char>{200, 200, 200, 201, 201, 201, 1, 1, 1, 2, 2, 2}));
	ResourceManager<TextureResource>::Release(texture);
}

TEST_F(TextureResourceTest, UsageDecidesTheChannelCountAskedForAndHandedToTheDevice)
{
	WritePng("any.png", 2, 1, 3, {1, 2, 3, 4, 5, 6});
	const struct
	{
		eTextureUsageType Usage;
		std::size_t Channels;
	} cases[] = {
	    {eTextureUsageType::ALBEDO, 4},    {eTextureUsageType::METALLIC, 3},
	    {eTextureUsageType::ROUGHNESS, 3}, {eTextureUsageType::AMBIENT_OCCLUSION, 3},
	    {eTextureUsageType::EMISSIVE, 4},  {eTextureUsageType::NORMAL, 3},
	    {eTextureUsageType::FONT, 3},      {eTextureUsageType::RENDER_TARGET, 4},
	};
	for (const auto& c : cases)
	{
		Console->Clear();
		TextureResource* texture = ResourceManager<TextureResource>::Load("any.png", eResourceSource::NONE, c.Usage);
		ASSERT_NE(texture, nullptr);
		EXPECT_EQ(LastTexture().Usage, c.Usage);
		EXPECT_EQ(LastTexture().Channels, c.Channels) << static_cast<int>(c.Usage);
		EXPECT_EQ(LastTexture().Content.size(), 2 * c.Channels);
		EXPECT_TRUE(Console->Contains("desiredChannels: " + std::to_string(c.Channels) + "\n"));
		ResourceManager<TextureResource>::Release(texture);
	}
}

TEST_F(TextureResourceTest, HdrTextureIsCreatedWithThreeChannelsAndGetsFloats)
{
	WriteHdr("HDR/sky.hdr", 2, 1, {1.0f, 2.0f, 4.0f, 8.0f, 0.5f, 0.25f});

	TextureResource* texture =
	    ResourceManager<TextureResource>::Load("HDR/sky.hdr", eResourceSource::NONE, eTextureUsageType::HDR);
	ASSERT_NE(texture, nullptr);
	EXPECT_EQ(texture->GetChannels(), 3);
	EXPECT_EQ(LastTexture().Channels, 3u);
	EXPECT_EQ(LastTexture().Usage, eTextureUsageType::HDR);
	EXPECT_EQ(LastTexture().SetContentHDRCalls, 1);
	EXPECT_EQ(LastTexture().SetContentCalls, 0);
	EXPECT_EQ(LastTexture().ContentHDR, (std::vector<float>{1.0f, 2.0f, 4.0f, 8.0f, 0.5f, 0.25f}));
	EXPECT_EQ(Console->GetText(), "[INFO] ResourceManager: Loading: HDR/sky.hdr\n"
	                              "[INFO] TextureResource::TextureResource path: HDR/sky.hdr usage: 7\n"
	                              "[INFO] TextureResource::TextureResource loaded width: 2, height: 1, channels: 3\n");
	ResourceManager<TextureResource>::Release(texture);
}

TEST_F(TextureResourceTest, ByteImageLoadedAsHdrKeepsItsChannelCountWhileTheDeviceGetsThree)
{
	WritePng("rgba.png", 1, 1, 4, {255, 0, 255, 255});

	TextureResource* texture =
	    ResourceManager<TextureResource>::Load("rgba.png", eResourceSource::NONE, eTextureUsageType::HDR);
	ASSERT_NE(texture, nullptr);
	EXPECT_EQ(texture->GetChannels(), 4);
	EXPECT_EQ(LastTexture().Channels, 3u);
	EXPECT_EQ(LastTexture().ContentHDR, (std::vector<float>{1.0f, 0.0f, 1.0f}));
	ResourceManager<TextureResource>::Release(texture);
}

TEST_F(TextureResourceTest, GreyImageLoadedAsHdrIsRefusedRatherThanReadPastItsEnd)
{
	WritePng("grey.png", 2, 2, 1, {0, 64, 128, 255});

	EXPECT_EQ(ResourceManager<TextureResource>::Load("grey.png", eResourceSource::NONE, eTextureUsageType::HDR),
	          nullptr);
	EXPECT_TRUE(Engine.DeviceLog.Textures.empty());
	EXPECT_TRUE(Console->Contains("[ERROR] TextureResource::TextureResource grey.png has 1 channels, an HDR texture "
	                              "needs 3\n[ERROR] Resource loading failed! grey.png\n"));
}

TEST_F(TextureResourceTest, MissingFileGivesNullAndLeavesTheRegistryUnchanged)
{
	WritePng("kept.png", 1, 1, 3, {1, 2, 3});
	TextureResource* kept =
	    ResourceManager<TextureResource>::Load("kept.png", eResourceSource::NONE, eTextureUsageType::ALBEDO);
	Console->Clear();

	EXPECT_EQ(ResourceManager<TextureResource>::Load("nowhere.png", eResourceSource::NONE, eTextureUsageType::ALBEDO),
	          nullptr);
	ASSERT_EQ(Impl::gTextureResourcesMap.size(), 1u);
	EXPECT_EQ(Impl::gTextureResourcesMap.begin()->second.get(), kept);
	EXPECT_EQ(kept->GetRefCount(), 1u);
	EXPECT_EQ(Engine.DeviceLog.Textures.size(), 1u) << "nothing is created on the device";
	EXPECT_EQ(Console->GetText(), "[INFO] ResourceManager: Loading: nowhere.png\n"
	                              "[INFO] TextureResource::TextureResource path: nowhere.png usage: 0\n"
	                              "[INFO] Vorn::LoadImage Failed to load: nowhere.png, reason: can't fopen\n"
	                              "[ERROR] Resource loading failed! nowhere.png\n");
	ResourceManager<TextureResource>::Release(kept);
}

TEST_F(TextureResourceTest, DamagedFilesGiveNullWithTheLoadersReason)
{
	WritePng("whole.png", 16, 16, 3, NoisyPixels(16 * 16 * 3));
	const std::string png = ReadFile("whole.png");
	WriteFile("truncated.png", png.substr(0, png.size() / 2));
	WriteHdr("whole.hdr", 32, 8, std::vector<float>(32 * 8 * 3, 2.0f));
	const std::string hdr = ReadFile("whole.hdr");
	WriteFile("truncated.hdr", hdr.substr(0, hdr.size() * 2 / 3));

	const struct
	{
		const char* Path;
		eTextureUsageType Usage;
		std::string LoaderLine;
	} cases[] = {
	    {"truncated.png", eTextureUsageType::ALBEDO,
	     "[INFO] Vorn::LoadImage Failed to load: truncated.png, reason: outofdata\n"},
	    {"truncated.hdr", eTextureUsageType::HDR,
	     "[INFO] Vorn::LoadImageHDR Failed to load: truncated.hdr, reason: truncated HDR data\n"},
	};
	for (const auto& c : cases)
	{
		Console->Clear();
		EXPECT_EQ(ResourceManager<TextureResource>::Load(c.Path, eResourceSource::NONE, c.Usage), nullptr);
		EXPECT_EQ(Console->GetText(), "[INFO] ResourceManager: Loading: " + std::string(c.Path) +
		                                  "\n[INFO] TextureResource::TextureResource path: " + c.Path +
		                                  " usage: " + std::to_string(static_cast<int>(c.Usage)) + "\n" + c.LoaderLine +
		                                  "[ERROR] Resource loading failed! " + c.Path + "\n");
	}
	EXPECT_TRUE(Engine.DeviceLog.Textures.empty());
}

TEST(TextureResourceUsageDeathTest, UsageOutsideTheEnumerationStops)
{
	EXPECT_DEATH(ResourceManager<TextureResource>::Load("any.png", eResourceSource::NONE, eTextureUsageType::_COUNT),
	             "Uknown eTextureUsageType!");
}
