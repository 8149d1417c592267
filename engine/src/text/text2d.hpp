#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "math/color.hpp"
#include "memory/baseobject.hpp"
#include "rendering/itextfieldbufferdeviceproxy.hpp"
#include "resources/fontresource.hpp"
#include "resources/resourcemanager.hpp"
#include "utils/string.hpp"

#include <cstddef>
#include <map>
#include <memory>

namespace Vorn
{
	class ITextureDeviceProxy;

	// One line of text in one font, pixel size and colour. Its glyph quads live in a device text buffer, rebuilt
	// only when the text, size or font changed, and only when the device is about to draw it. The characters are
	// taken byte by byte: there is no line breaking, no kerning and no control character; a character the face has
	// no glyph for is skipped.
	//
	// Texts and sizes come from games and their players, so out-of-range values are clamped with a WARNING.
	class Text2D : public BaseObject
	{
	public:
		static constexpr u64 MAX_TEXT_LENGTH = 4096;
		static constexpr std::size_t MAX_FONT_SIZE = 512;

		Text2D(const String& path, eResourceSource source, std::size_t fontSize, const String& text,
		       const Color& fontColor);
		~Text2D() override;
		Text2D(const Text2D&) = delete;
		Text2D& operator=(const Text2D&) = delete;

		const String& GetText() const { return Text; }
		// The same text again keeps its laid-out letters, so a text can be set every frame for nothing.
		void SetText(const String& text);
		const String& GetFont() const { return FontPath; }
		eResourceSource GetFontSource() const { return FontSource; }
		// Loads the new font now and gives back the one held before.
		void SetFont(const String& path, eResourceSource source);
		std::size_t GetFontSize() const { return FontSize; }
		void SetFontSize(std::size_t size);
		const Color& GetFontColor() const { return FontColor; }
		// Read by the device at every draw: no rebuild.
		void SetFontColor(const Color& color) { FontColor = color; }

		// Rebuilds the letters when something they depend on changed; the device calls it right before drawing.
		// A text that gives no letter (empty, spaces only, no usable font) drops its buffer, so nothing of an earlier
		// text stays on the screen.
		void UpdateDeviceBuffers() const;
		// Null until a rebuild gave letters, and while the text gives none.
		ITextFieldBufferDeviceProxy* GetTextFieldBuffer() const { return TextFieldBuffer.get(); }
		// The atlas of the face in use; null before the first rebuild and for a font that could not be used.
		ITextureDeviceProxy* GetFontTextureProxy() const;

	private:
		String Text;
		String FontPath;
		eResourceSource FontSource;
		std::size_t FontSize;
		Color FontColor;
		mutable bool Dirty = true;
		mutable std::unique_ptr<ITextFieldBufferDeviceProxy> TextFieldBuffer;
		mutable FontResource* Font = nullptr;
	};

	namespace Impl
	{
		// The letters of `text` along a baseline starting at x = 0, one per character that has a glyph of non-zero
		// size; characters without a glyph are skipped without moving the pen.
		void LayOutLetters(const std::map<char, FontGlyph>& glyphs, const String& text,
		                   Dynarray<TextFieldLetter>& letters);
	} // namespace Impl
} // namespace Vorn
