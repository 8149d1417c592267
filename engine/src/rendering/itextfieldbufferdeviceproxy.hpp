#pragma once

#include "memory/baseobject.hpp"

#include <cstddef>

namespace Vorn
{
	// Glyph quads of one screen-space text.
	class ITextFieldBufferDeviceProxy : public BaseObject
	{
	public:
		// One glyph quad in screen pixels (y grows upwards) with its atlas coordinates.
		// The layout is two blocks of four floats, the way the device uploads it.
		struct TextFieldLetter
		{
			float PosX = 0.0f;
			float SizeX = 0.0f;
			float PosY = 0.0f; // bottom edge
			float SizeY = 0.0f;
			float MinU = 0.0f;
			float MaxU = 0.0f;
			float MinV = 0.0f; // at the top edge, PosY + SizeY
			float MaxV = 0.0f; // at the bottom edge, PosY
		};

		ITextFieldBufferDeviceProxy() = default;
		ITextFieldBufferDeviceProxy(const ITextFieldBufferDeviceProxy&) = default;
		ITextFieldBufferDeviceProxy(ITextFieldBufferDeviceProxy&&) = default;
		ITextFieldBufferDeviceProxy& operator=(const ITextFieldBufferDeviceProxy&) = default;
		ITextFieldBufferDeviceProxy& operator=(ITextFieldBufferDeviceProxy&&) = default;
		~ITextFieldBufferDeviceProxy() override;

		// Replaces the whole buffer; count > 0 and letters not null.
		virtual void SetText(std::size_t count, const TextFieldLetter* letters) = 0;
		virtual unsigned int GetResourceID() const = 0;
		// Letter count of the latest SetText.
		virtual unsigned int GetResourceSize() const = 0;
	};

	using TextFieldLetter = ITextFieldBufferDeviceProxy::TextFieldLetter;
} // namespace Vorn
