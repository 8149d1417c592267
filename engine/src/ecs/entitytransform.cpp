#include "ecs/entitytransform.hpp"

#include "ecs/entity.hpp"

namespace Vorn
{
	const Vector& EntityTransform::GetGlobalTranslation() const
	{
		UpdateGlobalTransformationCache();
		return GlobalTranslation;
	}

	const Quaternion& EntityTransform::GetGlobalRotation() const
	{
		UpdateGlobalTransformationCache();
		return GlobalRotation;
	}

	const Vector& EntityTransform::GetGlobalScale() const
	{
		UpdateGlobalTransformationCache();
		return GlobalScale;
	}

	const Matrix& EntityTransform::GetWorldFromModel() const
	{
		UpdateGlobalTransformationCache();
		return WorldFromModel;
	}

	const Matrix& EntityTransform::GetParentFromModel() const
	{
		UpdateLocalTransformationCache();
		return ParentFromModel;
	}

	bool EntityTransform::IsLocalIdentity() const
	{
		return HoldsExactly(Vector(0.0f, 0.0f, 0.0f), Quaternion()) && LocalScale.x == 1.0f && LocalScale.y == 1.0f &&
		       LocalScale.z == 1.0f;
	}

	bool EntityTransform::HoldsExactly(const Vector& translation, const Quaternion& rotation) const
	{
		return LocalTranslation.x == translation.x && LocalTranslation.y == translation.y &&
		       LocalTranslation.z == translation.z && LocalRotation.x == rotation.x && LocalRotation.y == rotation.y &&
		       LocalRotation.z == rotation.z && LocalRotation.w == rotation.w;
	}

	void EntityTransform::SetLocalTranslation(const Vector& translation)
	{
		LocalTranslation = translation;
		MarkChanged();
	}

	void EntityTransform::SetLocalRotation(const Quaternion& rotation)
	{
		LocalRotation = rotation;
		MarkChanged();
	}

	void EntityTransform::SetLocalScale(const Vector& scale)
	{
		LocalScale = scale;
		MarkChanged();
	}

	void EntityTransform::SetLocalScale(float scale) { SetLocalScale(Vector(scale, scale, scale, 1.0f)); }

	void EntityTransform::SetGlobalTranslation(const Vector& translation)
	{
		UpdateGlobalTransformationCache();
		LocalTranslation += translation - GlobalTranslation;
		MarkChanged();
	}

	void EntityTransform::SetGlobalRotation(const Quaternion& rotation)
	{
		UpdateGlobalTransformationCache();
		// The parent's global rotation is global x conjugate(local), so this makes parent x local the target itself,
		// whether or not the target commutes with the current rotation.
		LocalRotation = LocalRotation * GlobalRotation.GetConjugated() * rotation;
		MarkChanged();
	}

	void EntityTransform::SetGlobalScale(const Vector& scale)
	{
		UpdateGlobalTransformationCache();
		LocalScale = Vector(scale.x / GlobalScale.x * LocalScale.x, scale.y / GlobalScale.y * LocalScale.y,
		                    scale.z / GlobalScale.z * LocalScale.z, LocalScale.w);
		MarkChanged();
	}

	void EntityTransform::SetParentFromModel(const Matrix& parentFromModel)
	{
		ParentFromModel = parentFromModel;
		ParentFromModel.Decompose(LocalTranslation, LocalRotation, LocalScale);
		IsLocalDirty = false;
		IsGlobalDirty = true;
		for (Entity* child : Owner->GetChildren())
			child->GetTransform().SetGlobalDirty();
	}

	void EntityTransform::UpdateLocalTransformationCache() const
	{
		if (!IsLocalDirty)
			return;
		ParentFromModel = Matrix::Compose(LocalTranslation, LocalRotation, LocalScale);
		IsLocalDirty = false;
	}

	void EntityTransform::UpdateGlobalTransformationCache() const
	{
		if (!IsGlobalDirty)
			return;
		const Entity* parent = Owner->GetParent();
		UpdateLocalTransformationCache();
		if (parent)
			WorldFromModel = parent->GetTransform().GetWorldFromModel() * ParentFromModel;
		else
			WorldFromModel = ParentFromModel;
		WorldFromModel.Decompose(GlobalTranslation, GlobalRotation, GlobalScale);
		IsGlobalDirty = false;
	}

	void EntityTransform::MarkChanged()
	{
		IsLocalDirty = true;
		SetGlobalDirty();
	}

	// Walks the whole subtree, also below entities that are already dirty, so no stale cache can hide there.
	void EntityTransform::SetGlobalDirty() const
	{
		IsGlobalDirty = true;
		for (Entity* child : Owner->GetChildren())
			child->GetTransform().SetGlobalDirty();
	}

	void EntityTransform::UpdateParentTransform()
	{
		const Entity* parent = Owner->GetParent();
		if (!parent)
		{
			ParentFromModel = WorldFromModel;
			ParentFromModel.Decompose(LocalTranslation, LocalRotation, LocalScale);
			IsLocalDirty = false;
			IsGlobalDirty = true;
			for (Entity* child : Owner->GetChildren())
				child->GetTransform().SetGlobalDirty();
			return;
		}

		const EntityTransform& parentTransform = parent->GetTransform();
		parentTransform.UpdateGlobalTransformationCache();
		LocalTranslation -= parentTransform.GlobalTranslation;
		LocalRotation = LocalRotation * parentTransform.GlobalRotation.GetConjugated();
		LocalScale = Vector(LocalScale.x / parentTransform.GlobalScale.x, LocalScale.y / parentTransform.GlobalScale.y,
		                    LocalScale.z / parentTransform.GlobalScale.z, LocalScale.w);
		MarkChanged();
	}
} // namespace Vorn
