#include "ecs/entity.hpp"

#include "rtti/typeinfo.hpp"

namespace Vorn
{
	Entity::Entity(World* world, Entity* parent) : EntityID(UniqueID::Generate()), Transform(this), OwnerWorld(world)
	{
		if (parent)
			SetParent(parent);
	}

	Entity::~Entity()
	{
		if (Parent)
			DetachFromParent();
	}

	void Entity::DetachFromParent()
	{
		Dynarray<Entity*>& siblings = Parent->Children;
		VORN_CHECK(IndexInParent < siblings.GetSize() && siblings[IndexInParent] == this, "Index out of bounds!");
		if (IndexInParent + 1 == siblings.GetSize())
		{
			siblings.PopBack();
			while (!siblings.IsEmpty() && siblings.Back() == nullptr)
			{
				siblings.PopBack();
				--Parent->ChildHoleCount;
			}
		}
		else
		{
			siblings[IndexInParent] = nullptr;
			++Parent->ChildHoleCount;
			if (Parent->ChildHoleCount * 2 > siblings.GetSize())
				Parent->CompactChildren();
		}
		Parent = nullptr;
	}

	void Entity::CompactChildren() const
	{
		u64 kept = 0;
		for (u64 index = 0; index < Children.GetSize(); ++index)
		{
			Entity* child = Children[index];
			if (child == nullptr)
				continue;
			child->IndexInParent = kept;
			Children[kept++] = child;
		}
		Children.Resize(kept);
		ChildHoleCount = 0;
	}

	TypeInfo Entity::GetTypeInfo() const
	{
		static const TypeInfo type = TypeManager::Get().RegisterOrGetType("Entity", {});
		return type;
	}

	PropertyManagerBase* Entity::GetPropertyManager()
	{
		static PropertyManager<Entity> manager;
		return &manager;
	}

	void Entity::SetParent(Entity* parent)
	{
		VORN_CHECK(parent != nullptr, "New parent cannot be null");
		VORN_CHECK(parent != this, "Cannot parent myself!");
		VORN_CHECK(!ContainsChildRecursive(parent), "Detected parenting cycle!");

		if (Parent)
		{
			Transform.UpdateGlobalTransformationCache();
			DetachFromParent();
			Transform.UpdateParentTransform();
		}

		Parent = parent;
		IndexInParent = parent->Children.GetSize();
		parent->Children.PushBack(this);
		Transform.UpdateParentTransform();
	}

	void Entity::AddChild(Entity* child)
	{
		VORN_CHECK(child != nullptr, "Child cannot be null!");
		child->SetParent(this);
	}

	bool Entity::ContainsChildRecursive(const Entity* entity) const
	{
		for (const Entity* child : GetChildren())
		{
			if (child == entity || child->ContainsChildRecursive(entity))
				return true;
		}
		return false;
	}
} // namespace Vorn
