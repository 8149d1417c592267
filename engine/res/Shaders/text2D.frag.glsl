#version 330 core

// The font atlas (bound at unit 0) holds each glyph's coverage in its red channel; it becomes the text colour's
// opacity, for blending over the image.
in vec2 vTexCoord;

uniform sampler2D uFontAtlas;
uniform vec4 u_textColor;

layout(location = 0) out vec4 oColor;

void main()
{
	float coverage = texture(uFontAtlas, vTexCoord).r;
	oColor = vec4(u_textColor.rgb, u_textColor.a * coverage);
}
