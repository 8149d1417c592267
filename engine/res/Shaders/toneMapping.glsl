// Narkowicz's fit of the ACES filmic curve: a soft toe, a straight middle and a shoulder that rolls off towards
// white. It rises monotonically from 0 at 0; its limit lies slightly above 1, hence the clamp.
vec3 ToneMapFilmic(vec3 color)
{
	const float a = 2.51;
	const float b = 0.03;
	const float c = 2.43;
	const float d = 0.59;
	const float e = 0.14;
	return clamp(color * (a * color + b) / (color * (c * color + d) + e), 0.0, 1.0);
}
