#version 330 core

in vec3 vWorldNormal;

layout(location = 0) out vec4 oColor;

// Each axis of the unit normal mapped from -1..1 to 0..1: +X red, +Y green, +Z blue. A mesh without normals
// shows mid grey.
void main()
{
	vec3 normal = length(vWorldNormal) > 0.0 ? normalize(vWorldNormal) : vec3(0.0);
	oColor = vec4(normal * 0.5 + 0.5, 1.0);
}
