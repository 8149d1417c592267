#version 330 core

in vec2 vTexCoord;
in vec2 vQuadPosition;

uniform sampler2D uSpritesheet;
uniform vec4 uEmitterColor;
uniform vec4 uSpriteColor;
uniform float uHasSprite;

layout(location = 0) out vec4 oColor;

// A particle with a sprite sheet shows its current sub-image; one without is a soft round dot. Either way it is
// blended over the scene by its alpha.
void main()
{
	vec4 color = uEmitterColor;
	if (uHasSprite > 0.5)
		color *= texture(uSpritesheet, vTexCoord) * uSpriteColor;
	else
		color.a *= 1.0 - smoothstep(0.5, 1.0, length(vQuadPosition));
	if (color.a <= 0.0)
		discard;
	oColor = color;
}
