// The sub-image of a sprite sheet shown at `time`, counted row by row from the sheet's top-left one, and the
// texture coordinate of the quad corner `cornerTexCoord` in it. Images are loaded bottom row first, so the top row
// of the sheet lies at v = 1.
vec2 SpritesheetTexCoord(vec2 sheetSubImages, float startFrame, float speed, float time, vec2 cornerTexCoord)
{
	vec2 subImages = max(floor(sheetSubImages), vec2(1.0));
	float frame = mod(floor(startFrame + time * speed), subImages.x * subImages.y);
	vec2 cell = vec2(mod(frame, subImages.x), subImages.y - 1.0 - floor(frame / subImages.x));
	return (cell + cornerTexCoord) / subImages;
}
