#pragma once

#include "io/fileoutputstream.hpp"

namespace Vorn
{
	// The launcher's log sink: every line goes to standard output first, then to the log file.
	class FileAndCoutStream : public FileOutputStream
	{
	public:
		explicit FileAndCoutStream(const String& path);

		void Append(const char* text, std::size_t length) override;
	};
} // namespace Vorn
