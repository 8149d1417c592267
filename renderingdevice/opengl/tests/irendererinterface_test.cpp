#include "renderers/irendererinterface.hpp"

#include <gtest/gtest.h>

using namespace Vorn;

namespace
{
	class IdleRenderer : public IRendererInterface
	{
	public:
		using IRendererInterface::IRendererInterface;
		void Init() override {}
		void Resize(ScreenSize const&) override {}
		void Render(SceneView const&) override {}
		void Deinit() override {}
	};

	TEST(IRendererInterfaceDeathTest, RendererWithoutDeviceStops)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		EXPECT_DEATH(IdleRenderer(nullptr), "RenderingDeviceInterface passed to Renderer is NULL");
	}
} // namespace
