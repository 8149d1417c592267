#pragma once

#include "math/matrix.hpp"
#include "math/quaternion.hpp"
#include "math/vector.hpp"

namespace Vorn
{
	class Entity;

	// Placement of an entity relative to its parent. Setters only store and flag; the matrices and the
	// world values are computed on the first read after a change of the entity or of an ancestor.
	class EntityTransform
	{
	public:
		explicit EntityTransform(Entity* owner) : Owner(owner) {}
		EntityTransform(const EntityTransform&) = delete;
		EntityTransform& operator=(const EntityTransform&) = delete;

		const Vector& GetLocalTranslation() const { return LocalTranslation; }
		const Quaternion& GetLocalRotation() const { return LocalRotation; }
		const Vector& GetLocalScale() const { return LocalScale; }
		// True when the local values are exactly the identity: the children's local values are then their global ones.
		bool IsLocalIdentity() const;
		// True when the local translation (x, y, z) and rotation hold exactly these values, bit for bit; a system uses
		// it to tell whether anyone changed what it last wrote.
		bool HoldsExactly(const Vector& translation, const Quaternion& rotation) const;

		const Vector& GetGlobalTranslation() const;
		const Quaternion& GetGlobalRotation() const;
		const Vector& GetGlobalScale() const;
		const Matrix& GetWorldFromModel() const;
		const Matrix& GetParentFromModel() const;

		void SetLocalTranslation(const Vector& translation);
		void SetLocalRotation(const Quaternion& rotation);
		void SetLocalScale(const Vector& scale);
		void SetLocalScale(float scale);

		// These derive the new local value from the difference to the current global one, applied in
		// the parent's space as it is: exact under an unrotated, unscaled parent chain only.
		void SetGlobalTranslation(const Vector& translation);
		void SetGlobalRotation(const Quaternion& rotation);
		void SetGlobalScale(const Vector& scale);

		// Sets the local values from a translation * rotation * scale matrix.
		void SetParentFromModel(const Matrix& parentFromModel);

	private:
		void UpdateLocalTransformationCache() const;
		void UpdateGlobalTransformationCache() const;
		void MarkChanged();
		void SetGlobalDirty() const;
		// Called by Entity::SetParent: without a parent keeps the world placement, with one re-derives
		// the local values under it.
		void UpdateParentTransform();

		Entity* Owner;
		Vector LocalTranslation = Vector(0.0f, 0.0f, 0.0f);
		mutable Vector GlobalTranslation = Vector(0.0f, 0.0f, 0.0f);
		Quaternion LocalRotation;
		mutable Quaternion GlobalRotation;
		Vector LocalScale = Vector(1.0f, 1.0f, 1.0f, 1.0f);
		mutable Vector GlobalScale = Vector(1.0f, 1.0f, 1.0f, 1.0f);
		mutable Matrix ParentFromModel;
		mutable Matrix WorldFromModel;
		mutable bool IsLocalDirty = false;
		mutable bool IsGlobalDirty = false;

		friend class Entity;
	};
} // namespace Vorn
