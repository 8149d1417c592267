#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"

namespace Vorn
{
	// The cube from -1 to 1 on every axis, positions only (attribute 0), its triangles wound to face inward:
	// seen from the centre none is culled as a back face. Used for the sky and for cubemap captures; lives as
	// long as the device.
	class PrimitiveCube : public BaseObject
	{
	public:
		static constexpr i32 VERTEX_COUNT = 36;

		PrimitiveCube();
		~PrimitiveCube() override;
		PrimitiveCube(const PrimitiveCube&) = delete;
		PrimitiveCube& operator=(const PrimitiveCube&) = delete;

		u32 GetVAO() const { return VAO; }
		u32 GetVBO() const { return VBO; }

		// Draws the twelve triangles with whatever program and framebuffer are bound; leaves no vertex array bound.
		void Draw() const;

	private:
		u32 VAO = 0;
		u32 VBO = 0;
	};
} // namespace Vorn
