#include "proxy/glcubemapdeviceproxy.hpp"

#include "utils/check.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	namespace
	{
		GLenum FaceTarget(eCubemapSide side)
		{
			switch (side)
			{
			case eCubemapSide::POSITIVE_X:
				return GL_TEXTURE_CUBE_MAP_POSITIVE_X;
			case eCubemapSide::NEGATIVE_X:
				return GL_TEXTURE_CUBE_MAP_NEGATIVE_X;
			case eCubemapSide::POSITIVE_Y:
				return GL_TEXTURE_CUBE_MAP_POSITIVE_Y;
			case eCubemapSide::NEGATIVE_Y:
				return GL_TEXTURE_CUBE_MAP_NEGATIVE_Y;
			case eCubemapSide::POSITIVE_Z:
				return GL_TEXTURE_CUBE_MAP_POSITIVE_Z;
			case eCubemapSide::NEGATIVE_Z:
				return GL_TEXTURE_CUBE_MAP_NEGATIVE_Z;
			default:
				VORN_FAIL("Invalid type!");
			}
		}

		const eCubemapSide ALL_SIDES[] = {eCubemapSide::POSITIVE_X, eCubemapSide::NEGATIVE_X, eCubemapSide::POSITIVE_Y,
		                                  eCubemapSide::NEGATIVE_Y, eCubemapSide::POSITIVE_Z, eCubemapSide::NEGATIVE_Z};
	} // namespace

	GLCubemapDeviceProxy::GLCubemapDeviceProxy(std::size_t width, std::size_t height) : Width(width), Height(height)
	{
		glGenTextures(1, &TextureID);
		glBindTexture(GL_TEXTURE_CUBE_MAP, TextureID);
		// Every face gets its storage now, so the cubemap is complete and its mipmaps can be rebuilt after each
		// face upload, whatever order the faces arrive in.
		for (eCubemapSide side : ALL_SIDES)
			glTexImage2D(FaceTarget(side), 0, GL_RGB, static_cast<GLsizei>(Width), static_cast<GLsizei>(Height), 0,
			             GL_RGB, GL_FLOAT, nullptr);
		glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
		glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
		glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
		glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
		glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
	}

	GLCubemapDeviceProxy::~GLCubemapDeviceProxy()
	{
		if (TextureID)
			glDeleteTextures(1, &TextureID);
	}

	void GLCubemapDeviceProxy::SetContent(eCubemapSide side, const float* data)
	{
		VORN_CHECK(Width > 0 && Height > 0, "Invalid arguments!");
		VORN_CHECK(TextureID > 0, "Texture is invalid!");
		VORN_CHECK(data != nullptr, "Data pointer is nullptr!");
		const GLenum face = FaceTarget(side);

		glActiveTexture(GL_TEXTURE0);
		glBindTexture(GL_TEXTURE_CUBE_MAP, TextureID);
		glTexImage2D(face, 0, GL_RGB, static_cast<GLsizei>(Width), static_cast<GLsizei>(Height), 0, GL_RGB, GL_FLOAT,
		             data);
		glGenerateMipmap(GL_TEXTURE_CUBE_MAP);
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
	}
} // namespace Vorn
