#version 330 core

// The fallback renderer's last step, from its HDR scene colour to the window: exposure and the tiled renderer's
// filmic curve (keeping each colour's hue), then the camera's postprocess settings (lens distortion, colour
// temperature, saturation, film grain, scan-line stripes, letterbox bars) and gamma. The scene is read at this
// fragment's place in the screen-sized target, moved by the distortion.
in vec2 vTexCoord;

uniform sampler2D uColorBuffer;
uniform float uTime;
uniform vec2 uResolution;
uniform float uExposure;
uniform int uUseCashetes;
uniform float uDistortionPower;
uniform float uColorTempValue;
uniform float uColorTempLuminancePreservation;
uniform float uSaturationPower;
uniform float uGrainPower;
uniform float uStripesPower;

layout(location = 0) out vec4 oColor;

#include "Shaders/toneMapping.glsl"

const float DISPLAY_GAMMA = 2.2;
// Letterbox bars leave a 2.39:1 picture.
const float CINEMA_ASPECT = 2.39;
const vec3 LUMINANCE = vec3(0.2126, 0.7152, 0.0722);

// The filmic curve applied to the brightest channel, the others scaled along: a very bright coloured light (an
// emissive material far above 1) keeps its colour instead of washing out to white, which matters here because this
// renderer has no bloom to show the glow.
vec3 ToneMapKeepingHue(vec3 color)
{
	float peak = max(color.r, max(color.g, color.b));
	return peak > 0.0 ? color * (ToneMapFilmic(vec3(peak)).r / peak) : vec3(0.0);
}

// Barrel distortion around the viewport's centre, in viewport coordinates (0..1).
vec2 Distort(vec2 uv)
{
	vec2 offset = uv - 0.5;
	return 0.5 + offset * (1.0 + uDistortionPower * dot(offset, offset));
}

// The tint of a black body at `kelvin` (1000 K to 40000 K), Tanner Helland's fit; about white at 6600 K.
vec3 ColorTemperatureTint(float kelvin)
{
	float t = clamp(kelvin, 1000.0, 40000.0) / 100.0;
	vec3 tint;
	tint.r = t <= 66.0 ? 1.0 : 1.29293618606 * pow(t - 60.0, -0.1332047592);
	tint.g = t <= 66.0 ? 0.39008157876 * log(t) - 0.63184144378 : 1.12989086089 * pow(t - 60.0, -0.0755148492);
	tint.b = t >= 66.0 ? 1.0 : (t <= 19.0 ? 0.0 : 0.54320678911 * log(t - 10.0) - 1.19625408914);
	return clamp(tint, 0.0, 1.0);
}

float Hash(vec2 p) { return fract(sin(dot(p, vec2(12.9898, 78.233))) * 43758.5453); }

void main()
{
	vec2 uv = Distort(vTexCoord);
	if (any(lessThan(uv, vec2(0.0))) || any(greaterThan(uv, vec2(1.0))))
	{
		oColor = vec4(0.0, 0.0, 0.0, 1.0);
		return;
	}
	// The viewport's corner in the screen-sized target, from this fragment's window position.
	vec2 viewportOrigin = gl_FragCoord.xy - vTexCoord * uResolution;
	vec2 texel = (viewportOrigin + uv * uResolution) / vec2(textureSize(uColorBuffer, 0));
	vec3 color = ToneMapKeepingHue(max(texture(uColorBuffer, texel).rgb * uExposure, vec3(0.0)));

	vec3 warmed = color * ColorTemperatureTint(uColorTempValue);
	float keptLuminance = dot(color, LUMINANCE) / max(dot(warmed, LUMINANCE), 1e-5);
	color = warmed * mix(1.0, keptLuminance, uColorTempLuminancePreservation);

	float luminance = dot(color, LUMINANCE);
	color = max(mix(vec3(luminance), color, uSaturationPower), vec3(0.0));

	color += uGrainPower * (Hash(gl_FragCoord.xy + fract(uTime) * 100.0) - 0.5);
	color *= 1.0 - uStripesPower * 0.5 * (1.0 + sin(gl_FragCoord.y * 3.14159265));

	if (uUseCashetes != 0)
	{
		float pictureHeight = min(1.0, uResolution.x / (uResolution.y * CINEMA_ASPECT));
		if (abs(vTexCoord.y - 0.5) > 0.5 * pictureHeight)
			color = vec3(0.0);
	}
	oColor = vec4(pow(clamp(color, 0.0, 1.0), vec3(1.0 / DISPLAY_GAMMA)), 1.0);
}
