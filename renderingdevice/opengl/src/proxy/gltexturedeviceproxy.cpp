#include "proxy/gltexturedeviceproxy.hpp"

#include "utils/check.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	namespace
	{
		struct SamplingParameters
		{
			GLint Wrap = GL_REPEAT;
			GLint Filter = GL_LINEAR;
		};

		// HDR images and render targets are allocated from float data, everything else from bytes.
		GLenum AllocationDataType(eTextureUsageType usage)
		{
			return usage == eTextureUsageType::HDR || usage == eTextureUsageType::RENDER_TARGET ? GL_FLOAT
			                                                                                    : GL_UNSIGNED_BYTE;
		}
	} // namespace

	GLTextureDeviceProxy::GLTextureDeviceProxy(std::size_t width, std::size_t height, std::size_t channels,
	                                           eTextureUsageType usage)
	    : Width(width), Height(height), Channels(channels), Usage(usage)
	{
		InitTexture();
	}

	GLTextureDeviceProxy::GLTextureDeviceProxy(std::size_t width, std::size_t height, eRenderTargetType type)
	    : Width(width), Height(height), Channels(0), Usage(eTextureUsageType::RENDER_TARGET), RenderTargetType(type)
	{
		InitTexture();
	}

	GLTextureDeviceProxy::~GLTextureDeviceProxy()
	{
		if (TextureID)
			glDeleteTextures(1, &TextureID);
	}

	void GLTextureDeviceProxy::InitTexture()
	{
		VORN_CHECK(Width > 0 && Height > 0, "Invalid arguments!");
		if (TextureID > 0)
			return;

		SamplingParameters sampling;
		switch (Usage)
		{
		case eTextureUsageType::ALBEDO:
		case eTextureUsageType::EMISSIVE:
			InternalFormat = Channels < 4 ? GL_SRGB8 : GL_SRGB8_ALPHA8;
			Format = Channels <= 3 ? GL_RGB : GL_RGBA;
			break;
		case eTextureUsageType::NORMAL:
			InternalFormat = GL_RGB;
			Format = GL_RGB;
			break;
		case eTextureUsageType::METALLIC:
		case eTextureUsageType::ROUGHNESS:
		case eTextureUsageType::AMBIENT_OCCLUSION:
			switch (Channels)
			{
			case 1:
				InternalFormat = GL_R8;
				Format = GL_RED;
				break;
			case 3:
				InternalFormat = GL_RGB8;
				Format = GL_RGB;
				break;
			case 4:
				InternalFormat = GL_RGBA8;
				Format = GL_RGBA;
				break;
			default:
				VORN_FAIL("Invalid Channels!");
			}
			break;
		case eTextureUsageType::FONT:
			InternalFormat = GL_R8;
			Format = GL_RED;
			sampling.Wrap = GL_CLAMP_TO_EDGE;
			// Glyph rows are single bytes of any width; later uploads in this context rely on it.
			glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
			break;
		case eTextureUsageType::HDR:
			InternalFormat = GL_RGB16F;
			Format = GL_RGB;
			sampling.Wrap = GL_CLAMP_TO_EDGE;
			break;
		case eTextureUsageType::RENDER_TARGET:
			sampling.Wrap = GL_CLAMP_TO_EDGE;
			if (RenderTargetType == eRenderTargetType::COLOR)
			{
				InternalFormat = Channels < 4 ? GL_RGB8 : GL_RGBA8;
				Format = Channels < 4 ? GL_RGB : GL_RGBA;
			}
			else if (RenderTargetType == eRenderTargetType::HDR_COLOR)
			{
				InternalFormat = GL_RGBA16F;
				Format = GL_RGBA;
			}
			else if (RenderTargetType == eRenderTargetType::DEPTH)
			{
				InternalFormat = GL_DEPTH_COMPONENT;
				Format = GL_DEPTH_COMPONENT;
				sampling.Filter = GL_NEAREST;
			}
			else
				VORN_FAIL("Invalid RenderTargetType!");
			break;
		default:
			VORN_FAIL("Uknown eTextureUsageType!");
		}

		glGenTextures(1, &TextureID);
		if (TextureID == 0)
			throw RenderingDeviceProxyCreationFailedException();

		glBindTexture(GL_TEXTURE_2D, TextureID);
		AllocateLevelZero();
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, sampling.Wrap);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, sampling.Wrap);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, sampling.Filter);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, sampling.Filter);
		glBindTexture(GL_TEXTURE_2D, 0);
	}

	// Expects the texture to be bound.
	void GLTextureDeviceProxy::AllocateLevelZero() { WriteLevelZero(nullptr, AllocationDataType(Usage)); }

	// Expects the texture to be bound; null data only allocates.
	void GLTextureDeviceProxy::WriteLevelZero(const void* data, u32 dataType)
	{
		glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(InternalFormat), static_cast<GLsizei>(Width),
		             static_cast<GLsizei>(Height), 0, Format, dataType, data);
	}

	void GLTextureDeviceProxy::SetContent(const unsigned char* data)
	{
		VORN_CHECK(Usage != eTextureUsageType::HDR, "Invalid texture usage type, unsigned char* is for LDR image data");
		UploadWholeImage(data, GL_UNSIGNED_BYTE);
	}

	void GLTextureDeviceProxy::SetContentHDR(const float* data)
	{
		VORN_CHECK(Usage == eTextureUsageType::HDR, "Invalid texture usage type, float* is for HDR image data");
		UploadWholeImage(data, GL_FLOAT);
	}

	void GLTextureDeviceProxy::UploadWholeImage(const void* data, u32 dataType)
	{
		VORN_CHECK(Width > 0 && Height > 0, "Invalid arguments!");
		VORN_CHECK(TextureID > 0, "Texture is invalid!");
		VORN_CHECK(data != nullptr, "Data pointer is nullptr!");

		glBindTexture(GL_TEXTURE_2D, TextureID);
		WriteLevelZero(data, dataType);
		// Filtering stays linear, so the chain is built but not sampled; glyph atlases get none.
		if (Usage != eTextureUsageType::FONT)
			glGenerateMipmap(GL_TEXTURE_2D);
		glBindTexture(GL_TEXTURE_2D, 0);
	}

	void GLTextureDeviceProxy::SetSubContent(std::size_t width, std::size_t height, std::size_t offsetX,
	                                         std::size_t offsetY, const unsigned char* data)
	{
		VORN_CHECK(Usage != eTextureUsageType::HDR, "Invalid texture usage type, unsigned char* is for LDR image data");
		VORN_CHECK(width > 0 && height > 0 && width + offsetX <= Width && height + offsetY <= Height,
		           "Invalid arguments!");
		VORN_CHECK(data != nullptr, "Data pointer is nullptr!");

		glBindTexture(GL_TEXTURE_2D, TextureID);
		glTexSubImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(offsetX), static_cast<GLint>(offsetY),
		                static_cast<GLsizei>(width), static_cast<GLsizei>(height), Format, GL_UNSIGNED_BYTE, data);
		glBindTexture(GL_TEXTURE_2D, 0);
	}

	void GLTextureDeviceProxy::Resize(ScreenSize const& size)
	{
		Width = static_cast<u64>(size.Width);
		Height = static_cast<u64>(size.Height);
		glBindTexture(GL_TEXTURE_2D, TextureID);
		AllocateLevelZero();
		glBindTexture(GL_TEXTURE_2D, 0);
	}
} // namespace Vorn
