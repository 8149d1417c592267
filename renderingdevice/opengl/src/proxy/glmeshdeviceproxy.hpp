#pragma once

#include "defines.hpp"
#include "rendering/imeshdeviceproxy.hpp"
#include "utils/enumutils.hpp"

namespace Vorn
{
	// The buffers of a device mesh. The vertex streams double as their attribute locations.
	enum class eBufferType : u32
	{
		POSITION = 0,
		TEXCOORD = 1,
		NORMAL = 2,
		TANGENT = 3,
		BITANGENT = 4,
		INDEX = 5,
		_COUNT
	};

	// A mesh on the card: one vertex array over a separate buffer per vertex stream and an element buffer of
	// 32-bit indices. Nothing is created before the first SetContent.
	class GLMeshDeviceProxy : public IMeshDeviceProxy
	{
	public:
		GLMeshDeviceProxy() = default;
		~GLMeshDeviceProxy() override;
		GLMeshDeviceProxy(const GLMeshDeviceProxy&) = delete;
		GLMeshDeviceProxy& operator=(const GLMeshDeviceProxy&) = delete;

		// Throws RenderingDeviceProxyCreationFailedException when a vertex array or buffer cannot be created.
		void SetContent(Mesh const& mesh) override;
		unsigned int GetResourceID() const override { return VAO; }

	private:
		// Binds the buffer of `type`, creating it on first use.
		void BindBuffer(eBufferType type, u32 target);
		void UploadStream(eBufferType type, const void* data, u64 byteCount, i32 componentCount);

		u32 VAO = 0;
		EnumArray<u32, eBufferType> VBO;
	};
} // namespace Vorn
