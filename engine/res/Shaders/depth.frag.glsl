#version 430 core

// The pre-pass keeps only the depth, which bounds each tile of the light culling and feeds depth of field.
void main() {}
