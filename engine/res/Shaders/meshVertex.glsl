// Mesh vertices at the mesh buffers' attribute locations (a stream the mesh lacks reads as zero), passed on to the
// lit passes' fragment shaders in world space. The including shader declares its matrices and calls
// WriteMeshVertex from its main().
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aTexCoord;
layout(location = 2) in vec3 aNormal;
layout(location = 3) in vec3 aTangent;
layout(location = 4) in vec3 aBitangent;

out vec3 vWorldPosition;
out vec2 vTexCoord;
out vec3 vWorldNormal;
out vec3 vWorldTangent;
out vec3 vWorldBitangent;

void WriteMeshVertex(mat4 worldFromModel, mat4 clipFromModel)
{
	vWorldPosition = (worldFromModel * vec4(aPosition, 1.0)).xyz;
	vTexCoord = aTexCoord;
	// Normals need the inverse transpose to stay perpendicular under non-uniform scale; tangents lie in the
	// surface and take the model matrix itself.
	vWorldNormal = transpose(inverse(mat3(worldFromModel))) * aNormal;
	vWorldTangent = mat3(worldFromModel) * aTangent;
	vWorldBitangent = mat3(worldFromModel) * aBitangent;
	gl_Position = clipFromModel * vec4(aPosition, 1.0);
}
