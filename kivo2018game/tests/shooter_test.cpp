#include "dravsystem.hpp"
#include "input/inputevent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "support/kivogametest.hpp"
#include "time/timesystem.hpp"

#include <cmath>
#include <initializer_list>
#include <vector>

using namespace Vorn;

namespace
{
	// Far from the player's reach (radius 2 + 15), so only bullets touch these enemies.
	const Vector AWAY(100.0f, 0.0f, 0.0f);
} // namespace

class ShooterTest : public KivoGameTest
{
protected:
	void Hold(std::initializer_list<eKey> keys)
	{
		for (eKey key : keys)
			GetEngine().KeyDown(key);
	}
	void Release(std::initializer_list<eKey> keys)
	{
		for (eKey key : keys)
			GetEngine().KeyUp(key);
	}
	const Vector& PlayerPosition() { return GetPlayer()->GetTransform().GetGlobalTranslation(); }
	int CountPlayerBullets()
	{
		int count = 0;
		for (auto [bullet] : GetWorld()->IterateComponents<DravBulletComponent>())
			count += bullet->Shooter == GetDrav()->Player ? 1 : 0;
		return count;
	}
};

struct MoveCase
{
	const char* Name;
	std::vector<eKey> Keys;
	Vector Expected; // after a quarter of a second from the origin
};

class PlayerMovementTest : public ShooterTest, public testing::WithParamInterface<MoveCase>
{
};

TEST_P(PlayerMovementTest, MovesAtTwoHundredUnitsPerSecond)
{
	for (eKey key : GetParam().Keys)
		GetEngine().KeyDown(key);
	RunFrames(FRAMES_PER_SECOND / 4);
	EXPECT_NEAR(PlayerPosition().x, GetParam().Expected.x, 1e-3f);
	EXPECT_NEAR(PlayerPosition().y, 0.0f, 1e-6f);
	EXPECT_NEAR(PlayerPosition().z, GetParam().Expected.z, 1e-3f);
}

const float DIAGONAL = 50.0f / std::sqrt(2.0f);
INSTANTIATE_TEST_SUITE_P(Keys, PlayerMovementTest,
                         testing::Values(MoveCase{"W", {eKey::W}, Vector(50.0f, 0.0f, 0.0f)},
                                         MoveCase{"S", {eKey::S}, Vector(-50.0f, 0.0f, 0.0f)},
                                         MoveCase{"A", {eKey::A}, Vector(0.0f, 0.0f, -50.0f)},
                                         MoveCase{"D", {eKey::D}, Vector(0.0f, 0.0f, 50.0f)},
                                         MoveCase{"WD", {eKey::W, eKey::D}, Vector(DIAGONAL, 0.0f, DIAGONAL)},
                                         MoveCase{"SA", {eKey::S, eKey::A}, Vector(-DIAGONAL, 0.0f, -DIAGONAL)},
                                         MoveCase{"WSGoesForward", {eKey::W, eKey::S}, Vector(50.0f, 0.0f, 0.0f)},
                                         MoveCase{"ADGoesLeft", {eKey::A, eKey::D}, Vector(0.0f, 0.0f, -50.0f)},
                                         MoveCase{"NoKey", {}, Vector(0.0f, 0.0f, 0.0f)}),
                         [](const testing::TestParamInfo<MoveCase>& info) { return info.param.Name; });

TEST_F(ShooterTest, PlayerStaysInsideTheArena)
{
	struct Case
	{
		eKey Key;
		float Vector::*Axis;
		float Limit;
	};
	for (const Case& c : {Case{eKey::W, &Vector::x, 70.0f}, Case{eKey::S, &Vector::x, -200.0f},
	                      Case{eKey::A, &Vector::z, -300.0f}, Case{eKey::D, &Vector::z, 300.0f}})
	{
		GetPlayer()->GetTransform().SetGlobalTranslation(Vector(0.0f, 0.0f, 0.0f));
		Hold({c.Key});
		RunFrames(2 * FRAMES_PER_SECOND);
		EXPECT_EQ(PlayerPosition().*c.Axis, c.Limit);
		Release({c.Key});
		RunFrame();
	}
}

TEST_F(ShooterTest, PositionOutsideTheArenaIsPulledBackOnTheNextMove)
{
	GetPlayer()->GetTransform().SetGlobalTranslation(Vector(500.0f, 0.0f, -900.0f));
	RunFrame();
	EXPECT_EQ(PlayerPosition(), Vector(500.0f, 0.0f, -900.0f)) << "standing still changes nothing";

	Hold({eKey::D});
	RunFrame();
	EXPECT_EQ(PlayerPosition().x, 70.0f);
	EXPECT_EQ(PlayerPosition().z, -300.0f);
}

TEST_F(ShooterTest, HeldTriggerFiresAtOnceThenEveryFifthOfASecond)
{
	Hold({eKey::SPACE});
	std::vector<int> shotFrames;
	int bullets = 0;
	for (int frame = 1; frame <= FRAMES_PER_SECOND; ++frame)
	{
		RunFrame();
		if (CountPlayerBullets() > bullets)
			shotFrames.push_back(frame);
		bullets = CountPlayerBullets();
	}
	// 0.2 s is 12.8 frames of 1/64 s: the gun is ready again on the 13th frame after a shot.
	EXPECT_EQ(shotFrames, (std::vector<int>{1, 14, 27, 40, 53}));

	Release({eKey::SPACE});
	RunFrames(2 * FRAMES_PER_SECOND);
	EXPECT_EQ(CountPlayerBullets(), 0) << "bullets live for two seconds and the trigger is up";
	Hold({eKey::SPACE});
	RunFrame();
	EXPECT_EQ(CountPlayerBullets(), 1) << "a fresh press fires at once";
}

TEST_F(ShooterTest, BulletsFlyForwardAndExpireAfterTwoSeconds)
{
	Hold({eKey::SPACE});
	RunFrame();
	Release({eKey::SPACE});
	ASSERT_EQ(GetDrav()->Bullets.GetSize(), 1u);
	const SafePtr<Entity> bullet = GetDrav()->Bullets[0];
	// Spawned at the muzzle and moved in the same frame by 300 units/s.
	EXPECT_NEAR(bullet->GetTransform().GetGlobalTranslation().x, 300.0f / FRAMES_PER_SECOND, 1e-3f);
	EXPECT_EQ(bullet->GetTransform().GetGlobalScale(), Vector(3.0f, 3.0f, 3.0f));
	EXPECT_EQ(bullet->GetComponent<MeshRenderingComponent>()->GetMaterial(0).Emissive, Color::BLUE * 1500.0f);
	ASSERT_NE(bullet->GetComponent<PointLightComponent>(), nullptr);
	EXPECT_EQ(bullet->GetComponent<PointLightComponent>()->GetRange(), 10.0f);

	RunFrames(2 * FRAMES_PER_SECOND - 2);
	ASSERT_NE(bullet.Get(), nullptr) << "younger than two seconds";
	EXPECT_NEAR(bullet->GetTransform().GetGlobalTranslation().x, 300.0f * (2.0f - 1.0f / FRAMES_PER_SECOND), 1e-2f);
	RunFrame();
	EXPECT_EQ(bullet.Get(), nullptr);
}

TEST_F(ShooterTest, EnemyBulletsAreRedAndFlyAlongTheEnemysAim)
{
	Entity* enemy = AddArmedEnemy(Vector(140.0f, 0.0f, 0.0f));
	enemy->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(90.0f)));
	// The enemy phase requests fire, and the gun is ready after 0.4 s.
	RunFrames(FRAMES_PER_SECOND / 2);
	ASSERT_GE(GetDrav()->Bullets.GetSize(), 1u);
	Entity* bullet = GetDrav()->Bullets[0].Get();
	ASSERT_NE(bullet, nullptr);
	EXPECT_EQ(bullet->GetComponent<DravBulletComponent>()->Shooter.Get(), enemy);
	EXPECT_EQ(bullet->GetComponent<MeshRenderingComponent>()->GetMaterial(0).Emissive, Color::RED * 1500.0f);
	EXPECT_LT(bullet->GetTransform().GetGlobalTranslation().x, 140.0f);
}

using CollisionTest = ShooterTest;

TEST_F(CollisionTest, OneBulletDamagesEveryEnemyItTouchesAndIsDestroyed)
{
	FreezeGameplay();
	const SafePtr<Entity> first(AddEnemy(AWAY));
	const SafePtr<Entity> second(AddEnemy(AWAY + Vector(0.0f, 0.0f, 20.0f)));
	const SafePtr<Entity> bullet(AddBullet(GetPlayer(), AWAY + Vector(0.0f, 0.0f, 10.0f)));

	RunFrame();

	EXPECT_EQ(first.Get(), nullptr);
	EXPECT_EQ(second.Get(), nullptr);
	EXPECT_EQ(bullet.Get(), nullptr);
}

TEST_F(CollisionTest, TwoBulletsInOneFrameDealOneBulletsDamage)
{
	FreezeGameplay();
	Entity* enemy = AddEnemy(AWAY, 250.0f);
	const SafePtr<Entity> left(AddBullet(GetPlayer(), AWAY + Vector(0.0f, 0.0f, -5.0f)));
	const SafePtr<Entity> right(AddBullet(GetPlayer(), AWAY + Vector(0.0f, 0.0f, 5.0f)));

	RunFrame();

	EXPECT_EQ(enemy->GetComponent<DravEnemyComponent>()->Health, 130.0f);
	EXPECT_EQ(left.Get(), nullptr);
	EXPECT_EQ(right.Get(), nullptr);
}

TEST_F(CollisionTest, HitTestsIgnoreHeightAndUseBothRadii)
{
	FreezeGameplay();
	// Touching means closer than 1 + 15 on the X/Z plane.
	const SafePtr<Entity> above(AddEnemy(AWAY + Vector(0.0f, 500.0f, 0.0f)));
	const SafePtr<Entity> justOutOfReach(AddEnemy(Vector(100.0f, 0.0f, 200.0f)));
	AddBullet(GetPlayer(), AWAY);
	AddBullet(GetPlayer(), Vector(100.0f, 0.0f, 216.0f));

	RunFrame();

	EXPECT_EQ(above.Get(), nullptr);
	ASSERT_NE(justOutOfReach.Get(), nullptr);
	EXPECT_EQ(justOutOfReach->GetComponent<DravEnemyComponent>()->Health, 100.0f);
}

TEST_F(CollisionTest, BulletsNeverHurtTheirOwnSide)
{
	FreezeGameplay();
	Entity* gunner = AddArmedEnemy(AWAY);
	Entity* target = AddEnemy(AWAY + Vector(0.0f, 0.0f, 60.0f));
	const SafePtr<Entity> enemyBullet(AddBullet(gunner, AWAY + Vector(0.0f, 0.0f, 60.0f)));
	const SafePtr<Entity> playerBullet(AddBullet(GetPlayer(), PlayerPosition()));

	RunFrame();

	EXPECT_EQ(target->GetComponent<DravEnemyComponent>()->Health, 100.0f);
	EXPECT_EQ(GetDrav()->PlayerHealth, 300.0f);
	EXPECT_NE(enemyBullet.Get(), nullptr);
	EXPECT_NE(playerBullet.Get(), nullptr);
}

TEST_F(CollisionTest, EnemyBulletCostsThePlayerItsDamage)
{
	FreezeGameplay();
	Entity* gunner = AddArmedEnemy(AWAY);
	const SafePtr<Entity> bullet(AddBullet(gunner, Vector(0.0f, 0.0f, 2.5f)));

	RunFrame();

	EXPECT_EQ(GetDrav()->PlayerHealth, 180.0f);
	EXPECT_EQ(bullet.Get(), nullptr);
}

TEST_F(CollisionTest, TouchingAnEnemyCostsFifteenAndRemovesTheEnemy)
{
	FreezeGameplay();
	const SafePtr<Entity> enemy(AddEnemy(Vector(10.0f, 0.0f, 10.0f)));

	RunFrame();

	EXPECT_EQ(GetDrav()->PlayerHealth, 285.0f);
	EXPECT_EQ(enemy.Get(), nullptr);
	RunFrame();
	EXPECT_EQ(GetDrav()->PlayerHealth, 285.0f);
}

TEST_F(CollisionTest, DeadPlayerDarkensTheScreenEveryFrame)
{
	FreezeGameplay();
	Entity* gunner = AddArmedEnemy(AWAY);
	// Two enemy bullets leave 60 points; the third kills.
	for (int shot = 0; shot < 3; ++shot)
	{
		EXPECT_EQ(Console.GetText().find("PlayerDead"), std::string::npos) << "shot " << shot;
		AddBullet(gunner, Vector(0.0f, 0.0f, 0.0f));
		RunFrame();
	}
	EXPECT_EQ(GetDrav()->PlayerHealth, -60.0f);

	RunFrames(2);
	std::size_t deathLines = 0;
	for (std::size_t at = Console.GetText().find("[INFO] PlayerDead\n"); at != std::string::npos;
	     at = Console.GetText().find("[INFO] PlayerDead\n", at + 1))
		++deathLines;
	EXPECT_EQ(deathLines, 3u);
	EXPECT_EQ(TimeSystem::GetTimerMultiplier(GetWorld(), eEngineTimer::SYSTEM), 0.1);
	const PostprocessSettingsComponent* settings = GetDrav()->Camera->GetComponent<PostprocessSettingsComponent>();
	EXPECT_NEAR(settings->Exposure, 3.0f - 3 * 0.1f, 1e-5f);
	EXPECT_NE(GetPlayer(), nullptr) << "a dead player can still move and shoot";
}

TEST_F(CollisionTest, HandlesOfDestroyedEntitiesAreForgotten)
{
	FreezeGameplay();
	const SafePtr<Entity> doomed(AddEnemy(AWAY));
	const SafePtr<Entity> survivor(AddEnemy(AWAY + Vector(0.0f, 0.0f, 100.0f)));
	AddBullet(GetPlayer(), AWAY);
	ASSERT_EQ(GetDrav()->Enemies.GetSize(), 2u);

	RunFrames(2);

	ASSERT_EQ(GetDrav()->Enemies.GetSize(), 1u);
	EXPECT_EQ(GetDrav()->Enemies[0], survivor);
	EXPECT_EQ(GetDrav()->Bullets.GetSize(), 0u);
	// The player and the survivor.
	EXPECT_EQ(GetDrav()->Entities.GetSize(), 2u);
}
