#include "renderers/common/passtimings.hpp"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstring>

namespace Vorn
{
	void PassTimings::SetEnabled(bool enabled)
	{
		End();
		Enabled = enabled;
	}

	void PassTimings::Begin(const char* name)
	{
		if (!Enabled)
			return;
		End();
		GLuint query = 0;
		if (FreeQueries.empty())
		{
			glGenQueries(1, &query);
		}
		else
		{
			query = FreeQueries.back();
			FreeQueries.pop_back();
		}
		glBeginQuery(GL_TIME_ELAPSED, query);
		Measurements.push_back({name, query});
		IsTiming = true;
	}

	void PassTimings::End()
	{
		if (!IsTiming)
			return;
		glEndQuery(GL_TIME_ELAPSED);
		IsTiming = false;
	}

	std::vector<PassTimings::Entry> PassTimings::Collect()
	{
		End();
		std::vector<Entry> entries;
		for (const Measurement& measurement : Measurements)
		{
			GLuint64 nanoseconds = 0;
			glGetQueryObjectui64v(measurement.Query, GL_QUERY_RESULT, &nanoseconds);
			FreeQueries.push_back(measurement.Query);
			const double milliseconds = static_cast<double>(nanoseconds) / 1e6;
			const auto found = std::find_if(entries.begin(), entries.end(),
			                                [&](const Entry& entry) { return entry.Name == measurement.Name; });
			if (found == entries.end())
				entries.push_back({measurement.Name, milliseconds});
			else
				found->Milliseconds += milliseconds;
		}
		Measurements.clear();
		return entries;
	}

	void PassTimings::Release()
	{
		End();
		for (const Measurement& measurement : Measurements)
			FreeQueries.push_back(measurement.Query);
		Measurements.clear();
		if (!FreeQueries.empty())
			glDeleteQueries(static_cast<GLsizei>(FreeQueries.size()), FreeQueries.data());
		FreeQueries.clear();
	}
} // namespace Vorn
