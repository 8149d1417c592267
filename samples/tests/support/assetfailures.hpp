#pragma once

// The log lines that tell an asset did not load: a missing or broken file, a font that cannot be used. (The
// generated meshes have no texture maps, which the mesh loader logs as "Failed to load texture for material"; a
// missing texture file would say "Failed to load texture: ".)
inline const char* const ASSET_FAILURE_LINES[] = {"[ERROR] Resource loading failed!", "[ERROR] Error Importing Asset",
                                                  "[ERROR] Failed to load texture: ", "[ERROR] Font: "};
