#include "ecs/deferredtasksystem.hpp"
#include "ecs/entity.hpp"
#include "ecs/world.hpp"
#include "math/matrix.hpp"
#include "math/quaternion.hpp"

#include <gtest/gtest.h>

using namespace Vorn;

namespace
{
	const Quaternion QUARTER_TURN_Z(Vector::UNIT_Z, Angle::FromDegrees(90.0f));
	const Quaternion QUARTER_TURN_X(Vector::UNIT_X, Angle::FromDegrees(90.0f));

	// A parent A and its child B under the root; C under B where a test needs a grandchild.
	class EntityTransformTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			A = DeferredTaskSystem::SpawnEntityImmediate(WorldUnderTest);
			B = DeferredTaskSystem::SpawnEntityImmediate(WorldUnderTest);
			C = DeferredTaskSystem::SpawnEntityImmediate(WorldUnderTest);
			B->SetParent(A);
			C->SetParent(B);
		}
		void TearDown() override { delete WorldUnderTest; }

		World* WorldUnderTest = new World();
		Entity* A = nullptr;
		Entity* B = nullptr;
		Entity* C = nullptr;
	};
} // namespace

TEST_F(EntityTransformTest, SpawnedEntityHasIdentityPlacement)
{
	const EntityTransform& transform = DeferredTaskSystem::SpawnEntityImmediate(WorldUnderTest)->GetTransform();

	EXPECT_EQ(transform.GetWorldFromModel(), Matrix::IDENTITY);
	EXPECT_EQ(transform.GetParentFromModel(), Matrix::IDENTITY);
	EXPECT_EQ(transform.GetGlobalTranslation(), Vector(0.0f, 0.0f, 0.0f));
	EXPECT_EQ(transform.GetGlobalRotation(), Quaternion());
	EXPECT_EQ(transform.GetGlobalScale(), Vector(1.0f, 1.0f, 1.0f));
	EXPECT_EQ(transform.GetLocalScale(), Vector(1.0f, 1.0f, 1.0f));
}

TEST_F(EntityTransformTest, ChildTranslationAddsToParentTranslation)
{
	A->GetTransform().SetLocalTranslation(Vector(10.0f, 0.0f, 0.0f));
	B->GetTransform().SetLocalTranslation(Vector(1.0f, 0.0f, 0.0f));

	EXPECT_EQ(B->GetTransform().GetGlobalTranslation(), Vector(11.0f, 0.0f, 0.0f));
	EXPECT_EQ(B->GetTransform().GetWorldFromModel().GetTranslation(), Vector(11.0f, 0.0f, 0.0f));
	EXPECT_EQ(B->GetTransform().GetParentFromModel().GetTranslation(), Vector(1.0f, 0.0f, 0.0f));
}

TEST_F(EntityTransformTest, ChangesReachCachedDescendantsOnTheirNextRead)
{
	A->GetTransform().SetLocalTranslation(Vector(10.0f, 0.0f, 0.0f));
	B->GetTransform().SetLocalTranslation(Vector(1.0f, 0.0f, 0.0f));
	C->GetTransform().SetLocalTranslation(Vector(0.0f, 1.0f, 0.0f));
	ASSERT_EQ(C->GetTransform().GetGlobalTranslation(), Vector(11.0f, 1.0f, 0.0f));

	B->GetTransform().SetLocalTranslation(Vector(2.0f, 0.0f, 0.0f));
	EXPECT_EQ(C->GetTransform().GetGlobalTranslation(), Vector(12.0f, 1.0f, 0.0f));
	EXPECT_EQ(B->GetTransform().GetGlobalTranslation(), Vector(12.0f, 0.0f, 0.0f));

	// Two levels up, with both descendants' caches fresh.
	A->GetTransform().SetLocalTranslation(Vector(20.0f, 0.0f, 0.0f));
	EXPECT_EQ(C->GetTransform().GetGlobalTranslation(), Vector(22.0f, 1.0f, 0.0f));
}

TEST_F(EntityTransformTest, MovingChildToTheRootKeepsItsGlobalTranslation)
{
	A->GetTransform().SetLocalTranslation(Vector(10.0f, 0.0f, 0.0f));
	B->GetTransform().SetLocalTranslation(Vector(1.0f, 0.0f, 0.0f));
	C->GetTransform().SetLocalTranslation(Vector(0.0f, 1.0f, 0.0f));

	B->SetParent(WorldUnderTest->GetRoot());

	EXPECT_EQ(B->GetTransform().GetGlobalTranslation(), Vector(11.0f, 0.0f, 0.0f));
	EXPECT_EQ(B->GetTransform().GetLocalTranslation(), Vector(11.0f, 0.0f, 0.0f));
	EXPECT_EQ(C->GetTransform().GetGlobalTranslation(), Vector(11.0f, 1.0f, 0.0f));
	// Placed under A again, B keeps its world place too.
	B->SetParent(A);
	EXPECT_EQ(B->GetTransform().GetLocalTranslation(), Vector(1.0f, 0.0f, 0.0f));
	EXPECT_EQ(B->GetTransform().GetGlobalTranslation(), Vector(11.0f, 0.0f, 0.0f));
}

TEST_F(EntityTransformTest, MovingRotatedAndScaledChildToTheRootKeepsItsPlacement)
{
	A->GetTransform().SetLocalRotation(QUARTER_TURN_Z);
	A->GetTransform().SetLocalScale(2.0f);
	B->GetTransform().SetLocalTranslation(Vector(1.0f, 0.0f, 0.0f));
	const Matrix before = B->GetTransform().GetWorldFromModel();

	B->SetParent(WorldUnderTest->GetRoot());

	EXPECT_EQ(B->GetTransform().GetWorldFromModel(), before);
	EXPECT_EQ(B->GetTransform().GetLocalTranslation(), Vector(0.0f, 2.0f, 0.0f));
	EXPECT_EQ(B->GetTransform().GetLocalRotation(), QUARTER_TURN_Z);
	EXPECT_EQ(B->GetTransform().GetLocalScale(), Vector(2.0f, 2.0f, 2.0f));
}

TEST_F(EntityTransformTest, RotatedOrScaledParentCarriesChildOffset)
{
	struct Case
	{
		const char* Name;
		Quaternion ParentRotation;
		float ParentScale;
		Vector ExpectedTranslation;
		Vector ExpectedScale;
	};
	const Case cases[] = {
	    {"rotated", QUARTER_TURN_Z, 1.0f, Vector(0.0f, 1.0f, 0.0f), Vector(1.0f, 1.0f, 1.0f)},
	    {"scaled", Quaternion(), 2.0f, Vector(2.0f, 0.0f, 0.0f), Vector(2.0f, 2.0f, 2.0f)},
	    {"both", QUARTER_TURN_Z, 3.0f, Vector(0.0f, 3.0f, 0.0f), Vector(3.0f, 3.0f, 3.0f)},
	};
	B->GetTransform().SetLocalTranslation(Vector(1.0f, 0.0f, 0.0f));
	for (const Case& testCase : cases)
	{
		A->GetTransform().SetLocalRotation(testCase.ParentRotation);
		A->GetTransform().SetLocalScale(testCase.ParentScale);

		EXPECT_EQ(B->GetTransform().GetGlobalTranslation(), testCase.ExpectedTranslation) << testCase.Name;
		EXPECT_EQ(B->GetTransform().GetGlobalRotation(), testCase.ParentRotation) << testCase.Name;
		EXPECT_EQ(B->GetTransform().GetGlobalScale(), testCase.ExpectedScale) << testCase.Name;
	}
}

TEST_F(EntityTransformTest, ReparentingUnderRotatedParentSubtractsTranslationWithoutRotatingIt)
{
	// The local values are re-derived component by component, so the rotation is kept but the
	// translation is not turned into the parent's frame.
	A->GetTransform().SetLocalRotation(QUARTER_TURN_Z);
	Entity* moved = DeferredTaskSystem::SpawnEntityImmediate(WorldUnderTest);
	moved->GetTransform().SetLocalTranslation(Vector(1.0f, 0.0f, 0.0f));

	moved->SetParent(A);

	EXPECT_EQ(moved->GetTransform().GetLocalTranslation(), Vector(1.0f, 0.0f, 0.0f));
	EXPECT_EQ(moved->GetTransform().GetGlobalRotation(), Quaternion());
	EXPECT_EQ(moved->GetTransform().GetGlobalTranslation(), Vector(0.0f, 1.0f, 0.0f));
}

TEST_F(EntityTransformTest, SetGlobalTranslationMovesByTheDifferenceInParentSpace)
{
	struct Case
	{
		const char* Name;
		float ParentScale;
		Vector StartLocal;
		Vector Target;
		Vector ExpectedLocal;
		Vector ExpectedGlobal;
	};
	// Under a scaled parent the difference is not divided by the scale, so the target is missed:
	// from global 12, target 14 adds 2 to the local translation, which the parent doubles.
	const Case cases[] = {
	    {"translated parent", 1.0f, Vector(0.0f, 0.0f, 0.0f), Vector(5.0f, 0.0f, 0.0f), Vector(-5.0f, 0.0f, 0.0f),
	     Vector(5.0f, 0.0f, 0.0f)},
	    {"scaled parent", 2.0f, Vector(1.0f, 0.0f, 0.0f), Vector(14.0f, 0.0f, 0.0f), Vector(3.0f, 0.0f, 0.0f),
	     Vector(16.0f, 0.0f, 0.0f)},
	};
	A->GetTransform().SetLocalTranslation(Vector(10.0f, 0.0f, 0.0f));
	for (const Case& testCase : cases)
	{
		A->GetTransform().SetLocalScale(testCase.ParentScale);
		B->GetTransform().SetLocalTranslation(testCase.StartLocal);

		B->GetTransform().SetGlobalTranslation(testCase.Target);

		EXPECT_EQ(B->GetTransform().GetLocalTranslation(), testCase.ExpectedLocal) << testCase.Name;
		EXPECT_EQ(B->GetTransform().GetGlobalTranslation(), testCase.ExpectedGlobal) << testCase.Name;
	}
}

TEST_F(EntityTransformTest, SetGlobalRotationAndScaleReachTheTargetUnderAnAlignedParent)
{
	A->GetTransform().SetLocalRotation(QUARTER_TURN_Z);
	A->GetTransform().SetLocalScale(2.0f);
	B->GetTransform().SetLocalScale(3.0f);
	C->GetTransform().SetLocalTranslation(Vector(1.0f, 0.0f, 0.0f));
	const Quaternion halfTurnZ(Vector::UNIT_Z, Angle::FromDegrees(180.0f));

	B->GetTransform().SetGlobalRotation(halfTurnZ);
	B->GetTransform().SetGlobalScale(Vector(12.0f, 12.0f, 12.0f));

	EXPECT_EQ(B->GetTransform().GetGlobalRotation(), halfTurnZ);
	EXPECT_EQ(B->GetTransform().GetLocalRotation(), QUARTER_TURN_Z);
	EXPECT_EQ(B->GetTransform().GetGlobalScale(), Vector(12.0f, 12.0f, 12.0f));
	EXPECT_EQ(B->GetTransform().GetLocalScale(), Vector(6.0f, 6.0f, 6.0f));
	// The grandchild follows its parent's new placement.
	EXPECT_EQ(C->GetTransform().GetGlobalTranslation(), Vector(-12.0f, 0.0f, 0.0f));
}

TEST_F(EntityTransformTest, SetGlobalRotationReachesTheTargetWhateverTheCurrentAndParentRotations)
{
	const Quaternion tilt = Quaternion(Vector::UNIT_Y, Angle::FromDegrees(30.0f)) * QUARTER_TURN_X;
	const struct
	{
		const char* Name;
		Quaternion ParentRotation;
		Quaternion CurrentLocal;
	} cases[] = {
	    {"aligned parent, current rotation about another axis", Quaternion(), QUARTER_TURN_X},
	    {"parent turned about another axis", QUARTER_TURN_Z, Quaternion()},
	    {"both", QUARTER_TURN_Z, tilt},
	};
	for (const auto& testCase : cases)
	{
		A->GetTransform().SetLocalRotation(testCase.ParentRotation);
		B->GetTransform().SetLocalRotation(testCase.CurrentLocal);

		B->GetTransform().SetGlobalRotation(QUARTER_TURN_Z * tilt);

		EXPECT_TRUE(B->GetTransform().GetGlobalRotation().Equals(QUARTER_TURN_Z * tilt, 1e-5f)) << testCase.Name;
		EXPECT_TRUE(B->GetTransform().GetLocalRotation().Equals(
		    testCase.ParentRotation.GetConjugated() * QUARTER_TURN_Z * tilt, 1e-5f))
		    << testCase.Name;
	}
}

TEST_F(EntityTransformTest, SetParentFromModelSplitsTheMatrixIntoLocalValues)
{
	A->GetTransform().SetLocalTranslation(Vector(10.0f, 0.0f, 0.0f));
	C->GetTransform().SetLocalTranslation(Vector(1.0f, 0.0f, 0.0f));
	ASSERT_EQ(C->GetTransform().GetGlobalTranslation(), Vector(11.0f, 0.0f, 0.0f));
	const Matrix parentFromModel = Matrix::Compose(Vector(1.0f, 2.0f, 3.0f), QUARTER_TURN_Z, Vector(2.0f, 2.0f, 2.0f));

	B->GetTransform().SetParentFromModel(parentFromModel);

	EXPECT_EQ(B->GetTransform().GetLocalTranslation(), Vector(1.0f, 2.0f, 3.0f));
	EXPECT_EQ(B->GetTransform().GetLocalRotation(), QUARTER_TURN_Z);
	EXPECT_EQ(B->GetTransform().GetLocalScale(), Vector(2.0f, 2.0f, 2.0f));
	EXPECT_EQ(B->GetTransform().GetParentFromModel(), parentFromModel);
	EXPECT_EQ(B->GetTransform().GetGlobalTranslation(), Vector(11.0f, 2.0f, 3.0f));
	EXPECT_EQ(C->GetTransform().GetGlobalTranslation(), Vector(11.0f, 4.0f, 3.0f));
}

TEST_F(EntityTransformTest, UniformLocalScaleKeepsWAtOne)
{
	B->GetTransform().SetLocalScale(4.0f);

	EXPECT_EQ(B->GetTransform().GetLocalScale(), Vector(4.0f, 4.0f, 4.0f, 1.0f));
}

TEST_F(EntityTransformTest, ParentingUnderOwnGrandchildStops)
{
	EXPECT_DEATH(A->SetParent(C), "Detected parenting cycle!");
}
