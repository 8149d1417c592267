#include "io/fileoutputstream.hpp"

namespace Vorn
{
	void StdOutStream::Append(const char* text, std::size_t length) { std::fwrite(text, 1, length, stdout); }

	void StdOutStream::Flush() { std::fflush(stdout); }

	FileOutputStream::FileOutputStream(const String& path)
	{
		File = std::fopen(path.GetCStr(), "wb");
		if (!File)
			throw FileIOException("Cannot open file for writing: " + path);
	}

	FileOutputStream::~FileOutputStream() { std::fclose(File); }

	void FileOutputStream::Append(const char* text, std::size_t length)
	{
		std::fwrite(text, 1, length, File);
		std::fflush(File);
	}

	void FileOutputStream::Flush() { std::fflush(File); }
} // namespace Vorn
