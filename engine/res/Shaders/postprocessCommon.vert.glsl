#version 330 core

// Shared by the forward renderer's post-processing passes: the device's quad covers the screen with positions
// already in clip space; the fragment shaders read the image through vTexCoord.
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aTexCoord;

out vec2 vTexCoord;

void main()
{
	vTexCoord = aTexCoord;
	gl_Position = vec4(aPosition, 1.0);
}
