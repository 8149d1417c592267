#include "text/text2d.hpp"

#include "engine.hpp"
#include "rendering/irenderingdevice.hpp"
#include "utils/console.hpp"

#include <utility>

namespace Vorn
{
	namespace
	{
		String ClampedText(const String& text)
		{
			if (text.GetLength() <= Text2D::MAX_TEXT_LENGTH)
				return text;
			gConsole.LogWarning("Text2D: a text of {} characters is longer than {}; only the first {} are kept",
			                    text.GetLength(), Text2D::MAX_TEXT_LENGTH, Text2D::MAX_TEXT_LENGTH);
			return text.Substr(0, Text2D::MAX_TEXT_LENGTH);
		}

		std::size_t ClampedFontSize(std::size_t size)
		{
			if (size <= Text2D::MAX_FONT_SIZE)
				return size;
			gConsole.LogWarning("Text2D: font size {} is larger than {}; {} is used", size, Text2D::MAX_FONT_SIZE,
			                    Text2D::MAX_FONT_SIZE);
			return Text2D::MAX_FONT_SIZE;
		}
	} // namespace

	Text2D::Text2D(const String& path, eResourceSource source, std::size_t fontSize, const String& text,
	               const Color& fontColor)
	    : Text(ClampedText(text)), FontPath(path), FontSource(source), FontSize(ClampedFontSize(fontSize)),
	      FontColor(fontColor)
	{
	}

	Text2D::~Text2D()
	{
		if (Font)
			ResourceManager<FontResource>::Release(Font);
	}

	void Text2D::SetText(const String& text)
	{
		String clamped = ClampedText(text);
		if (clamped == Text)
			return;
		Text = std::move(clamped);
		Dirty = true;
	}

	void Text2D::SetFontSize(std::size_t size)
	{
		FontSize = ClampedFontSize(size);
		Dirty = true;
	}

	void Text2D::SetFont(const String& path, eResourceSource source)
	{
		FontPath = path;
		FontSource = source;
		FontResource* previous = Font;
		Font = ResourceManager<FontResource>::Load(FontPath, FontSource);
		if (previous)
			ResourceManager<FontResource>::Release(previous);
		Dirty = true;
	}

	void Text2D::UpdateDeviceBuffers() const
	{
		if (!Dirty)
			return;
		Dirty = false;

		if (!Font)
			Font = ResourceManager<FontResource>::Load(FontPath, FontSource);
		Dynarray<TextFieldLetter> letters;
		if (Font && !Text.IsEmpty())
			Impl::LayOutLetters(Font->GetFace(FontSize).Characters, Text, letters);
		if (letters.IsEmpty())
		{
			TextFieldBuffer.reset();
			return;
		}
		if (!TextFieldBuffer)
			TextFieldBuffer = gEngine->GetRenderingDevice()->CreateTextFieldBuffer();
		TextFieldBuffer->SetText(letters.GetSize(), letters.GetData());
	}

	ITextureDeviceProxy* Text2D::GetFontTextureProxy() const
	{
		if (!Font)
			return nullptr;
		return Font->GetFace(FontSize).TextureProxy.get();
	}

	void Impl::LayOutLetters(const std::map<char, FontGlyph>& glyphs, const String& text,
	                         Dynarray<TextFieldLetter>& letters)
	{
		letters.Reserve(text.GetLength());
		float penX = 0.0f;
		for (u64 i = 0; i < text.GetLength(); ++i)
		{
			const auto found = glyphs.find(text[i]);
			if (found == glyphs.end())
				continue;
			const FontGlyph& glyph = found->second;
			if (glyph.Size.x > 0.0f && glyph.Size.y > 0.0f)
			{
				TextFieldLetter letter;
				letter.PosX = penX + glyph.Bearing.x;
				letter.SizeX = glyph.Size.x;
				letter.PosY = glyph.Bearing.y - glyph.Size.y;
				letter.SizeY = glyph.Size.y;
				letter.MinU = glyph.TextureMinCoord.x;
				letter.MaxU = glyph.TextureMaxCoord.x;
				letter.MinV = glyph.TextureMinCoord.y;
				letter.MaxV = glyph.TextureMaxCoord.y;
				letters.PushBack(letter);
			}
			penX += glyph.Advance;
		}
	}
} // namespace Vorn
