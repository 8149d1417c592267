// Where a direction falls on an equirectangular panorama: longitude across it, latitude up it. The image loader
// flips rows, so v = 1 is the zenith.
const vec2 INVERSE_ANGLE_RANGE = vec2(0.15915494, 0.31830989); // 1 / 2pi, 1 / pi

vec2 EquirectangularCoordinates(vec3 direction)
{
	vec2 angles = vec2(atan(direction.z, direction.x), asin(clamp(direction.y, -1.0, 1.0)));
	return angles * INVERSE_ANGLE_RANGE + 0.5;
}
