#include "configs/assetspathconfig.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"
#include "fixtures/testimages.hpp"
#include "resources/cubemapresource.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	class CubemapResourceTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Engine.Init();
			Console = std::make_unique<ConsoleCapture>();
		}

		// Under the engine asset root, where the cubemap looks for its sides.
		static std::string EnginePath(const std::string& relativePath)
		{
			return gAssetsPathConfig.GetAssetsPath(eResourceSource::ENGINE).GetStdString() + relativePath;
		}

		static EnumArray<String, eCubemapSide> SidePaths()
		{
			return {"Sky/px.hdr", "Sky/nx.hdr", "Sky/py.hdr", "Sky/ny.hdr", "Sky/pz.hdr", "Sky/nz.hdr"};
		}

		TestEngine Engine;
		std::unique_ptr<ConsoleCapture> Console;
	};
} // namespace

TEST_F(CubemapResourceTest, SidesOfDifferentSizesMakeACubemapAsWideAsTheWidestAndAsHighAsTheHighest)
{
	const struct
	{
		const char* Path;
		int Width;
		int Height;
	} sides[] = {{"Sky/px.hdr", 4, 2}, {"Sky/nx.hdr", 2, 4}, {"Sky/py.hdr", 3, 3},
	             {"Sky/ny.hdr", 1, 1}, {"Sky/pz.hdr", 2, 2}, {"Sky/nz.hdr", 4, 1}};
	for (const auto& side : sides)
		WriteHdr(EnginePath(side.Path), side.Width, side.Height,
		         std::vector<float>(side.Width * side.Height * 3, 1.0f));

	auto cubemap = std::make_unique<CubemapResource>(SidePaths());
	EXPECT_EQ(cubemap->GetWidth(), 4);
	EXPECT_EQ(cubemap->GetHeight(), 4);
	EXPECT_EQ(cubemap->GetChannels(), 3);
	EXPECT_EQ(Engine.DeviceLog.CubemapWidth, 4u);
	EXPECT_EQ(Engine.DeviceLog.CubemapHeight, 4u);
	EXPECT_EQ(
	    Engine.DeviceLog.CubemapSidesSet,
	    (std::vector<eCubemapSide>{eCubemapSide::POSITIVE_X, eCubemapSide::NEGATIVE_X, eCubemapSide::POSITIVE_Y,
	                               eCubemapSide::NEGATIVE_Y, eCubemapSide::POSITIVE_Z, eCubemapSide::NEGATIVE_Z}));

	// The 1x1 side fills the first texel of its face (bottom-left) and leaves the rest black.
	const std::vector<float>& smallest = Engine.DeviceLog.CubemapFaces[3];
	EXPECT_EQ(std::vector<float>(smallest.begin(), smallest.begin() + 3), (std::vector<float>{1.0f, 1.0f, 1.0f}));
	EXPECT_EQ(std::vector<float>(smallest.begin() + 3, smallest.end()), std::vector<float>(4 * 4 * 3 - 3, 0.0f));
	EXPECT_EQ(cubemap->GetImage(eCubemapSide::POSITIVE_X), nullptr) << "side images are freed once uploaded";
	EXPECT_EQ(Console->GetText(), "[INFO] CubemapResource::CubemapResource path:Sky/nx.hdr\n");

	cubemap.reset();
	EXPECT_EQ(Engine.DeviceLog.LiveProxies, 0);
}

TEST_F(CubemapResourceTest, GreySideIsSpreadOverTheThreeChannelsTheDeviceReads)
{
	for (const char* path : {"Sky/px.hdr", "Sky/nx.hdr", "Sky/py.hdr", "Sky/pz.hdr", "Sky/nz.hdr"})
		WriteHdr(EnginePath(path), 2, 2, std::vector<float>(2 * 2 * 3, 0.5f));
	// The decoder goes by content, not by name: this side is a one-channel PNG.
	WritePng(EnginePath("Sky/ny.hdr"), 2, 2, 1, {255, 255, 255, 255});

	const CubemapResource cubemap(SidePaths());
	EXPECT_EQ(Engine.DeviceLog.CubemapFaces[3], std::vector<float>(2 * 2 * 3, 1.0f));
	EXPECT_EQ(Engine.DeviceLog.CubemapFaces[0], std::vector<float>(2 * 2 * 3, 0.5f));
}

TEST_F(CubemapResourceTest, SideThatCannotBeLoadedThrowsAndCreatesNothingOnTheDevice)
{
	for (const char* path : {"Sky/px.hdr", "Sky/nx.hdr", "Sky/py.hdr", "Sky/ny.hdr", "Sky/nz.hdr"})
		WriteHdr(EnginePath(path), 2, 2, std::vector<float>(2 * 2 * 3, 0.5f));

	EXPECT_THROW(CubemapResource{SidePaths()}, ResourceLoadFailedException);
	EXPECT_TRUE(Engine.DeviceLog.CubemapSidesSet.empty());
	EXPECT_EQ(Engine.DeviceLog.LiveProxies, 0);
	EXPECT_TRUE(Console->Contains("[INFO] Vorn::LoadImageHDR Failed to load: " + EnginePath("Sky/pz.hdr") +
	                              ", reason: can't fopen\n"));
	EXPECT_FALSE(Console->Contains("nz.hdr")) << "loading stops at the first side that fails";
}
