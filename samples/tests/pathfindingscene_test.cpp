#include "debugdrawing/debugdrawstateworldcomponent.hpp"
#include "ecs/entity.hpp"
#include "pathfinding/pathfindingcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "resources/meshresource.hpp"
#include "scenes/pathfindingscene.hpp"
#include "support/samplestest.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace Vorn;
using namespace VornSamples::PathfindingLayout;

namespace
{
	constexpr std::size_t PATHFINDING_SCENE = 4;
	// Long enough for any walk across the floor and the rest after it.
	constexpr int MAX_WALK_FRAMES = 20 * 64;

	using CellSet = std::set<std::pair<int, int>>;

	std::pair<int, int> CellOf(const Vector& point)
	{
		return {static_cast<int>(std::floor((point.x - ORIGIN.x) / CELL_SIZE)),
		        static_cast<int>(std::floor((point.z - ORIGIN.z) / CELL_SIZE))};
	}

	Vector CellPoint(int x, int z, float alongX, float alongZ, float height = 0.0f)
	{
		return Vector(ORIGIN.x + (static_cast<float>(x) + alongX) * CELL_SIZE, ORIGIN.y + height,
		              ORIGIN.z + (static_cast<float>(z) + alongZ) * CELL_SIZE);
	}

	float FloorDistance(const Vector& a, const Vector& b) { return std::hypot(a.x - b.x, a.z - b.z); }

	std::size_t CountBlockedCells()
	{
		std::size_t count = 0;
		for (int z = 0; z < DEPTH; ++z)
			for (int x = 0; x < WIDTH; ++x)
				count += IsBlocked(x, z) ? 1 : 0;
		return count;
	}

	class PathfindingSceneTest : public SamplesTest
	{
	protected:
		PathfindingSceneTest() { ShowScene(PATHFINDING_SCENE); }

		std::vector<Entity*> GetAgents()
		{
			std::vector<Entity*> agents;
			for (auto [finder] : GetWorld()->IterateComponents<PathfindingComponent>())
				agents.push_back(finder->GetOwner());
			return agents;
		}

		std::vector<Vector> GetDestinations()
		{
			std::vector<Vector> destinations;
			for (Entity* agent : GetAgents())
			{
				const Dynarray<Vector>& path = agent->GetComponent<PathfindingComponent>()->GetPath();
				destinations.push_back(path.IsEmpty() ? Vector(NAN, NAN, NAN) : path[path.GetSize() - 1]);
			}
			return destinations;
		}

		// Meshes of the samples' model at `path`, by entity.
		std::vector<Entity*> GetMeshes(const char* path)
		{
			std::vector<Entity*> meshes;
			for (auto [mesh] : GetWorld()->IterateComponents<MeshRenderingComponent>())
				if (mesh->GetMesh() && mesh->GetMesh()->GetPath() == path)
					meshes.push_back(mesh->GetOwner());
			return meshes;
		}

		bool HasText(const std::string& text)
		{
			for (auto [line] : GetWorld()->IterateComponents<ScreenSpaceTextComponent>())
				if (line->GetText().GetText().GetStdString() == text)
					return true;
			return false;
		}

		// The pixel (top left is 0, 0) that shows a world point through the scene's camera.
		Vector2i ScreenPointOf(const Vector& point)
		{
			const CameraComponent* camera = GetContext().GetCamera()->GetComponent<CameraComponent>();
			const Vector clip = camera->GetClipFromWorld() * Vector(point.x, point.y, point.z, 1.0f);
			const float x = (clip.x / clip.w + 1.0f) * 0.5f * 1280.0f;
			const float y = (1.0f - clip.y / clip.w) * 0.5f * 720.0f;
			return Vector2i(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
		}

		void ClickAt(const Vector2i& pixel)
		{
			GetEngine().UpdateMousePos(pixel);
			GetEngine().MouseButtonDown(eMouseButton::LEFT);
			RunFrame();
			GetEngine().MouseButtonUp(eMouseButton::LEFT);
			RunFrame();
		}

		// Runs a frame and says which agent, if any, stands on a block or off the floor.
		std::string RunFrameCheckingFloor()
		{
			RunFrame();
			for (Entity* agent : GetAgents())
			{
				const auto [x, z] = CellOf(agent->GetTransform().GetGlobalTranslation());
				if (IsBlocked(x, z))
					return "an agent is on cell (" + std::to_string(x) + ", " + std::to_string(z) + ")";
			}
			return std::string();
		}
	};
} // namespace

TEST_F(PathfindingSceneTest, DrawsABlockOnEveryBlockedCellAndPutsEachAgentOnAFloorCellOfItsOwn)
{
	CellSet blocked;
	for (int z = 0; z < DEPTH; ++z)
		for (int x = 0; x < WIDTH; ++x)
			if (IsBlocked(x, z))
				blocked.insert({x, z});
	CellSet drawn;
	for (Entity* block : GetMeshes("Models/Cube.obj"))
		drawn.insert(CellOf(block->GetTransform().GetGlobalTranslation()));
	EXPECT_EQ(drawn, blocked);

	const std::vector<Entity*> agents = GetAgents();
	ASSERT_EQ(agents.size(), static_cast<std::size_t>(AGENT_COUNT));
	CellSet occupied;
	for (Entity* agent : agents)
	{
		const auto cell = CellOf(agent->GetTransform().GetGlobalTranslation());
		EXPECT_FALSE(IsBlocked(cell.first, cell.second));
		occupied.insert(cell);
		ASSERT_NE(agent->GetComponent<MeshRenderingComponent>(), nullptr);
		EXPECT_EQ(agent->GetComponent<MeshRenderingComponent>()->GetMesh()->GetPath(), "Models/Sphere.obj");
	}
	EXPECT_EQ(occupied.size(), agents.size());
}

TEST_F(PathfindingSceneTest, ClickedDestinationIsReachedWithoutEverSteppingOnABlock)
{
	// Far corners and pockets behind walls, so the walks have to go round blocks; the clicked points are in
	// view, not hidden behind a block.
	const struct
	{
		int X;
		int Z;
	} CASES[] = {{15, 0}, {6, 5}, {0, 9}, {14, 6}};

	for (const auto& destination : CASES)
	{
		SCOPED_TRACE("cell (" + std::to_string(destination.X) + ", " + std::to_string(destination.Z) + ")");
		ASSERT_FALSE(IsBlocked(destination.X, destination.Z));
		const Vector clicked = CellPoint(destination.X, destination.Z, 0.3f, 0.7f);
		ClickAt(ScreenPointOf(clicked));
		EXPECT_TRUE(HasText("Destination: cell (" + std::to_string(destination.X) + ", " +
		                    std::to_string(destination.Z) + ")"));

		// One agent goes to the clicked point, the others to distinct floor cells close by.
		const std::vector<Vector> targets = GetDestinations();
		ASSERT_EQ(targets.size(), static_cast<std::size_t>(AGENT_COUNT));
		int atThePoint = 0;
		CellSet targetCells;
		for (const Vector& target : targets)
		{
			atThePoint += FloorDistance(target, clicked) < 0.1f ? 1 : 0;
			const auto cell = CellOf(target);
			EXPECT_FALSE(IsBlocked(cell.first, cell.second));
			EXPECT_LE(std::abs(cell.first - destination.X) + std::abs(cell.second - destination.Z), 4);
			targetCells.insert(cell);
		}
		EXPECT_EQ(atThePoint, 1);
		EXPECT_EQ(targetCells.size(), targets.size());

		std::vector<bool> isArrived(targets.size(), false);
		std::size_t arrived = 0;
		for (int frame = 0; frame < MAX_WALK_FRAMES && arrived < targets.size(); ++frame)
		{
			const std::string fault = RunFrameCheckingFloor();
			ASSERT_EQ(fault, "") << "frame " << frame;
			const std::vector<Entity*> agents = GetAgents();
			for (std::size_t index = 0; index < agents.size(); ++index)
				if (!isArrived[index] &&
				    FloorDistance(agents[index]->GetTransform().GetGlobalTranslation(), targets[index]) < 1e-4f)
				{
					isArrived[index] = true;
					++arrived;
				}
		}
		EXPECT_EQ(arrived, targets.size()) << "agents that never reached their destination";
	}
}

TEST_F(PathfindingSceneTest, ClicksOffTheFloorAreRefusedAndChangeNothing)
{
	const Vector2i ABOVE_THE_SCREEN(640, -5000);
	const struct
	{
		const char* Name;
		Vector Point; // shown at this point of the world, unless the pixel is above the screen
		bool IsAboveTheScreen;
		const char* Text;
	} CASES[] = {
	    {"the top of a block", CellPoint(3, 1, 0.5f, 0.5f, CELL_SIZE), false, "Refused: cell (3, 1) is blocked"},
	    // The ray passes over floor cell (8, 7) before it meets the block behind.
	    {"the near side of a block", CellPoint(8, 6, 0.5f, 1.0f, 0.5f * CELL_SIZE), false,
	     "Refused: cell (8, 6) is blocked"},
	    {"the floor's plane beside the floor", Vector(ORIGIN.x - 1.5f, ORIGIN.y, 0.0f), false,
	     "Refused: outside the floor"},
	    {"far above the screen", Vector(), true, "Refused: that is not on the floor"},
	};

	// Agents on their way somewhere, so that a refused click has something it could disturb.
	const Vector accepted = CellPoint(10, 7, 0.5f, 0.5f);
	ClickAt(ScreenPointOf(accepted));
	ASSERT_EQ(GetMeshes("Models/Cube.obj").size(), CountBlockedCells() + 1)
	    << "the blocks and the destination's marker";

	for (const auto& testCase : CASES)
	{
		SCOPED_TRACE(testCase.Name);
		const std::vector<Vector> before = GetDestinations();
		const std::size_t cubes = GetMeshes("Models/Cube.obj").size();
		ClickAt(testCase.IsAboveTheScreen ? ABOVE_THE_SCREEN : ScreenPointOf(testCase.Point));
		EXPECT_TRUE(HasText(testCase.Text));
		const std::vector<Vector> after = GetDestinations();
		ASSERT_EQ(after.size(), before.size());
		for (std::size_t index = 0; index < after.size(); ++index)
			EXPECT_EQ(after[index], before[index]) << "agent " << index;
		EXPECT_EQ(GetMeshes("Models/Cube.obj").size(), cubes);
	}

	// The scene still takes a good click afterwards.
	ClickAt(ScreenPointOf(CellPoint(0, 9, 0.5f, 0.5f)));
	EXPECT_TRUE(HasText("Destination: cell (0, 9)"));
}

TEST_F(PathfindingSceneTest, RandomDestinationsKeepEveryAgentMovingAndTheKeySendsThemAllOff)
{
	const std::vector<Entity*> agents = GetAgents();
	std::vector<CellSet> visited(agents.size());
	for (int frame = 0; frame < 30 * 64; ++frame)
	{
		const std::string fault = RunFrameCheckingFloor();
		ASSERT_EQ(fault, "") << "frame " << frame;
		for (std::size_t index = 0; index < agents.size(); ++index)
			visited[index].insert(CellOf(agents[index]->GetTransform().GetGlobalTranslation()));
	}
	for (std::size_t index = 0; index < agents.size(); ++index)
		EXPECT_GE(visited[index].size(), 10u) << "agent " << index << " hardly moved";

	// Right after the key every agent has somewhere to go, also those that were resting.
	PressKey(eKey::R);
	EXPECT_TRUE(HasText("Agents: 8 walking, 0 resting"));
	for (Entity* agent : agents)
		EXPECT_GE(agent->GetComponent<PathfindingComponent>()->GetPath().GetSize(), 2u);
}

TEST_F(PathfindingSceneTest, DebugViewDrawsEachWalkLeadingToItsDestination)
{
	std::vector<std::pair<Vector3f, Vector3f>> lines;
	DeviceLog.OnRenderWorld = [&lines](World* world)
	{
		const DebugDrawStateWorldComponent* state = world->GetWorldComponent<DebugDrawStateWorldComponent>();
		lines.clear();
		for (const auto& line : state->DebugLines)
			lines.push_back(line);
	};
	ClickAt(ScreenPointOf(CellPoint(15, 0, 0.5f, 0.5f)));
	RunFrame();
	EXPECT_TRUE(lines.empty()) << "paths are debug drawing, shown in the debug view only";

	PressKey(eKey::F10);
	RunFrame();
	int walking = 0;
	for (Entity* agent : GetAgents())
	{
		const Vector& position = agent->GetTransform().GetGlobalTranslation();
		const Dynarray<Vector>& path = agent->GetComponent<PathfindingComponent>()->GetPath();
		const Vector& destination = path[path.GetSize() - 1];
		if (FloorDistance(position, destination) < 1e-3f)
			continue; // arrived: nothing left to draw
		++walking;
		bool startsAtAgent = false;
		bool endsAtDestination = false;
		for (const auto& [start, end] : lines)
		{
			startsAtAgent = startsAtAgent || (std::abs(start.x - position.x) < 1e-4f &&
			                                  std::abs(start.z - position.z) < 1e-4f && start.y < position.y);
			endsAtDestination = endsAtDestination ||
			                    (std::abs(end.x - destination.x) < 1e-4f && std::abs(end.z - destination.z) < 1e-4f);
		}
		EXPECT_TRUE(startsAtAgent);
		EXPECT_TRUE(endsAtDestination);
	}
	EXPECT_GE(walking, AGENT_COUNT / 2) << "too few walks to judge the drawing by";
}

TEST_F(PathfindingSceneTest, LeavingMidWalkLeavesNothingBehindAndComingBackStartsAfresh)
{
	CellSet starts;
	for (Entity* agent : GetAgents())
		starts.insert(CellOf(agent->GetTransform().GetGlobalTranslation()));
	ShowScene(0);
	const u64 menuMeshes = CountComponents<MeshRenderingComponent>();

	ShowScene(PATHFINDING_SCENE);
	ClickAt(ScreenPointOf(CellPoint(15, 0, 0.5f, 0.5f)));
	RunFrames(32);
	ShowScene(0);
	EXPECT_EQ(CountComponents<PathfindingComponent>(), 0u);
	EXPECT_EQ(CountComponents<MeshRenderingComponent>(), menuMeshes);
	EXPECT_FALSE(HasText("Destination: cell (15, 0)"));

	ShowScene(PATHFINDING_SCENE);
	CellSet again;
	for (Entity* agent : GetAgents())
		again.insert(CellOf(agent->GetTransform().GetGlobalTranslation()));
	EXPECT_EQ(again, starts);
	EXPECT_EQ(GetMeshes("Models/Cube.obj").size(), CountBlockedCells()) << "no marker from the last visit";
	EXPECT_TRUE(HasText("Click a floor cell to choose a destination"));
}
