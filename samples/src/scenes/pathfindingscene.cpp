#include "scenes/pathfindingscene.hpp"

#include "debugdrawing/debugdrawsystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "input/inputworldcomponent.hpp"
#include "math/quaternion.hpp"
#include "pathfinding/gridnavgraph.hpp"
#include "pathfinding/pathfindingcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "scenes/scenes.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace Vorn;

namespace VornSamples
{
	namespace
	{
		using namespace PathfindingLayout;

		constexpr float AGENT_RADIUS = 0.3f;
		// World units per second.
		constexpr float AGENT_SPEED = 2.5f;
		// An agent that arrived waits this long before it picks a cell of its own.
		constexpr float MIN_REST_SECONDS = 0.5f;
		constexpr float MAX_REST_SECONDS = 1.5f;
		// The same walks every time the scene starts, so what a player sees can be described.
		constexpr unsigned int RANDOM_SEED = 2018;
		// Path lines float a little over the floor so that it does not hide them.
		constexpr float PATH_LINE_HEIGHT = 0.05f;

		const Color AGENT_COLORS[AGENT_COUNT] = {
		    Color(0.95f, 0.25f, 0.2f, 1.0f), Color(0.2f, 0.55f, 0.95f, 1.0f),  Color(0.25f, 0.85f, 0.3f, 1.0f),
		    Color(0.95f, 0.8f, 0.2f, 1.0f),  Color(0.8f, 0.3f, 0.9f, 1.0f),    Color(0.2f, 0.9f, 0.85f, 1.0f),
		    Color(1.0f, 0.55f, 0.15f, 1.0f), Color(0.95f, 0.95f, 0.95f, 1.0f),
		};
		const Color MARKER_COLOR(1.0f, 0.9f, 0.2f, 1.0f);
		const Color REFUSED_COLOR(1.0f, 0.5f, 0.4f, 1.0f);

		struct Cell
		{
			int X = 0;
			int Z = 0;
		};

		Vector GetCellCentre(const Cell& cell)
		{
			return Vector(ORIGIN.x + (static_cast<float>(cell.X) + 0.5f) * CELL_SIZE, ORIGIN.y,
			              ORIGIN.z + (static_cast<float>(cell.Z) + 0.5f) * CELL_SIZE);
		}

		// Where an agent stands over a floor point: its sphere rests on the floor.
		Vector OnFloor(const Vector& point) { return Vector(point.x, ORIGIN.y + AGENT_RADIUS, point.z); }

		String CellText(const Cell& cell)
		{
			return String(("(" + std::to_string(cell.X) + ", " + std::to_string(cell.Z) + ")").c_str());
		}

		enum class eAgentState
		{
			WAITING_FOR_PATH, // the pathfinding phase searches after this frame's update
			WALKING,
			RESTING,
		};

		struct Agent
		{
			SafePtr<Entity> Body;
			Color Tint;
			eAgentState State = eAgentState::RESTING;
			// Index in the path of the point the agent walks to.
			u64 NextPoint = 0;
			float RestSeconds = 0.0f;
		};

		class PathfindingScene : public Scene
		{
		public:
			const char* GetName() const override { return "Pathfinding"; }
			Dynarray<String> GetControls() const override
			{
				return {String("Left click on the floor: send the agents there"),
				        String("R: every agent walks to a random cell"), String("F10: show the paths")};
			}

			void Build(SceneContext& context) override
			{
				World* world = context.GetWorld();
				Random.seed(RANDOM_SEED);
				Graph = std::make_unique<GridNavGraph>(WIDTH, DEPTH, CELL_SIZE, ORIGIN);

				// From above the near edge, tilted so the whole floor fits under the scene's text.
				Entity* camera = context.GetCamera();
				camera->GetTransform().SetGlobalTranslation(Vector(0.0f, 12.0f, 8.0f));
				camera->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_X, Angle::FromDegrees(-58.0f)));

				Entity* sun = context.Spawn();
				DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(
				    world, sun, Color(1.0f, 0.97f, 0.9f, 1.0f), 1.5f);
				sun->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(-30.0f)) *
				                                      Quaternion(Vector::UNIT_X, Angle::FromDegrees(-60.0f)));

				const float halfWidth = 0.5f * static_cast<float>(WIDTH) * CELL_SIZE;
				const float halfDepth = 0.5f * static_cast<float>(DEPTH) * CELL_SIZE;
				context.SpawnMesh(
				    "Models/Plane.obj", Vector(ORIGIN.x + halfWidth, ORIGIN.y, ORIGIN.z + halfDepth),
				    Vector(halfWidth, 1.0f, halfDepth),
				    Material(Color(0.0f, 0.0f, 0.0f, 1.0f), Color(0.35f, 0.4f, 0.35f, 1.0f), 0.9f, 0.0f, 0.5f));

				const Material blockMaterial(Color(0.0f, 0.0f, 0.0f, 1.0f), Color(0.2f, 0.22f, 0.3f, 1.0f), 0.7f, 0.0f,
				                             0.5f);
				const float halfCell = 0.5f * CELL_SIZE;
				FloorCells.clear();
				for (int z = 0; z < DEPTH; ++z)
					for (int x = 0; x < WIDTH; ++x)
					{
						if (!IsBlocked(x, z))
						{
							FloorCells.push_back({x, z});
							continue;
						}
						Graph->SetWalkable(x, z, false);
						context.SpawnMesh("Models/Cube.obj", GetCellCentre({x, z}) + Vector(0.0f, halfCell, 0.0f),
						                  Vector(halfCell, halfCell, halfCell), blockMaterial);
					}

				// Each agent on a floor cell of its own, setting off one after the other.
				std::vector<Cell> startCells = FloorCells;
				Agents.Clear();
				for (int index = 0; index < AGENT_COUNT; ++index)
				{
					std::uniform_int_distribution<std::size_t> pick(0, startCells.size() - 1);
					const std::size_t chosen = pick(Random);
					const Cell start = startCells[chosen];
					startCells.erase(startCells.begin() + static_cast<std::ptrdiff_t>(chosen));

					const Color tint = AGENT_COLORS[index];
					Entity* body = context.SpawnMesh("Models/Sphere.obj", OnFloor(GetCellCentre(start)),
					                                 Vector(AGENT_RADIUS, AGENT_RADIUS, AGENT_RADIUS),
					                                 Material(GlowOf(tint, 0.15f), tint, 0.4f, 0.0f, 0.5f));
					DeferredTaskSystem::AddComponentImmediate<PathfindingComponent>(world, body, Graph.get());
					Agent agent;
					agent.Body = SafePtr<Entity>(body);
					agent.Tint = tint;
					agent.RestSeconds = 0.1f * static_cast<float>(index);
					Agents.PushBack(agent);
				}

				const int row = context.GetFirstFreeTextRow();
				StatusLine = context.AddTextLine(row, "");
				ClickLine = context.AddTextLine(row + 1, "Click a floor cell to choose a destination");
			}

			void Update(SceneContext& context) override
			{
				World* world = context.GetWorld();
				const float seconds = context.GetDeltaSeconds();
				for (Agent& agent : Agents)
					StepAgent(agent, seconds);

				const InputWorldComponent& input = context.GetInput();
				if (input.IsClicked(eMouseButton::LEFT))
					HandleClick(context, input.GetMousePos());
				if (input.IsClicked(eKey::R))
					for (Agent& agent : Agents)
						SendToRandomCell(agent);

				int walking = 0;
				for (const Agent& agent : Agents)
					walking += agent.State == eAgentState::RESTING ? 0 : 1;
				StatusLine->SetText(String(("Agents: " + std::to_string(walking) + " walking, " +
				                            std::to_string(Agents.GetSize() - static_cast<u64>(walking)) + " resting")
				                               .c_str()));

				for (const Agent& agent : Agents)
					DrawPath(world, agent);
			}

			void Teardown(SceneContext& context) override
			{
				// The agents' components point at the graph, and the pathfinding phase still runs this frame before
				// the agents go; they must not outlive it.
				for (const Agent& agent : Agents)
					if (Entity* body = agent.Body.Get(); body && body->GetComponent<PathfindingComponent>())
						context.GetWorld()->RemoveComponent<PathfindingComponent>(body);
				Agents.Clear();
				Graph.reset();
				FloorCells.clear();
				Marker = SafePtr<Entity>();
				StatusLine = nullptr;
				ClickLine = nullptr;
			}

		private:
			static PathfindingComponent& GetFinder(const Agent& agent)
			{
				return *agent.Body.Get()->GetComponent<PathfindingComponent>();
			}

			static void SendTo(Agent& agent, const Vector& destination)
			{
				// Forgetting the old destination first leaves the path empty until the search succeeds, which is how
				// a failed search shows.
				PathfindingComponent& finder = GetFinder(agent);
				finder.ResetDestination();
				finder.SetDestination(destination);
				agent.State = eAgentState::WAITING_FOR_PATH;
			}

			void SendToRandomCell(Agent& agent)
			{
				const Vector position = agent.Body.Get()->GetTransform().GetGlobalTranslation();
				std::uniform_int_distribution<std::size_t> pick(0, FloorCells.size() - 1);
				Vector destination = GetCellCentre(FloorCells[pick(Random)]);
				// Somewhere else than here, when the first try lands on the agent's own cell.
				if (Graph->GetNodeFromWorldPosition(destination) == Graph->GetNodeFromWorldPosition(position))
					destination = GetCellCentre(FloorCells[pick(Random)]);
				SendTo(agent, destination);
			}

			void Rest(Agent& agent)
			{
				std::uniform_real_distribution<float> rest(MIN_REST_SECONDS, MAX_REST_SECONDS);
				agent.State = eAgentState::RESTING;
				agent.RestSeconds = rest(Random);
			}

			void StepAgent(Agent& agent, float seconds)
			{
				switch (agent.State)
				{
				case eAgentState::WAITING_FOR_PATH:
					// The search ran after the frame that asked for it. A point no walk reaches leaves no path;
					// the agent then rests and tries a cell of its own.
					if (GetFinder(agent).GetPath().IsEmpty())
						Rest(agent);
					else
					{
						agent.State = eAgentState::WALKING;
						agent.NextPoint = 1;
						Walk(agent, seconds);
					}
					break;
				case eAgentState::WALKING:
					Walk(agent, seconds);
					break;
				case eAgentState::RESTING:
					agent.RestSeconds -= seconds;
					if (agent.RestSeconds <= 0.0f)
						SendToRandomCell(agent);
					break;
				}
			}

			// Moves along the straightened path, through as many of its points as this frame's distance reaches.
			void Walk(Agent& agent, float seconds)
			{
				const Dynarray<Vector>& path = GetFinder(agent).GetPath();
				EntityTransform& transform = agent.Body.Get()->GetTransform();
				Vector position = transform.GetGlobalTranslation();
				float distance = AGENT_SPEED * seconds;
				while (agent.NextPoint < path.GetSize())
				{
					const Vector target = OnFloor(path[agent.NextPoint]);
					const Vector toTarget = target - position;
					const float remaining = toTarget.Length();
					if (remaining > distance)
					{
						position += toTarget * (distance / remaining);
						break;
					}
					// Landing exactly on the point keeps the agent on the path's cells whatever the rounding.
					position = target;
					distance -= remaining;
					++agent.NextPoint;
				}
				transform.SetGlobalTranslation(position);
				if (agent.NextPoint >= path.GetSize())
					Rest(agent);
			}

			void HandleClick(SceneContext& context, const Vector2i& mousePosition)
			{
				const Pick pick = PickCell(context, mousePosition);
				switch (pick.Result)
				{
				case ePickResult::NOT_ON_FLOOR:
					SetClickText("Refused: that is not on the floor", REFUSED_COLOR);
					return;
				case ePickResult::OUTSIDE:
					SetClickText("Refused: outside the floor", REFUSED_COLOR);
					return;
				case ePickResult::BLOCKED:
					SetClickText("Refused: cell " + CellText(pick.HitCell) + " is blocked", REFUSED_COLOR);
					return;
				case ePickResult::FLOOR:
					break;
				}

				// The first agent walks to the very point, the others to the floor cells nearest it, so they
				// gather around it instead of piling up.
				const std::vector<Cell> gathering = FindNearestFloorCells(pick.HitCell, Agents.GetSize());
				for (u64 index = 0; index < Agents.GetSize() && index < gathering.size(); ++index)
					SendTo(Agents[index], index == 0 ? pick.Point : GetCellCentre(gathering[index]));

				const Vector markerPosition(pick.Point.x, ORIGIN.y + 0.01f, pick.Point.z);
				if (Entity* marker = Marker.Get())
					marker->GetTransform().SetGlobalTranslation(markerPosition);
				else
					Marker = SafePtr<Entity>(
					    context.SpawnMesh("Models/Cube.obj", markerPosition, Vector(0.2f, 0.02f, 0.2f),
					                      Material(GlowOf(MARKER_COLOR, 2.0f), MARKER_COLOR, 0.5f, 0.0f, 0.5f)));
				SetClickText("Destination: cell " + CellText(pick.HitCell), Color::WHITE);
			}

			void SetClickText(const String& text, const Color& color)
			{
				if (!ClickLine)
					return;
				ClickLine->SetText(text);
				ClickLine->GetText().SetFontColor(color);
			}

			enum class ePickResult
			{
				NOT_ON_FLOOR, // the pixel's ray never comes down to the floor's height
				OUTSIDE,
				BLOCKED,
				FLOOR,
			};

			struct Pick
			{
				ePickResult Result = ePickResult::NOT_ON_FLOOR;
				Vector Point;
				Cell HitCell;
			};

			// The cell of a point; false outside the floor, also for points too far away for an int.
			static bool FindCell(const Vector& point, Cell& cell)
			{
				const float x = std::floor((point.x - ORIGIN.x) / CELL_SIZE);
				const float z = std::floor((point.z - ORIGIN.z) / CELL_SIZE);
				if (!(x >= 0.0f && z >= 0.0f && x < static_cast<float>(WIDTH) && z < static_cast<float>(DEPTH)))
					return false;
				cell = {static_cast<int>(x), static_cast<int>(z)};
				return true;
			}

			// What a pixel of the screen (top left is 0, 0) shows, through the shared camera, which viewport 0
			// shows over the whole screen: a block the ray meets first, by its top or a side, or else the floor
			// point under it.
			static Pick PickCell(SceneContext& context, const Vector2i& pixel)
			{
				Pick pick;
				const CameraComponent* camera = context.GetCamera()->GetComponent<CameraComponent>();
				const ScreenSize& screen = context.GetEngine()->GetRenderingDevice()->GetScreenSize();
				if (!camera || screen.Width == 0 || screen.Height == 0)
					return pick;
				const float ndcX =
				    2.0f * (static_cast<float>(pixel.x) + 0.5f) / static_cast<float>(screen.Width) - 1.0f;
				const float ndcY =
				    1.0f - 2.0f * (static_cast<float>(pixel.y) + 0.5f) / static_cast<float>(screen.Height);
				const Matrix worldFromClip = camera->GetClipFromWorld().GetInversed();
				const Vector nearPoint = worldFromClip * Vector(ndcX, ndcY, -1.0f, 1.0f);
				const Vector farPoint = worldFromClip * Vector(ndcX, ndcY, 1.0f, 1.0f);
				if (nearPoint.w == 0.0f || farPoint.w == 0.0f)
					return pick;
				const Vector start = nearPoint / nearPoint.w;
				const Vector direction = farPoint / farPoint.w - start;
				if (!(direction.y < -1e-6f) || !(start.y > ORIGIN.y))
					return pick;
				const auto pointAtHeight = [&](float height)
				{ return start + direction * ((height - start.y) / direction.y); };
				const Vector floorPoint = pointAtHeight(ORIGIN.y);
				pick.Result = ePickResult::OUTSIDE;
				if (!std::isfinite(floorPoint.x) || !std::isfinite(floorPoint.z))
					return pick;

				// Down from the blocks' tops to the floor in steps of a twentieth of a cell, so that no block
				// corner is stepped over.
				const float blockTop = ORIGIN.y + CELL_SIZE;
				const Vector dropStart = start.y > blockTop ? pointAtHeight(blockTop) : start;
				const Vector drop = floorPoint - dropStart;
				const float stepCount = std::ceil(drop.Length() / (0.05f * CELL_SIZE));
				const int steps = stepCount < 1.0f ? 1 : (stepCount > 10000.0f ? 10000 : static_cast<int>(stepCount));
				for (int step = 0; step <= steps; ++step)
				{
					Cell cell;
					const float along = static_cast<float>(step) / static_cast<float>(steps);
					if (FindCell(dropStart + drop * along, cell) && IsBlocked(cell.X, cell.Z))
					{
						pick.Result = ePickResult::BLOCKED;
						pick.HitCell = cell;
						return pick;
					}
				}
				if (!FindCell(floorPoint, pick.HitCell))
					return pick;
				pick.Result = ePickResult::FLOOR;
				pick.Point = Vector(floorPoint.x, ORIGIN.y, floorPoint.z);
				return pick;
			}

			// Floor cells in order of steps from `from` (itself first), as far as `count`; all of them can be
			// walked to from `from`, since each was reached through floor cells.
			std::vector<Cell> FindNearestFloorCells(const Cell& from, u64 count) const
			{
				std::vector<Cell> found = {from};
				std::vector<bool> isSeen(static_cast<std::size_t>(WIDTH * DEPTH), false);
				isSeen[static_cast<std::size_t>(from.Z * WIDTH + from.X)] = true;
				constexpr int STEPS[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
				for (std::size_t next = 0; next < found.size() && found.size() < count; ++next)
					for (const auto& step : STEPS)
					{
						const Cell neighbour = {found[next].X + step[0], found[next].Z + step[1]};
						if (IsBlocked(neighbour.X, neighbour.Z) ||
						    isSeen[static_cast<std::size_t>(neighbour.Z * WIDTH + neighbour.X)])
							continue;
						isSeen[static_cast<std::size_t>(neighbour.Z * WIDTH + neighbour.X)] = true;
						found.push_back(neighbour);
					}
				if (found.size() > count)
					found.resize(count);
				return found;
			}

			// The rest of the walk in the agent's colour: from where it is through the points still ahead.
			static void DrawPath(World* world, const Agent& agent)
			{
				if (agent.State != eAgentState::WALKING)
					return;
				const Dynarray<Vector>& path = GetFinder(agent).GetPath();
				const Vector lift(0.0f, PATH_LINE_HEIGHT, 0.0f);
				const Vector& position = agent.Body.Get()->GetTransform().GetGlobalTranslation();
				Vector from(position.x, ORIGIN.y, position.z);
				for (u64 index = agent.NextPoint; index < path.GetSize(); ++index)
				{
					const Vector to(path[index].x, ORIGIN.y, path[index].z);
					DebugDrawSystem::DrawLine(world, from + lift, to + lift, agent.Tint);
					from = to;
				}
				// A cross where the walk ends.
				constexpr float CROSS = 0.2f;
				DebugDrawSystem::DrawLine(world, from + lift + Vector(-CROSS, 0.0f, -CROSS),
				                          from + lift + Vector(CROSS, 0.0f, CROSS), agent.Tint);
				DebugDrawSystem::DrawLine(world, from + lift + Vector(-CROSS, 0.0f, CROSS),
				                          from + lift + Vector(CROSS, 0.0f, -CROSS), agent.Tint);
			}

			std::unique_ptr<GridNavGraph> Graph;
			std::vector<Cell> FloorCells;
			Dynarray<Agent> Agents;
			std::mt19937 Random;
			SafePtr<Entity> Marker;
			ScreenSpaceTextComponent* StatusLine = nullptr;
			ScreenSpaceTextComponent* ClickLine = nullptr;
		};
	} // namespace

	std::unique_ptr<Scene> CreatePathfindingScene() { return std::make_unique<PathfindingScene>(); }
} // namespace VornSamples
