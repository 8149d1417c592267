#pragma once

#include "io/outputstream.hpp"
#include "utils/string.hpp"

#include <cstdio>
#include <stdexcept>

namespace Vorn
{
	// Thrown by file operations that cannot be completed; the message names what failed.
	class FileIOException : public std::runtime_error
	{
	public:
		explicit FileIOException(const String& message) : std::runtime_error(message.GetCStr()) {}
		String GetMessage() const { return String(what()); }
	};

	// Writes everything appended to a file, truncated when the stream is created.
	// Every append is flushed so a crash never loses the log lines before it.
	class FileOutputStream : public OutputStream
	{
	public:
		explicit FileOutputStream(const String& path);
		~FileOutputStream() override;
		FileOutputStream(const FileOutputStream&) = delete;
		FileOutputStream& operator=(const FileOutputStream&) = delete;

		void Append(const char* text, std::size_t length) override;
		void Flush() override;

	private:
		std::FILE* File = nullptr;
	};
} // namespace Vorn
