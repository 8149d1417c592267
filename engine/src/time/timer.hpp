#pragma once

#include "memory/baseobject.hpp"

namespace Vorn
{
	// One clock of the game, advanced by the time phase by the frame time scaled by its multiplier.
	class Timer : public BaseObject
	{
	public:
		Timer(bool isPausable, double multiplier) : Multiplier(multiplier), IsPausable(isPausable) {}

		// Advance of the last frame, in seconds.
		double GetDeltaTime() const { return DeltaTime; }
		double GetMultiplier() const { return Multiplier; }
		// Sum of all advances, in seconds.
		double GetTime() const { return Time; }
		bool GetIsPausable() const { return IsPausable; }
		void SetMultiplier(double multiplier) { Multiplier = multiplier; }

	private:
		double DeltaTime = 0.0;
		double Multiplier;
		double Time = 0.0;
		bool IsPausable;

		friend class TimeWorldComponent;
	};
} // namespace Vorn
