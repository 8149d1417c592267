// Depth of field by gathering over a disc, shared by the reduced-resolution gather and the full-resolution pass.
// Pixels whose distance lies within uDOFrange of uDOFpoint stay sharp; beyond that band the blur radius grows
// smoothly over another uDOFrange of distance up to its full size. uDOFsize is the diameter of the full blur disc as
// a fraction of the image height (0.2 on a 720-pixel screen: a 144-pixel disc). uDepth holds view distances (the
// linearised depth), uRes is (W, H, 1/W, 1/H) of the screen-sized images.
uniform vec4 uRes;
uniform sampler2D uImage;
uniform sampler2D uDepth;
uniform float uTime;
uniform float uDOFpoint;
uniform float uDOFrange;
uniform float uDOFsize;

// A disc gets about one sample per pixel it covers, up to this many.
const int DOF_MAX_SAMPLE_COUNT = 48;
const int DOF_MIN_SAMPLE_COUNT = 8;
// Fewer serve a gather texel: every pixel blends four texels, each with its spiral turned its own way.
const int DOF_GATHER_SAMPLE_COUNT = 24;
const float GOLDEN_ANGLE = 2.39996323;
const float TWO_PI = 6.28318531;
const float PI = 3.14159265;

// The gather image has one texel per 4x4 pixels; texel t gathers the disc of pixel 4t + 2.
const int DOF_GATHER_SCALE = 4;
// A disc whose radius spans at least three gather texels takes its colour from them in the full-resolution pass;
// a smaller one is gathered at full resolution.
const float DOF_UPSAMPLE_RADIUS = 12.0;

float BlurRadius(float distance)
{
	float outOfFocus = (abs(distance - uDOFpoint) - uDOFrange) / max(uDOFrange, 1e-3);
	return smoothstep(0.0, 1.0, outOfFocus) * uDOFsize * 0.5 * uRes.y;
}

// The blur radius, negative for surfaces nearer than the focus point: the full-resolution pass blends only
// gather texels blurred like its pixel and on the same side of the focus, so a blurred object in front never
// mixes with the blurred scene behind it.
float SignedBlurRadius(float distance) { return distance < uDOFpoint ? -BlurRadius(distance) : BlurRadius(distance); }

// Marks a gather texel left for the full-resolution pass; no signed radius comes near it.
const float DOF_NOT_GATHERED = -1.0e4;

// Jimenez's interleaved gradient noise: turns the sample spiral per pixel, so its rings become fine grain instead
// of visible copies of the image; the time term keeps the grain from standing still.
float SpiralRotation(vec2 pixel)
{
	float noise = fract(52.9829189 * fract(dot(pixel, vec2(0.06711056, 0.00583715))));
	return TWO_PI * fract(noise + uTime * 7.31);
}

// The blurred colour of `pixel`, whose own colour, distance and blur radius the caller has read, from at most
// `maxSamples` samples.
vec3 GatherDisc(ivec2 pixel, vec3 centreColor, float centreDistance, float centreRadius, int maxSamples)
{
	vec2 centre = vec2(pixel) + 0.5;
	float rotation = SpiralRotation(centre);
	ivec2 lastTexel = ivec2(uRes.xy) - 1;
	int sampleCount = clamp(int(ceil(PI * centreRadius * centreRadius)), DOF_MIN_SAMPLE_COUNT, maxSamples);
	// Sample i lies at angle i * GOLDEN_ANGLE + rotation: its direction is the previous one turned by the golden
	// angle, a complex product instead of a sine and a cosine per sample.
	vec2 direction = vec2(cos(rotation), sin(rotation));
	const vec2 GOLDEN_TURN = vec2(cos(GOLDEN_ANGLE), sin(GOLDEN_ANGLE));
	vec3 colorSum = centreColor;
	float weightSum = 1.0;
	for (int i = 0; i < sampleCount; ++i)
	{
		float sampleOffset = centreRadius * sqrt((float(i) + 0.5) / float(sampleCount));
		vec2 position = centre + sampleOffset * direction;
		direction = vec2(direction.x * GOLDEN_TURN.x - direction.y * GOLDEN_TURN.y,
		                 direction.x * GOLDEN_TURN.y + direction.y * GOLDEN_TURN.x);
		// Colour and distance come from the same texel, unfiltered, so a sample is never half of two surfaces.
		ivec2 texel = clamp(ivec2(floor(position)), ivec2(0), lastTexel);
		float sampleDistance = texelFetch(uDepth, texel, 0).r;

		// Whatever lies behind this pixel is spread by this pixel's own blur. Something in front only reaches it
		// as far as its own blur spreads, so sharp objects do not bleed a halo into the blurred scene behind them.
		float weight = 1.0;
		if (sampleDistance < centreDistance)
		{
			float reach = length(vec2(texel) + 0.5 - centre);
			weight = clamp(BlurRadius(sampleDistance) - reach + 0.5, 0.0, 1.0);
		}
		colorSum += texelFetch(uImage, texel, 0).rgb * weight;
		weightSum += weight;
	}
	return colorSum / weightSum;
}
