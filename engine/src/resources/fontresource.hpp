#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "math/vector.hpp"
#include "rendering/itexturedeviceproxy.hpp"
#include "resources/resourcemanager.hpp"

#include <cstddef>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

// FreeType's face record, named here only so the header needs none of FreeType's own.
struct FT_FaceRec_;

namespace Vorn
{
	// Where one glyph lies in its face's atlas and how it sits on the baseline, in pixels.
	struct FontGlyph
	{
		// Atlas coordinates of the glyph's top-left texel and of its bottom-right corner.
		Vector TextureMinCoord;
		Vector TextureMaxCoord;
		// Bitmap width and rows.
		Vector Size;
		// Left bearing and top bearing (from the baseline up to the bitmap's top row).
		Vector Bearing;
		float Advance = 0.0f;
	};

	// A TrueType font file, shared per path through ResourceManager<FontResource>. Each pixel height it is asked for
	// gets a face of its own on first use: the character codes 0 to 127 rasterised into a 512-texel-wide atlas on the
	// device, with a FontGlyph per character. Faces stay until the resource goes.
	//
	// A file that cannot be read, opened or set to a height logs one ERROR naming the file and the height; that
	// face stays empty (no atlas, no glyphs), so texts using it draw nothing and nothing is thrown at their draw.
	class FontResource : public ResourceBase
	{
	public:
		static constexpr std::size_t ATLAS_WIDTH = 512;
		// Empty texels between neighbouring glyphs and below every shelf.
		static constexpr std::size_t GLYPH_GAP = 8;
		static constexpr int CHARACTER_COUNT = 128;
		// Font files larger than this are refused unread.
		static constexpr std::size_t MAX_FONT_FILE_BYTES = 64 * 1024 * 1024;

		struct FontFace
		{
			// Null for a face whose font could not be opened at its height.
			std::unique_ptr<ITextureDeviceProxy> TextureProxy;
			FT_FaceRec_* FTFace = nullptr;
			std::map<char, FontGlyph> Characters;
			// The atlas height in texels; 0 without an atlas.
			std::size_t AtlasHeight = 0;
		};

		// `path` is the full path. The file is first read when a face is built.
		explicit FontResource(const String& path);

		// The face of that pixel height, built first if missing.
		const FontFace& GetFace(std::size_t height) const;
		void LoadFace(std::size_t height) const;
		void LoadFaces(std::initializer_list<std::size_t> heights) const;

		const String& GetFontPath() const { return FontPath; }

	protected:
		~FontResource() override;

	private:
		String FontPath;
		// The file's bytes, read for the first face; FreeType's faces read from them as long as they live.
		mutable std::string FontBytes;
		mutable std::unordered_map<u64, FontFace> Faces;
	};

	namespace Impl
	{
		// A glyph bitmap's size, as the atlas packing sees it.
		struct GlyphBox
		{
			std::size_t Width = 0;
			std::size_t Rows = 0;
		};

		struct GlyphPlacement
		{
			std::size_t X = 0;
			std::size_t Y = 0;
		};

		// Shelf packing in the given order: glyphs go left to right with GLYPH_GAP texels after each, a new shelf
		// starts when the next glyph would pass the atlas width, and a shelf is as high as its highest glyph plus
		// GLYPH_GAP. Fills `placements` (one per box, same order) and returns the sum of all shelf heights.
		// A glyph wider than the atlas can hold is a fatal check.
		std::size_t PackGlyphShelves(const Dynarray<GlyphBox>& boxes, Dynarray<GlyphPlacement>& placements);
		// The atlas height for a packing of `shelvesHeight` texels: the next power of two, at least 1.
		std::size_t AtlasHeightFor(std::size_t shelvesHeight);
	} // namespace Impl
} // namespace Vorn

VORN_DECLARE_RESOURCE_REGISTRY(FontResource, gFontResourcesMap)
