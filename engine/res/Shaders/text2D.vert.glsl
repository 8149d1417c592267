#version 330 core

// Glyph quads of a text field buffer, in pixels relative to the text's baseline origin; u_position moves them to
// the text's place on the screen and u_projection maps screen pixels to clip space.
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec2 aTexCoord;

uniform mat4 u_projection;
uniform vec4 u_position;

out vec2 vTexCoord;

void main()
{
	vTexCoord = aTexCoord;
	gl_Position = u_projection * vec4(aPosition.xy + u_position.xy, 0.0, 1.0);
}
