#version 430 core

// Mesh vertices: positions and normals at the mesh buffers' attribute locations.
layout(location = 0) in vec3 aPosition;
layout(location = 2) in vec3 aNormal;

uniform mat4 uClipFromModel;
uniform mat4 uWorldFromModel;

out vec3 vWorldPosition;
out vec3 vWorldNormal;

void main()
{
	vWorldPosition = (uWorldFromModel * vec4(aPosition, 1.0)).xyz;
	// Good enough for the uniform scales debug meshes use; the normal is renormalised per fragment.
	vWorldNormal = mat3(uWorldFromModel) * aNormal;
	gl_Position = uClipFromModel * vec4(aPosition, 1.0);
}
