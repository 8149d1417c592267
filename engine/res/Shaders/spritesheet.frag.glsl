#version 330 core

in vec2 vTexCoord;

uniform sampler2D uSpritesheet;
uniform vec4 uColor;

layout(location = 0) out vec4 oColor;

// Blended over the scene by its alpha; fully clear texels leave the depth alone.
void main()
{
	vec4 color = texture(uSpritesheet, vTexCoord) * uColor;
	if (color.a <= 0.0)
		discard;
	oColor = color;
}
