#pragma once

#include "defines.hpp"
#include "utils/string.hpp"

#include <cstddef>
#include <string>

namespace Vorn
{
	enum class eRegularFileStatus
	{
		OK,
		MISSING,     // nothing at the path (or a folder on the way is missing)
		UNREADABLE,  // something is there but this process may not open or read it
		NOT_REGULAR, // a folder, pipe, device or socket
		TOO_LARGE,   // larger than the caller's limit
		_COUNT
	};

	struct RegularFileResult
	{
		eRegularFileStatus Status = eRegularFileStatus::OK;
		// What was wrong, naming the path, for a log line; empty when OK.
		String Problem;

		bool IsOk() const { return Status == eRegularFileStatus::OK; }
	};

	// Reads the whole file at `path` into `bytes`, refusing anything that is not a regular file or holds more than
	// `maxBytes` bytes. Links are followed. It never blocks on a pipe and never reads past the limit, so a link to
	// an endless device or a pipe cannot hang or exhaust the process.
	RegularFileResult ReadRegularFile(const String& path, std::size_t maxBytes, std::string& bytes);
} // namespace Vorn
