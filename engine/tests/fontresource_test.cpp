#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"
#include "resources/fontresource.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	const char* const FONT_PATH = VORN_GENERATED_ENGINE_ASSETS_PATH "Fonts/Raleway/Raleway-Regular.ttf";

	// A glyph's rectangle in atlas texels, recovered from its record.
	struct TexelRect
	{
		long X = 0;
		long Y = 0;
		long Width = 0;
		long Rows = 0;
	};

	TexelRect ToTexels(const FontGlyph& glyph, std::size_t atlasHeight)
	{
		const float width = static_cast<float>(FontResource::ATLAS_WIDTH);
		const float height = static_cast<float>(atlasHeight);
		return {std::lround(glyph.TextureMinCoord.x * width), std::lround(glyph.TextureMinCoord.y * height),
		        std::lround(glyph.Size.x), std::lround(glyph.Size.y)};
	}

	// True when the two rectangles are at least `gap` texels apart along x or along y.
	bool AreApart(const TexelRect& a, const TexelRect& b, long gap)
	{
		return a.X + a.Width + gap <= b.X || b.X + b.Width + gap <= a.X || a.Y + a.Rows + gap <= b.Y ||
		       b.Y + b.Rows + gap <= a.Y;
	}

	class FontResourceTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Engine.Init();
			Console = std::make_unique<ConsoleCapture>();
		}
		void TearDown() override
		{
			EXPECT_TRUE(Impl::gFontResourcesMap.empty()) << "a test kept a font";
			EXPECT_EQ(Engine.DeviceLog.LiveProxies, 0);
		}

		FontResource* LoadFont(const char* path = FONT_PATH)
		{
			return ResourceManager<FontResource>::Load(path, eResourceSource::NONE);
		}

		int CountErrors() const
		{
			int count = 0;
			for (std::size_t at = Console->GetText().find("[ERROR]"); at != std::string::npos;
			     at = Console->GetText().find("[ERROR]", at + 1))
				++count;
			return count;
		}

		TestEngine Engine;
		std::unique_ptr<ConsoleCapture> Console;
	};
} // namespace

TEST_F(FontResourceTest, EachHeightIsBuiltOnceOnFirstUse)
{
	FontResource* font = LoadFont();
	ASSERT_NE(font, nullptr);
	EXPECT_TRUE(Engine.DeviceLog.Textures.empty()) << "no face before one is asked for";

	const FontResource::FontFace& first = font->GetFace(20);
	const FontResource::FontFace& second = font->GetFace(20);
	EXPECT_EQ(&first, &second);
	ASSERT_EQ(Engine.DeviceLog.Textures.size(), 1u);
	const TestRenderingDeviceLog::TextureRecord& atlas = Engine.DeviceLog.Textures[0];
	EXPECT_EQ(atlas.Width, FontResource::ATLAS_WIDTH);
	EXPECT_EQ(atlas.Height, first.AtlasHeight);
	EXPECT_EQ(atlas.Channels, 1u);
	EXPECT_EQ(atlas.Usage, eTextureUsageType::FONT);

	font->LoadFaces({20, 32, 32});
	EXPECT_EQ(Engine.DeviceLog.Textures.size(), 2u) << "only 32 was new";
	EXPECT_EQ(CountErrors(), 0) << Console->GetText();
	ResourceManager<FontResource>::Release(font);
}

TEST_F(FontResourceTest, GlyphsLieInsideTheAtlasWithEightTexelGapsAndAreUploadedAtTheirPlace)
{
	FontResource* font = LoadFont();
	ASSERT_NE(font, nullptr);
	for (std::size_t height : {8u, 20u, 48u, 96u})
	{
		SCOPED_TRACE(height);
		const std::size_t textureIndex = Engine.DeviceLog.Textures.size();
		const FontResource::FontFace& face = font->GetFace(height);
		ASSERT_NE(face.TextureProxy, nullptr);
		const std::size_t atlasHeight = face.AtlasHeight;
		EXPECT_EQ(atlasHeight & (atlasHeight - 1), 0u) << "a power of two";

		std::vector<TexelRect> rects;
		for (const auto& [character, glyph] : face.Characters)
		{
			if (glyph.Size.x == 0.0f || glyph.Size.y == 0.0f)
				continue;
			const TexelRect rect = ToTexels(glyph, atlasHeight);
			EXPECT_GE(rect.X, 0);
			EXPECT_GE(rect.Y, 0);
			EXPECT_LE(static_cast<std::size_t>(rect.X + rect.Width), FontResource::ATLAS_WIDTH);
			EXPECT_LE(static_cast<std::size_t>(rect.Y + rect.Rows), atlasHeight);
			EXPECT_NEAR(glyph.TextureMaxCoord.x * FontResource::ATLAS_WIDTH, rect.X + rect.Width, 1e-3);
			EXPECT_NEAR(glyph.TextureMaxCoord.y * static_cast<float>(atlasHeight), rect.Y + rect.Rows, 1e-3);
			rects.push_back(rect);
		}
		ASSERT_GT(rects.size(), 90u) << "the printable characters at least";
		for (std::size_t i = 0; i < rects.size(); ++i)
			for (std::size_t j = i + 1; j < rects.size(); ++j)
				ASSERT_TRUE(AreApart(rects[i], rects[j], FontResource::GLYPH_GAP))
				    << "glyphs " << i << " and " << j << " are closer than the gap";

		// Every glyph with texels is uploaded once, at its own place; nothing else is.
		const std::vector<TestRenderingDeviceLog::SubContentRect>& uploads =
		    Engine.DeviceLog.Textures[textureIndex].SubContentRects;
		ASSERT_EQ(uploads.size(), rects.size());
		for (const TestRenderingDeviceLog::SubContentRect& upload : uploads)
		{
			bool isAGlyph = false;
			for (const TexelRect& rect : rects)
				isAGlyph |=
				    static_cast<long>(upload.OffsetX) == rect.X && static_cast<long>(upload.OffsetY) == rect.Y &&
				    static_cast<long>(upload.Width) == rect.Width && static_cast<long>(upload.Height) == rect.Rows;
			EXPECT_TRUE(isAGlyph) << "upload at " << upload.OffsetX << ", " << upload.OffsetY;
		}
	}
	ResourceManager<FontResource>::Release(font);
}

TEST_F(FontResourceTest, SpaceHasAnAdvanceButNoTexelsAndCodesFrom128UpHaveNoGlyph)
{
	FontResource* font = LoadFont();
	ASSERT_NE(font, nullptr);
	const FontResource::FontFace& face = font->GetFace(24);

	const auto space = face.Characters.find(' ');
	ASSERT_NE(space, face.Characters.end());
	EXPECT_EQ(space->second.Size.x, 0.0f);
	EXPECT_EQ(space->second.Size.y, 0.0f);
	EXPECT_GT(space->second.Advance, 0.0f);

	const auto letter = face.Characters.find('M');
	ASSERT_NE(letter, face.Characters.end());
	EXPECT_GT(letter->second.Size.x, 0.0f);
	EXPECT_GT(letter->second.Bearing.y, 0.0f) << "a capital stands on the baseline";
	EXPECT_GE(letter->second.Advance, letter->second.Size.x);

	int glyphsWithTexels = 0;
	for (const auto& [character, glyph] : face.Characters)
	{
		EXPECT_LT(static_cast<unsigned char>(character), 128u);
		if (glyph.Size.x > 0.0f && glyph.Size.y > 0.0f)
			++glyphsWithTexels;
	}
	EXPECT_LE(face.Characters.size(), 128u);
	EXPECT_EQ(Engine.DeviceLog.Textures.back().SetSubContentCalls, glyphsWithTexels);
	ResourceManager<FontResource>::Release(font);
}

TEST_F(FontResourceTest, AFontThatCannotBeUsedLogsOneErrorAndGivesAnEmptyFace)
{
	{
		std::ofstream notAFont("notafont.ttf", std::ios::binary);
		notAFont << "this is no TrueType file";
	}
	struct Case
	{
		const char* Path;
		std::size_t Height;
		const char* Reason;
	};
	const Case cases[] = {
	    {"Fonts/missing.ttf", 16, "Font: Fonts/missing.ttf cannot be used at size 16"},
	    {"notafont.ttf", 16, "Font: notafont.ttf cannot be used at size 16: not a font FreeType can open"},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(testCase.Path);
		Console->Clear();
		FontResource* font = LoadFont(testCase.Path);
		ASSERT_NE(font, nullptr);
		const FontResource::FontFace& face = font->GetFace(testCase.Height);
		EXPECT_EQ(face.TextureProxy, nullptr);
		EXPECT_TRUE(face.Characters.empty());
		EXPECT_EQ(face.AtlasHeight, 0u);
		font->GetFace(testCase.Height);
		EXPECT_EQ(CountErrors(), 1) << Console->GetText();
		EXPECT_TRUE(Console->Contains(testCase.Reason)) << Console->GetText();
		ResourceManager<FontResource>::Release(font);
	}
	EXPECT_TRUE(Engine.DeviceLog.Textures.empty());
}

TEST_F(FontResourceTest, AHeightWhoseGlyphsNeedTooTallAnAtlasIsRefusedWithAnError)
{
	FontResource* font = LoadFont();
	ASSERT_NE(font, nullptr);
	const FontResource::FontFace& face = font->GetFace(512);
	EXPECT_EQ(face.TextureProxy, nullptr);
	EXPECT_TRUE(face.Characters.empty());
	EXPECT_TRUE(Console->Contains("Font: " + std::string(FONT_PATH) + " cannot be used at size 512: its glyphs need"))
	    << Console->GetText();
	EXPECT_TRUE(Engine.DeviceLog.Textures.empty());
	ResourceManager<FontResource>::Release(font);
}

TEST(FontPackingTest, ShelvesFillLeftToRightWithGapsAndStartAnewAtTheAtlasEdge)
{
	using Impl::GlyphBox;
	using Impl::GlyphPlacement;
	struct Case
	{
		const char* Name;
		std::vector<GlyphBox> Boxes;
		std::vector<std::pair<std::size_t, std::size_t>> Places;
		std::size_t ShelvesHeight;
		std::size_t AtlasHeight;
	};
	const Case cases[] = {
	    {"one shelf of glyphs at most 20 rows", {{10, 20}, {30, 12}, {5, 20}}, {{0, 0}, {18, 0}, {56, 0}}, 28, 32},
	    {"a glyph that ends the shelf exactly with its gap", {{496, 4}, {1, 4}}, {{0, 0}, {0, 12}}, 24, 32},
	    {"the next shelf is as high as its own tallest glyph",
	     {{300, 30}, {300, 10}, {100, 10}},
	     {{0, 0}, {0, 38}, {308, 38}},
	     56,
	     64},
	    {"empty glyphs take only the gap", {{0, 0}, {0, 0}}, {{0, 0}, {8, 0}}, 8, 8},
	    {"nothing to pack", {}, {}, 0, 1},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(testCase.Name);
		Dynarray<GlyphBox> boxes;
		for (const GlyphBox& box : testCase.Boxes)
			boxes.PushBack(box);
		Dynarray<GlyphPlacement> placements;
		const std::size_t shelvesHeight = Impl::PackGlyphShelves(boxes, placements);
		EXPECT_EQ(shelvesHeight, testCase.ShelvesHeight);
		EXPECT_EQ(Impl::AtlasHeightFor(shelvesHeight), testCase.AtlasHeight);
		ASSERT_EQ(placements.GetSize(), testCase.Places.size());
		for (std::size_t i = 0; i < testCase.Places.size(); ++i)
		{
			EXPECT_EQ(placements[i].X, testCase.Places[i].first) << "glyph " << i;
			EXPECT_EQ(placements[i].Y, testCase.Places[i].second) << "glyph " << i;
		}
	}
}

TEST(FontPackingDeathTest, AGlyphWiderThanAnEmptyShelfIsAProgrammingError)
{
	Dynarray<Impl::GlyphBox> boxes;
	boxes.PushBack({505, 10});
	Dynarray<Impl::GlyphPlacement> placements;
	EXPECT_DEATH(Impl::PackGlyphShelves(boxes, placements), "Texture packing for font failed!");
}
