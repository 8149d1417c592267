#pragma once

#include "defines.hpp"

#include <string>
#include <vector>

namespace Vorn
{
	// The GPU time of each step of a renderer's frames, measured with timer queries (GL_TIME_ELAPSED) while
	// switched on, so speed work is measured rather than guessed. Off by default: then every call is a no-op.
	class PassTimings
	{
	public:
		struct Entry
		{
			std::string Name;
			double Milliseconds = 0.0;
		};

		PassTimings() = default;
		PassTimings(const PassTimings&) = delete;
		PassTimings& operator=(const PassTimings&) = delete;
		// The queries must go while the context lives: Release() them first.
		~PassTimings() = default;

		void SetEnabled(bool enabled);
		bool IsEnabled() const { return Enabled; }

		// Ends the step being timed, if any, and starts timing `name`'s (a name that outlives the timings, such as a
		// string literal).
		void Begin(const char* name);
		// Ends the step being timed.
		void End();

		// The time of each step measured since the last call, summed over its repeats (one per viewport), in the
		// order the steps were first measured; waits for the GPU to finish them.
		std::vector<Entry> Collect();

		// Deletes the queries; the timings stay usable.
		void Release();

	private:
		struct Measurement
		{
			const char* Name;
			u32 Query;
		};

		bool Enabled = false;
		bool IsTiming = false;
		std::vector<Measurement> Measurements;
		std::vector<u32> FreeQueries;
	};
} // namespace Vorn
