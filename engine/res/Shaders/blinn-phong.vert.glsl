#version 330 core

// The fallback renderer's lit meshes, at the mesh buffers' attribute locations (a stream the mesh lacks reads as
// zero). GLSL 3.30, so it runs on an OpenGL 3.3 context.
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aTexCoord;
layout(location = 2) in vec3 aNormal;
layout(location = 3) in vec3 aTangent;
layout(location = 4) in vec3 aBitangent;

uniform mat4 uTransform;
uniform mat4 uMVPTransform;

out vec3 vWorldPosition;
out vec2 vTexCoord;
out vec3 vWorldNormal;
out vec3 vWorldTangent;
out vec3 vWorldBitangent;

void main()
{
	vWorldPosition = (uTransform * vec4(aPosition, 1.0)).xyz;
	vTexCoord = aTexCoord;
	vWorldNormal = transpose(inverse(mat3(uTransform))) * aNormal;
	vWorldTangent = mat3(uTransform) * aTangent;
	vWorldBitangent = mat3(uTransform) * aBitangent;
	gl_Position = uMVPTransform * vec4(aPosition, 1.0);
}
