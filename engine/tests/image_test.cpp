#include "fixtures/consolecapture.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "fixtures/testimages.hpp"
#include "resources/image.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	class ImageTest : public ::testing::Test
	{
	protected:
		TempWorkingDirectory Directory;
		ConsoleCapture Console;
	};

	// A Radiance file by hand: header, one 8-pixel row that starts like run-length data, then `rowData`.
	std::string RadianceRow(const std::string& rowData)
	{
		return std::string("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 1 +X 8\n") + std::string("\x02\x02\x00\x08", 4) +
		       rowData;
	}
} // namespace

TEST_F(ImageTest, PixelsArriveBottomRowFirstWithTheRequestedChannelCount)
{
	// One column, red on top of blue.
	WritePng("column.png", 1, 2, 3, {255, 0, 0, 0, 0, 255});

	int width = 0, height = 0, channels = 0;
	unsigned char* data = LoadImage("column.png", &width, &height, &channels, 4);
	ASSERT_NE(data, nullptr);
	EXPECT_EQ(width, 1);
	EXPECT_EQ(height, 2);
	EXPECT_EQ(channels, 3) << "the file's own count";
	EXPECT_EQ(std::vector<unsigned char>(data, data + 8), (std::vector<unsigned char>{0, 0, 255, 255, 255, 0, 0, 255}));
	FreeImage(data);
	EXPECT_EQ(Console.GetText(), "");
}

TEST_F(ImageTest, RadianceFileDecodesToThreeFloatsPerPixelBottomRowFirst)
{
	// Values whose shared-exponent encoding is exact.
	WriteHdr("sky.hdr", 1, 2, {1.0f, 2.0f, 4.0f, 0.5f, 0.25f, 8.0f});

	int width = 0, height = 0, channels = 0;
	float* data = LoadImageHDR("sky.hdr", &width, &height, &channels);
	ASSERT_NE(data, nullptr);
	EXPECT_EQ(width, 1);
	EXPECT_EQ(height, 2);
	EXPECT_EQ(channels, 3);
	EXPECT_EQ(std::vector<float>(data, data + 6), (std::vector<float>{0.5f, 0.25f, 8.0f, 1.0f, 2.0f, 4.0f}));
	FreeImageHDR(data);
	EXPECT_EQ(Console.GetText(), "");
}

TEST_F(ImageTest, RadianceFileGivenToTheByteLoaderIsConvertedWithAWarning)
{
	WriteHdr("bright.hdr", 1, 1, {4.0f, 1.0f, 0.0f});

	int width = 0, height = 0, channels = 0;
	unsigned char* data = LoadImage("bright.hdr", &width, &height, &channels, 3);
	ASSERT_NE(data, nullptr);
	EXPECT_EQ(data[0], 255) << "above 1 clamps to white";
	EXPECT_EQ(data[1], 255);
	EXPECT_EQ(data[2], 0);
	FreeImage(data);
	EXPECT_EQ(Console.GetText(),
	          "[WARNING] Vorn::LoadImageHDR HDR file spotted, scalling to LDR and gamma change may appear!\n");
}

TEST_F(ImageTest, ByteImageGivenToTheFloatLoaderKeepsItsChannelsAndIsLinearisedWithAWarning)
{
	WritePng("grey-alpha.png", 1, 1, 2, {128, 255});

	int width = 0, height = 0, channels = 0;
	float* data = LoadImageHDR("grey-alpha.png", &width, &height, &channels);
	ASSERT_NE(data, nullptr);
	EXPECT_EQ(channels, 2);
	EXPECT_NEAR(data[0], std::pow(128.0f / 255.0f, 2.2f), 1e-5f);
	EXPECT_FLOAT_EQ(data[1], 1.0f) << "alpha stays linear";
	FreeImageHDR(data);
	EXPECT_EQ(Console.GetText(),
	          "[WARNING] Vorn::LoadImageHDR LDR file spotted, scalling to HDR and gamma change may appear!\n");
}

TEST_F(ImageTest, FilesThatCannotBeDecodedLogTheLoaderThePathAndTheReason)
{
	WritePng("whole.png", 16, 16, 3, NoisyPixels(16 * 16 * 3));
	const std::string png = ReadFile("whole.png");
	WriteFile("truncated.png", png.substr(0, png.size() / 2));
	WriteFile("text.png", "not an image at all\n");
	WriteHdr("whole.hdr", 16, 4, std::vector<float>(16 * 4 * 3, 0.75f));
	const std::string hdr = ReadFile("whole.hdr");
	WriteFile("truncated.hdr", hdr.substr(0, hdr.size() - 10));
	// A zero count in run-length data would keep the decoder from ever advancing.
	WriteFile("zero-run.hdr", RadianceRow(std::string("\x00", 1)));
	WriteFile("empty.hdr", "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 0 +X 4\n");

	const struct
	{
		const char* Path;
		bool IsFloatLoader;
		std::string ExpectedLog;
	} cases[] = {
	    {"missing.png", false, "[INFO] Vorn::LoadImage Failed to load: missing.png, reason: can't fopen\n"},
	    {"text.png", false, "[INFO] Vorn::LoadImage Failed to load: text.png, reason: unknown image type\n"},
	    {"truncated.png", false, "[INFO] Vorn::LoadImage Failed to load: truncated.png, reason: outofdata\n"},
	    {"missing.hdr", true,
	     "[WARNING] Vorn::LoadImageHDR LDR file spotted, scalling to HDR and gamma change may appear!\n"
	     "[INFO] Vorn::LoadImageHDR Failed to load: missing.hdr, reason: can't fopen\n"},
	    {"truncated.hdr", true,
	     "[INFO] Vorn::LoadImageHDR Failed to load: truncated.hdr, reason: truncated HDR data\n"},
	    {"zero-run.hdr", true,
	     "[INFO] Vorn::LoadImageHDR Failed to load: zero-run.hdr, reason: zero-length run in HDR data\n"},
	    {"empty.hdr", true, "[INFO] Vorn::LoadImageHDR Failed to load: empty.hdr, reason: empty image\n"},
	    {"zero-run.hdr", false,
	     "[WARNING] Vorn::LoadImageHDR HDR file spotted, scalling to LDR and gamma change may appear!\n"
	     "[INFO] Vorn::LoadImage Failed to load: zero-run.hdr, reason: zero-length run in HDR data\n"},
	};
	for (const auto& c : cases)
	{
		Console.Clear();
		int width = 0, height = 0, channels = 0;
		if (c.IsFloatLoader)
			EXPECT_EQ(LoadImageHDR(c.Path, &width, &height, &channels), nullptr) << c.Path;
		else
			EXPECT_EQ(LoadImage(c.Path, &width, &height, &channels, 4), nullptr) << c.Path;
		EXPECT_EQ(Console.GetText(), c.ExpectedLog) << c.Path;
	}
}

TEST_F(ImageTest, RunLengthDataThatFillsItsRowExactlyIsDecoded)
{
	// Each of the four components: a run of 8 (0x88) of one value; the guard against bad rows lets it through.
	WriteFile("runs.hdr", RadianceRow(std::string("\x88\x80\x88\x40\x88\x20\x88\x81", 8)));

	int width = 0, height = 0, channels = 0;
	float* data = LoadImageHDR("runs.hdr", &width, &height, &channels);
	ASSERT_NE(data, nullptr) << Console.GetText();
	EXPECT_EQ(width, 8);
	EXPECT_EQ(height, 1);
	EXPECT_FLOAT_EQ(data[0], 1.0f);
	EXPECT_FLOAT_EQ(data[1], 0.5f);
	EXPECT_FLOAT_EQ(data[2], 0.25f);
	FreeImageHDR(data);
}
