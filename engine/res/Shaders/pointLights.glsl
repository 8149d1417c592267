// The tiled renderer's point lights as the renderer uploads them: one record per slot of LightBuffer.
struct PointLight
{
	vec4 Position;
	vec4 Color;
	vec4 RangeIntensity; // range, intensity; a negative range marks an empty slot
};

layout(std430, binding = 0) readonly buffer LightBuffer
{
	PointLight Lights[];
} lightBuffer;
