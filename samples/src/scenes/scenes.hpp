#pragma once

#include "samplescene.hpp"

#include <memory>

// The scenes of the samples, in the order of their number keys.
namespace VornSamples
{
	std::unique_ptr<Scene> CreateMaterialsScene();
	std::unique_ptr<Scene> CreatePhysics2DScene();
	std::unique_ptr<Scene> CreatePhysics3DScene();
	std::unique_ptr<Scene> CreatePathfindingScene();
	std::unique_ptr<Scene> CreateAudioScene();
	std::unique_ptr<Scene> CreateParticlesScene();
} // namespace VornSamples
