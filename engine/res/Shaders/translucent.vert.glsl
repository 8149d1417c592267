#version 430 core

// Mesh vertices at the mesh buffers' attribute locations. A stream the mesh lacks reads as zero.
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aTexCoord;
layout(location = 2) in vec3 aNormal;
layout(location = 3) in vec3 aTangent;
layout(location = 4) in vec3 aBitangent;

uniform mat4 uClipFromModel;
uniform mat4 uWorldFromModel;

out vec3 vWorldPosition;
out vec2 vTexCoord;
out vec3 vWorldNormal;
out vec3 vWorldTangent;
out vec3 vWorldBitangent;

void main()
{
	vWorldPosition = (uWorldFromModel * vec4(aPosition, 1.0)).xyz;
	vTexCoord = aTexCoord;
	// Normals need the inverse transpose to stay perpendicular under non-uniform scale; tangents lie in the
	// surface and take the model matrix itself.
	vWorldNormal = transpose(inverse(mat3(uWorldFromModel))) * aNormal;
	vWorldTangent = mat3(uWorldFromModel) * aTangent;
	vWorldBitangent = mat3(uWorldFromModel) * aBitangent;
	gl_Position = uClipFromModel * vec4(aPosition, 1.0);
}
