#include "renderers/overlays/overlays.hpp"

#include "debugdrawing/debugdrawstateworldcomponent.hpp"
#include "debugdrawing/debugdrawsystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/deferredtaskworldcomponent.hpp"
#include "ecs/world.hpp"
#include "fixtures/consolecapture.hpp"
#include "glshaderprogram.hpp"
#include "math/angle.hpp"
#include "renderers/sceneview.hpp"
#include "renderers/tiled/tiledforwardrenderer.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/camera/camerasystem.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "resources/fontresource.hpp"
#include "support/enginedevicetest.hpp"
#include "support/framegrabbing.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr int SCREEN_WIDTH = 256;
	constexpr int SCREEN_HEIGHT = 144;
	constexpr const char* FONT_PATH = DebugDrawSystem::DEBUG_FONT_PATH;
	// Mid grey: 0.5 leaves gamma correction as 0.5^(1/2.2), about 186 of 255.
	const Color HALF_RED(0.5f, 0.0f, 0.0f, 1.0f);
	const Color HALF_GREY(0.5f, 0.5f, 0.5f, 1.0f);
	constexpr int GAMMA_CORRECTED_HALF = 186;

	// Where the test text and line land: the text's baseline starts at (20, 60); the line crosses the middle row.
	constexpr int TEXT_X = 20;
	constexpr int TEXT_Y = 60;
	constexpr int LINE_ROW = SCREEN_HEIGHT / 2;

	struct Box
	{
		int MinX, MinY, MaxX, MaxY; // inclusive
	};
	constexpr Box TEXT_BOX = {TEXT_X, TEXT_Y - 2, TEXT_X + 120, TEXT_Y + 30};
	constexpr Box LINE_BOX = {SCREEN_WIDTH / 2 - 4, LINE_ROW - 3, SCREEN_WIDTH / 2 + 4, LINE_ROW + 3};

	// The largest value of one channel inside the box.
	int MaxChannel(const Frame& frame, const Box& box, int channel)
	{
		int result = 0;
		for (int y = box.MinY; y <= box.MaxY; ++y)
			for (int x = box.MinX; x <= box.MaxX; ++x)
				result = std::max(result, static_cast<int>(frame.At(x, y)[static_cast<std::size_t>(channel)]));
		return result;
	}

	// A colour texture of the fixture's size behind a framebuffer, cleared to black.
	class ColorTarget
	{
	public:
		ColorTarget()
		{
			glGenTextures(1, &Texture);
			glBindTexture(GL_TEXTURE_2D, Texture);
			glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, SCREEN_WIDTH, SCREEN_HEIGHT, 0, GL_RGBA, GL_UNSIGNED_BYTE,
			             nullptr);
			glBindTexture(GL_TEXTURE_2D, 0);
			Framebuffer = OffscreenDrawing::BindColorTexture(Texture, {0.0f, 0.0f, 0.0f, 1.0f});
			glBindFramebuffer(GL_FRAMEBUFFER, 0);
		}
		~ColorTarget()
		{
			glDeleteFramebuffers(1, &Framebuffer);
			glDeleteTextures(1, &Texture);
		}
		ColorTarget(const ColorTarget&) = delete;
		ColorTarget& operator=(const ColorTarget&) = delete;

		u32 GetFramebuffer() const { return Framebuffer; }
		Frame Read() const { return OffscreenDrawing::ReadTexture(Texture); }

	private:
		GLuint Texture = 0;
		GLuint Framebuffer = 0;
	};

	class OverlaysTest : public EngineDeviceTest<SCREEN_WIDTH, SCREEN_HEIGHT>
	{
	protected:
		void SetUp() override
		{
			EngineDeviceTest::SetUp();
			ASSERT_FALSE(HasFatalFailure());
			// The texts use the engine font the build laid out.
			const std::filesystem::path fonts =
			    EvaluateFullResourcePath(eResourceSource::ENGINE, "Fonts").GetStdString();
			std::filesystem::create_directories(fonts);
			std::filesystem::copy(VORN_ENGINE_ASSETS_PATH "Fonts", fonts,
			                      std::filesystem::copy_options::recursive |
			                          std::filesystem::copy_options::overwrite_existing);

			Entity* cameraEntity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			Camera = DeferredTaskSystem::AddComponentImmediate<CameraComponent>(
			    GetWorld(), cameraEntity, Angle::FromDegrees(60.0f), 0.1f, 100.0f);
			GetWorld()->GetWorldComponent<ViewportWorldComponent>()->SetCamera(0, Camera);
			CameraSystem::CameraUpdatePhase(GetWorld());
		}

		ScreenSpaceTextComponent* AddText(World* world, const char* text, const Color& color,
		                                  const char* font = FONT_PATH)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
			return DeferredTaskSystem::AddComponentImmediate<ScreenSpaceTextComponent>(
			    world, entity, Vector2i(TEXT_X, TEXT_Y), font, eResourceSource::ENGINE, 32, text, color);
		}

		// A line across the screen's middle row, 5 units in front of the camera.
		void AddLine(World* world, const Color& color, float height = 0.0f) const
		{
			auto* state = world->GetWorldComponent<DebugDrawStateWorldComponent>();
			state->DebugLines.PushBack({Vector3f(-10.0f, height, -5.0f), Vector3f(10.0f, height, -5.0f)});
			state->DebugLinesColors.PushBack({color, color});
		}

		DebugDrawStateWorldComponent* GetDebugState() const
		{
			return GetWorld()->GetWorldComponent<DebugDrawStateWorldComponent>();
		}

		// Replaces the device's renderer with one whose frames the test sees.
		void UseFrameGrabbingRenderer()
		{
			RenderingDevice->SetRenderer(
			    std::make_unique<FrameGrabbingRenderer<TiledForwardRenderer>>(RenderingDevice, &LastFrame));
		}

		CameraComponent* Camera = nullptr;
		Frame LastFrame;
	};

	// The overlay steps on their own, with the device's programs, into a framebuffer of the test.
	class OverlayStepsTest : public OverlaysTest
	{
	protected:
		void SetUp() override
		{
			OverlaysTest::SetUp();
			ASSERT_FALSE(HasFatalFailure());
			DebugShaderProgram =
			    std::make_unique<GLShaderProgram>("Shaders/debug.vert.glsl", "Shaders/debug.frag.glsl");
			TextShaderProgram =
			    std::make_unique<GLShaderProgram>("Shaders/text2D.vert.glsl", "Shaders/text2D.frag.glsl");
			Target = std::make_unique<ColorTarget>();
		}
		void TearDown() override
		{
			Target.reset();
			OverlaysTest::TearDown();
		}

		GLShaderProgram& DebugShader() { return *DebugShaderProgram; }
		GLShaderProgram& TextShader() { return *TextShaderProgram; }
		const ColorTarget& GetTarget() const { return *Target; }

	private:
		std::unique_ptr<GLShaderProgram> DebugShaderProgram;
		std::unique_ptr<GLShaderProgram> TextShaderProgram;
		std::unique_ptr<ColorTarget> Target;
	};
} // namespace

TEST_F(OverlayStepsTest, ThreeLinesDrawSixVerticesAndAreThenRemoved)
{
	for (float height : {-0.5f, 0.0f, 0.5f})
		AddLine(GetWorld(), Color::RED, height);
	const Viewport& viewport = GetWorld()->GetWorldComponent<ViewportWorldComponent>()->GetViewports().at(0);
	const SceneView view(GetWorld(), viewport);

	GLuint query = 0;
	glGenQueries(1, &query);
	glBeginQuery(GL_PRIMITIVES_GENERATED, query);
	Overlays::DrawDebugLines(DebugShader(), GetTarget().GetFramebuffer(), view.WorldData, *view.CameraCmp);
	glEndQuery(GL_PRIMITIVES_GENERATED);
	GLuint lines = 0;
	glGetQueryObjectuiv(query, GL_QUERY_RESULT, &lines);
	glDeleteQueries(1, &query);

	EXPECT_EQ(lines, 3u) << "six vertices as lines";
	EXPECT_TRUE(GetDebugState()->DebugLines.IsEmpty());
	EXPECT_TRUE(GetDebugState()->DebugLinesColors.IsEmpty());
	EXPECT_EQ(MaxChannel(GetTarget().Read(), LINE_BOX, 0), 255) << "the middle line crosses the centre";
	EXPECT_EQ(MaxChannel(GetTarget().Read(), LINE_BOX, 1), 0);
	EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(OverlayStepsTest, AWorldWithoutDebugStateDrawsNoLinesAndStillDrawsItsTexts)
{
	World bare;
	bare.AddWorldComponent<ViewportWorldComponent>();
	bare.AddWorldComponent<DeferredTaskWorldComponent>();
	auto* viewports = bare.GetWorldComponent<ViewportWorldComponent>();
	viewports->SetCamera(0, Camera);
	AddText(&bare, "HHHH", Color::WHITE);
	const SceneView view(&bare, viewports->GetViewports().at(0));

	Overlays::DrawDebugLines(DebugShader(), GetTarget().GetFramebuffer(), view.WorldData, *view.CameraCmp);
	EXPECT_EQ(MaxChannel(GetTarget().Read(), LINE_BOX, 0), 0);
	Overlays::DrawScreenTexts(TextShader(), GetTarget().GetFramebuffer(), view.WorldData, view.Rect,
	                          RenderingDevice->GetScreenSize());
	const Frame frame = GetTarget().Read();
	EXPECT_EQ(MaxChannel(frame, TEXT_BOX, 0), 255);
	EXPECT_EQ(frame.Sum(),
	          [&]
	          {
		          long sum = 0;
		          for (int y = TEXT_BOX.MinY; y <= TEXT_BOX.MaxY; ++y)
			          for (int x = TEXT_BOX.MinX; x <= TEXT_BOX.MaxX; ++x)
				          sum += Brightness(frame.At(x, y));
		          return sum;
	          }())
	    << "every text pixel lies where the text was placed";
	EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(OverlayStepsTest, TextsWithoutLettersOrWithoutAUsableFontDrawNothing)
{
	VornTests::ConsoleCapture console;
	ScreenSpaceTextComponent* blanked = AddText(GetWorld(), "shown first", Color::WHITE);
	AddText(GetWorld(), "   ", Color::WHITE);
	AddText(GetWorld(), "lost", Color::WHITE, "Fonts/NoSuchFont.ttf");
	const SceneView view(GetWorld(), GetWorld()->GetWorldComponent<ViewportWorldComponent>()->GetViewports().at(0));

	Overlays::DrawScreenTexts(TextShader(), GetTarget().GetFramebuffer(), view.WorldData, view.Rect,
	                          RenderingDevice->GetScreenSize());
	EXPECT_GT(GetTarget().Read().Sum(), 0);

	blanked->SetText("");
	glBindFramebuffer(GL_FRAMEBUFFER, GetTarget().GetFramebuffer());
	glClear(GL_COLOR_BUFFER_BIT);
	Overlays::DrawScreenTexts(TextShader(), GetTarget().GetFramebuffer(), view.WorldData, view.Rect,
	                          RenderingDevice->GetScreenSize());
	EXPECT_EQ(GetTarget().Read().Sum(), 0) << "an emptied text no longer shows its old letters";
	EXPECT_TRUE(console.Contains("[ERROR] Font: ")) << console.GetText();
	EXPECT_TRUE(console.Contains("NoSuchFont.ttf cannot be used at size 32")) << console.GetText();
	EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(OverlaysTest, LinesAndTextsShowOverTheToneMappedImageAndAreGammaCorrected)
{
	UseFrameGrabbingRenderer();
	AddText(GetWorld(), "HHHH", HALF_GREY);
	auto* settings =
	    DeferredTaskSystem::AddComponentImmediate<PostprocessSettingsComponent>(GetWorld(), Camera->GetOwner());

	std::vector<Frame> frames;
	for (float exposure : {1.0f, 4.0f})
	{
		SCOPED_TRACE(exposure);
		settings->Exposure = exposure;
		AddLine(GetWorld(), HALF_RED);
		CameraSystem::CameraUpdatePhase(GetWorld());
		RenderingDevice->RenderWorld(GetWorld());
		EXPECT_TRUE(GetDebugState()->DebugLines.IsEmpty()) << "lines last one frame";

		EXPECT_NEAR(MaxChannel(LastFrame, LINE_BOX, 0), GAMMA_CORRECTED_HALF, 2);
		EXPECT_EQ(MaxChannel(LastFrame, LINE_BOX, 1), 0);
		for (int channel = 0; channel < 3; ++channel)
			EXPECT_NEAR(MaxChannel(LastFrame, TEXT_BOX, channel), GAMMA_CORRECTED_HALF, 2);
		frames.push_back(LastFrame);
	}
	EXPECT_EQ(frames[0].Bytes, frames[1].Bytes) << "exposure does not touch the overlays";
}

TEST_F(OverlaysTest, OnlyTheFirstViewportDrawsTheFramesLines)
{
	auto* viewports = GetWorld()->GetWorldComponent<ViewportWorldComponent>();
	const u64 second = viewports->AddViewport(AARect(Vector2f(0.0f, 0.0f), Vector2f(1.0f, 1.0f)));
	viewports->SetCamera(second, Camera);

	std::vector<Frame> frames;
	RenderingDevice->SetRenderer(std::make_unique<FrameGrabbingRenderer<TiledForwardRenderer>>(
	    RenderingDevice, &LastFrame, [&frames](const Frame& frame) { frames.push_back(frame); }));
	AddText(GetWorld(), "HHHH", Color::WHITE);
	AddLine(GetWorld(), Color::RED);
	CameraSystem::CameraUpdatePhase(GetWorld());
	RenderingDevice->RenderWorld(GetWorld());

	ASSERT_EQ(frames.size(), 2u);
	EXPECT_EQ(MaxChannel(frames[0], LINE_BOX, 0), 255);
	EXPECT_EQ(MaxChannel(frames[1], LINE_BOX, 0), 0);
	EXPECT_EQ(MaxChannel(frames[0], TEXT_BOX, 1), 255) << "texts show in every viewport";
	EXPECT_EQ(MaxChannel(frames[1], TEXT_BOX, 1), 255);
}

TEST_F(OverlaysTest, AtlasHoldsEachGlyphBitmapAtItsPlace)
{
	constexpr std::size_t HEIGHT = 24;
	FontResource* font = ResourceManager<FontResource>::Load(FONT_PATH, eResourceSource::ENGINE);
	const FontResource::FontFace& face = font->GetFace(HEIGHT);
	ASSERT_NE(face.TextureProxy, nullptr);
	const std::size_t atlasWidth = FontResource::ATLAS_WIDTH;
	std::vector<u8> atlas(atlasWidth * face.AtlasHeight);
	glBindTexture(GL_TEXTURE_2D, face.TextureProxy->GetResourceID());
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, atlas.data());
	glBindTexture(GL_TEXTURE_2D, 0);

	// The bitmaps rasterised again, by FreeType directly.
	FT_Library library = nullptr;
	ASSERT_EQ(FT_Init_FreeType(&library), 0);
	FT_Face ftFace = nullptr;
	const std::string path = EvaluateFullResourcePath(eResourceSource::ENGINE, FONT_PATH).GetStdString();
	ASSERT_EQ(FT_New_Face(library, path.c_str(), 0, &ftFace), 0);
	ASSERT_EQ(FT_Set_Pixel_Sizes(ftFace, 0, HEIGHT), 0);

	int checkedGlyphs = 0;
	for (const auto& [character, glyph] : face.Characters)
	{
		if (glyph.Size.x == 0.0f)
			continue;
		ASSERT_EQ(FT_Load_Char(ftFace, static_cast<unsigned char>(character), FT_LOAD_RENDER), 0);
		const FT_Bitmap& bitmap = ftFace->glyph->bitmap;
		ASSERT_EQ(bitmap.width, static_cast<unsigned int>(glyph.Size.x));
		ASSERT_EQ(bitmap.rows, static_cast<unsigned int>(glyph.Size.y));
		const std::size_t left = static_cast<std::size_t>(std::lround(glyph.TextureMinCoord.x * atlasWidth));
		const std::size_t top =
		    static_cast<std::size_t>(std::lround(glyph.TextureMinCoord.y * static_cast<float>(face.AtlasHeight)));
		int mismatches = 0;
		for (unsigned int row = 0; row < bitmap.rows; ++row)
			for (unsigned int column = 0; column < bitmap.width; ++column)
				mismatches += atlas[(top + row) * atlasWidth + left + column] !=
				              bitmap.buffer[row * static_cast<unsigned int>(bitmap.pitch) + column];
		EXPECT_EQ(mismatches, 0) << "glyph " << static_cast<int>(character);
		++checkedGlyphs;
	}
	EXPECT_GT(checkedGlyphs, 90);
	FT_Done_Face(ftFace);
	FT_Done_FreeType(library);
	ResourceManager<FontResource>::Release(font);
}
