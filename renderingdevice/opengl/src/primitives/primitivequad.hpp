#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"

namespace Vorn
{
	// Two triangles covering clip space, with texture coordinates: attribute 0 is the position (x, y, z),
	// attribute 1 the texture coordinate (u, v). Lives as long as the device.
	class PrimitiveQuad : public BaseObject
	{
	public:
		static constexpr i32 VERTEX_COUNT = 6;
		static constexpr i32 FLOATS_PER_VERTEX = 5;
		// x, y, z, u, v per vertex; particles draw the same quad.
		static constexpr float VERTICES[VERTEX_COUNT * FLOATS_PER_VERTEX] = {
		    -1.0f, 1.0f,  0.0f, 0.0f, 1.0f, //
		    1.0f,  -1.0f, 0.0f, 1.0f, 0.0f, //
		    1.0f,  1.0f,  0.0f, 1.0f, 1.0f, //
		    -1.0f, 1.0f,  0.0f, 0.0f, 1.0f, //
		    -1.0f, -1.0f, 0.0f, 0.0f, 0.0f, //
		    1.0f,  -1.0f, 0.0f, 1.0f, 0.0f, //
		};

		PrimitiveQuad();
		~PrimitiveQuad() override;
		PrimitiveQuad(const PrimitiveQuad&) = delete;
		PrimitiveQuad& operator=(const PrimitiveQuad&) = delete;

		u32 GetVAO() const { return VAO; }
		u32 GetVBO() const { return VBO; }

		// Draws the two triangles with whatever program and framebuffer are bound; leaves no vertex array bound.
		void Draw() const;

	private:
		u32 VAO = 0;
		u32 VBO = 0;
	};
} // namespace Vorn
