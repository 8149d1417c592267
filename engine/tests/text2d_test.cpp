#include "ecs/world.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"
#include "resources/fontresource.hpp"
#include "text/screenspacetextcomponent.hpp"
#include "text/text2d.hpp"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	const char* const FONT_PATH = VORN_GENERATED_ENGINE_ASSETS_PATH "Fonts/Raleway/Raleway-Regular.ttf";

	FontGlyph MakeGlyph(float bearingX, float bearingY, float width, float rows, float advance)
	{
		FontGlyph glyph;
		glyph.Bearing = Vector(bearingX, bearingY, 0.0f);
		glyph.Size = Vector(width, rows, 0.0f);
		glyph.Advance = advance;
		return glyph;
	}

	struct ExpectedLetter
	{
		float PosX;
		float PosY;
		float SizeX;
		float SizeY;
	};

	class Text2DTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Engine.Init();
			Console = std::make_unique<ConsoleCapture>();
		}
		void TearDown() override
		{
			EXPECT_TRUE(Impl::gFontResourcesMap.empty()) << "a text kept its font";
			EXPECT_EQ(Engine.DeviceLog.LiveProxies, 0);
		}

		int TextSetCalls() const { return Engine.DeviceLog.TextSetCalls; }

		TestEngine Engine;
		std::unique_ptr<ConsoleCapture> Console;
	};
} // namespace

TEST(Text2DLayoutTest, LettersFollowThePenFromTheBearingsAndAdvances)
{
	std::map<char, FontGlyph> glyphs;
	glyphs['a'] = MakeGlyph(1.0f, 10.0f, 8.0f, 10.0f, 9.0f);
	glyphs['b'] = MakeGlyph(2.0f, 7.0f, 5.0f, 7.0f, 6.0f);
	glyphs['g'] = MakeGlyph(0.0f, 3.0f, 4.0f, 7.0f, 5.0f);
	glyphs[' '] = MakeGlyph(0.0f, 0.0f, 0.0f, 0.0f, 4.0f);

	struct Case
	{
		const char* Text;
		std::vector<ExpectedLetter> Letters;
	};
	const Case cases[] = {
	    {"ab", {{1.0f, 0.0f, 8.0f, 10.0f}, {11.0f, 0.0f, 5.0f, 7.0f}}},
	    {"a b", {{1.0f, 0.0f, 8.0f, 10.0f}, {15.0f, 0.0f, 5.0f, 7.0f}}},
	    {"   ", {}},
	    {"", {}},
	    {"a\x80"
	     "b",
	     {{1.0f, 0.0f, 8.0f, 10.0f}, {11.0f, 0.0f, 5.0f, 7.0f}}},
	    {"zb", {{2.0f, 0.0f, 5.0f, 7.0f}}},
	    {"g", {{0.0f, -4.0f, 4.0f, 7.0f}}},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(testCase.Text);
		Dynarray<TextFieldLetter> letters;
		Impl::LayOutLetters(glyphs, testCase.Text, letters);
		ASSERT_EQ(letters.GetSize(), testCase.Letters.size());
		for (std::size_t i = 0; i < testCase.Letters.size(); ++i)
		{
			EXPECT_EQ(letters[i].PosX, testCase.Letters[i].PosX) << "letter " << i;
			EXPECT_EQ(letters[i].PosY, testCase.Letters[i].PosY) << "letter " << i;
			EXPECT_EQ(letters[i].SizeX, testCase.Letters[i].SizeX) << "letter " << i;
			EXPECT_EQ(letters[i].SizeY, testCase.Letters[i].SizeY) << "letter " << i;
		}
	}
}

TEST(Text2DLayoutTest, LettersTakeTheGlyphsAtlasCoordinates)
{
	std::map<char, FontGlyph> glyphs;
	glyphs['x'] = MakeGlyph(0.0f, 5.0f, 5.0f, 5.0f, 6.0f);
	glyphs['x'].TextureMinCoord = Vector(0.25f, 0.5f, 0.0f);
	glyphs['x'].TextureMaxCoord = Vector(0.375f, 0.75f, 0.0f);
	Dynarray<TextFieldLetter> letters;
	Impl::LayOutLetters(glyphs, "x", letters);
	ASSERT_EQ(letters.GetSize(), 1u);
	EXPECT_EQ(letters[0].MinU, 0.25f);
	EXPECT_EQ(letters[0].MaxU, 0.375f);
	EXPECT_EQ(letters[0].MinV, 0.5f);
	EXPECT_EQ(letters[0].MaxV, 0.75f);
}

TEST_F(Text2DTest, LettersAreRebuiltOnlyAfterTheTextSizeOrFontChanged)
{
	Text2D text(FONT_PATH, eResourceSource::NONE, 20, "Vorn", Color::WHITE);
	EXPECT_TRUE(Impl::gFontResourcesMap.empty()) << "the font is loaded by the first rebuild";
	EXPECT_EQ(text.GetTextFieldBuffer(), nullptr);
	EXPECT_EQ(text.GetFontTextureProxy(), nullptr);

	text.UpdateDeviceBuffers();
	EXPECT_EQ(TextSetCalls(), 1);
	ASSERT_NE(text.GetTextFieldBuffer(), nullptr);
	EXPECT_EQ(text.GetTextFieldBuffer()->GetResourceSize(), 4u);
	EXPECT_NE(text.GetFontTextureProxy(), nullptr);

	struct Step
	{
		const char* Name;
		void (*Change)(Text2D&);
		int SetTextCalls;
	};
	const Step steps[] = {
	    {"nothing changed", [](Text2D&) {}, 1},
	    {"only the colour", [](Text2D& t) { t.SetFontColor(Color::RED); }, 1},
	    {"the text, twice",
	     [](Text2D& t)
	     {
		     t.SetText("A");
		     t.SetText("AB");
	     },
	     2},
	    {"the same text again", [](Text2D& t) { t.SetText("AB"); }, 2},
	    {"the size", [](Text2D& t) { t.SetFontSize(32); }, 3},
	    {"the font", [](Text2D& t) { t.SetFont(FONT_PATH, eResourceSource::NONE); }, 4},
	};
	for (const Step& step : steps)
	{
		SCOPED_TRACE(step.Name);
		step.Change(text);
		text.UpdateDeviceBuffers();
		EXPECT_EQ(TextSetCalls(), step.SetTextCalls);
	}
	EXPECT_EQ(Engine.DeviceLog.LastText.size(), 2u);
	EXPECT_EQ(Impl::gFontResourcesMap.size(), 1u) << "SetFont gave back the reference it replaced";
	EXPECT_EQ(Engine.DeviceLog.Textures.size(), 2u) << "faces of sizes 20 and 32";
}

TEST_F(Text2DTest, ATextWithoutLettersClearsWhatAnEarlierTextShowed)
{
	for (const char* blank : {"", "    "})
	{
		SCOPED_TRACE(std::string("'") + blank + "'");
		ScreenSpaceTextComponent component(Vector2i(10, 20), FONT_PATH, eResourceSource::NONE, 16, "shown",
		                                   Color::WHITE);
		component.GetText().UpdateDeviceBuffers();
		ASSERT_NE(component.GetText().GetTextFieldBuffer(), nullptr);
		const int liveProxies = Engine.DeviceLog.LiveProxies;

		component.SetText(blank);
		component.GetText().UpdateDeviceBuffers();
		EXPECT_EQ(component.GetText().GetTextFieldBuffer(), nullptr);
		EXPECT_EQ(Engine.DeviceLog.LiveProxies, liveProxies - 1);

		component.SetText("again");
		component.GetText().UpdateDeviceBuffers();
		ASSERT_NE(component.GetText().GetTextFieldBuffer(), nullptr);
		EXPECT_EQ(component.GetText().GetTextFieldBuffer()->GetResourceSize(), 5u);
	}
}

TEST_F(Text2DTest, ATextInAFontThatCannotBeUsedDrawsNothing)
{
	Text2D text("Fonts/none.ttf", eResourceSource::NONE, 16, "lost", Color::WHITE);
	text.UpdateDeviceBuffers();
	text.SetText("still lost");
	text.UpdateDeviceBuffers();
	EXPECT_EQ(text.GetTextFieldBuffer(), nullptr);
	EXPECT_EQ(text.GetFontTextureProxy(), nullptr);
	EXPECT_EQ(TextSetCalls(), 0);
	EXPECT_TRUE(Console->Contains("[ERROR] Font: Fonts/none.ttf cannot be used at size 16")) << Console->GetText();
}

TEST_F(Text2DTest, TooLongTextsAndTooLargeSizesAreClampedWithAWarning)
{
	const std::string longText(Text2D::MAX_TEXT_LENGTH + 10, 'x');
	struct Case
	{
		const char* Name;
		std::string Text;
		std::size_t Size;
		u64 KeptLength;
		std::size_t KeptSize;
		const char* Warning;
	};
	const Case cases[] = {
	    {"at the limits", std::string(Text2D::MAX_TEXT_LENGTH, 'x'), Text2D::MAX_FONT_SIZE, Text2D::MAX_TEXT_LENGTH,
	     Text2D::MAX_FONT_SIZE, nullptr},
	    {"too long", longText, 16, Text2D::MAX_TEXT_LENGTH, 16,
	     "[WARNING] Text2D: a text of 4106 characters is longer than 4096; only the first 4096 are kept"},
	    {"too large", "x", 100000, 1, Text2D::MAX_FONT_SIZE,
	     "[WARNING] Text2D: font size 100000 is larger than 512; 512 is used"},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(testCase.Name);
		for (int viaSetters = 0; viaSetters < 2; ++viaSetters)
		{
			Console->Clear();
			Text2D text(FONT_PATH, eResourceSource::NONE, viaSetters ? 16 : testCase.Size,
			            viaSetters ? "" : testCase.Text.c_str(), Color::WHITE);
			if (viaSetters)
			{
				text.SetText(testCase.Text.c_str());
				text.SetFontSize(testCase.Size);
			}
			EXPECT_EQ(text.GetText().GetLength(), testCase.KeptLength);
			EXPECT_EQ(text.GetFontSize(), testCase.KeptSize);
			if (testCase.Warning)
				EXPECT_TRUE(Console->Contains(testCase.Warning)) << Console->GetText();
			else
				EXPECT_FALSE(Console->Contains("[WARNING]")) << Console->GetText();
		}
	}
}
