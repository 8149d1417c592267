#version 430 core

// Encodes the linear image for the display, the last step of the frame.
uniform sampler2D uImage;
uniform float uGamma;

layout(location = 0) out vec4 oColor;

void main()
{
	vec3 linearColor = texelFetch(uImage, ivec2(gl_FragCoord.xy), 0).rgb;
	oColor = vec4(pow(max(linearColor, vec3(0.0)), vec3(1.0 / uGamma)), 1.0);
}
