#include "rendering/material.hpp"

#include <gtest/gtest.h>

using namespace Vorn;

TEST(MaterialTest, DefaultIsBlackEmissiveWhiteAlbedoFullyRoughAndMetallicWithHalfMask)
{
	const Material material;
	EXPECT_EQ(material.Emissive, Color(0.0f, 0.0f, 0.0f, 1.0f));
	EXPECT_EQ(material.Albedo, Color(1.0f, 1.0f, 1.0f, 1.0f));
	EXPECT_EQ(material.Roughness, 1.0f);
	EXPECT_EQ(material.Metallic, 1.0f);
	EXPECT_EQ(material.OpacityMaskThreshold, 0.5f);
}

TEST(MaterialTest, ConstructorTakesEmissiveAlbedoRoughnessMetallicAndMaskInThatOrder)
{
	const Material material(Color::RED, Color::GREEN, 0.25f, 0.75f, 0.1f);
	EXPECT_EQ(material.Emissive, Color::RED);
	EXPECT_EQ(material.Albedo, Color::GREEN);
	EXPECT_EQ(material.Roughness, 0.25f);
	EXPECT_EQ(material.Metallic, 0.75f);
	EXPECT_EQ(material.OpacityMaskThreshold, 0.1f);
}
