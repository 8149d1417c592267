#version 330 core

// For every triangle, its three edges in grey and the normal at each corner in yellow.
layout(triangles) in;
layout(line_strip, max_vertices = 10) out;

in vec4 vNormalTip[];

out vec4 vColor;

void main()
{
	for (int i = 0; i <= 3; ++i)
	{
		gl_Position = gl_in[i % 3].gl_Position;
		vColor = vec4(0.6, 0.6, 0.6, 1.0);
		EmitVertex();
	}
	EndPrimitive();

	for (int i = 0; i < 3; ++i)
	{
		gl_Position = gl_in[i].gl_Position;
		vColor = vec4(1.0, 1.0, 0.0, 1.0);
		EmitVertex();
		gl_Position = vNormalTip[i];
		EmitVertex();
		EndPrimitive();
	}
}
