#include "resources/fontresource.hpp"

#include "engine.hpp"
#include "io/regularfile.hpp"
#include "rendering/irenderingdevice.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <exception>

VORN_DEFINE_RESOURCE_REGISTRY(FontResource, gFontResourcesMap)

namespace Vorn
{
	namespace
	{
		// Every OpenGL 4.3 device takes textures this high; a face needing a taller atlas is refused.
		constexpr std::size_t MAX_ATLAS_HEIGHT = 16384;

		// One library for every font of the process, made with the first font and kept until the process ends.
		FT_Library GetFreeTypeLibrary()
		{
			static FT_Library library = []
			{
				FT_Library created = nullptr;
				VORN_CHECK(FT_Init_FreeType(&created) == 0, "Freetype initialization failed!");
				return created;
			}();
			return library;
		}

		struct SurveyedGlyph
		{
			char Character = 0;
			Impl::GlyphBox Box;
		};

		// The glyph slot holds an 8-bit grey bitmap of the character afterwards.
		void RenderAsBitmap(FT_GlyphSlot slot)
		{
			if (slot->format != FT_GLYPH_FORMAT_BITMAP)
				FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL);
		}
	} // namespace

	FontResource::FontResource(const String& path) : FontPath(path)
	{
		GetFreeTypeLibrary();
		gConsole.LogDebug("Font: {} loaded sucesfully!", FontPath);
	}

	FontResource::~FontResource()
	{
		for (auto& [height, face] : Faces)
		{
			if (face.FTFace)
				FT_Done_Face(face.FTFace);
		}
		Faces.clear();
	}

	const FontResource::FontFace& FontResource::GetFace(std::size_t height) const
	{
		auto found = Faces.find(height);
		if (found == Faces.end())
		{
			LoadFace(height);
			found = Faces.find(height);
		}
		VORN_CHECK(found != Faces.end(), "Face not loaded!?");
		return found->second;
	}

	void FontResource::LoadFaces(std::initializer_list<std::size_t> heights) const
	{
		for (std::size_t height : heights)
			LoadFace(height);
	}

	void FontResource::LoadFace(std::size_t height) const
	{
		if (Faces.count(height) > 0)
			return;
		FontFace& face = Faces[height];

		if (FontBytes.empty())
		{
			const RegularFileResult read = ReadRegularFile(FontPath, MAX_FONT_FILE_BYTES, FontBytes);
			if (!read.IsOk())
			{
				FontBytes.clear();
				gConsole.LogError("Font: {} cannot be used at size {}: {}", FontPath, height, read.Problem);
				return;
			}
		}
		FT_Face ftFace = nullptr;
		if (FT_New_Memory_Face(GetFreeTypeLibrary(), reinterpret_cast<const FT_Byte*>(FontBytes.data()),
		                       static_cast<FT_Long>(FontBytes.size()), 0, &ftFace) != 0)
		{
			gConsole.LogError("Font: {} cannot be used at size {}: not a font FreeType can open", FontPath, height);
			return;
		}
		if (FT_Set_Pixel_Sizes(ftFace, 0, static_cast<FT_UInt>(height)) != 0)
		{
			FT_Done_Face(ftFace);
			gConsole.LogError("Font: {} cannot be used at size {}: the font has no such size", FontPath, height);
			return;
		}

		Dynarray<SurveyedGlyph> glyphs;
		for (int code = 0; code < CHARACTER_COUNT; ++code)
		{
			const char character = static_cast<char>(code);
			if (FT_Load_Char(ftFace, static_cast<FT_ULong>(code), FT_LOAD_RENDER) != 0)
			{
				gConsole.LogError("Glyph {} of size {} failed to load", character, height);
				continue;
			}
			const FT_Bitmap& bitmap = ftFace->glyph->bitmap;
			// Only a font asked for a huge size can draw a glyph this wide; it is bad data, not a reason to stop.
			if (bitmap.width > ATLAS_WIDTH - GLYPH_GAP)
			{
				gConsole.LogError("Glyph {} of size {} is too wide for the font atlas", character, height);
				continue;
			}
			glyphs.PushBack({character, {bitmap.width, bitmap.rows}});
		}
		std::stable_sort(glyphs.GetData(), glyphs.GetData() + glyphs.GetSize(),
		                 [](const SurveyedGlyph& lhs, const SurveyedGlyph& rhs)
		                 { return lhs.Box.Width * lhs.Box.Rows > rhs.Box.Width * rhs.Box.Rows; });

		Dynarray<Impl::GlyphBox> boxes;
		boxes.Reserve(glyphs.GetSize());
		for (const SurveyedGlyph& glyph : glyphs)
			boxes.PushBack(glyph.Box);
		Dynarray<Impl::GlyphPlacement> placements;
		const std::size_t atlasHeight = Impl::AtlasHeightFor(Impl::PackGlyphShelves(boxes, placements));
		if (atlasHeight > MAX_ATLAS_HEIGHT)
		{
			FT_Done_Face(ftFace);
			gConsole.LogError("Font: {} cannot be used at size {}: its glyphs need an atlas {} texels high", FontPath,
			                  height, atlasHeight);
			return;
		}

		try
		{
			face.TextureProxy =
			    gEngine->GetRenderingDevice()->CreateTexture(ATLAS_WIDTH, atlasHeight, 1, eTextureUsageType::FONT);
		}
		catch (const std::exception&)
		{
			FT_Done_Face(ftFace);
			gConsole.LogError("Font: {} cannot be used at size {}: the device made no atlas", FontPath, height);
			return;
		}
		face.FTFace = ftFace;
		face.AtlasHeight = atlasHeight;

		const float atlasWidth = static_cast<float>(ATLAS_WIDTH);
		const float atlasRows = static_cast<float>(atlasHeight);
		for (u64 i = 0; i < glyphs.GetSize(); ++i)
		{
			VORN_CHECK(FT_Load_Char(ftFace, static_cast<FT_ULong>(static_cast<unsigned char>(glyphs[i].Character)),
			                        FT_LOAD_RENDER) == 0,
			           "Glyph loading failed!");
			FT_GlyphSlot slot = ftFace->glyph;
			RenderAsBitmap(slot);
			const FT_Bitmap& bitmap = slot->bitmap;
			const float x = static_cast<float>(placements[i].X);
			const float y = static_cast<float>(placements[i].Y);
			const float width = static_cast<float>(bitmap.width);
			const float rows = static_cast<float>(bitmap.rows);

			FontGlyph glyph;
			glyph.TextureMinCoord = Vector(x / atlasWidth, y / atlasRows, 0.0f);
			glyph.TextureMaxCoord = Vector((x + width) / atlasWidth, (y + rows) / atlasRows, 0.0f);
			glyph.Size = Vector(width, rows, 0.0f);
			glyph.Bearing = Vector(static_cast<float>(slot->bitmap_left), static_cast<float>(slot->bitmap_top), 0.0f);
			glyph.Advance = static_cast<float>(slot->advance.x) / 64.0f;
			face.Characters[glyphs[i].Character] = glyph;

			VORN_CHECK(bitmap.pixel_mode == FT_PIXEL_MODE_GRAY, "Unsupported pixel mode!");
			VORN_CHECK(bitmap.pitch >= 0, "Negative pitch is not supported!");
			if (bitmap.width == 0 || bitmap.rows == 0)
				continue;
			// Rows of a FreeType bitmap may be padded; the atlas upload takes them packed.
			if (static_cast<unsigned int>(bitmap.pitch) == bitmap.width)
				face.TextureProxy->SetSubContent(bitmap.width, bitmap.rows, placements[i].X, placements[i].Y,
				                                 bitmap.buffer);
			else
			{
				Dynarray<unsigned char> packed;
				packed.Reserve(static_cast<u64>(bitmap.width) * bitmap.rows);
				for (unsigned int row = 0; row < bitmap.rows; ++row)
					for (unsigned int column = 0; column < bitmap.width; ++column)
						packed.PushBack(bitmap.buffer[row * static_cast<unsigned int>(bitmap.pitch) + column]);
				face.TextureProxy->SetSubContent(bitmap.width, bitmap.rows, placements[i].X, placements[i].Y,
				                                 packed.GetData());
			}
		}
		gConsole.LogDebug("Face of size {} for font {} loaded sucessfully! Texture size: {} x {}", height, FontPath,
		                  ATLAS_WIDTH, atlasHeight);
	}

	std::size_t Impl::PackGlyphShelves(const Dynarray<GlyphBox>& boxes, Dynarray<GlyphPlacement>& placements)
	{
		placements.Clear();
		placements.Reserve(boxes.GetSize());
		std::size_t x = 0;
		std::size_t y = 0;
		std::size_t shelfHeight = 0;
		for (const GlyphBox& box : boxes)
		{
			if (x + box.Width + FontResource::GLYPH_GAP <= FontResource::ATLAS_WIDTH)
			{
				placements.PushBack({x, y});
				shelfHeight = std::max(shelfHeight, box.Rows + FontResource::GLYPH_GAP);
				x += box.Width + FontResource::GLYPH_GAP;
				continue;
			}
			VORN_CHECK(shelfHeight > 0, "Texture packing for font failed!");
			y += shelfHeight;
			placements.PushBack({0, y});
			shelfHeight = box.Rows + FontResource::GLYPH_GAP;
			x = box.Width + FontResource::GLYPH_GAP;
		}
		return y + shelfHeight;
	}

	std::size_t Impl::AtlasHeightFor(std::size_t shelvesHeight)
	{
		std::size_t height = 1;
		while (height < shelvesHeight)
			height *= 2;
		return height;
	}
} // namespace Vorn
